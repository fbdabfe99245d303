#include "recentfiles.h"

#include "modregistry.h"

#include <QFileInfo>

namespace cinemork {

const QString RecentFiles::NoRecentFiles = QStringLiteral("(no recent files)");

RecentFiles::RecentFiles()
{
    m_entries[1].caption = NoRecentFiles;
    for (int n = 2; n <= 4; ++n)
        m_entries[size_t(n)].caption = QStringLiteral(".");
}

QString RecentFiles::fileTitle(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString RecentFiles::menuText(int n) const
{
    const Entry &e = entry(n);
    if (e.tag.isEmpty() || e.caption.size() < 3)
        return e.caption;
    QString title = e.caption.mid(3);
    return e.caption.left(3) + title.replace(u'&', QLatin1String("&&"));
}

int RecentFiles::find(const QString &path) const
{
    for (int n = 1; n <= 4; ++n)
        if (m_entries[size_t(n)].tag == path)
            return n;
    return 0;
}

void RecentFiles::UpdateRecentFiles(int action, const QString &path)
{
    switch (action) {
    case RecentLoad: load(); break;
    case RecentAdd: add(path); break;
    case RecentRemove: remove(path); break;
    default: return;
    }
    if (changed)
        changed();
}

void RecentFiles::load()
{
    QString paths[5];
    for (int n = 1; n <= 4; ++n) {
        m_entries[size_t(n)].tag.clear();
        m_entries[size_t(n)].caption.clear();
        paths[n] = setting(Reg::mru(n), QString());
    }
    for (int n = 1; n <= 4; ++n) {
        if (paths[n].isEmpty())
            break;
        m_entries[size_t(n)].tag = paths[n];
        m_entries[size_t(n)].caption = numbered(n, fileTitle(paths[n]));
    }
    for (int n = 4; n >= 1; --n)
        if (m_entries[size_t(n)].caption.isEmpty())
            m_entries[size_t(n)].visible = false;
    if (m_entries[1].caption.isEmpty()) {
        m_entries[1].caption = NoRecentFiles;
        m_entries[1].enabled = false;
        m_entries[1].visible = true;
        for (int n = 2; n <= 4; ++n)
            m_entries[size_t(n)].visible = false;
    }
}

void RecentFiles::add(const QString &path)
{
    const QString title = fileTitle(path);
    const int found = find(path);
    if (found == 1)
        return;
    if (found > 1) {
        for (int j = found; j >= 2; --j) {
            Entry &e = m_entries[size_t(j)];
            const Entry &prev = m_entries[size_t(j - 1)];
            if (!e.visible)
                continue;
            e.tag = prev.tag;
            e.caption = numbered(j, prev.caption.mid(3));
        }
        m_entries[1].tag = path;
        m_entries[1].caption = numbered(1, title);
        for (int n = 1; n <= 4; ++n)
            saveSetting(Reg::mru(n), m_entries[size_t(n)].tag);
        return;
    }
    if (m_entries[1].caption == NoRecentFiles) {
        m_entries[1].caption.clear();
        m_entries[1].enabled = true;
        m_entries[1].visible = false;
    }
    for (int j = 4; j >= 2; --j) {
        const Entry &prev = m_entries[size_t(j - 1)];
        if (!prev.visible)
            continue;
        Entry &e = m_entries[size_t(j)];
        e.visible = true;
        e.tag = prev.tag;
        e.caption = numbered(j, prev.caption.mid(3));
        saveSetting(Reg::mru(j), e.tag);
    }
    m_entries[1].visible = true;
    m_entries[1].tag = path;
    m_entries[1].caption = numbered(1, title);
    saveSetting(Reg::mru(1), path);
}

void RecentFiles::remove(const QString &path)
{
    const int found = find(path);
    if (found == 0)
        return;
    for (int j = found; j <= 3; ++j) {
        Entry &e = m_entries[size_t(j)];
        const Entry &next = m_entries[size_t(j + 1)];
        if (!next.visible) {
            e.tag.clear();
            e.caption.clear();
            e.visible = false;
            DeleteRegValue(HKEY_LOCAL_MACHINE, ProgramKey, Reg::mru(j));
            break;
        }
        e.tag = next.tag;
        e.caption = numbered(j, next.caption.mid(3));
        saveSetting(Reg::mru(j), e.tag);
    }
    m_entries[4].tag.clear();
    m_entries[4].caption.clear();
    m_entries[4].visible = false;
    DeleteRegValue(HKEY_LOCAL_MACHINE, ProgramKey, Reg::mru(4));
    if (m_entries[1].tag.isEmpty()) {
        m_entries[1].caption = NoRecentFiles;
        m_entries[1].visible = true;
        m_entries[1].enabled = false;
    }
}

} // namespace cinemork

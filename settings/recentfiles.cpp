#include "recentfiles.h"

#include "modregistry.h"

#include "platform/inistore.h"

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

void RecentFiles::UpdateRecentFiles(RecentAction action, const QString &path)
{
    switch (action) {
    case RecentLoad: load(); break;
    case RecentAdd:
    case RecentRemove: change(action, path); break;
    default: return;
    }
    if (changed)
        changed();
}

namespace {

// The stored list, up to its first gap.
QStringList storedList(const std::function<std::optional<QString>(const QString &name)> &value)
{
    QStringList list;
    for (int n = 1; n <= 4; ++n) {
        QString path = value(Reg::mru(n)).value_or(QString());
        path.truncate(path.indexOf(QChar(0)) >= 0 ? path.indexOf(QChar(0)) : path.size());
        if (path.isEmpty())
            break;
        list << path;
    }
    return list;
}

} // namespace

void RecentFiles::load()
{
    const IniStore store(storeFile(HKEY_LOCAL_MACHINE));
    show(storedList([&](const QString &name) { return store.value(ProgramKey, name); }));
}

void RecentFiles::show(const QStringList &paths)
{
    for (int n = 1; n <= 4; ++n) {
        Entry &e = m_entries[size_t(n)];
        e.tag = paths.value(n - 1);
        e.caption = e.tag.isEmpty() ? QString() : numbered(n, fileTitle(e.tag));
        e.visible = !e.caption.isEmpty();
        e.enabled = true;
    }
    if (m_entries[1].caption.isEmpty()) {
        m_entries[1].caption = NoRecentFiles;
        m_entries[1].enabled = false;
        m_entries[1].visible = true;
    }
}

void RecentFiles::change(int action, const QString &path)
{
    // The list as stored now, which another running copy may have changed since it was shown here, is
    // changed and written back in one step under the store's lock: neither copy loses the other's entry.
    QStringList list;
    ChangeRegStore(HKEY_LOCAL_MACHINE, [&](IniDocument &d) {
        list = storedList([&](const QString &name) { return d.value(ProgramKey, name); });
        const QStringList before = list;
        if (action == RecentAdd) {
            if (list.value(0) != path) {
                list.removeOne(path);
                list.prepend(path);
                while (list.size() > 4)
                    list.removeLast();
            }
        } else {
            list.removeOne(path);
        }
        if (list == before)
            return false;
        bool changed = false;
        for (int n = 1; n <= 4; ++n)
            changed |= n <= list.size() ? d.setValue(ProgramKey, Reg::mru(n), list[n - 1])
                                        : d.removeValue(ProgramKey, Reg::mru(n));
        return changed;
    });
    show(list);
}

} // namespace cinemork

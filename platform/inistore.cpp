#include "inistore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSaveFile>
#include <vector>

namespace cinemork {

namespace {

QString escapeValue(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case 0: out += QLatin1String("\\0"); break;
        default: out += c;
        }
    }
    return out;
}

QString unescapeValue(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            QChar n = text[++i];
            if (n == u'n')
                out += u'\n';
            else if (n == u'r')
                out += u'\r';
            else if (n == u'0')
                out += QChar(0);
            else
                out += n;
        } else {
            out += c;
        }
    }
    return out;
}

IniStore::Group *findGroup(QList<IniStore::Group> &groups, const QString &key)
{
    for (auto &g : groups)
        if (g.key.compare(key, Qt::CaseInsensitive) == 0)
            return &g;
    return nullptr;
}

qsizetype findEntry(const IniStore::Group &g, const QString &name)
{
    for (qsizetype i = 0; i < g.entries.size(); ++i)
        if (g.entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

IniStore::IniStore(QString filePath)
    : m_path(std::move(filePath))
{}

QList<IniStore::Group> IniStore::parse(const QByteArray &data)
{
    // Keys and value names are found by their case-folded text, so a file reads in time linear in its size.
    QList<Group> groups;
    QHash<QString, qsizetype> groupAt;
    std::vector<QHash<QString, qsizetype>> entryAt; // one per group
    qsizetype current = -1;
    const QString text = QString::fromUtf8(data);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString key = line.mid(1, line.size() - 2).toString();
            const QString folded = key.toCaseFolded();
            auto at = groupAt.constFind(folded);
            if (at == groupAt.constEnd()) {
                at = groupAt.insert(folded, groups.size());
                groups.append(Group{key, {}});
                entryAt.emplace_back();
            }
            current = *at; // a key written twice gathers the values of both places
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || current < 0)
            continue;
        Group &g = groups[current];
        const QStringView name = line.left(eq);
        QHash<QString, qsizetype> &entries = entryAt[size_t(current)];
        const QString folded = name.toString().toCaseFolded();
        QString value = unescapeValue(line.mid(eq + 1));
        if (const auto at = entries.constFind(folded); at != entries.constEnd()) {
            g.entries[*at].text = std::move(value); // the later value wins, the first spelling stays
        } else {
            entries.insert(folded, g.entries.size());
            g.entries.append({name.toString(), std::move(value)});
        }
    }
    return groups;
}

QByteArray IniStore::serialize(const QList<Group> &groups)
{
    QString out;
    for (const Group &g : groups) {
        if (!out.isEmpty())
            out += u'\n';
        out += u'[' + g.key + QLatin1String("]\n");
        for (const Entry &e : g.entries)
            out += e.name + u'=' + escapeValue(e.text) + u'\n';
    }
    return out.toUtf8();
}

QList<IniStore::Group> IniStore::load() const
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return parse(f.readAll());
}

bool IniStore::store(const QList<Group> &groups) const
{
    // Unbuffered, so that a write cut short (a full disk, a size limit) shows in its count; the file is
    // then left as it was, never replaced by the part that was written.
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray data = serialize(groups);
    if (f.write(data) != data.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

template<typename Change>
bool IniStore::modify(Change change) const
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + QLatin1String(".lock"));
    lock.setStaleLockTime(5000);
    if (!lock.tryLock(5000))
        return false;
    QList<Group> groups = load();
    if (!change(groups))
        return true; // nothing to change
    return store(groups);
}

std::optional<QString> IniStore::value(const QString &key, const QString &name) const
{
    QList<Group> groups = load();
    const Group *g = findGroup(groups, key);
    if (!g)
        return std::nullopt;
    const qsizetype at = findEntry(*g, name);
    if (at < 0)
        return std::nullopt;
    return g->entries[at].text;
}

bool IniStore::keyExists(const QString &key) const
{
    QList<Group> groups = load();
    return findGroup(groups, key) != nullptr;
}

bool IniStore::setValue(const QString &key, const QString &name, const QString &text) const
{
    if (!keyExists(key))
        return false;
    return modify([&](QList<Group> &groups) {
        Group *g = findGroup(groups, key);
        if (!g)
            return false;
        const qsizetype at = findEntry(*g, name);
        if (at >= 0) {
            if (g->entries[at].text == text)
                return false;
            g->entries[at].text = text;
        } else {
            g->entries.append({name, text});
        }
        return true;
    });
}

void IniStore::removeValue(const QString &key, const QString &name) const
{
    if (!value(key, name))
        return;
    modify([&](QList<Group> &groups) {
        Group *g = findGroup(groups, key);
        const qsizetype at = g ? findEntry(*g, name) : -1;
        if (at < 0)
            return false;
        g->entries.removeAt(at);
        return true;
    });
}

void IniStore::removeKey(const QString &key) const
{
    if (!keyExists(key))
        return;
    modify([&](QList<Group> &groups) {
        return groups.removeIf([&](const Group &g) { return g.key.compare(key, Qt::CaseInsensitive) == 0; }) > 0;
    });
}

void IniStore::createKey(const QString &key) const
{
    if (keyExists(key))
        return;
    modify([&](QList<Group> &groups) {
        bool changed = false;
        const QStringList parts = key.split(u'\\', Qt::SkipEmptyParts);
        QString path;
        for (const QString &part : parts) {
            path = path.isEmpty() ? part : path + u'\\' + part;
            if (!findGroup(groups, path)) {
                groups.append(Group{path, {}});
                changed = true;
            }
        }
        return changed;
    });
}

} // namespace cinemork

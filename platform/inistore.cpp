#include "inistore.h"

#include "bytetext.h"
#include "filetexts.h"
#include "storetexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>

#include <atomic>
#include <sys/stat.h>

namespace cinemork {

namespace {

std::atomic<quint64> reads{0};

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

QString folded(QByteArrayView bytes)
{
    return decodeBytes(bytes).toCaseFolded();
}

bool isComment(QByteArrayView line)
{
    return line.isEmpty() || line.startsWith(';') || line.startsWith('#');
}

bool isHeader(QByteArrayView line)
{
    return line.size() >= 2 && line.startsWith('[') && line.endsWith(']');
}

} // namespace

IniDocument::IniDocument(QByteArray data)
    : m_data(std::move(data))
{
    const char *const begin = m_data.constData();
    const char *p = begin, *const end = begin + m_data.size();
    while (p < end) {
        const char *e = p;
        while (e < end && *e != '\r' && *e != '\n')
            ++e;
        End kind = NoEnd;
        const char *next = e;
        if (e < end) {
            if (*e == '\r' && e + 1 < end && e[1] == '\n')
                kind = CrLf, next = e + 2;
            else
                kind = *e == '\r' ? Cr : Lf, next = e + 1;
        }
        m_lines.push_back({p - begin, e - p, kind, false});
        p = next;
    }
    if (!m_lines.empty() && m_lines.front().end != NoEnd)
        m_newEnd = m_lines.front().end;
    reindex();
}

QByteArrayView IniDocument::text(const Line &l) const
{
    return QByteArrayView((l.added ? m_added : m_data).constData() + l.start, l.length);
}

QByteArray IniDocument::data() const
{
    static constexpr QByteArrayView ends[] = {"", "\n", "\r", "\r\n"};
    QByteArray out;
    qsizetype size = 0;
    for (const Line &l : m_lines)
        size += l.length + 2;
    out.reserve(size);
    for (const Line &l : m_lines) {
        out += text(l);
        out += ends[l.end];
    }
    return out;
}

qsizetype IniDocument::entryNameEnd(qsizetype line) const
{
    const QByteArrayView t = text(m_lines[size_t(line)]);
    if (isComment(t) || isHeader(t))
        return -1;
    const qsizetype eq = t.indexOf('=');
    return eq > 0 ? eq : -1;
}

void IniDocument::reindex()
{
    // Keys and value names are found by their case-folded text, so a file reads in time linear in its size.
    m_groupAt.clear();
    m_groups.clear();
    qsizetype current = -1;
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        const QByteArrayView line = text(m_lines[size_t(i)]);
        if (isComment(line))
            continue;
        if (isHeader(line)) {
            const QString key = folded(line.sliced(1, line.size() - 2));
            auto at = m_groupAt.constFind(key);
            if (at == m_groupAt.constEnd()) {
                at = m_groupAt.insert(key, qsizetype(m_groups.size()));
                m_groups.emplace_back();
            }
            current = *at; // a key written twice gathers the values of both places
            m_groups[size_t(current)].headers.push_back(i);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0 || current < 0)
            continue; // kept as it is, but no value
        m_groups[size_t(current)].entries.insert(folded(line.first(eq)), i); // the later value wins
    }
}

const IniDocument::Group *IniDocument::group(const QString &key) const
{
    const auto at = m_groupAt.constFind(key.toCaseFolded());
    return at == m_groupAt.constEnd() ? nullptr : &m_groups[size_t(*at)];
}

std::optional<QString> IniDocument::value(const QString &key, const QString &name) const
{
    const Group *g = group(key);
    if (!g)
        return std::nullopt;
    const auto at = g->entries.constFind(name.toCaseFolded());
    if (at == g->entries.constEnd())
        return std::nullopt;
    const QByteArrayView line = text(m_lines[size_t(*at)]);
    return unescapeValue(decodeBytes(line.sliced(line.indexOf('=') + 1)));
}

bool IniDocument::keyExists(const QString &key) const
{
    return group(key) != nullptr;
}

qsizetype IniDocument::addLine(qsizetype at, const QByteArray &line)
{
    if (at > 0 && m_lines[size_t(at - 1)].end == NoEnd)
        m_lines[size_t(at - 1)].end = m_newEnd;
    m_lines.insert(m_lines.begin() + at, Line{m_added.size(), line.size(), m_newEnd, true});
    m_added += line;
    return at;
}

bool IniDocument::setValue(const QString &key, const QString &name, const QString &text)
{
    const Group *g = group(key);
    if (!g)
        return false;
    const QByteArray value = encodeBytes(escapeValue(text));
    if (const auto at = g->entries.constFind(name.toCaseFolded()); at != g->entries.constEnd()) {
        if (this->value(key, name) == text)
            return false;
        Line &l = m_lines[size_t(*at)];
        // the name as it is spelt on that line, the new value after it
        const QByteArray line = this->text(l).first(entryNameEnd(*at) + 1).toByteArray() + value;
        l.start = m_added.size();
        l.length = line.size();
        l.added = true;
        m_added += line;
        return true; // the lines stay where they were: the index holds
    }
    // after the last value of the key's last place, or after its header
    const qsizetype header = g->headers.back();
    qsizetype after = header;
    for (qsizetype i = header + 1; i < qsizetype(m_lines.size()) && !isHeader(this->text(m_lines[size_t(i)])); ++i)
        if (entryNameEnd(i) > 0)
            after = i;
    addLine(after + 1, encodeBytes(name) + '=' + value);
    reindex();
    return true;
}

bool IniDocument::removeValue(const QString &key, const QString &name)
{
    const Group *g = group(key);
    const QString want = name.toCaseFolded();
    if (!g || !g->entries.contains(want))
        return false;
    // every place of the name, or an earlier value would come back
    std::vector<bool> drop(m_lines.size(), false);
    for (const qsizetype header : g->headers)
        for (qsizetype i = header + 1; i < qsizetype(m_lines.size()) && !isHeader(text(m_lines[size_t(i)])); ++i)
            if (const qsizetype eq = entryNameEnd(i); eq > 0 && folded(text(m_lines[size_t(i)]).first(eq)) == want)
                drop[size_t(i)] = true;
    qsizetype n = 0;
    std::erase_if(m_lines, [&](const Line &) { return drop[size_t(n++)]; });
    reindex();
    return true;
}

bool IniDocument::removeKey(const QString &key)
{
    const Group *g = group(key);
    if (!g)
        return false;
    // each place of the key, from its header to the next
    std::vector<bool> drop(m_lines.size(), false);
    for (const qsizetype header : g->headers) {
        drop[size_t(header)] = true;
        for (qsizetype i = header + 1; i < qsizetype(m_lines.size()) && !isHeader(text(m_lines[size_t(i)])); ++i)
            drop[size_t(i)] = true;
    }
    qsizetype n = 0;
    std::erase_if(m_lines, [&](const Line &) { return drop[size_t(n++)]; });
    reindex();
    return true;
}

bool IniDocument::createKey(const QString &key)
{
    bool changed = false;
    const QStringList parts = key.split(u'\\', Qt::SkipEmptyParts);
    QString path;
    for (const QString &part : parts) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        if (group(path))
            continue;
        if (!m_lines.empty() && !text(m_lines.back()).isEmpty())
            addLine(qsizetype(m_lines.size()), QByteArray()); // a blank line between keys
        addLine(qsizetype(m_lines.size()), '[' + encodeBytes(path) + ']');
        reindex();
        changed = true;
    }
    return changed;
}

// What was read of one file, shared by every store of that path.
struct IniStore::Shared
{
    struct Identity
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{}, changed{};
        bool operator==(const Identity &o) const
        {
            return exists == o.exists && device == o.device && inode == o.inode && size == o.size
                && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
                && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
        }
        static Identity of(const struct stat &st)
        {
            return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
        }
    };

    QMutex mutex;
    IniDocument document;
    Identity identity;
    bool read = false;
    QString writeError;

    // Reads the file again when it is not the one read last. A file replaced since has another inode;
    // one written in place another size or time.
    void refresh(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        struct stat st;
        const Identity now = ::stat(name.constData(), &st) == 0 ? Identity::of(st) : Identity{};
        if (read && now == identity)
            return;
        QFile f(path);
        if (!now.exists || !f.open(QIODevice::ReadOnly)) {
            document = IniDocument();
            identity = now;
            read = true;
            return;
        }
        // The identity of the file that was opened, which may have been replaced since the look above.
        identity = ::fstat(f.handle(), &st) == 0 ? Identity::of(st) : Identity{};
        document = IniDocument(f.readAll());
        read = true;
        ++reads;
    }
};

namespace {

std::shared_ptr<IniStore::Shared> sharedOf(const QString &path)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<IniStore::Shared>> all;
    const QMutexLocker lock(&mutex);
    auto &s = all[QFileInfo(path).absoluteFilePath()];
    if (!s)
        s = std::make_shared<IniStore::Shared>();
    return s;
}

} // namespace

IniStore::IniStore(QString filePath)
    : m_path(std::move(filePath))
    , m_shared(sharedOf(m_path))
{}

std::optional<QString> IniStore::value(const QString &key, const QString &name) const
{
    const QMutexLocker lock(&m_shared->mutex);
    m_shared->refresh(m_path);
    return m_shared->document.value(key, name);
}

bool IniStore::keyExists(const QString &key) const
{
    const QMutexLocker lock(&m_shared->mutex);
    m_shared->refresh(m_path);
    return m_shared->document.keyExists(key);
}

quint64 IniStore::fileReads()
{
    return reads;
}

QString IniStore::writeError() const
{
    const QMutexLocker lock(&m_shared->mutex);
    return m_shared->writeError;
}

bool IniStore::change(const std::function<bool(IniDocument &)> &change) const
{
    const QMutexLocker locked(&m_shared->mutex);
    Shared &s = *m_shared;
    auto failed = [&](const QString &reason) {
        s.writeError = reason;
        return false;
    };
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // A lock that is no file (a folder of its name) can never be taken: no use waiting for it.
    const QString lockPath = m_path + QLatin1String(".lock");
    struct stat st;
    if (::lstat(QFile::encodeName(lockPath).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return failed(lockPath + u' ' + (S_ISDIR(st.st_mode) ? FileTexts::IsAFolder : FileTexts::NotARegularFile));
    QLockFile lock(lockPath);
    lock.setStaleLockTime(5000);
    if (!lock.tryLock(5000))
        return failed(lockPath + u' '
                      + (lock.error() == QLockFile::LockFailedError ? StoreTexts::LockHeld : StoreTexts::LockNotMade));
    s.refresh(m_path);
    IniDocument changed = s.document;
    if (!change(changed))
        return true; // nothing to change
    // Unbuffered, so that a write cut short (a full disk, a size limit) shows in its count; the file is
    // then left as it was, never replaced by the part that was written.
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(f.errorString());
    const QByteArray data = changed.data();
    if (f.write(data) != data.size()) {
        const QString reason = f.errorString();
        f.cancelWriting();
        return failed(reason);
    }
    if (!f.commit())
        return failed(f.errorString());
    // What was written is what is read next, until another copy writes: the file need not be read again.
    s.document = std::move(changed);
    s.identity = ::stat(QFile::encodeName(m_path).constData(), &st) == 0 ? Shared::Identity::of(st) : Shared::Identity{};
    s.writeError.clear();
    return true;
}

bool IniStore::setValue(const QString &key, const QString &name, const QString &text) const
{
    if (!keyExists(key))
        return false;
    bool missing = false;
    const bool written = change([&](IniDocument &d) {
        missing = !d.keyExists(key);
        return d.setValue(key, name, text);
    });
    return written && !missing;
}

bool IniStore::removeValue(const QString &key, const QString &name) const
{
    if (!value(key, name))
        return true;
    return change([&](IniDocument &d) { return d.removeValue(key, name); });
}

bool IniStore::removeKey(const QString &key) const
{
    if (!keyExists(key))
        return true;
    return change([&](IniDocument &d) { return d.removeKey(key); });
}

bool IniStore::createKey(const QString &key) const
{
    if (keyExists(key))
        return true;
    return change([&](IniDocument &d) { return d.createKey(key); });
}

} // namespace cinemork

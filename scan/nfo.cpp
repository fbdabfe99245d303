#include "nfo.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cinemork {

namespace {

bool isId(const QString &text)
{
    static const QRegularExpression id(QStringLiteral(R"(^tt\d{7,8}$)"));
    return id.match(text).hasMatch();
}

// Every id a text names must be the same one.
void take(NfoInfo &info, const QString &id)
{
    if (info.twoIds || id.isEmpty())
        return;
    if (info.imdbId.isEmpty())
        info.imdbId = id;
    else if (info.imdbId != id) {
        info.imdbId.clear();
        info.twoIds = true;
    }
}

NfoInfo parseXml(const QByteArray &content)
{
    QXmlStreamReader xml(content);
    QString defaultId, firstId, otherId, title, year;
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            --depth;
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QStringView name = xml.name();
        if (depth != 2) // the root's own children only: an actor's or a set's ids are not the film's
            continue;
        if (name == u"uniqueid") {
            const bool imdb = xml.attributes().value(QLatin1String("type")).compare(u"imdb", Qt::CaseInsensitive) == 0;
            const bool isDefault = xml.attributes().value(QLatin1String("default")) == u"true";
            const QString text = xml.readElementText().trimmed();
            --depth;
            if (imdb && isId(text)) {
                if (isDefault && defaultId.isEmpty())
                    defaultId = text;
                if (firstId.isEmpty())
                    firstId = text;
            }
        } else if (name == u"id" || name == u"imdb" || name == u"imdbid") {
            const QString text = xml.readElementText().trimmed();
            --depth;
            if (isId(text) && otherId.isEmpty())
                otherId = text;
        } else if (name == u"title" && title.isEmpty()) {
            title = xml.readElementText().trimmed();
            --depth;
        } else if (name == u"year" && year.isEmpty()) {
            year = xml.readElementText().trimmed();
            --depth;
        }
    }
    if (xml.hasError())
        return {};
    NfoInfo info;
    info.imdbId = !defaultId.isEmpty() ? defaultId : !firstId.isEmpty() ? firstId : otherId;
    static const QRegularExpression fourDigits(QStringLiteral(R"(^\d{4}$)"));
    if (!title.isEmpty())
        info.title = fourDigits.match(year).hasMatch() ? title + QStringLiteral(" (") + year + u')' : title;
    return info;
}

// Where "imdb" stands next in lowered (the content with the bit that tells case in ASCII set), from
// byte from on; -1 when nowhere.
qsizetype nextImdb(const QByteArray &lowered, qsizetype from)
{
    const void *at = ::memmem(lowered.constData() + from, size_t(lowered.size() - from), "imdb", 4);
    return at ? static_cast<const char *>(at) - lowered.constData() : -1;
}

NfoInfo parseText(const QByteArray &content)
{
    NfoInfo info;
    static const QRegularExpression address(
        QStringLiteral(R"((?<![a-z0-9-])(?:[a-z0-9-]+\.)*imdb\.[a-z]{2,3}(?:\.[a-z]{2})?/(?:[a-z]{2}(?:-[a-z]{2})?/)?)"
                       R"((?:title/tt(\d{7,8})|title\?(\d{7,8}))(?!\d))"),
        QRegularExpression::CaseInsensitiveOption);
    // Read as bytes: an address is ASCII whatever the rest of the file is in. Only the bytes around
    // each "imdb" are looked at closely; most of a release's text is art and notes.
    QByteArray lowered(content.size(), Qt::Uninitialized);
    const char *from = content.constData();
    char *to = lowered.data();
    for (qsizetype i = 0; i < content.size(); ++i)
        to[i] = char(from[i] | 0x20);
    for (qsizetype at = nextImdb(lowered, 0); at >= 0; at = nextImdb(lowered, at + 4)) {
        const qsizetype from = std::max<qsizetype>(0, at - 64);
        const QString window = QString::fromLatin1(content.mid(from, at - from + 96));
        for (auto it = address.globalMatch(window); it.hasNext();) {
            const auto m = it.next();
            if (m.capturedStart() + from > at || m.capturedEnd() + from <= at)
                continue; // another occurrence's, seen from its own window
            take(info, QStringLiteral("tt") + (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)));
        }
    }
    return info;
}

} // namespace

NfoInfo parseNfo(const QByteArray &content)
{
    qsizetype start = content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < content.size()
           && (content[start] == ' ' || content[start] == '\t' || content[start] == '\r' || content[start] == '\n'))
        ++start;
    const QByteArrayView head = QByteArrayView(content).sliced(start);
    if (head.startsWith("<?xml") || head.startsWith("<movie"))
        return parseXml(content);
    return parseText(content);
}

NfoInfo readNfo(const QByteArray &nativePath)
{
    // Opened as the walk saw it: a file, never through a link, and never waiting on a FIFO put there since.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st;
    QByteArray content;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= NfoSizeLimit;
    if (whole) {
        content.resize(qsizetype(st.st_size) + 1); // one more byte tells a file that grew
        qsizetype got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, size_t(content.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                whole = false;
            if (n <= 0)
                break;
            got += n;
            if (got < content.size())
                break; // a file reads short only at its end
        }
        content.truncate(got);
        whole = whole && got <= NfoSizeLimit;
    }
    ::close(fd);
    return whole ? parseNfo(content) : NfoInfo{};
}

} // namespace cinemork

#include "nfo.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

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

// Where "imdb" stands next, in any letter case, from byte from on; -1 when nowhere.
qsizetype nextImdb(const QByteArray &content, qsizetype from)
{
    const char *data = content.constData();
    for (qsizetype i = from, end = content.size() - 3; i < end; ++i) {
        if ((data[i] | 0x20) == 'i' && (data[i + 1] | 0x20) == 'm' && (data[i + 2] | 0x20) == 'd'
            && (data[i + 3] | 0x20) == 'b')
            return i;
    }
    return -1;
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
    for (qsizetype at = nextImdb(content, 0); at >= 0; at = nextImdb(content, at + 4)) {
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

NfoInfo readNfo(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > NfoSizeLimit)
        return {};
    const QByteArray content = file.read(NfoSizeLimit + 1);
    if (content.size() > NfoSizeLimit || file.error() != QFileDevice::NoError)
        return {};
    return parseNfo(content);
}

} // namespace cinemork

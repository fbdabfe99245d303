#include "importentry.h"

#include "importtexts.h"
#include "moviefiles/moviefiles.h"

#include <QRegularExpression>

namespace cinemork {

QString titleWithYear(const QString &title, const QString &yearText)
{
    static const QRegularExpression yearPattern(QStringLiteral("(?<!\\d)(\\d{4})(?!\\d)"));
    const QString t = title.trimmed();
    const QString year = yearPattern.match(yearText).captured(1);
    if (year.isEmpty() || t.endsWith(year) || t.endsWith(year + u')'))
        return t;
    return t + QStringLiteral(" (") + year + u')';
}

QString fileNameOf(const QString &path)
{
    const QString p = path.trimmed();
    return p.mid(std::max(p.lastIndexOf(u'/'), p.lastIndexOf(u'\\')) + 1);
}

namespace {

QString seenText(const QString &seen)
{
    const QString s = seen.trimmed().toLower();
    if (s.isEmpty())
        return {};
    bool number = false;
    const qint64 n = s.toLongLong(&number);
    if (number)
        return n > 0 ? ImportTexts::Seen : ImportTexts::NotSeen;
    const bool yes = s == QLatin1String("true") || s == QLatin1String("yes") || s == QLatin1String("seen");
    return yes ? ImportTexts::Seen : ImportTexts::NotSeen;
}

QString typeText(const QString &medium)
{
    const QString m = medium.trimmed();
    for (const QString &preset : TypePresets) {
        if (preset.compare(m, Qt::CaseInsensitive) == 0)
            return preset;
    }
    return m;
}

} // namespace

Movie movieOf(const ImportEntry &e)
{
    Movie m;
    m[FTitle] = titleWithYear(e.title, e.year);
    if (e.bytes >= 0)
        m[FSize] = QString::number(e.bytes / 1048576) + u'\\' + QString::number(e.cds > 0 ? e.cds : 1);
    else if (e.cds > 0)
        m[FSize] = u'\\' + QString::number(e.cds);
    if (e.width > 0 && e.height > 0)
        m[FRes] = QString::number(e.width) + u'x' + QString::number(e.height);
    m[FCodec] = e.codec.trimmed();
    m[FType] = typeText(e.medium);
    m[FSeenit] = seenText(e.seen);
    m[FLocation] = e.location.trimmed();
    QStringList names;
    for (const QString &f : e.files) {
        if (const QString name = fileNameOf(f); !name.isEmpty())
            names << name;
    }
    m[FFiles] = names.join(QStringLiteral(", "));
    m[FImdb] = imdbLink(e.imdb);
    m.icon = iconForTypeText(m[FType]);
    return m;
}

} // namespace cinemork

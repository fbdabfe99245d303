#include "editorlogic.h"

namespace cinemork {

QString escapeTitle(const QString &title)
{
    static const std::pair<QChar, const char *> table[] = {
        {u' ', "%20"}, {u'!', "%21"}, {u'"', "%22"}, {u'&', "%26"}, {u'\'', "%27"}, {u'(', "%28"},
        {u')', "%29"}, {u',', "%2C"}, {u'.', "%2E"}, {u'/', "%2F"}, {u':', "%3A"},  {u'?', "%3F"},
    };
    QString out = title;
    for (const auto &[c, code] : table)
        out.replace(c, QLatin1String(code));
    return out;
}

QString searchAddress(const QString &title)
{
    return QStringLiteral("http://") + FilmDbHost + QStringLiteral("/Find?for=") + escapeTitle(title);
}

QString normaliseLink(const QString &link)
{
    if (link.isEmpty())
        return link;
    QString out = link;
    if (!out.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        && !out.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        out.prepend(QStringLiteral("http://"));
    if (out.contains(FilmDbHost)) {
        const qsizetype at = out.indexOf(FilmDbHost, 0, Qt::CaseInsensitive);
        out.replace(at, FilmDbHost.size(), FilmDbMirrorHost);
    }
    return out;
}

} // namespace cinemork

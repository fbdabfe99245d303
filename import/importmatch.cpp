#include "importmatch.h"

#include <QRegularExpression>

namespace cinemork {

namespace {

QString idOf(const QString &link)
{
    static const QRegularExpression id(QStringLiteral("tt\\d{7,10}"));
    return link.contains(QLatin1String("imdb"), Qt::CaseInsensitive) ? id.match(link).captured(0) : QString();
}

QString titleKey(const QString &title)
{
    return title.simplified().toCaseFolded();
}

} // namespace

ImportMatch::ImportMatch(const QList<Movie> &list)
{
    for (const Movie &m : list) {
        if (const QString id = idOf(m[FImdb]); !id.isEmpty())
            m_ids.insert(id);
        m_titles.insert(titleKey(m[FTitle]));
    }
}

bool ImportMatch::catalogued(const Movie &imported) const
{
    const QString id = idOf(imported[FImdb]);
    return (!id.isEmpty() && m_ids.contains(id)) || m_titles.contains(titleKey(imported[FTitle]));
}

} // namespace cinemork

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
    for (int row = 0; row < list.size(); ++row) {
        const Movie &m = list[row];
        if (const QString id = idOf(m[FImdb]); !id.isEmpty() && !m_ids.contains(id))
            m_ids.insert(id, row);
        if (const QString title = titleKey(m[FTitle]); !m_titles.contains(title))
            m_titles.insert(title, row);
    }
}

int ImportMatch::catalogued(const Movie &imported) const
{
    if (const QString id = idOf(imported[FImdb]); !id.isEmpty() && m_ids.contains(id))
        return m_ids.value(id);
    return m_titles.value(titleKey(imported[FTitle]), -1);
}

} // namespace cinemork

#include "cataloguematch.h"

#include "listfile/sizes.h"
#include "moviefiles/moviefiles.h"
#include "moviefiles/releasename.h"
#include "partmarker.h"

#include <algorithm>

namespace cinemork {

namespace {

QString filesKey(const Movie &m)
{
    return m[FFiles].toCaseFolded() + u'\x1f' + QString::number(megabytesOf(m[FSize]));
}

QString titleKey(const QString &title)
{
    return title.trimmed().toCaseFolded();
}

} // namespace

CatalogueMatch::CatalogueMatch(const QList<Movie> &list)
    : m_list(list)
{
    for (qsizetype row = 0; row < list.size(); ++row) {
        if (!list[row][FFiles].isEmpty())
            m_files.insert(filesKey(list[row]), int(row));
        m_titles[titleKey(list[row][FTitle])] << int(row);
    }
}

int CatalogueMatch::catalogued(const FoundMovie &found, const Movie &movie) const
{
    // "movie.avi" of 700 MB is any movie: such names need the title as well.
    const bool generic = std::all_of(found.files.begin(), found.files.end(),
                                     [](const ScanFile &f) { return isGenericFileName(f.name); });
    for (auto it = m_files.constFind(filesKey(movie)); it != m_files.cend() && it.key() == filesKey(movie); ++it) {
        if (!generic || titleKey(m_list[it.value()][FTitle]) == titleKey(found.title))
            return it.value();
    }
    // A disc scanned again after its part went into a listed movie: the movie of that title holds
    // every one of these files among its own, and at least their size.
    const quint64 megabytes = megabytesOf(movie[FSize]);
    for (int row : m_titles.value(titleKey(found.title))) {
        if (megabytesOf(m_list[row][FSize]) < megabytes)
            continue;
        const QString listed = QStringLiteral(", ") + m_list[row][FFiles].toCaseFolded() + QStringLiteral(", ");
        if (!found.files.isEmpty() && std::all_of(found.files.begin(), found.files.end(), [&](const ScanFile &f) {
                return listed.contains(QStringLiteral(", ") + f.name.toCaseFolded() + QStringLiteral(", "));
            }))
            return row;
    }
    return -1;
}

CatalogueMatch::PartOf CatalogueMatch::partOf(const FoundMovie &found) const
{
    if (found.firstPart < 1)
        return {};
    const int lastPart = found.firstPart + found.parts - 1;
    for (int row : m_titles.value(titleKey(found.title))) {
        const quint64 cds = cdsOf(m_list[row][FSize]);
        if (found.firstPart >= 2 && cds < quint64(found.firstPart))
            return {row, false};
        // The list has a later part: every one of its files is marked as a part after these.
        const QStringList names = m_list[row][FFiles].split(QStringLiteral(", "), Qt::SkipEmptyParts);
        const bool later = !names.isEmpty() && std::all_of(names.begin(), names.end(), [&](const QString &name) {
            const auto marker = partMarker(name.trimmed());
            return marker && marker->number > lastPart;
        });
        if (later)
            return {row, true};
    }
    return {};
}

Movie withLaterPart(const Movie &listed, const Movie &part, bool earlier)
{
    Movie m = listed;
    m[FSize] = addMegabytes(listed[FSize].section(u'\\', 0, 0), megabytesOf(part[FSize])) + u'\\'
        + QString::number(cdsOf(listed[FSize]) + cdsOf(part[FSize]));
    const auto joined = [](const QString &a, const QString &b) {
        return a.isEmpty() ? b : b.isEmpty() ? a : a + QStringLiteral(", ") + b;
    };
    m[FFiles] = earlier ? joined(part[FFiles], listed[FFiles]) : joined(listed[FFiles], part[FFiles]);
    m[FLocation] =
        listed[FLocation] == part[FLocation] ? listed[FLocation] : joined(listed[FLocation], part[FLocation]);
    if (m[FRes].isEmpty())
        m[FRes] = part[FRes];
    return m;
}

} // namespace cinemork

#pragma once

#include "listfile/pagewriter.h"

#include <vector>

namespace cinemork {

enum class ResolutionClass { Below480, From480, From720, From1080, Unknown };
// By the picture's height in a resolution such as "640x272"; anything else is Unknown.
ResolutionClass resolutionClassOf(QStringView resolution);

struct StatisticsRow
{
    QString key; // a type, codec, location (empty when the movies have none) or resolution class name
    PageTotals totals;
};

// The list's totals and its movies counted by type, codec, location and resolution class, each with
// the page summary line's own counting (so the figures agree with it).
struct ListStatistics
{
    PageTotals totals;
    std::vector<StatisticsRow> byType, byCodec, byLocation; // by key, without regard to letter case
    std::vector<StatisticsRow> byResolution;                // every class, in the order of the enum
};
ListStatistics statisticsOf(const QList<Movie> &movies);

} // namespace cinemork

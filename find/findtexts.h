#pragma once

// The fixed texts of finding: the filter line, duplicates and the statistics window.

#include <QString>
#include <array>

namespace cinemork::FindTexts {

inline const QString FindLabel = QStringLiteral("&Find:");
inline const QString ClearCaption = QStringLiteral("Clear");
inline const QString FindPlaceholder = QStringLiteral("words in title, location, files, codec, type, resolution");
inline const std::array<QString, 3> SeenChoices{QStringLiteral("All"), QStringLiteral("Watched"),
                                                QStringLiteral("Not watched")};
inline QString shownOf(qsizetype shown, qsizetype all)
{
    return QStringLiteral("%1 of %2 movies").arg(shown).arg(all);
}
inline QString duplicatesShown(qsizetype movies, qsizetype groups)
{
    return QStringLiteral("%1 movies in %2 groups").arg(movies).arg(groups);
}

inline const QString StatisticsTitle = QStringLiteral("Statistics");
inline QString statisticsTotals(qsizetype movies, qsizetype watched, const QString &gigabytes, quint64 cds)
{
    return QStringLiteral("%1 movies, %2 watched, %3 GB on %4 CDs").arg(movies).arg(watched).arg(gigabytes).arg(cds);
}
inline const std::array<QString, 4> StatisticsTables{QStringLiteral("By type"), QStringLiteral("By codec"),
                                                     QStringLiteral("By location"), QStringLiteral("By resolution")};
inline const std::array<QString, 4> StatisticsKeyHeaders{QStringLiteral("Type"), QStringLiteral("Codec"),
                                                         QStringLiteral("Location"), QStringLiteral("Resolution")};
inline const QString CountHeader = QStringLiteral("Movies");
inline const QString GigabytesHeader = QStringLiteral("GB");
inline const QString NoKey = QStringLiteral("(none)");
inline const QString ChartTitle = QStringLiteral("GB by type");
inline const std::array<QString, 5> ResolutionClasses{QStringLiteral("below 480 lines"), QStringLiteral("480–719"),
                                                      QStringLiteral("720–1079"), QStringLiteral("1080 and over"),
                                                      QStringLiteral("unknown")};

} // namespace cinemork::FindTexts

#pragma once

// The fixed texts of finding: the filter line, duplicates and the statistics window.

#include <QString>
#include <array>

namespace cinemork::FindTexts {

inline const QString FindLabel = QStringLiteral("&Find:");
inline const QString ClearCaption = QStringLiteral("Clear");
inline const QString FindPlaceholder = QStringLiteral("words in title, location, files, codec, type, resolution");
inline const QString SeenName = QStringLiteral("Watched or not");
inline const std::array<QString, 3> SeenChoices{QStringLiteral("All"), QStringLiteral("Watched"),
                                                QStringLiteral("Not watched")};
// "1 movie", "2 movies"
inline QString counted(quint64 n, const char *one, const char *many)
{
    return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}
inline QString shownOf(qsizetype shown, qsizetype all)
{
    return QString::number(shown) + QStringLiteral(" of ") + counted(quint64(all), "movie", "movies");
}
inline QString duplicatesShown(qsizetype movies, qsizetype groups)
{
    return counted(quint64(movies), "movie", "movies") + QStringLiteral(" in ")
        + counted(quint64(groups), "group", "groups");
}

inline const QString StatisticsTitle = QStringLiteral("Statistics");
inline QString statisticsTotals(qsizetype movies, qsizetype watched, const QString &gigabytes, quint64 cds)
{
    return counted(quint64(movies), "movie", "movies") + QStringLiteral(", %1 watched, %2 GB on ").arg(watched).arg(gigabytes)
        + counted(cds, "CD", "CDs");
}
inline const std::array<QString, 4> StatisticsTables{QStringLiteral("By type"), QStringLiteral("By codec"),
                                                     QStringLiteral("By location"), QStringLiteral("By resolution")};
inline const std::array<QString, 4> StatisticsKeyHeaders{QStringLiteral("Type"), QStringLiteral("Codec"),
                                                         QStringLiteral("Location"), QStringLiteral("Resolution")};
inline const QString CountHeader = QStringLiteral("Movies");
inline const QString GigabytesHeader = QStringLiteral("GB");
inline const QString NoKey = QStringLiteral("(none)");
inline const QString CloseCaption = QStringLiteral("&Close");
inline const QString ChartTitle = QStringLiteral("GB by type");
inline const std::array<QString, 5> ResolutionClasses{QStringLiteral("below 480 lines"), QStringLiteral("480–719"),
                                                      QStringLiteral("720–1079"), QStringLiteral("1080 and over"),
                                                      QStringLiteral("unknown")};

} // namespace cinemork::FindTexts

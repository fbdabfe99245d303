#include "movie.h"

namespace cinemork {

const std::array<QString, FieldCount> FieldKeys{
    QStringLiteral("title"),    QStringLiteral("size"),  QStringLiteral("res"),
    QStringLiteral("codec"),    QStringLiteral("type"),  QStringLiteral("seenit"),
    QStringLiteral("location"), QStringLiteral("files"), QStringLiteral("imdb")};

const std::array<QString, FieldCount> FieldHeaders{
    QStringLiteral("Title"),    QStringLiteral("Size"),      QStringLiteral("Resolution"),
    QStringLiteral("Codec"),    QStringLiteral("Type"),      QStringLiteral("Watched"),
    QStringLiteral("Location"), QStringLiteral("Filenames"), QStringLiteral("Imdb link")};

const std::array<int, FieldCount> FieldWidthsTwips{2500, 1000, 1000, 1000, 1000, 850, 1500, 2000, 2000};

int iconForTypeText(const QString &type)
{
    if (type == QLatin1String("DVD Rip") || type == QLatin1String("DVD Screener Rip"))
        return 1;
    if (type == QLatin1String("SVCD") || type == QLatin1String("VCD") || type == QLatin1String("Cam"))
        return 2;
    if (type == QLatin1String("VHS Rip"))
        return 3;
    if (type == QLatin1String("TV Grab"))
        return 4;
    return 5;
}

} // namespace cinemork

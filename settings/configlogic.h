#pragma once

#include <QString>
#include <QStringList>

namespace cinemork {

inline const QStringList ColumnCaptions{
    QStringLiteral("Title"), QStringLiteral("Size"),    QStringLiteral("Resolution"), QStringLiteral("Codec"),
    QStringLiteral("Type"),  QStringLiteral("Watched"), QStringLiteral("Location"),   QStringLiteral("Files")};

// A fixed width is a whole number of pixels or a whole percentage: digits, optionally followed by "%".
bool isValidWidth(const QString &width);

} // namespace cinemork

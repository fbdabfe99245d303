#pragma once

// The texts of the settings: the configuration dialog, the user's style sheet, a store that cannot be written.

#include <QString>

namespace cinemork::Texts {

// What a screen reader calls the width boxes and the style sheet's button.
inline QString columnWidthName(const QString &column)
{
    return column + QStringLiteral(": width");
}
inline const QString GetCssName = QStringLiteral("Choose a style sheet");

inline const QString CssNotFound =
    QStringLiteral("User-defined CSS file was not found! Using default CSS layout instead.");
inline QString widthRefused(const QString &column)
{
    return QStringLiteral("The fixed width of the column ") + column
        + QStringLiteral(" must be a whole number of pixels or a whole percentage, such as 150 or 20%.");
}
inline const QString CssTitle = QStringLiteral("Get CSS file..");
inline const QString CssFilter = QStringLiteral("Cascading Style Sheets (*.css)|*.css|All files (*.*)|*.*");

inline QString notSaved(const QString &file, const QString &reason)
{
    return QStringLiteral("The settings could not be saved to ") + file + QStringLiteral(": ") + reason
        + QStringLiteral(". Cinemork goes on with the settings it has.");
}

} // namespace cinemork::Texts

#pragma once

// The settings' own messages.

#include <QString>

namespace cinemork::SettingsTexts {

inline QString notSaved(const QString &file, const QString &reason)
{
    return QStringLiteral("The settings could not be saved to ") + file + QStringLiteral(": ") + reason
        + QStringLiteral(". Cinemork goes on with the settings it has.");
}

} // namespace cinemork::SettingsTexts

#pragma once

// Why the settings store could not write, as the store says it.

#include <QString>

namespace cinemork::StoreTexts {

inline const QString LockHeld = QStringLiteral("is held by another program");
inline const QString LockNotMade = QStringLiteral("could not be made");

} // namespace cinemork::StoreTexts

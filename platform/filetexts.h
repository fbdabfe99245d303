#pragma once

// What a path is when it is no regular file, as the readers and writers of the program's files say it.

#include <QString>

namespace cinemork::FileTexts {

inline const QString IsAFolder = QStringLiteral("is a folder");
inline const QString NotARegularFile = QStringLiteral("is not a regular file");

} // namespace cinemork::FileTexts

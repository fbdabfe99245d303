#pragma once

// The companion's own messages; each goes to standard error after "cinemork-list: ".

#include <QString>

namespace cinemork::CompanionTexts {

inline QString cssUnreadable(const QString &path, const QString &reason)
{
    return path + QStringLiteral(": ") + reason + QStringLiteral("; the default style sheet is used");
}
inline const QString FolderMissing = QStringLiteral(": does not exist");
inline const QString FolderUnreadable = QStringLiteral(": no folder that can be read");
inline const QString StdoutClosed = QStringLiteral("standard output is closed: ");

} // namespace cinemork::CompanionTexts

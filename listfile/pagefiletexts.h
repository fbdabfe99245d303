#pragma once

// What the program says when a list page cannot be read or written.

#include <QString>

namespace cinemork::Texts {

inline const QString ReadErrorIntro =
    QStringLiteral("An unexpected error occurred. Possibly the list is invalid or contains an error.");
inline const QString ReadErrorReported = QStringLiteral("The reported error was: ");
inline QString readError(int number, const QString &description)
{
    return ReadErrorIntro + QStringLiteral("\n\n") + ReadErrorReported + QStringLiteral("Error#")
        + QString::number(number) + QStringLiteral(": ") + description;
}
inline QString writeError(const QString &path, const QString &reason)
{
    return QStringLiteral("The list could not be saved to ") + path + QStringLiteral(":\n") + reason
        + QStringLiteral("\n\nThe file was left as it was.");
}

} // namespace cinemork::Texts

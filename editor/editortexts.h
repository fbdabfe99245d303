#pragma once

// The movie editor's texts: its questions, the probe's messages, its file dialog.

#include <QString>

namespace cinemork::Texts {

// What a screen reader calls the boxes without a label of their own and the small buttons.
inline const QString CdsName = QStringLiteral("CD(s)");
inline const QString PictureHeightName = QStringLiteral("Resolution: height");
inline const QString GetFilesName = QStringLiteral("Choose the movie's files");
inline const QString GetDimsName = QStringLiteral("Read the picture size");
inline const QString GetImdbName = QStringLiteral("Search the film database");
inline const QString AddCodecName = QStringLiteral("Add a codec");
inline const QString AddTypeName = QStringLiteral("Add a type");

inline const QString GetResWarning = QStringLiteral("This will open the movie in a hidden window, ")
    + QStringLiteral("fetch it's dimensions and close it. On slow ") + QStringLiteral("systems, this can take a while.")
    + QStringLiteral("\r\n") + QStringLiteral("If the file ")
    + QStringLiteral("is on a badly readable CD, Cinemork may ")
    + QStringLiteral("end in an infinite loop trying to read the file.")
    + QStringLiteral(" You may then need to eject the CD and hit Esc. Continue?");
inline QString probeNotFound(const QString &p)
{
    return QStringLiteral("File ") + p + QStringLiteral(" not found!");
}
inline QString probeOpenFailed(const QString &p)
{
    return QStringLiteral("Failed to open ") + p + QStringLiteral("!");
}
inline QString probeNoDims(const QString &p)
{
    return QStringLiteral("Failed to get dimensions of ") + p + QStringLiteral("!");
}
inline QString probeInvalid(const QString &p)
{
    return QStringLiteral("Windows returned invalid dimensions for ") + p + QStringLiteral("!");
}
inline const QString NewCodecPrompt = QStringLiteral("Enter the name of the new codec you want to add to the list:");
inline const QString NewCodecCaption = QStringLiteral("New codec");
inline const QString NewTypePrompt = QStringLiteral("Enter the new movie type you want to add:");
inline const QString NewTypeCaption = QStringLiteral("New movie type");
inline const QString MovieFilesTitle = QStringLiteral("Select file(s)...");
inline const QString MovieFilesFilter = QStringLiteral(
    "AVI Movies (*.avi)|*.avi|MPEG Movies (*.mpeg)|*.mpeg;*.mpg|ASF Movies (*.asf)|*.asf|All files (*.*)|*.*");

} // namespace cinemork::Texts

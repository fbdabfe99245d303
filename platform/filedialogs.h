#pragma once

#include <QString>
#include <QStringList>

namespace cinemork {

// What the program asks of a file dialog: the window installs Qt's (qtdialogs.h), tests a scripted one.
class FileDialogBackend
{
public:
    virtual ~FileDialogBackend() = default;
    // Empty list on cancel.
    virtual QStringList openFiles(const QString &title, const QString &startFolder, const QStringList &nameFilters) = 0;
    // Empty text on cancel. The dialog asks before an existing file is replaced.
    virtual QString saveFile(const QString &title, const QString &startFolder, const QStringList &nameFilters,
                             const QString &defaultSuffix) = 0;
    // Empty text on cancel; a backend that offers no folders cancels.
    virtual QString chooseFolder(const QString &title, const QString &startFolder)
    {
        Q_UNUSED(title)
        Q_UNUSED(startFolder)
        return {};
    }
};

FileDialogBackend &fileDialogs();
void setFileDialogs(FileDialogBackend *b); // not owned; nullptr puts the default back
// What answers while nothing is installed; without one every dialog counts as cancelled.
void setDefaultFileDialogs(FileDialogBackend *b);

// Remembered for the run: the whole result of the last open and the last save dialog.
extern QString LastOpenPath;
extern QString LastSavePath;
extern QString LastFolderPath; // the last folder chosen to add its movies

// filter: "description|patterns|description|patterns", patterns joined by ";".
// Result: "" on cancel, the full path of one file, or "folder|name|name" for several.
QString ShowOpenDialog(const QString &title, const QString &filter);
// The same dialog for callers that need the chosen files themselves: a name may hold "|" or ",",
// so a joined text cannot always be taken apart again. Empty on cancel; remembered as above.
// A start given (a folder; for a save, a file name in one may be suggested) takes the place of the
// remembered one.
QStringList ShowOpenDialogFiles(const QString &title, const QString &filter, const QString &start = {});
QString ShowSaveDialog(const QString &title, const QString &filter, const QString &defaultExt,
                       const QString &start = {});

// A folder; empty on cancel. Starts in start, else in the last folder chosen, remembered for the run.
QString ShowFolderDialog(const QString &title, const QString &start = {});

// Helpers, public for tests.
QStringList qtNameFilters(const QString &filter);
QString joinSelection(const QStringList &files);
QString startFolderOf(const QString &remembered);
// Where a dialog starts while nothing is remembered: the user's documents folder, else home.
QString documentsFolder();

} // namespace cinemork

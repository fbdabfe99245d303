#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace cinemork {

class EditorHost;
class ListCommands;

// What a drop onto the main window is: the files of one movie (its parts), a folder to add the
// movies of, a list page, or nothing the window takes (a mix, an address that is no local file,
// anything else).
enum class DropKind { None, MovieFiles, Folder, ListPage };
DropKind dropKind(const QList<QUrl> &urls);

// Takes drops on the main window: movie files open the editor filled as if they had been chosen with
// "..", a folder is added as "Add from disc or folder" adds it (once a list exists), a list page
// opens as a recent file would. Nothing is taken while a list is written or read.
class DropTarget : public QObject
{
public:
    DropTarget(QWidget *window, EditorHost *host, ListCommands *commands,
               std::function<void(const QString &)> addFolder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    EditorHost *m_host;
    ListCommands *m_commands;
    std::function<void(const QString &)> m_addFolder;
};

} // namespace cinemork

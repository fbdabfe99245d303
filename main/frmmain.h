#pragma once

#include "commands/listcommands.h"
#include "editor/editorhost.h"
#include "filterbar.h"
#include "mainmenus.h"
#include "movielistview.h"
#include "platform/inputblocker.h"

#include <QMainWindow>
#include <array>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace cinemork {

// The main window: a view of the list document, its menus and buttons, and the window's own place.
class frmMain : public QMainWindow, public EditorHost
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    ListDocument &document() { return *m_doc; }
    ListCommands &commands() { return *m_commands; }
    MovieListView &list() { return *m_list; }
    FilterBar &filterBar() { return *m_filterBar; }

    // Commands.
    void mnuMovieNew_Click();
    void mnuMovieOpen_Click() { m_commands->open(); }
    bool mnuMovieSave_Click() { return m_commands->save(); }
    bool mnuMovieSaveAs_Click() { return m_commands->saveAs(); }
    void mnuActionTitle_Click() { m_commands->changeTitle(); }
    void mnuMovieRecent_Click(int index) { m_commands->openRecent(index); }
    void mnuActionBrowser_Click();
    void mnuHelpHelp_Click();
    void mnuActionStatistics_Click();
    void cmdAdd_Click();
    // The movies of a disc or folder (asked for when folder is empty), reviewed, added as one change.
    void addFromDisc(const QString &folder = {});
    void cmdEdit_Click();
    void cmdDel_Click();
    void cmdConfig_Click();
    void cmdAbout_Click();
    void cmdExit_Click();

    void RememberWindowPos(bool save);

    // EditorHost
    bool editMode() const override { return m_editing; }
    bool commitMovie(const Movie &m) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void createControls();
    void showDocument();
    void showBusy(bool busy);

    ListDocument *m_doc;
    ListCommands *m_commands;
    QTreeView *lvwMain = nullptr;
    MovieListView *m_list = nullptr;
    FilterBar *m_filterBar = nullptr;
    QPushButton *cmdAdd = nullptr, *cmdEdit = nullptr, *cmdDel = nullptr;
    QPushButton *cmdConfig = nullptr, *cmdAbout = nullptr, *cmdExit = nullptr;
    QStatusBar *barStatus = nullptr;
    QLabel *m_statusLabel = nullptr;
    QProgressBar *barProgress = nullptr;
    std::optional<MainMenus> m_menus;
    std::array<QIcon, 5> imlMain;
    std::optional<InputBlocker> m_blocker; // while the document writes or reads
    bool m_editing = false;                // while the editor edits a row, not adds one
    bool m_exiting = false;
};

} // namespace cinemork

#pragma once

#include "editor/editorhost.h"
#include "movielistview.h"
#include "settings/recentfiles.h"

#include <QMainWindow>
#include <array>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace cinemork {

class frmMain : public QMainWindow, public EditorHost
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);

    // List state, held in the window as the user sees it.
    QString listTitle() const;
    QString filePath() const { return m_tag; }
    QString statusText() const;
    void setStatusText(const QString &text);
    bool isModified() const;
    MovieListView &list() { return *m_list; }
    RecentFiles &recentFiles() { return m_recent; }
    bool busy() const { return m_busy; }

    // Writing and reading a list page; false when nothing was stored or read.
    bool WriteList(const QString &path, const QString &title);
    bool ReadList(const QString &path);

    // Commands. The Save family reports whether the list was stored.
    void mnuMovieNew_Click();
    void mnuMovieOpen_Click();
    bool mnuMovieSave_Click();
    bool mnuMovieSaveAs_Click();
    void mnuActionTitle_Click();
    void mnuMovieRecent_Click(int index);
    void mnuActionBrowser_Click();
    void mnuHelpHelp_Click();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdDel_Click();
    void cmdConfig_Click();
    void cmdAbout_Click();
    void cmdExit_Click();

    // Asks "List has been modified. Save changes?" when the list is modified; false: stop.
    bool saveChangesQuestion();
    void RememberWindowPos(bool save);
    static QString helpPagePath();
    static QString helpPagePathFor(const QString &programFolder);

    // EditorHost
    bool editMode() const override { return m_editTag == QLatin1String("edit"); }
    int selectedIndex() const override { return m_list->selectedIndex(); }
    void setSorted(bool on) override { m_list->setSorted(on); }
    void setSortKey(int column) override { m_list->setSortKey(column); }
    void addRow(int position, const QString &text, int icon) override { m_list->addRow(position, text, icon); }
    void setRow(int position, const QString &text, int icon) override;
    void setSubItem(int position, int sub, const QString &text) override { m_list->setSubItem(position, sub, text); }
    void selectRow(int position) override { m_list->select(position); }
    void ensureSelectedVisible() override { m_list->ensureVisible(m_list->selectedIndex()); }
    void recordModification() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void createControls();
    void createMenus();
    void refreshRecentMenu();
    void setCaptionTitle(const QString &title);
    void enableEntryButtons();
    QList<Movie> readSortedRows(QList<Movie> fileOrder) const;

    QTreeView *lvwMain = nullptr;
    MovieListView *m_list = nullptr;
    QPushButton *cmdAdd = nullptr, *cmdEdit = nullptr, *cmdDel = nullptr;
    QPushButton *cmdConfig = nullptr, *cmdAbout = nullptr, *cmdExit = nullptr;
    QStatusBar *barStatus = nullptr;
    QLabel *m_statusLabel = nullptr;
    QProgressBar *barProgress = nullptr;
    std::array<QAction *, 5> mnuMovieRecent{}; // 1..4
    std::array<QIcon, 5> imlMain;

    RecentFiles m_recent;
    QString m_tag;     // the list's file path
    QString m_editTag; // "edit" while the editor edits a row
    bool m_busy = false;
    bool m_exiting = false;
};

} // namespace cinemork

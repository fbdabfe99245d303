#pragma once

#include <QAction>
#include <array>

namespace cinemork {

class frmMain;
class ListDocument;
class RecentFiles;

// The main window's menu bar: every command with its caption and keys in one table, and the entries
// that follow the document (the recent files, undo and redo).
class MainMenus
{
public:
    explicit MainMenus(frmMain *window);
    void show(const ListDocument &doc, const RecentFiles &recent);

private:
    QAction *m_undo = nullptr, *m_redo = nullptr, *m_addFromDisc = nullptr, *m_check = nullptr;
    std::array<QAction *, 5> m_recent{}; // 1..4
};

} // namespace cinemork

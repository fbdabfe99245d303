#include "mainmenus.h"

#include "frmcheck.h"
#include "frmmain.h"
#include "importflow.h"

#include <QMenuBar>

namespace cinemork {

MainMenus::MainMenus(frmMain *window)
{
    ListCommands *doc = &window->commands();
    auto action = [window](QMenu *menu, const char *name, const char *caption, const QKeySequence &key, auto handler) {
        QAction *a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(a, &QAction::triggered, window, handler);
        return a;
    };
    auto menu = [window](const char *name, const char *caption) {
        QMenu *m = window->menuBar()->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto separator = [](QMenu *m, const char *name) { m->addSeparator()->setObjectName(QString::fromLatin1(name)); };

    QMenu *mnuMovie = menu("mnuMovie", "&Movie");
    action(mnuMovie, "mnuMovieNew", "&New list", QKeySequence(Qt::CTRL | Qt::Key_N), &frmMain::mnuMovieNew_Click);
    separator(mnuMovie, "mnuMovieStr3");
    action(mnuMovie, "mnuMovieOpen", "&Open list", QKeySequence(Qt::CTRL | Qt::Key_O), [doc] { doc->open(); });
    action(mnuMovie, "mnuMovieSave", "&Save list", QKeySequence(Qt::CTRL | Qt::Key_S), [doc] { doc->save(); });
    action(mnuMovie, "mnuMovieSaveAs", "Save list &as...", QKeySequence(), [doc] { doc->saveAs(); });
    action(mnuMovie, "mnuMovieExport", "Export as CS&V...", QKeySequence(), [doc] { doc->exportCsv(); });
    action(mnuMovie, "mnuMovieImport", "&Import from CSV...", QKeySequence(), [doc] { doc->importCsv(); });
    action(mnuMovie, "mnuMovieImportOther", "Import from another &program...", QKeySequence(),
           [window, doc] { ImportFlow(window, doc).run(); });
    separator(mnuMovie, "mnuMovieStr1");
    for (int n = 1; n <= 4; ++n) {
        QAction *a = mnuMovie->addAction(n == 1 ? RecentFiles::NoRecentFiles : QStringLiteral("."));
        a->setObjectName(QStringLiteral("mnuMovieRecent%1").arg(n));
        QObject::connect(a, &QAction::triggered, window, [doc, n] { doc->openRecent(n); });
        m_recent[size_t(n)] = a;
    }
    separator(mnuMovie, "mnuMovieStr2");
    action(mnuMovie, "mnuMovieExit", "E&xit", QKeySequence(Qt::Key_F7), &frmMain::cmdExit_Click);

    QMenu *mnuAction = menu("mnuAction", "&Actions");
    m_undo = action(mnuAction, "mnuActionUndo", "", QKeySequence(Qt::CTRL | Qt::Key_Z), [doc] { doc->undo(); });
    m_redo = action(mnuAction, "mnuActionRedo", "", QKeySequence(Qt::CTRL | Qt::Key_Y), [doc] { doc->redo(); });
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    separator(mnuAction, "mnuActionStr0");
    action(mnuAction, "mnuActionAdd", "&Add movie...", QKeySequence(Qt::CTRL | Qt::Key_A), &frmMain::cmdAdd_Click);
    m_addFromDisc = action(mnuAction, "mnuActionAddDisc", "Add from &disc or folder...",
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), [window] { window->addFromDisc(); });
    m_check = action(mnuAction, "mnuActionCheckDisc", "C&heck disc or folder...", QKeySequence(),
                     [window] { frmCheck::run(window, &window->commands()); });
    action(mnuAction, "mnuActionEdit", "&Edit movie", QKeySequence(Qt::CTRL | Qt::Key_E), &frmMain::cmdEdit_Click);
    action(mnuAction, "mnuActionDel", "&Delete movie", QKeySequence(Qt::Key_Delete), &frmMain::cmdDel_Click);
    action(mnuAction, "mnuActionTitle", "Change list title...", QKeySequence(), [doc] { doc->changeTitle(); });
    separator(mnuAction, "mnuActionStr1");
    action(mnuAction, "mnuActionBrowser", "&View in browser", QKeySequence(Qt::CTRL | Qt::Key_B),
           &frmMain::mnuActionBrowser_Click);
    action(mnuAction, "mnuActionConfig", "&Config...", QKeySequence(Qt::Key_F2), &frmMain::cmdConfig_Click);
    separator(mnuAction, "mnuActionStr2");
    FilterBar *find = &window->filterBar();
    action(mnuAction, "mnuActionFind", "&Find", QKeySequence(Qt::CTRL | Qt::Key_F), [find] { find->focusFind(); });
    action(mnuAction, "mnuActionFindNext", "Find &next", QKeySequence(Qt::Key_F3), [find] { find->findNext(); });
    action(mnuAction, "mnuActionDuplicates", "Find d&uplicates", QKeySequence(), [find] { find->findDuplicates(); });
    action(mnuAction, "mnuActionStatistics", "S&tatistics...", QKeySequence(), &frmMain::mnuActionStatistics_Click);

    QMenu *mnuHelp = menu("mnuHelp", "&Help");
    action(mnuHelp, "mnuHelpHelp", "&Help", QKeySequence(Qt::Key_F1), &frmMain::mnuHelpHelp_Click);
    action(mnuHelp, "mnuAbout", "&About", QKeySequence(), &frmMain::cmdAbout_Click);
}

void MainMenus::show(const ListDocument &doc, const RecentFiles &recent)
{
    for (int n = 1; n <= 4; ++n) {
        QAction *a = m_recent[size_t(n)];
        const RecentFiles::Entry &e = recent.entry(n);
        a->setText(recent.menuText(n));
        a->setVisible(e.visible);
        a->setEnabled(e.enabled);
    }
    m_addFromDisc->setEnabled(doc.hasList()); // as the Add button
    m_check->setEnabled(doc.hasList());
    m_undo->setText(doc.undoCaption());
    m_redo->setText(doc.redoCaption());
    m_undo->setEnabled(doc.undoStack()->canUndo());
    m_redo->setEnabled(doc.undoStack()->canRedo());
}

} // namespace cinemork

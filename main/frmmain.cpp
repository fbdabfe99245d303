#include "frmmain.h"

#include "aboutbox.h"
#include "discscan.h"
#include "droptarget.h"
#include "editor/frmaddcd.h"
#include "mainlayout.h"
#include "mainmenus.h"
#include "platform/shell.h"
#include "document/documenttexts.h"
#include "platform/twips.h"
#include "settings/frmconfig.h"
#include "settings/modregistry.h"
#include "statisticswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>

namespace cinemork {

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
    , m_doc(new ListDocument(this))
    , m_commands(new ListCommands(m_doc, this))
{
    setObjectName(QStringLiteral("frmMain"));
    m_commands->setDialogParent(this);
    Form_Load();
}

frmMain::~frmMain()
{
    m_doc->disconnect(this); // the document and the commands outlive the window's own parts
    m_commands->disconnect(this);
    setSettingsNotSavedHandler(nullptr);
    saveSetting(Reg::ColumnWidths, m_list->columnWidths()); // as the user left them, for the next run
}

void frmMain::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    lvwMain = new QTreeView(client);
    lvwMain->setObjectName(QStringLiteral("lvwMain"));
    lvwMain->setGeometry(twipsRect(0, 0, 6855, 3975));
    m_list = new MovieListView(lvwMain, m_doc->model(), this);
    connect(m_list, &MovieListView::doubleClicked, this, &frmMain::cmdEdit_Click);
    m_filterBar = new FilterBar(m_list, client); // above the list; placed with it
    setTabOrder(m_filterBar, lvwMain);
    new DropTarget(this, this, m_commands, [this](const QString &folder) { addFromDisc(folder); });

    struct ButtonDef
    {
        QPushButton **button;
        const char *name;
        const char *caption;
        int left;
        void (frmMain::*handler)();
    };
    const ButtonDef buttons[] = {
        {&cmdAdd, "cmdAdd", "Add", 120, &frmMain::cmdAdd_Click},
        {&cmdEdit, "cmdEdit", "Edit", 1200, &frmMain::cmdEdit_Click},
        {&cmdDel, "cmdDel", "Delete", 2280, &frmMain::cmdDel_Click},
        {&cmdConfig, "cmdConfig", "Config", 3600, &frmMain::cmdConfig_Click},
        {&cmdAbout, "cmdAbout", "About", 4680, &frmMain::cmdAbout_Click},
        {&cmdExit, "cmdExit", "E&xit", 5760, &frmMain::cmdExit_Click},
    };
    QWidget *previous = lvwMain;
    for (const ButtonDef &b : buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), client);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(twipsRect(b.left, 4080, 975, 375));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.handler);
        setTabOrder(previous, button);
        previous = button;
        *b.button = button;
    }

    barStatus = new QStatusBar(client);
    barStatus->setObjectName(QStringLiteral("barStatus"));
    m_statusLabel = new QLabel(Texts::NoListOpened, barStatus);
    m_statusLabel->setObjectName(QStringLiteral("barStatusText"));
    barStatus->addWidget(m_statusLabel, 1);
    barStatus->setGeometry(twipsRect(0, 4515, 6855, 255));

    barProgress = new QProgressBar(client);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    barProgress->setRange(0, 100);
    barProgress->setGeometry(twipsRect(0, 4515, 6840, 255));
}

void frmMain::Form_Load()
{
    QIcon appIcon(QStringLiteral(":/icons/cinemork.svg")); // drawn to any size, but by hand at the smallest
    appIcon.addFile(QStringLiteral(":/icons/cinemork-16.xpm"), QSize(16, 16));
    setWindowIcon(appIcon);

    createControls();
    m_menus.emplace(this);
    // 1. the progress bar waits hidden until a list is written
    barProgress->hide();
    // 2. the nine columns
    m_list->fitColumns(setting(Reg::ColumnWidths, QString()));
    // 3. the five type pictures
    for (int i = 0; i < 5; ++i)
        imlMain[size_t(i)] = QIcon(QStringLiteral(":/icons/type%1.svg").arg(i + 1));
    m_doc->model()->setIcons(imlMain);
    // 4-8. the store, the recent files, the window's place, the two flags; settings that cannot be
    // written are said once in the status bar, and the program goes on with them
    setSettingsNotSavedHandler([this](const QString &message) { barStatus->showMessage(message, 20000); });
    InitSettings();
    m_commands->recentFiles().UpdateRecentFiles(RecentLoad, QString());
    RememberWindowPos(false);
    ShowGetResWarningFlag = regBool(setting(Reg::ShowGetResWarning, QStringLiteral("1")), true);
    AutoSaveFlag = regBool(setting(Reg::AutoSave, QStringLiteral("0")), false);
    // 9. nothing to add to, edit or delete until a list exists: showDocument enables them then
    connect(m_doc, &ListDocument::changed, this, &frmMain::showDocument);
    connect(m_doc, &ListDocument::changed, m_filterBar, &FilterBar::listChanged);
    connect(m_commands, &ListCommands::recentFilesChanged, this, &frmMain::showDocument);
    connect(m_doc, &ListDocument::busyChanged, this, &frmMain::showBusy);
    connect(m_doc, &ListDocument::writeStarted, this, [this] {
        barStatus->hide();
        barProgress->setValue(0);
        barProgress->show();
    });
    connect(m_doc, &ListDocument::progress, this, [this](int percent) {
        barProgress->setValue(percent);
        QApplication::processEvents();
    });
    connect(m_doc, &ListDocument::eventsWanted, this, [] { QApplication::processEvents(); });
    showDocument();
}

void frmMain::showDocument()
{
    setWindowTitle(m_doc->caption());
    m_statusLabel->setText(m_doc->statusText());
    for (QPushButton *b : {cmdAdd, cmdEdit, cmdDel})
        b->setEnabled(m_doc->hasList());
    m_menus->show(*m_doc, m_commands->recentFiles());
}

void frmMain::showBusy(bool busy)
{
    if (busy)
        m_blocker.emplace(); // no input reaches any window until the write or read is done
    else
        m_blocker.reset();
    barProgress->hide();
    barStatus->show();
}

// ---- commands ----

void frmMain::mnuMovieNew_Click()
{
    if (m_commands->newList())
        cmdAdd_Click();
}

bool frmMain::commitMovie(const Movie &m)
{
    const int selected = m_list->selectedRow(); // of the list: a filter may hide rows above it
    if (editMode() && selected < 0)
        return false;
    const auto show = [this](int row) { m_list->showRow(row); };
    return (editMode() ? m_commands->editMovie(selected, m, show) : m_commands->addMovie(m, show)) >= 0;
}

void frmMain::cmdAdd_Click()
{
    if (m_doc->busy())
        return;
    frmAddCD(this, this).exec(); // the editor is gone before the list takes the focus
    lvwMain->setFocus();
}

void frmMain::addFromDisc(const QString &folder)
{
    if (DiscScan(this, m_commands).run(folder))
        lvwMain->setFocus();
}

void frmMain::cmdEdit_Click()
{
    const int selected = m_list->selectedRow();
    if (m_doc->busy() || selected < 0)
        return;
    m_editing = true;
    {
        frmAddCD editor(this, this);
        editor.fillFrom(m_doc->model()->movie(selected));
        editor.exec();
    }
    m_editing = false;
}

void frmMain::cmdDel_Click()
{
    m_commands->deleteMovie(m_list->selectedRow()); // none selected (-1) is no row: nothing is asked
}

void frmMain::mnuActionBrowser_Click()
{
    // A save that stored nothing (cancelled, or refused with a message) opens nothing: the page
    // on disk would be an older one.
    if (m_commands->save())
        shell().open(m_doc->filePath());
}

void frmMain::mnuHelpHelp_Click()
{
    shell().open(helpPagePathFor(QCoreApplication::applicationDirPath(), QStringLiteral(CINEMORK_DATADIR)));
}

void frmMain::mnuActionStatistics_Click()
{
    if (!m_doc->busy())
        StatisticsWindow(m_doc->movies(), this).exec();
}

void frmMain::cmdAbout_Click()
{
    AboutBox(windowIcon(), this).exec();
}

void frmMain::cmdConfig_Click()
{
    if (m_doc->busy())
        return;
    frmConfig config([this] { m_commands->recordModification(); }, this);
    config.exec();
}

// ---- window lifecycle ----

void frmMain::cmdExit_Click()
{
    if (m_doc->busy() || !m_commands->saveChangesQuestion())
        return;
    RememberWindowPos(true);
    m_exiting = true;
    close();
    QApplication::quit();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Exit has asked already; the window's close request asks now, and never while a list is written.
    event->setAccepted(m_exiting || (!m_doc->busy() && m_commands->saveChangesQuestion()));
}

void frmMain::RememberWindowPos(bool save)
{
    const int menuHeight = menuBar()->sizeHint().height();
    if (save) {
        if (!isMaximized() && !isMinimized())
            saveSetting(Reg::WinPos, storedWindowPlace(pos(), size(), menuHeight));
        return;
    }
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        screens.prepend(primary->availableGeometry());
    const WindowPlace place =
        restoredWindowPlace(setting(Reg::WinPos, QString()), menuHeight, screens, m_list->widthShowingEveryColumn());
    setWindowState(Qt::WindowNoState);
    resize(place.size);
    move(place.pos);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::Form_Resize()
{
    if (isMinimized() || !centralWidget())
        return;
    placeControls(
        {lvwMain, barProgress, barStatus, {cmdAdd, cmdEdit, cmdDel, cmdConfig, cmdAbout, cmdExit}, m_filterBar},
        centralWidget()->size());
}

} // namespace cinemork

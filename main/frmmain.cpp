#include "frmmain.h"

#include "aboutbox.h"
#include "editor/frmaddcd.h"
#include "listfile/pagereader.h"
#include "listfile/pagewriter.h"
#include "mainlayout.h"
#include "platform/filedialogs.h"
#include "platform/inputblocker.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/texts.h"
#include "platform/twips.h"
#include "settings/frmconfig.h"
#include "settings/modregistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>

#ifndef CINEMORK_DATADIR
#define CINEMORK_DATADIR "/usr/share/cinemork"
#endif

namespace cinemork {

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    Form_Load();
}

void frmMain::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    lvwMain = new QTreeView(client);
    lvwMain->setObjectName(QStringLiteral("lvwMain"));
    lvwMain->setGeometry(twipsRect(0, 0, 6855, 3975));
    m_list = new MovieListView(lvwMain, this);
    connect(m_list, &MovieListView::doubleClicked, this, &frmMain::cmdEdit_Click);

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
    barStatus->setSizeGripEnabled(true);
    m_statusLabel = new QLabel(Texts::NoListOpened, barStatus);
    m_statusLabel->setObjectName(QStringLiteral("barStatusText"));
    barStatus->addWidget(m_statusLabel, 1);
    barStatus->setGeometry(twipsRect(0, 4515, 6855, 255));

    barProgress = new QProgressBar(client);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    barProgress->setRange(0, 100);
    barProgress->setGeometry(twipsRect(0, 4515, 6840, 255));
}

void frmMain::createMenus()
{
    auto action = [this](QMenu *menu, const char *name, const char *caption, const QKeySequence &key, auto handler) {
        QAction *a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu *mnuMovie = menuBar()->addMenu(QStringLiteral("&Movie"));
    mnuMovie->setObjectName(QStringLiteral("mnuMovie"));
    action(mnuMovie, "mnuMovieNew", "&New list", QKeySequence(Qt::CTRL | Qt::Key_N), &frmMain::mnuMovieNew_Click);
    mnuMovie->addSeparator()->setObjectName(QStringLiteral("mnuMovieStr3"));
    action(mnuMovie, "mnuMovieOpen", "&Open list", QKeySequence(Qt::CTRL | Qt::Key_O), &frmMain::mnuMovieOpen_Click);
    action(mnuMovie, "mnuMovieSave", "&Save list", QKeySequence(Qt::CTRL | Qt::Key_S), &frmMain::mnuMovieSave_Click);
    action(mnuMovie, "mnuMovieSaveAs", "Save list &as...", QKeySequence(), &frmMain::mnuMovieSaveAs_Click);
    mnuMovie->addSeparator()->setObjectName(QStringLiteral("mnuMovieStr1"));
    for (int n = 1; n <= 4; ++n) {
        QAction *a = mnuMovie->addAction(n == 1 ? RecentFiles::NoRecentFiles : QStringLiteral("."));
        a->setObjectName(QStringLiteral("mnuMovieRecent%1").arg(n));
        connect(a, &QAction::triggered, this, [this, n] { mnuMovieRecent_Click(n); });
        mnuMovieRecent[size_t(n)] = a;
    }
    mnuMovie->addSeparator()->setObjectName(QStringLiteral("mnuMovieStr2"));
    action(mnuMovie, "mnuMovieExit", "E&xit", QKeySequence(Qt::Key_F7), &frmMain::cmdExit_Click);

    QMenu *mnuAction = menuBar()->addMenu(QStringLiteral("&Actions"));
    mnuAction->setObjectName(QStringLiteral("mnuAction"));
    action(mnuAction, "mnuActionAdd", "&Add movie...", QKeySequence(Qt::CTRL | Qt::Key_A), &frmMain::cmdAdd_Click);
    action(mnuAction, "mnuActionEdit", "&Edit movie", QKeySequence(Qt::CTRL | Qt::Key_E), &frmMain::cmdEdit_Click);
    action(mnuAction, "mnuActionDel", "&Delete movie", QKeySequence(Qt::Key_Delete), &frmMain::cmdDel_Click);
    action(mnuAction, "mnuActionTitle", "Change list title...", QKeySequence(), &frmMain::mnuActionTitle_Click);
    mnuAction->addSeparator()->setObjectName(QStringLiteral("mnuActionStr1"));
    action(mnuAction, "mnuActionBrowser", "&View in browser", QKeySequence(Qt::CTRL | Qt::Key_B),
           &frmMain::mnuActionBrowser_Click);
    action(mnuAction, "mnuActionConfig", "&Config...", QKeySequence(Qt::Key_F2), &frmMain::cmdConfig_Click);

    QMenu *mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    action(mnuHelp, "mnuHelpHelp", "&Help", QKeySequence(Qt::Key_F1), &frmMain::mnuHelpHelp_Click);
    action(mnuHelp, "mnuAbout", "&About", QKeySequence(), &frmMain::cmdAbout_Click);
}

void frmMain::Form_Load()
{
    QIcon appIcon;
    appIcon.addFile(QStringLiteral(":/icons/cinemork-32.xpm"), QSize(32, 32));
    appIcon.addFile(QStringLiteral(":/icons/cinemork-16.xpm"), QSize(16, 16));
    setWindowIcon(appIcon);
    setWindowTitle(Texts::AppName);

    createControls();
    createMenus();
    // 1. the progress bar waits hidden until a list is written
    barProgress->hide();
    // 2. the nine columns
    for (int c = 0; c < FieldCount; ++c)
        lvwMain->header()->resizeSection(c, twipsToPixels(FieldWidthsTwips[size_t(c)]));
    // 3. the five type pictures
    for (int i = 0; i < 5; ++i)
        imlMain[size_t(i)] = QIcon(QStringLiteral(":/icons/type%1.xpm").arg(i + 1));
    m_list->model()->setIcons(imlMain);
    // 4-8. the store, the recent files, the window's place, the two flags
    InitSettings();
    m_recent.changed = [this] { refreshRecentMenu(); };
    m_recent.UpdateRecentFiles(RecentLoad, QString());
    RememberWindowPos(false);
    ShowGetResWarningFlag = regBool(setting(Reg::ShowGetResWarning, QStringLiteral("1")), true);
    AutoSaveFlag = regBool(setting(Reg::AutoSave, QStringLiteral("0")), false);
    // 9. nothing to add to, edit or delete until a list exists
    cmdAdd->setEnabled(false);
    cmdEdit->setEnabled(false);
    cmdDel->setEnabled(false);
}

void frmMain::refreshRecentMenu()
{
    for (int n = 1; n <= 4; ++n) {
        QAction *a = mnuMovieRecent[size_t(n)];
        const RecentFiles::Entry &e = m_recent.entry(n);
        a->setText(m_recent.menuText(n));
        a->setVisible(e.visible);
        a->setEnabled(e.enabled);
        a->setData(e.tag);
    }
}

// ---- list state ----

QString frmMain::listTitle() const
{
    const QString caption = windowTitle();
    return caption.startsWith(Texts::CaptionPrefix) ? caption.mid(Texts::CaptionPrefix.size()) : QString();
}

void frmMain::setCaptionTitle(const QString &title)
{
    setWindowTitle(Texts::CaptionPrefix + title);
}

QString frmMain::statusText() const
{
    return m_statusLabel->text();
}

void frmMain::setStatusText(const QString &text)
{
    m_statusLabel->setText(text);
}

bool frmMain::isModified() const
{
    return statusText() == Texts::ListModified;
}

void frmMain::enableEntryButtons()
{
    cmdAdd->setEnabled(true);
    cmdEdit->setEnabled(true);
    cmdDel->setEnabled(true);
}

void frmMain::recordModification()
{
    // A modification whose auto-save stored nothing still counts as a modification.
    if (AutoSaveFlag && mnuMovieSave_Click())
        return;
    setStatusText(Texts::ListModified);
}

void frmMain::setRow(int position, const QString &text, int icon)
{
    m_list->setText(position, text);
    m_list->setSmallIcon(position, icon);
}

// ---- writing and reading ----

bool frmMain::WriteList(const QString &path, const QString &title)
{
    PageSettings s;
    s.columns = setting(Reg::BrowserColumns, Reg::DefaultColumns);
    s.widths = setting(Reg::BrowserColumnsFixedWidth, Reg::DefaultWidths);
    s.createIndex = regBool(setting(Reg::CreateIndex, QStringLiteral("0")), false);
    const QString css = setting(Reg::UserCSS, QString());
    if (!css.isEmpty()) {
        s.cssLines = readStyleSheet(css);
        if (!s.cssLines)
            msgBox(this, Texts::CssNotFound, Buttons::Ok, BoxIcon::Exclamation);
    }

    m_busy = true;
    std::optional<InputBlocker> blocker(std::in_place);
    barStatus->hide();
    barProgress->setValue(0);
    barProgress->show();
    // The rows as they are now: a header click while events are processed reorders the list, not the page.
    const QList<Movie> rows = m_list->model()->movies();
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        ok = PageWriter::write(&file, title, rows, s, QLocale().decimalPoint(), [this](int percent) {
            barProgress->setValue(percent);
            QApplication::processEvents();
        });
        ok = ok && file.commit();
    }
    const QString reason = file.errorString();
    if (!ok)
        file.cancelWriting();
    barProgress->hide();
    barStatus->show();
    m_busy = false;
    blocker.reset();
    if (!ok) {
        msgBox(this, Texts::writeError(path, reason), Buttons::Ok, BoxIcon::Critical);
        return false;
    }

    const PageTotals totals = totalsOf(rows);
    m_recent.UpdateRecentFiles(RecentAdd, path);
    setCaptionTitle(title);
    setStatusText(Texts::loadedStatus(totals.movies, title, gigabytesText(totals.megabytes)));
    return true;
}

QList<Movie> frmMain::readSortedRows(QList<Movie> fileOrder) const
{
    // Each row went in at the top, so the file's last movie leads before the sort by title.
    std::reverse(fileOrder.begin(), fileOrder.end());
    return fileOrder;
}

bool frmMain::ReadList(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    m_busy = true;
    std::optional<InputBlocker> blocker(std::in_place);
    const QString previousStatus = statusText();
    setStatusText(Texts::opening(path));
    QApplication::processEvents();
    PageReadResult page = readPageFile(path);
    if (!page.ok) {
        setStatusText(previousStatus);
        m_busy = false;
        blocker.reset();
        msgBox(this, Texts::readError(page.errorNumber, page.errorDescription), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    m_list->model()->setSorted(false);
    m_list->model()->setSortKey(0);
    m_list->setRows(readSortedRows(std::move(page.movies)));
    m_list->setSorted(true);
    setCaptionTitle(page.title);
    setStatusText(Texts::loadedStatus(m_list->count(), page.title, gigabytesText(page.megabytes)));
    m_tag = path;
    enableEntryButtons();
    m_busy = false;
    m_recent.UpdateRecentFiles(RecentAdd, path);
    return true;
}

// ---- list commands ----

bool frmMain::saveChangesQuestion()
{
    if (!isModified())
        return true;
    switch (msgBox(this, Texts::SaveChanges, Buttons::YesNoCancel, BoxIcon::Question, Answer::Yes)) {
    case Answer::Yes:
        // A save that stores nothing must not let unsaved work go.
        return mnuMovieSave_Click();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void frmMain::mnuMovieNew_Click()
{
    if (m_busy || !saveChangesQuestion())
        return;
    m_list->clear();
    setCaptionTitle(Texts::Untitled);
    m_tag.clear();
    enableEntryButtons();
    cmdAdd_Click();
}

void frmMain::mnuMovieOpen_Click()
{
    if (m_busy || !saveChangesQuestion())
        return;
    const QString chosen = ShowOpenDialog(Texts::OpenListTitle, Texts::ListFilter, QString());
    if (chosen.isEmpty())
        return;
    ReadList(chosen);
}

bool frmMain::mnuMovieSave_Click()
{
    if (m_busy)
        return false;
    if (!m_tag.isEmpty())
        return WriteList(m_tag, listTitle());
    return mnuMovieSaveAs_Click();
}

bool frmMain::mnuMovieSaveAs_Click()
{
    if (m_busy)
        return false;
    const QString chosen = ShowSaveDialog(Texts::SaveListTitle, Texts::ListFilter, Texts::ListDefaultExt, QString());
    if (chosen.isEmpty())
        return false;
    const QString title = inputBox(this, Texts::EnterNameCaption, Texts::enterTitlePrompt(chosen), Texts::DefaultListTitle);
    if (title.isEmpty())
        return false;
    if (!WriteList(chosen, title))
        return false;
    m_tag = chosen;
    return true;
}

void frmMain::mnuActionTitle_Click()
{
    if (m_busy)
        return;
    const QString title = inputBox(this, Texts::ChangeTitleCaption, Texts::ChangeTitlePrompt, listTitle());
    if (title.isEmpty())
        return;
    setCaptionTitle(title);
    recordModification();
}

void frmMain::mnuMovieRecent_Click(int index)
{
    if (m_busy || index < 1 || index > 4)
        return;
    const QString path = m_recent.entry(index).tag;
    if (QFileInfo(path).isFile()) {
        if (saveChangesQuestion())
            ReadList(path);
        return;
    }
    if (msgBox(this, Texts::mruMissing(path), Buttons::OkCancel, BoxIcon::Exclamation, Answer::Ok) == Answer::Ok)
        m_recent.UpdateRecentFiles(RecentRemove, path);
}

// ---- entries ----

void frmMain::cmdAdd_Click()
{
    if (m_busy)
        return;
    {
        frmAddCD editor(this, this);
        editor.exec();
    }
    lvwMain->setFocus();
}

void frmMain::cmdEdit_Click()
{
    if (m_busy)
        return;
    const int selected = m_list->selectedIndex();
    if (selected == 0)
        return;
    m_editTag = QStringLiteral("edit");
    {
        frmAddCD editor(this, this);
        editor.fillFrom(m_list->model()->movie(selected - 1));
        editor.exec();
    }
    m_editTag.clear();
}

void frmMain::cmdDel_Click()
{
    if (m_busy)
        return;
    const int selected = m_list->selectedIndex();
    if (selected == 0)
        return;
    if (msgBox(this, Texts::ConfirmDelete, Buttons::YesNo, BoxIcon::Question, Answer::Yes) != Answer::Yes)
        return;
    m_list->removeRow(selected);
    recordModification();
}

// ---- browser, help, about, config ----

void frmMain::mnuActionBrowser_Click()
{
    if (m_busy)
        return;
    // A save that stored nothing (cancelled, or refused with a message) opens nothing: the page
    // on disk would be an older one.
    if (mnuMovieSave_Click())
        shell().open(m_tag);
}

QString frmMain::helpPagePath()
{
    return helpPagePathFor(QCoreApplication::applicationDirPath());
}

QString frmMain::helpPagePathFor(const QString &programFolder)
{
    // Beside the program (the build folder), else in the data folder of the installation it belongs to.
    QString folder = programFolder;
    const QString installed[] = {programFolder + QStringLiteral("/../share/cinemork"), QStringLiteral(CINEMORK_DATADIR)};
    if (!QFileInfo(programFolder + QStringLiteral("/help.html")).isFile()) {
        for (const QString &candidate : installed) {
            if (QFileInfo(candidate + QStringLiteral("/help.html")).isFile()) {
                folder = QDir::cleanPath(candidate);
                break;
            }
        }
    }
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("help.html");
}

void frmMain::mnuHelpHelp_Click()
{
    shell().open(helpPagePath());
}

void frmMain::cmdAbout_Click()
{
    AboutBox box(windowIcon(), this);
    box.exec();
}

void frmMain::cmdConfig_Click()
{
    if (m_busy)
        return;
    frmConfig config([this] { recordModification(); }, this);
    config.exec();
}

// ---- window lifecycle ----

void frmMain::cmdExit_Click()
{
    if (m_busy || !saveChangesQuestion())
        return;
    RememberWindowPos(true);
    m_exiting = true;
    close();
    QApplication::quit();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    if (m_busy || !saveChangesQuestion()) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmMain::RememberWindowPos(bool save)
{
    if (save) {
        if (isMaximized() || isMinimized())
            return;
        const int menuHeight = menuBar()->sizeHint().height();
        const QRect r(pixelsToTwips(x()), pixelsToTwips(y()), pixelsToTwips(width()) + FrameExtraWidth,
                      pixelsToTwips(height() - menuHeight) + FrameExtraHeight);
        saveSetting(Reg::WinPos, formatWinPos(r));
        return;
    }
    const QRect r = parseWinPos(setting(Reg::WinPos, Reg::DefaultWinPos))
                        .value_or(*parseWinPos(Reg::DefaultWinPos));
    setWindowState(Qt::WindowNoState);
    QSize size(twipsToPixels(r.width() - FrameExtraWidth),
               twipsToPixels(r.height() - FrameExtraHeight) + menuBar()->sizeHint().height());
    QPoint pos(twipsToPixels(r.x()), twipsToPixels(r.y()));
    // Never larger than the screen can show.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    // A place on a screen that is no longer there: onto the primary screen, the size kept.
    bool onScreen = false;
    for (const QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(QRect(pos, size));
    if (!onScreen) {
        if (const QScreen *primary = QGuiApplication::primaryScreen())
            pos = primary->availableGeometry().topLeft();
    }
    resize(size);
    move(pos);
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
    const QSize client = centralWidget()->size();
    const MainLayout l = mainLayout(pixelsToTwips(client.width()), pixelsToTwips(client.height()));
    barStatus->setGeometry(twipsRect(l.status.x(), l.status.y(), l.status.width(), l.status.height()));
    if (!l.moveControls)
        return;
    QRect list = lvwMain->geometry();
    if (l.listWidth)
        list.setWidth(twipsToPixels(*l.listWidth));
    if (l.listHeight)
        list.setHeight(twipsToPixels(*l.listHeight));
    lvwMain->setGeometry(list);
    QRect progress = barProgress->geometry();
    if (l.progressWidth)
        progress.setWidth(twipsToPixels(*l.progressWidth));
    if (l.progressTop)
        progress.moveTop(twipsToPixels(*l.progressTop));
    barProgress->setGeometry(progress);
    cmdConfig->move(twipsToPixels(l.configLeft), cmdConfig->y());
    cmdAbout->move(twipsToPixels(l.aboutLeft), cmdAbout->y());
    cmdExit->move(twipsToPixels(l.exitLeft), cmdExit->y());
    if (l.buttonsTop)
        for (QPushButton *b : {cmdAdd, cmdEdit, cmdDel, cmdConfig, cmdAbout, cmdExit})
            b->move(b->x(), twipsToPixels(*l.buttonsTop));
}

} // namespace cinemork

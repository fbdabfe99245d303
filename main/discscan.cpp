#include "discscan.h"

#include "document/listdocument.h"
#include "probe/companionprogram.h"
#include "probe/probesession.h"
#include "frmreview.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "platform/texts.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <memory>

namespace cinemork {

DiscScan::DiscScan(QWidget *window, ListDocument *doc)
    : QObject(window)
    , m_window(window)
    , m_doc(doc)
{
    probeProgram = companionProgram();
}

DiscScan::~DiscScan() = default;

QList<std::pair<QString, QString>> DiscScan::discVolumes()
{
    static const QStringList mountFolders{QStringLiteral("/media/"), QStringLiteral("/run/media/"),
                                          QStringLiteral("/mnt/")};
    QList<std::pair<QString, QString>> volumes;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        const QString path = v.rootPath();
        const QByteArray type = v.fileSystemType();
        const bool disc = type == "iso9660" || type == "udf";
        const bool removable =
            std::any_of(mountFolders.begin(), mountFolders.end(), [&](const QString &f) { return path.startsWith(f); });
        if (v.isValid() && v.isReady() && (disc || removable))
            volumes << std::pair{v.name().isEmpty() ? v.displayName() : v.name(), path};
    }
    return volumes;
}

QString DiscScan::chooseSource(QWidget *parent)
{
    const auto volumes = discVolumes();
    if (volumes.isEmpty())
        return ShowFolderDialog(Texts::ChooseFolderTitle);
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmChooseDisc"));
    dialog.setWindowTitle(Texts::AddFromDiscCaption);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(Texts::ChooseDiscPrompt, &dialog));
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstDiscs"));
    for (const auto &[label, path] : volumes) {
        const QString text = label == path ? path : label + QStringLiteral("  (") + path + u')';
        auto *item = new QListWidgetItem(QIcon::fromTheme(QStringLiteral("drive-removable-media")), text, list);
        item->setData(Qt::UserRole, path);
    }
    list->setCurrentRow(0);
    // Wide enough for the longest name, within the screen.
    const int widest =
        list->sizeHintForColumn(0) + 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int room =
        (parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry().width();
    list->setMinimumWidth(std::min(widest, room * 2 / 3));
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *scan = buttons->addButton(Texts::ScanButton, QDialogButtonBox::AcceptRole);
    QPushButton *other = buttons->addButton(Texts::OtherFolderButton, QDialogButtonBox::ActionRole);
    buttons->addButton(Texts::CancelButton, QDialogButtonBox::RejectRole);
    scan->setDefault(true);
    layout->addWidget(buttons);
    QString chosen;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    QObject::connect(other, &QPushButton::clicked, &dialog, [&] {
        chosen = ShowFolderDialog(Texts::ChooseFolderTitle);
        if (!chosen.isEmpty())
            dialog.done(QDialog::Rejected); // the folder is the answer
    });
    if (dialog.exec() == QDialog::Accepted && list->currentItem())
        return list->currentItem()->data(Qt::UserRole).toString();
    return chosen;
}

void DiscScan::cancel()
{
    if (m_cancel)
        m_cancel();
}

std::optional<DiscScan::Walked> DiscScan::walk(const QString &folder)
{
    auto progress = std::make_shared<WalkProgress>();
    auto result = std::make_shared<Walked>();
    // The walk owns what it works on: a cancelled walk may end after this function has returned.
    QThread *thread = QThread::create([progress, result, folder] {
        result->walk = walkTree(folder, progress.get());
        if (result->walk.ok)
            result->movies = groupMovies(result->walk, locationOf(result->walk.root));
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QEventLoop loop;
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    m_cancel = [&] {
        progress->cancel = true;
        loop.quit();
    };
    QTimer tick;
    tick.setInterval(50);
    connect(&tick, &QTimer::timeout, this,
            [&] { m_progress->setLabelText(Texts::lookingIn(folder, progress->filesSeen.load())); });
    m_progress->setRange(0, 0);
    m_progress->setLabelText(Texts::lookingIn(folder, 0));
    thread->start();
    tick.start();
    emit scanStarted();
    loop.exec();
    m_cancel = nullptr;
    if (progress->cancel)
        return std::nullopt;
    return *result;
}

bool DiscScan::probe(QList<FoundMovie> &movies)
{
    QStringList paths;
    QList<ScanFile *> files;
    for (FoundMovie &m : movies) {
        for (ScanFile &f : m.files) {
            paths << f.path;
            files << &f;
        }
    }
    ProbeSession session;
    session.program = probeProgram;
    if (!probeArguments.isEmpty())
        session.arguments = probeArguments;
    session.timeLimitMs = probeTimeLimitMs;
    QEventLoop loop;
    bool cancelled = false;
    m_progress->setRange(0, int(paths.size()));
    m_progress->setValue(0);
    m_progress->setLabelText(Texts::readingSizes(0, paths.size()));
    int done = 0;
    connect(&session, &ProbeSession::result, this, [&](int index, const ProbeResult &r) {
        if (r.kind == ProbeResult::Ok)
            files[index]->resolution = r.text();
        done = index + 1;
    });
    // The dialog follows a few times a second: answers come in bursts, faster than it can be drawn.
    QTimer tick;
    tick.setInterval(50);
    connect(&tick, &QTimer::timeout, this, [&] {
        m_progress->setValue(done);
        m_progress->setLabelText(Texts::readingSizes(done, paths.size()));
    });
    tick.start();
    connect(&session, &ProbeSession::finished, this, [&](bool c) {
        cancelled = c;
        loop.quit();
    });
    m_cancel = [&] { session.cancel(); };
    session.start(paths);
    emit probeStarted();
    if (session.running())
        loop.exec();
    m_cancel = nullptr;
    return !cancelled;
}

std::optional<QList<FoundMovie>> DiscScan::find(const QString &folder)
{
    QProgressDialog progress(m_window);
    progress.setObjectName(QStringLiteral("dlgScanProgress"));
    progress.setWindowTitle(Texts::AddFromDiscCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setCancelButtonText(Texts::CancelButton);
    progress.setMinimumWidth(progress.fontMetrics().averageCharWidth() * 60);
    connect(&progress, &QProgressDialog::canceled, this, &DiscScan::cancel);
    m_progress = &progress;
    progress.show();
    const auto walked = walk(folder);
    std::optional<QList<FoundMovie>> found;
    if (walked && walked->walk.ok) {
        m_walk = walked->walk;
        found = walked->movies;
        if (!probe(*found))
            found.reset();
    } else if (walked) {
        progress.hide();
        msgBox(m_window, Texts::folderNotScanned(folder), Buttons::Ok, BoxIcon::Exclamation);
    }
    m_progress = nullptr;
    return found;
}

bool DiscScan::run(QString folder)
{
    if (m_doc->busy() || !m_doc->hasList())
        return false;
    if (folder.isEmpty())
        folder = chooseSource(m_window);
    if (folder.isEmpty())
        return false;
    const auto found = find(folder);
    if (!found)
        return false;
    if (found->isEmpty()) {
        QString text = Texts::nothingFound(folder, m_walk.filesSeen);
        if (!m_walk.unreadable.isEmpty())
            text += u'\n' + Texts::unreadableFolders(m_walk.unreadable);
        msgBox(m_window, text, Buttons::Ok, BoxIcon::Information);
        return false;
    }
    qsizetype files = 0;
    for (const FoundMovie &m : *found)
        files += m.files.size();
    ScanReview review(*found, m_doc->movies());
    frmReview dialog(review, Texts::foundSummary(found->size(), files, m_walk.root), m_walk.unreadable, m_window);
    emit reviewOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ScanReview::Additions a = review.additions();
    return m_doc->addFromDisc(a.added, a.extended);
}

} // namespace cinemork

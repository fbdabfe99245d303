#include "discscan.h"

#include "commands/listcommands.h"
#include "frmreview.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "windowtexts.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyle>
#include <QTimer>

namespace cinemork {

DiscScan::DiscScan(QWidget *window, ListCommands *commands)
    : QObject(window)
    , m_window(window)
    , m_commands(commands)
{
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

QString DiscScan::chooseSource(QWidget *parent, const QString &start)
{
    const auto volumes = discVolumes();
    if (volumes.isEmpty())
        return ShowFolderDialog(Texts::ChooseFolderTitle, start);
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
        chosen = ShowFolderDialog(Texts::ChooseFolderTitle, start);
        if (!chosen.isEmpty())
            dialog.done(QDialog::Rejected); // the folder is the answer
    });
    if (dialog.exec() == QDialog::Accepted && list->currentItem())
        return list->currentItem()->data(Qt::UserRole).toString();
    return chosen;
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
    progress.setRange(0, 0);
    connect(&progress, &QProgressDialog::canceled, &m_job, &ScanJob::cancel);
    connect(&m_job, &ScanJob::walking, &progress,
            [&](qint64 files) { progress.setLabelText(Texts::lookingIn(folder, files)); });
    connect(&m_job, &ScanJob::probing, &progress, [&](qsizetype done, qsizetype files) {
        progress.setRange(0, int(files));
        progress.setValue(int(done));
        progress.setLabelText(Texts::readingSizes(done, files));
    });
    connect(&m_job, &ScanJob::probeStarted, this, &DiscScan::probeStarted);
    ScanJob::Outcome outcome = ScanJob::Outcome::Cancelled;
    connect(&m_job, &ScanJob::finished, &progress, [&](ScanJob::Outcome o) {
        outcome = o;
        progress.done(QDialog::Accepted);
    });
    m_job.start(folder);
    emit scanStarted();
    if (m_job.running())
        progress.exec();
    m_job.cancel(); // the dialog closed by the window's close button, too
    m_job.disconnect(&progress);
    m_job.disconnect(this);
    if (outcome == ScanJob::Outcome::Unreadable)
        msgBox(m_window, QFileInfo::exists(folder) ? Texts::folderNotScanned(folder) : Texts::folderMissing(folder),
               Buttons::Ok, BoxIcon::Exclamation);
    if (outcome != ScanJob::Outcome::Found)
        return std::nullopt;
    return m_job.movies();
}

QStringList DiscScan::reviewNotes(const WalkResult &walk, const QList<FoundMovie> &found)
{
    QStringList notes;
    if (!walk.unreadable.isEmpty())
        notes << Texts::unreadableFolders(walk.unreadable);
    if (walk.hiddenCount > 0)
        notes << Texts::hiddenPassedOver(walk.hiddenCount, walk.hidden);
    if (walk.extrasCount > 0)
        notes << Texts::extrasPassedOver(walk.extrasCount);
    for (const FoundMovie &m : found) {
        if (!m.twoIdsNfo.isEmpty())
            notes << Texts::twoImdbIds(m.title, m.twoIdsNfo);
    }
    return notes;
}

bool DiscScan::run(QString folder)
{
    const ListDocument &doc = m_commands->document();
    if (doc.busy() || !doc.hasList())
        return false;
    if (folder.isEmpty())
        folder = chooseSource(m_window, m_commands->listFolder());
    if (folder.isEmpty())
        return false;
    const auto found = find(folder);
    if (!found)
        return false;
    if (found->isEmpty()) {
        const WalkResult &walk = m_job.walk();
        QString text = Texts::nothingFound(folder, walk.filesSeen);
        for (const QString &note : reviewNotes(walk, {}))
            text += u'\n' + note;
        msgBox(m_window, text, Buttons::Ok, BoxIcon::Information);
        return false;
    }
    qsizetype files = 0;
    for (const FoundMovie &m : *found)
        files += m.files.size();
    ScanReview review(*found, doc.movies());
    const WalkResult &walk = m_job.walk();
    frmReview dialog(review, Texts::foundSummary(found->size(), files, walk.root), reviewNotes(walk, *found), m_window);
    emit reviewOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ScanReview::Additions a = review.additions();
    return m_commands->addFromDisc(a.added, a.extended);
}

} // namespace cinemork

#include "frmcheck.h"

#include "check/checkreport.h"
#include "commands/listcommands.h"
#include "discscan.h"
#include "frmreview.h"
#include "listfile/pagefile.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "windowtexts.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>

namespace cinemork {

frmCheck::frmCheck(const QString &folder, ListCommands *commands, QWidget *parent)
    : QDialog(parent)
    , m_commands(commands)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(Texts::CheckCaption);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    lblSource = new QLabel(Texts::checking(folder), this);
    lblSource->setObjectName(QStringLiteral("lblSource"));
    layout->addWidget(lblSource);
    tvwReport = new QTreeWidget(this);
    tvwReport->setObjectName(QStringLiteral("tvwReport"));
    tvwReport->setRootIsDecorated(false);
    tvwReport->setUniformRowHeights(true);
    tvwReport->setHeaderLabels(Texts::CheckHeaders);
    tvwReport->header()->setStretchLastSection(true);
    tvwReport->setColumnWidth(0, fontMetrics().averageCharWidth() * 30);
    tvwReport->setColumnWidth(1, fontMetrics().averageCharWidth() * 18);
    layout->addWidget(tvwReport, 1);
    barCheck = new QProgressBar(this);
    barCheck->setObjectName(QStringLiteral("barCheck"));
    barCheck->setRange(0, 0);
    layout->addWidget(barCheck);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    layout->addWidget(lblProgress);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblSummary);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    cmdUpdate = button("cmdUpdate", Texts::UpdateListButton);
    cmdAddThese = button("cmdAddThese", Texts::AddTheseButton);
    cmdSave = button("cmdSave", Texts::SaveReportButton);
    buttons->addStretch(1);
    cmdCancel = button("cmdCancel", Texts::CheckCancelButton);
    cmdClose = button("cmdClose", Texts::CloseButton);
    for (QPushButton *b : {cmdUpdate, cmdAddThese, cmdSave, cmdClose})
        b->setEnabled(false);
    cmdClose->hide();
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 28);

    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmCheck::cmdUpdate_Click);
    connect(cmdAddThese, &QPushButton::clicked, this, &frmCheck::cmdAddThese_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmCheck::cmdSave_Click);
    connect(&m_job, &CheckJob::planned, this, &frmCheck::planned);
    connect(&m_job, &CheckJob::movieChecked, this, &frmCheck::movieChecked);
    connect(&m_job, &CheckJob::progressed, this, &frmCheck::progressed);
    connect(&m_job, &CheckJob::finished, this, &frmCheck::finished);
    tvwReport->setFocus();
    m_job.start(folder, commands->document().movies());
}

void frmCheck::run(QWidget *window, ListCommands *commands, QString folder)
{
    const ListDocument &doc = commands->document();
    if (doc.busy() || !doc.hasList())
        return;
    if (folder.isEmpty())
        folder = DiscScan::chooseSource(window, commands->listFolder());
    if (folder.isEmpty())
        return;
    frmCheck dialog(folder, commands, window);
    dialog.exec();
}

void frmCheck::planned()
{
    const CheckPlan &plan = m_job.plan();
    lblSource->setText(Texts::checking(plan.disc.root));
    for (const CheckedMovie &m : plan.movies)
        new QTreeWidgetItem(tvwReport, {m.movie[FTitle], QString(), QString()});
    for (int i : plan.unlisted) {
        const ReportLine line = unlistedLine(plan.disc.files[i]);
        new QTreeWidgetItem(tvwReport, {line.movie, line.status, line.detail});
    }
    if (tvwReport->topLevelItemCount())
        tvwReport->setCurrentItem(tvwReport->topLevelItem(0));
    barCheck->setRange(0, 1000);
}

void frmCheck::movieChecked(int index)
{
    const ReportLine line = reportLine(m_job.plan().movies[index]);
    QTreeWidgetItem *item = tvwReport->topLevelItem(index);
    item->setText(1, line.status);
    item->setText(2, line.detail);
    item->setToolTip(2, line.detail);
}

void frmCheck::progressed(const CheckJob::Progress &p)
{
    if (p.total > 0)
        barCheck->setValue(int(std::min<qint64>(p.done, p.total) * 1000 / p.total));
    lblProgress->setText(Texts::checkProgress(p.done / 1048576, p.total / 1048576, p.bytesPerSecond / 1048576,
                                              p.secondsLeft));
}

void frmCheck::finished(CheckJob::Outcome outcome)
{
    cmdCancel->hide();
    cmdClose->show();
    cmdClose->setEnabled(true);
    cmdClose->setDefault(true);
    cmdClose->setFocus();
    if (outcome == CheckJob::Outcome::Unreadable) {
        barCheck->setRange(0, 1);
        lblSummary->setText(Texts::notCheckable(m_folder));
        return;
    }
    const CheckPlan &plan = m_job.plan();
    if (outcome == CheckJob::Outcome::Cancelled) {
        lblSummary->setText(Texts::CheckCancelled);
    } else {
        barCheck->setValue(barCheck->maximum());
        lblSource->setText(Texts::checkedAgainst(plan.disc.root));
        lblSummary->setText(reportSummary(plan));
        cmdUpdate->setEnabled(!listUpdates(plan, m_commands->document().movies()).isEmpty());
        cmdAddThese->setEnabled(!plan.unlisted.isEmpty());
    }
    cmdSave->setEnabled(outcome == CheckJob::Outcome::Checked);
}

void frmCheck::reject()
{
    m_job.cancel(); // at once: a read stuck on the disc is not waited for
    QDialog::reject();
}

void frmCheck::cmdUpdate_Click()
{
    if (m_commands->updateFromCheck(listUpdates(m_job.plan(), m_commands->document().movies())))
        cmdUpdate->setEnabled(false);
}

void frmCheck::cmdAddThese_Click()
{
    const QList<FoundMovie> found = unlistedMovies(m_job.plan());
    qsizetype files = 0;
    for (const FoundMovie &m : found)
        files += m.files.size();
    ScanReview review(found, m_commands->document().movies());
    frmReview dialog(review, Texts::foundSummary(found.size(), files, m_job.plan().disc.root), {}, this);
    emit reviewOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ScanReview::Additions a = review.additions();
    if (m_commands->addFromDisc(a.added, a.extended))
        cmdAddThese->setEnabled(false);
}

bool frmCheck::saveReport(const QString &path)
{
    const CheckPlan &plan = m_job.plan();
    const QByteArray data = reportCsv(reportLines(plan));
    QString refused = pageFileTargetRefusal(path); // a device or a pipe is never replaced
    QSaveFile file(path);
    if (refused.isEmpty() && (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()))
        refused = file.errorString();
    if (!refused.isEmpty())
        msgBox(this, Texts::reportNotWritten(path, refused), Buttons::Ok, BoxIcon::Critical);
    return refused.isEmpty();
}

void frmCheck::cmdSave_Click()
{
    const QString path = ShowSaveDialog(Texts::SaveReportTitle, Texts::ReportFilter, Texts::ReportDefaultExt);
    if (!path.isEmpty())
        saveReport(path);
}

} // namespace cinemork

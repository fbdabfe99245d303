#include "importflow.h"

#include "commands/listcommands.h"
#include "frmreview.h"
#include "import/importmatch.h"
#include "import/importtexts.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "settings/modregistry.h"
#include "windowtexts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

namespace cinemork {

namespace {

const QString ColumnsKey = ProgramKey + QStringLiteral("\\ImportColumns");

} // namespace

ImportFlow::ImportFlow(QWidget *window, ListCommands *commands)
    : QObject(window)
    , m_window(window)
    , m_commands(commands)
{
}

QString ImportFlow::chooseSource(QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmImportSource"));
    dialog.setWindowTitle(Texts::ImportCaption);
    auto *layout = new QVBoxLayout(&dialog);
    auto *prompt = new QLabel(Texts::ImportSourcePrompt, &dialog);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *file = buttons->addButton(Texts::ImportFileButton, QDialogButtonBox::ActionRole);
    QPushButton *folder = buttons->addButton(Texts::ImportFolderButton, QDialogButtonBox::ActionRole);
    buttons->addButton(Texts::CancelAccessButton, QDialogButtonBox::RejectRole);
    file->setObjectName(QStringLiteral("cmdImportFile"));
    folder->setObjectName(QStringLiteral("cmdImportFolder"));
    file->setDefault(true);
    layout->addWidget(buttons);
    QString chosen;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(file, &QPushButton::clicked, &dialog, [&] {
        const QStringList files = ShowOpenDialogFiles(Texts::ImportFileTitle, ImportTexts::FileFilter);
        if (!files.isEmpty()) {
            chosen = files.first();
            dialog.accept();
        }
    });
    QObject::connect(folder, &QPushButton::clicked, &dialog, [&] {
        chosen = ShowFolderDialog(Texts::ImportFolderTitle);
        if (!chosen.isEmpty())
            dialog.accept();
    });
    dialog.exec();
    return chosen;
}

QString ImportFlow::columnsKey(const QStringList &header)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(header.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha1).toHex());
}

std::optional<CsvColumns> ImportFlow::chooseColumns(QWidget *parent, const QString &path, const QStringList &header)
{
    const QString remembered = GetRegString(HKEY_CURRENT_USER, ColumnsKey, columnsKey(header), QString());
    CsvColumns columns = CsvColumns::fromText(remembered);
    int *fields[] = {&columns.title, &columns.year, &columns.location, &columns.files, &columns.watched, &columns.imdb};
    if (remembered.isEmpty()) { // a column named as the field is a good first guess
        const char *names[] = {"title", "year", "location", "files", "watched", "imdb"};
        for (size_t i = 0; i < std::size(fields); ++i) {
            for (qsizetype c = 0; c < header.size(); ++c) {
                if (header[c].trimmed().compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
                    *fields[i] = int(c);
            }
        }
    }
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmCsvColumns"));
    dialog.setWindowTitle(Texts::CsvColumnsCaption);
    auto *layout = new QVBoxLayout(&dialog);
    auto *prompt = new QLabel(Texts::csvColumnsPrompt(QFileInfo(path).fileName()), &dialog);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto *form = new QFormLayout;
    QList<QComboBox *> boxes;
    for (qsizetype i = 0; i < Texts::CsvColumnLabels.size(); ++i) {
        auto *box = new QComboBox(&dialog);
        box->setObjectName(QStringLiteral("cboColumn%1").arg(i));
        box->addItem(Texts::NoColumn, -1);
        for (qsizetype c = 0; c < header.size(); ++c)
            box->addItem(header[c], int(c));
        box->setCurrentIndex(std::max(0, box->findData(*fields[i])));
        form->addRow(Texts::CsvColumnLabels[i], box);
        boxes << box;
    }
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *ok = buttons->addButton(Texts::OkButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(Texts::CancelAccessButton, QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    layout->addWidget(buttons);
    auto titleChosen = [&] { ok->setEnabled(boxes.first()->currentData().toInt() >= 0); };
    QObject::connect(boxes.first(), &QComboBox::currentIndexChanged, &dialog, titleChosen);
    titleChosen();
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    for (qsizetype i = 0; i < boxes.size(); ++i)
        *fields[i] = boxes[i]->currentData().toInt();
    CreateRegKey(HKEY_CURRENT_USER, ColumnsKey); // a value goes only into a key that exists
    SaveRegString(HKEY_CURRENT_USER, ColumnsKey, columnsKey(header), columns.text());
    return columns;
}

std::optional<ImportResult> ImportFlow::read(const QString &path, std::optional<CsvColumns> columns)
{
    QProgressDialog progress(m_window);
    progress.setObjectName(QStringLiteral("dlgImportProgress"));
    progress.setWindowTitle(Texts::ImportCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setCancelButtonText(Texts::CancelAccessButton);
    progress.setMinimumWidth(progress.fontMetrics().averageCharWidth() * 60);
    progress.setRange(0, 0);
    progress.setLabelText(Texts::importReading(path, 0));
    connect(&progress, &QProgressDialog::canceled, &m_job, &ImportJob::cancel);
    connect(&m_job, &ImportJob::progress, &progress,
            [&](qint64 entries) { progress.setLabelText(Texts::importReading(path, entries)); });
    bool cancelled = true;
    connect(&m_job, &ImportJob::finished, &progress, [&](bool ok) {
        cancelled = !ok && m_job.result().error == ImportTexts::Cancelled;
        progress.done(QDialog::Accepted);
    });
    m_job.start(path, columns ? std::optional(ImportFormat::Csv) : std::nullopt, columns);
    emit importStarted();
    if (m_job.running())
        progress.exec();
    m_job.cancel(); // the dialog closed by the window's close button, too
    m_job.disconnect(&progress);
    if (cancelled)
        return std::nullopt;
    return m_job.result();
}

bool ImportFlow::run(QString path)
{
    const ListDocument &doc = m_commands->document();
    if (doc.busy())
        return false;
    if (path.isEmpty())
        path = chooseSource(m_window);
    if (path.isEmpty())
        return false;
    std::optional<ImportResult> result = read(path, std::nullopt);
    if (result && !result->ok && !result->csvHeader.isEmpty()) {
        const auto columns = chooseColumns(m_window, path, result->csvHeader);
        if (!columns)
            return false;
        result = read(path, columns);
    }
    if (!result)
        return false;
    if (!result->ok) {
        msgBox(m_window, Texts::importNotRead(result->error), Buttons::Ok, BoxIcon::Critical);
        return false;
    }
    if (result->movies.isEmpty()) {
        msgBox(m_window, Texts::importNothing(path), Buttons::Ok, BoxIcon::Information);
        return false;
    }
    const ImportMatch match(doc.movies());
    ScanReview review(result->movies, doc.movies(), [&match](const Movie &m) { return match.catalogued(m); });
    frmReview dialog(review, Texts::importSummary(result->movies.size(), path), {}, m_window);
    dialog.setWindowTitle(Texts::ImportCaption);
    emit reviewOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return m_commands->importMovies(review.additions().added);
}

} // namespace cinemork

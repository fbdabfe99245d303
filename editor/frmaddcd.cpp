#include "frmaddcd.h"

#include "editorhost.h"
#include "editorlogic.h"
#include "moviefiles/moviefiles.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "editortexts.h"
#include "platform/twips.h"
#include "settings/modregistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace cinemork {

frmAddCD::frmAddCD(EditorHost *host, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmAddCD"));
    setWindowTitle(QStringLiteral("Add movie"));
    setModal(true);
    // The form is laid out for an 8.25-point face; the frame's caption is bold, its controls are not.
    const QFont normal = designFont(font());
    setFont(normal);
    const FormUnits tw(formScale(normal,
                                 {{QStringLiteral("Filename(s):"), 900},
                                  {QStringLiteral("Resolution:"), 900},
                                  {QStringLiteral("MB total on"), 900},
                                  {QStringLiteral("pixels"), 600},
                                  {QStringLiteral("CD(s)"), 1755}}));
    setFixedSize(tw.px(5205), tw.px(4455));
    centreOnScreen(this, parent);
    fraMain = new QGroupBox(QStringLiteral("Movie info"), this);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    fraMain->setGeometry(tw.rect(120, 120, 4935, 3615));
    QFont bold = normal;
    bold.setBold(true);
    fraMain->setFont(bold);

    auto label = [&, tw](int index, const char *caption, int left, int top, int width, bool right) {
        auto *l = new QLabel(QString::fromLatin1(caption), fraMain);
        l->setObjectName(QStringLiteral("lblInfo%1").arg(index));
        l->setFont(normal);
        l->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        QRect r = tw.rect(left, top, width, 195);
        // The label's text is centred on the row of its box.
        r.adjust(0, -3, 0, 3);
        if (!right)
            r.setWidth(std::max(r.width(), l->sizeHint().width()));
        else if (l->sizeHint().width() > r.width())
            r.setLeft(std::max(0, r.right() - l->sizeHint().width()));
        l->setGeometry(r);
        return l;
    };
    auto edit = [&](const char *name, int left, int top, int width, Qt::Alignment align) {
        auto *e = new QLineEdit(fraMain);
        e->setObjectName(QString::fromLatin1(name));
        e->setFont(normal);
        e->setGeometry(tw.rect(left, top, width, 285));
        e->setAlignment(align | Qt::AlignVCenter);
        e->setMaxLength(UnlimitedText);
        e->installEventFilter(this);
        return e;
    };
    auto button = [&](QWidget *owner, const char *name, const char *caption, QRect r) {
        auto *b = new QPushButton(QString::fromLatin1(caption), owner);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(normal);
        b->setGeometry(r);
        // Enter on a focused button presses that button; elsewhere it presses OK.
        b->setAutoDefault(true);
        return b;
    };

    // Each box is named by its label (its buddy), for screen readers; the small buttons by what they do.
    label(1, "Title:", 120, 390, 900, true)->setBuddy(txtTitle = edit("txtTitle", 1080, 360, 3375, Qt::AlignLeft));
    QLabel *files = label(0, "Filename(s):", 120, 750, 900, true);
    files->setBuddy(txtFiles = edit("txtFiles", 1080, 720, 3375, Qt::AlignLeft));
    cmdGetFiles = button(fraMain, "cmdGetFiles", "..", tw.rect(4560, 735, 255, 255));
    QLabel *size = label(2, "Size:", 120, 1110, 900, true);
    size->setBuddy(txtSize2 = edit("txtSize2", 1080, 1080, 615, Qt::AlignRight));
    label(4, "MB total on", 1800, 1110, 810, false);
    txtSize1 = edit("txtSize1", 2700, 1080, 375, Qt::AlignHCenter);
    txtSize1->setAccessibleName(Texts::CdsName);
    txtSize1->setText(QStringLiteral("1"));
    label(3, "CD(s)", 3180, 1110, 390, false);
    QLabel *resolution = label(5, "Resolution:", 120, 1470, 900, true);
    resolution->setBuddy(txtResHor = edit("txtResHor", 1080, 1440, 735, Qt::AlignHCenter));
    label(6, "X", 1920, 1470, 105, false);
    txtResVer = edit("txtResVer", 2160, 1440, 735, Qt::AlignHCenter);
    txtResVer->setAccessibleName(Texts::PictureHeightName);
    label(7, "pixels", 3000, 1470, 390, false);
    cmdGetDims = button(fraMain, "cmdGetDims", "..", tw.rect(3600, 1455, 255, 255));
    QLabel *codec = label(8, "Codec:", 120, 1830, 900, true);
    codec->setBuddy(cboCodec = new QComboBox(fraMain));
    cboCodec->setObjectName(QStringLiteral("cboCodec"));
    cboCodec->setFont(normal);
    cboCodec->setGeometry(tw.rect(1080, 1800, 3375, 315));
    cmdAddCodec = button(fraMain, "cmdAddCodec", "+", tw.rect(4560, 1815, 255, 255));
    QLabel *type = label(11, "Type:", 120, 2190, 900, true);
    type->setBuddy(cboType = new QComboBox(fraMain));
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setFont(normal);
    cboType->setGeometry(tw.rect(1080, 2160, 3375, 315));
    cmdAddType = button(fraMain, "cmdAddType", "+", tw.rect(4560, 2175, 255, 255));
    QLabel *location = label(9, "Location:", 120, 2550, 900, true);
    location->setBuddy(txtLocation = edit("txtLocation", 1080, 2520, 3375, Qt::AlignLeft));
    QLabel *link = label(10, "Imdb link:", 120, 2910, 900, true);
    link->setBuddy(txtImdbLink = edit("txtImdbLink", 1080, 2880, 3375, Qt::AlignLeft));
    cmdGetImdb = button(fraMain, "cmdGetImdb", "..", tw.rect(4560, 2895, 255, 255));
    chkSeenIt = new QCheckBox(QStringLiteral("I've watched this movie"), fraMain);
    chkSeenIt->setObjectName(QStringLiteral("chkSeenIt"));
    chkSeenIt->setFont(normal);
    chkSeenIt->setGeometry(tw.rect(1080, 3240, 3375, 255));
    cmdOK = button(this, "cmdOK", "OK", tw.rect(1200, 3960, 1215, 375));
    cmdOK->setDefault(true);
    cmdCancel = button(this, "cmdCancel", "Cancel", tw.rect(2760, 3960, 1215, 375));
    cmdGetFiles->setAccessibleName(Texts::GetFilesName);
    cmdGetDims->setAccessibleName(Texts::GetDimsName);
    cmdGetImdb->setAccessibleName(Texts::GetImdbName);
    cmdAddCodec->setAccessibleName(Texts::AddCodecName);
    cmdAddType->setAccessibleName(Texts::AddTypeName);

    QWidget *order[] = {txtTitle,    txtFiles,   cmdGetFiles, txtSize2,  txtSize1,   txtResHor,
                        txtResVer,   cboCodec,   cmdAddCodec, cboType,   cmdAddType, txtLocation,
                        txtImdbLink, cmdGetImdb, cmdOK,       cmdCancel, cmdGetDims, chkSeenIt};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdOK, &QPushButton::clicked, this, &frmAddCD::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddCD::cmdCancel_Click);
    connect(cmdGetFiles, &QPushButton::clicked, this, &frmAddCD::cmdGetFiles_Click);
    connect(cmdGetDims, &QPushButton::clicked, this, &frmAddCD::cmdGetDims_Click);
    connect(cmdGetImdb, &QPushButton::clicked, this, &frmAddCD::cmdGetImdb_Click);
    connect(cmdAddCodec, &QPushButton::clicked, this, &frmAddCD::cmdAddCodec_Click);
    connect(cmdAddType, &QPushButton::clicked, this, &frmAddCD::cmdAddType_Click);

    Form_Load();
    txtTitle->setFocus();
}

void frmAddCD::Form_Load()
{
    for (QLineEdit *e : {txtFiles, txtTitle, txtSize2, txtResHor, txtResVer, txtLocation, txtImdbLink})
        e->clear();
    chkSeenIt->setChecked(false);
    cboCodec->addItems(CodecPresets);
    cboCodec->setCurrentIndex(0);
    cboType->addItems(TypePresets);
    cboType->setCurrentIndex(0);
    cmdGetFiles->setProperty("Tag", QString());
    if (m_host && m_host->editMode()) {
        cmdGetDims->hide();
        setWindowTitle(QStringLiteral("Edit movie"));
    }
}

bool frmAddCD::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto *e = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, e, [e] { e->setSelection(0, int(e->text().size())); });
    return QDialog::eventFilter(watched, event);
}

void frmAddCD::selectOrAppend(QComboBox *box, const QString &text)
{
    // Only the presets match; anything else becomes an extra choice for this dialog.
    const int preset = int((box->objectName() == QLatin1String("cboCodec") ? CodecPresets : TypePresets).indexOf(text));
    if (preset >= 0) {
        box->setCurrentIndex(preset);
        return;
    }
    box->addItem(text);
    box->setCurrentIndex(box->count() - 1);
}

void frmAddCD::fillFrom(const Movie &m)
{
    txtTitle->setText(m[FTitle]);
    const QString &res = m[FRes];
    const qsizetype x = res.indexOf(u'x');
    if (x >= 0) {
        txtResHor->setText(res.left(x));
        txtResVer->setText(res.mid(x + 1));
    } else {
        txtResVer->setText(res);
    }
    const QString &size = m[FSize];
    const qsizetype slash = size.indexOf(u'\\');
    if (slash >= 0) {
        txtSize2->setText(size.left(slash));
        txtSize1->setText(size.mid(slash + 1));
    } else {
        txtSize1->setText(size);
    }
    selectOrAppend(cboCodec, m[FCodec]);
    selectOrAppend(cboType, m[FType]);
    chkSeenIt->setChecked(m[FSeenit] == QLatin1String("yes"));
    txtLocation->setText(m[FLocation]);
    txtFiles->setText(m[FFiles]);
    txtImdbLink->setText(m[FImdb]);
}

void frmAddCD::cmdOK_Click()
{
    if (!txtImdbLink->text().isEmpty())
        txtImdbLink->setText(normaliseLink(txtImdbLink->text()));
    Movie m;
    m[FTitle] = txtTitle->text();
    m[FSize] = txtSize2->text() + u'\\' + txtSize1->text();
    if (!txtResHor->text().isEmpty() && !txtResVer->text().isEmpty())
        m[FRes] = txtResHor->text() + u'x' + txtResVer->text();
    m[FCodec] = cboCodec->currentText();
    m[FType] = cboType->currentText();
    m[FSeenit] = chkSeenIt->isChecked() ? QStringLiteral("yes") : QStringLiteral("no");
    m[FLocation] = txtLocation->text();
    m[FFiles] = txtFiles->text();
    m[FImdb] = txtImdbLink->text();
    m.icon = iconForTypeIndex(cboType->currentIndex());
    if (m_host->commitMovie(m))
        accept();
    else
        reject(); // editing with no selected row: nothing to change
}

void frmAddCD::cmdCancel_Click()
{
    reject();
}

QString frmAddCD::probePath() const
{
    return cmdGetFiles->property("Tag").toString();
}

void frmAddCD::cmdGetFiles_Click()
{
    const QStringList files = ShowOpenDialogFiles(Texts::MovieFilesTitle, Texts::MovieFilesFilter);
    if (!files.isEmpty())
        chooseFiles(files);
}

void frmAddCD::chooseFiles(const QStringList &files)
{
    GetSize(files);
    const FileChoice choice = splitChoice(files);
    cmdGetFiles->setProperty("Tag", choice.probePath);
    QString name;
    if (!txtFiles->text().isEmpty()) {
        // Names already in the box were typed or loaded: there a comma is the separator.
        name = txtFiles->text().section(u',', 0, 0);
        txtFiles->setText(txtFiles->text() + QStringLiteral(", ") + choice.names);
    } else {
        txtFiles->setText(choice.names);
        cmdGetDims->show();
        name = choice.firstName;
    }
    if (!txtTitle->text().isEmpty())
        return;
    if (cboCodec->currentIndex() == 0 && cboType->currentIndex() == 0) {
        const Guess g = guessFromName(name);
        if (g.codec >= 0)
            cboCodec->setCurrentIndex(g.codec);
        if (g.type >= 0)
            cboType->setCurrentIndex(g.type);
    }
    txtTitle->setText(titleFromName(name));
}

void frmAddCD::presetFound(const QString &title, int cds)
{
    txtTitle->setText(title);
    txtSize1->setText(QString::number(cds));
}

void frmAddCD::GetSize(const QStringList &files)
{
    const quint64 megabytes = choiceBytes(files) / 1048576;
    txtSize2->setText(addMegabytes(txtSize2->text(), megabytes));
}

void frmAddCD::cmdGetDims_Click()
{
    if (ShowGetResWarningFlag
        && msgBox(this, Texts::GetResWarning, Buttons::YesNo, BoxIcon::Exclamation, Answer::Yes) != Answer::Yes)
        return;
    // The path of a chosen file, whole: commas are common in names and separate nothing here.
    const QString dims = GetMovieDimensions(probePath());
    if (dims.isEmpty())
        return;
    txtResHor->setText(dims.section(u'x', 0, 0));
    txtResVer->setText(dims.section(u'x', 1));
}

QString frmAddCD::GetMovieDimensions(const QString &file)
{
    const ProbeResult r = file.isEmpty() ? ProbeResult{ProbeResult::NotFound} : m_probe.run(file, this);
    switch (r.kind) {
    case ProbeResult::Ok: return r.text();
    case ProbeResult::NotFound: msgBox(this, Texts::probeNotFound(file)); break;
    case ProbeResult::OpenFailed: msgBox(this, Texts::probeOpenFailed(file)); break;
    case ProbeResult::NoVideo: msgBox(this, Texts::probeNoDims(file)); break;
    case ProbeResult::InvalidDimensions: msgBox(this, Texts::probeInvalid(file)); break;
    }
    return {};
}

void frmAddCD::cmdGetImdb_Click()
{
    shell().open(searchAddress(txtTitle->text()));
}

void frmAddCD::addChoice(QComboBox *box, const QString &caption, const QString &prompt)
{
    const QString choice = inputBox(this, caption, prompt, box->currentText());
    if (choice.isEmpty())
        return;
    box->addItem(choice);
    box->setCurrentIndex(box->count() - 1);
    box->setFocus();
}

void frmAddCD::cmdAddCodec_Click()
{
    addChoice(cboCodec, Texts::NewCodecCaption, Texts::NewCodecPrompt);
}

void frmAddCD::cmdAddType_Click()
{
    addChoice(cboType, Texts::NewTypeCaption, Texts::NewTypePrompt);
}

} // namespace cinemork

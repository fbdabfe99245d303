#include "frmconfig.h"

#include "configlogic.h"
#include "modregistry.h"
#include "platform/filedialogs.h"
#include "platform/prompts.h"
#include "settingstexts.h"
#include "platform/twips.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace cinemork {

frmConfig::frmConfig(std::function<void()> recordModification, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_recordModification(std::move(recordModification))
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Config"));
    setModal(true);
    // The form is laid out for an 8.25-point face; the frames' captions are bold, their controls are not.
    const QFont normal = designFont(font());
    setFont(normal);
    QFont bold = normal;
    bold.setBold(true);
    const int box =
        style()->pixelMetric(QStyle::PM_IndicatorWidth) + style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 4;
    QList<TextFit> texts{
        {QStringLiteral("Show the following columns in browser view (no data will be deleted)"), 1860, 675},
        {QStringLiteral("Give these columns a fixed width in browser view (percentage or absolute)"), 1905, 675},
        {QStringLiteral("Auto-save after list modifications"), 2655, 0, box},
        {QStringLiteral("Show get resolution warning"), 2535, 0, box},
        {QStringLiteral("User-defined CSS header:"), 2175, 0, box},
        {QStringLiteral("Create index links at top of list"), 2895, 0, box},
    };
    for (const QString &c : ColumnCaptions) {
        texts.append({c, 1215, 0, box});
        texts.append({c + u':', 1275 - 75, 0, box}); // its width box starts 75 twips before the check box ends
    }
    const FormUnits tw(formScale(normal, texts));
    setFixedSize(tw.px(5745), tw.px(5655));
    centreOnScreen(this, parent);

    auto *Frame1 = new QGroupBox(QStringLiteral("Browser view"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFont(bold);
    Frame1->setGeometry(tw.rect(120, 120, 4215, 3495));
    auto info = [&](int index, const char *text, QRect r) {
        auto *l = new QLabel(QString::fromLatin1(text), Frame1);
        l->setObjectName(QStringLiteral("lblInfo%1").arg(index));
        l->setFont(normal);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setGeometry(r);
    };
    info(0, "Show the following columns in browser view (no data will be deleted)", tw.rect(120, 240, 1860, 675));
    auto *Frame3 = new QFrame(Frame1);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setFrameShape(QFrame::VLine);
    Frame3->setFrameShadow(QFrame::Sunken);
    Frame3->setGeometry(tw.rect(2040, 240, 30, 2775).adjusted(-1, 0, 1, 0));
    info(1, "Give these columns a fixed width in browser view (percentage or absolute)", tw.rect(2160, 240, 1905, 675));
    for (int i = 0; i < 8; ++i) {
        auto *column = new QCheckBox(ColumnCaptions[i], Frame1);
        column->setObjectName(QStringLiteral("chkColumn%1").arg(i));
        column->setFont(normal);
        column->setGeometry(tw.rect(240, 960 + 300 * i, 1215, 255));
        connect(column, &QCheckBox::clicked, this, [this, i] { chkColumn_Click(i); });
        chkColumn[size_t(i)] = column;
        auto *width = new QCheckBox(ColumnCaptions[i] + u':', Frame1);
        width->setObjectName(QStringLiteral("chkColWidth%1").arg(i));
        width->setFont(normal);
        width->setGeometry(tw.rect(2280, 960 + 300 * i, 1275, 255));
        connect(width, &QCheckBox::clicked, this, [this, i] { chkColWidth_Click(i); });
        chkColWidth[size_t(i)] = width;
        auto *text = new QLineEdit(Frame1);
        text->setObjectName(QStringLiteral("txtColWidth%1").arg(i));
        text->setFont(normal);
        text->setGeometry(tw.rect(3480, 960 + 300 * i, 495, 285));
        text->setMaxLength(UnlimitedText);
        text->setAccessibleName(Texts::columnWidthName(ColumnCaptions[i]));
        txtColWidth[size_t(i)] = text;
    }

    auto *Frame2 = new QGroupBox(QStringLiteral("Misc."), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFont(bold);
    Frame2->setGeometry(tw.rect(120, 3720, 4215, 1815));
    auto check = [&](const char *name, const char *caption, QRect r) {
        auto *c = new QCheckBox(QString::fromLatin1(caption), Frame2);
        c->setObjectName(QString::fromLatin1(name));
        c->setFont(normal);
        c->setGeometry(r);
        return c;
    };
    chkAutoSave = check("chkAutoSave", "Auto-save after list modifications", tw.rect(240, 360, 2655, 255));
    chkShowResWarning = check("chkShowResWarning", "Show get resolution warning", tw.rect(240, 720, 2535, 255));
    chkUserCSS = check("chkUserCSS", "User-defined CSS header:", tw.rect(240, 1080, 2175, 255));
    connect(chkUserCSS, &QCheckBox::clicked, this, &frmConfig::chkUserCSS_Click);
    txtUserCSS = new QLineEdit(Frame2);
    txtUserCSS->setObjectName(QStringLiteral("txtUserCSS"));
    txtUserCSS->setFont(normal);
    txtUserCSS->setGeometry(tw.rect(2400, 1050, 1335, 285));
    txtUserCSS->setMaxLength(UnlimitedText);
    txtUserCSS->setAccessibleName(chkUserCSS->text());
    cmdGetCSS = new QPushButton(QStringLiteral(".."), Frame2);
    cmdGetCSS->setObjectName(QStringLiteral("cmdGetCSS"));
    cmdGetCSS->setFont(normal);
    cmdGetCSS->setGeometry(tw.rect(3840, 1080, 255, 255));
    cmdGetCSS->setAutoDefault(true); // Enter on a focused button presses that button
    cmdGetCSS->setAccessibleName(Texts::GetCssName);
    connect(cmdGetCSS, &QPushButton::clicked, this, &frmConfig::cmdGetCSS_Click);
    chkCreateIndex = check("chkCreateIndex", "Create index links at top of list", tw.rect(240, 1440, 2895, 255));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(tw.rect(4440, 240, 1215, 375));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmConfig::cmdOK_Click);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(tw.rect(4440, 720, 1215, 375));
    cmdCancel->setAutoDefault(true);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfig::cmdCancel_Click);

    QWidget *order[] = {
        cmdOK,          cmdCancel,      chkColumn[0],   chkColumn[1],   chkColumn[2],      chkColumn[3],
        chkColumn[4],   chkColumn[5],   chkColumn[6],   chkAutoSave,    chkShowResWarning, chkColWidth[0],
        chkColWidth[1], chkColWidth[2], chkColWidth[3], chkColWidth[4], chkColWidth[5],    chkColWidth[6],
        txtColWidth[0], txtColWidth[1], txtColWidth[2], txtColWidth[3], txtColWidth[4],    txtColWidth[5],
        txtColWidth[6], chkUserCSS,     txtUserCSS,     cmdGetCSS,      chkCreateIndex,    txtColWidth[7],
        chkColumn[7],   chkColWidth[7]};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    Form_Load();
}

void frmConfig::switchBox(QLineEdit *box, bool on)
{
    // Switched off: disabled, and Qt paints it in the button face colour.
    box->setEnabled(on);
}

void frmConfig::chkColumn_Click(int i)
{
    const bool shown = chkColumn[size_t(i)]->isChecked();
    chkColWidth[size_t(i)]->setEnabled(shown);
    chkColWidth[size_t(i)]->setChecked(false);
    chkColWidth_Click(i);
}

void frmConfig::chkColWidth_Click(int i)
{
    switchBox(txtColWidth[size_t(i)], chkColWidth[size_t(i)]->isChecked());
}

void frmConfig::chkUserCSS_Click()
{
    const bool on = chkUserCSS->isChecked();
    switchBox(txtUserCSS, on);
    cmdGetCSS->setEnabled(on);
}

void frmConfig::Form_Load()
{
    const QString columns = setting(Reg::BrowserColumns, Reg::DefaultColumns);
    for (int i = 0; i < 8; ++i) {
        chkColumn[size_t(i)]->setChecked(i < columns.size() && columns[i] == u'1');
        chkColumn_Click(i);
        if (chkColWidth[size_t(i)]->isEnabled())
            chkColWidth_Click(i);
    }
    const QStringList widths = setting(Reg::BrowserColumnsFixedWidth, Reg::DefaultWidths).split(u'|');
    if (widths.size() == 8) {
        for (int i = 0; i < 8; ++i) {
            const bool fixed = widths[i] != QLatin1String("0");
            chkColWidth[size_t(i)]->setChecked(fixed);
            chkColWidth_Click(i);
            if (fixed)
                txtColWidth[size_t(i)]->setText(widths[i]);
        }
    }
    chkAutoSave->setChecked(AutoSaveFlag);
    chkShowResWarning->setChecked(ShowGetResWarningFlag);
    chkCreateIndex->setChecked(regBool(setting(Reg::CreateIndex, QStringLiteral("0")), false));
    const QString css = setting(Reg::UserCSS, QString());
    if (!css.isEmpty()) {
        txtUserCSS->setText(QFileInfo(css).fileName());
        txtUserCSS->setProperty("Tag", css);
    }
    chkUserCSS->setChecked(!css.isEmpty());
    chkUserCSS_Click();
}

void frmConfig::cmdGetCSS_Click()
{
    const QStringList chosen = ShowOpenDialogFiles(Texts::CssTitle, Texts::CssFilter);
    if (chosen.isEmpty())
        return;
    // Of several chosen files the first is the style sheet.
    const QString path = chosen.first();
    txtUserCSS->setText(QFileInfo(path).fileName());
    txtUserCSS->setProperty("Tag", path);
}

void frmConfig::cmdOK_Click()
{
    // A width that is not a number of pixels or a percentage would break the page or the setting.
    for (int i = 0; i < 8; ++i) {
        if (chkColWidth[size_t(i)]->isChecked() && !isValidWidth(txtColWidth[size_t(i)]->text())) {
            msgBox(this, Texts::widthRefused(ColumnCaptions[i]));
            txtColWidth[size_t(i)]->setFocus();
            txtColWidth[size_t(i)]->selectAll();
            return;
        }
    }
    QString columns;
    QString widths;
    for (int i = 0; i < 8; ++i) {
        columns += chkColumn[size_t(i)]->isChecked() ? u'1' : u'0';
        widths += (chkColWidth[size_t(i)]->isChecked() ? txtColWidth[size_t(i)]->text() : QStringLiteral("0")) + u'|';
    }
    widths.chop(1);
    saveSetting(Reg::BrowserColumns, columns);
    saveSetting(Reg::BrowserColumnsFixedWidth, widths);
    auto flag = [](QCheckBox *c) { return c->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
    saveSetting(Reg::AutosaveAsWritten, flag(chkAutoSave));
    saveSetting(Reg::ShowGetResWarning, flag(chkShowResWarning));
    saveSetting(Reg::CreateIndex, flag(chkCreateIndex));
    AutoSaveFlag = chkAutoSave->isChecked();
    ShowGetResWarningFlag = chkShowResWarning->isChecked();
    if (chkUserCSS->isChecked() && !txtUserCSS->text().isEmpty())
        saveSetting(Reg::UserCSS, txtUserCSS->property("Tag").toString());
    else
        DeleteRegValue(HKEY_LOCAL_MACHINE, ProgramKey, Reg::UserCSS);
    if (m_recordModification)
        m_recordModification();
    accept();
}

void frmConfig::cmdCancel_Click()
{
    reject();
}

} // namespace cinemork

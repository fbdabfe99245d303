#include "qtdialogs.h"

#include "cinemork/version.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace cinemork {

namespace {
QMessageBox::StandardButton toQt(Answer a)
{
    switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}
} // namespace

void useQtDialogs()
{
    static QtPrompter prompts;
    static QtFileDialogBackend dialogs;
    static DesktopShell desktop;
    setDefaultPrompter(&prompts);
    setDefaultFileDialogs(&dialogs);
    setDefaultShell(&desktop);
}

Answer QtPrompter::ask(QWidget *parent, const QString &text, Buttons buttons, BoxIcon icon, Answer defaultAnswer)
{
    QMessageBox::StandardButtons qb;
    switch (buttons) {
    case Buttons::Ok: qb = QMessageBox::Ok; break;
    case Buttons::OkCancel: qb = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: qb = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: qb = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox::Icon qi = QMessageBox::Warning;
    switch (icon) {
    case BoxIcon::Question: qi = QMessageBox::Question; break;
    case BoxIcon::Exclamation: qi = QMessageBox::Warning; break;
    case BoxIcon::Critical: qi = QMessageBox::Critical; break;
    case BoxIcon::Information: qi = QMessageBox::Information; break;
    }
    QMessageBox box(qi, QStringLiteral(CINEMORK_NAME), text, qb, parent);
    box.setDefaultButton(toQt(defaultAnswer));
    if (buttons == Buttons::YesNoCancel || buttons == Buttons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: break;
    }
    // Closing the box by its frame: the least harmful answer.
    if (buttons == Buttons::YesNo)
        return Answer::No;
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QString QtPrompter::input(QWidget *parent, const QString &caption, const QString &prompt, const QString &defaultText)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    // The box must not cut a long default (a list's title) at Qt's usual 32,767 characters.
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        edit->setMaxLength(UnlimitedText);
    dialog.setTextValue(defaultText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QStringList QtFileDialogBackend::openFiles(const QString &title, const QString &startFolder,
                                           const QStringList &nameFilters)
{
    QFileDialog dlg(QApplication::activeWindow(), title, startFolder);
    dlg.setObjectName(QStringLiteral("openDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setNameFilters(nameFilters);
    dlg.selectNameFilter(nameFilters.value(0));
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.selectedFiles();
}

QString QtFileDialogBackend::saveFile(const QString &title, const QString &startFolder, const QStringList &nameFilters,
                                      const QString &defaultSuffix)
{
    QFileDialog dlg(QApplication::activeWindow(), title, startFolder);
    dlg.setObjectName(QStringLiteral("saveDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(nameFilters);
    dlg.selectNameFilter(nameFilters.value(0));
    dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString QtFileDialogBackend::chooseFolder(const QString &title, const QString &startFolder)
{
    QFileDialog dlg(QApplication::activeWindow(), title, startFolder);
    dlg.setObjectName(QStringLiteral("folderDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

void DesktopShell::open(const QString &target)
{
    if (target.isEmpty())
        return;
    const bool web = target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    QDesktopServices::openUrl(web ? webAddress(target) : QUrl::fromLocalFile(target));
}

} // namespace cinemork

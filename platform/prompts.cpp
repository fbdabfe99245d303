#include "prompts.h"

#include "texts.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace cinemork {

namespace {
QtPrompter g_qtPrompter;
Prompter *g_prompter = nullptr;

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

Prompter &prompter()
{
    return g_prompter ? *g_prompter : g_qtPrompter;
}

void setPrompter(Prompter *p)
{
    g_prompter = p;
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
    QMessageBox box(qi, Texts::AppName, text, qb, parent);
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

} // namespace cinemork

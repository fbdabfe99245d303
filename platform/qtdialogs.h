#pragma once

#include "filedialogs.h"
#include "prompts.h"
#include "shell.h"

namespace cinemork {

// Qt's message boxes, input boxes and file dialogs, and the desktop, behind the program's seams.
class QtPrompter : public Prompter
{
public:
    Answer ask(QWidget *parent, const QString &text, Buttons buttons, BoxIcon icon, Answer defaultAnswer) override;
    QString input(QWidget *parent, const QString &caption, const QString &prompt, const QString &defaultText) override;
};

class QtFileDialogBackend : public FileDialogBackend
{
public:
    QStringList openFiles(const QString &title, const QString &startFolder, const QStringList &nameFilters) override;
    QString saveFile(const QString &title, const QString &startFolder, const QStringList &nameFilters,
                     const QString &defaultSuffix) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
};

// The desktop's default programs (the user's browser for pages).
class DesktopShell : public Shell
{
public:
    void open(const QString &target) override;
};

// Makes Qt's boxes and dialogs and the desktop the defaults.
void useQtDialogs();

} // namespace cinemork

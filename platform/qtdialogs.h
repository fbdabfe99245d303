#pragma once

#include "filedialogs.h"
#include "prompts.h"

namespace cinemork {

// Qt's message boxes, input boxes and file dialogs behind the program's seams.
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
};

// Makes Qt's boxes and dialogs the default answerers.
void useQtDialogs();

} // namespace cinemork

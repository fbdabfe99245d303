#pragma once

#include <QString>

class QWidget;

namespace cinemork {

// A text box's length limit where the program sets none of its own (Qt's default cuts at 32,767).
inline constexpr int UnlimitedText = 0x7fffffff;

enum class Answer { Ok, Cancel, Yes, No };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxIcon { Question, Exclamation, Critical, Information };

// Every message box and input box goes through one Prompter: the window installs Qt's boxes
// (qtdialogs.h), tests a scripted answerer. The parent is only handed on.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Answer ask(QWidget *parent, const QString &text, Buttons buttons, BoxIcon icon, Answer defaultAnswer) = 0;
    // Cancel and an empty entry are the same answer: the empty text.
    virtual QString input(QWidget *parent, const QString &caption, const QString &prompt,
                          const QString &defaultText) = 0;
};

Prompter &prompter();
// Installs p (not owned); nullptr puts the default back.
void setPrompter(Prompter *p);
// What answers while nothing is installed (the window's boxes). Without one, every box is answered
// as by Cancel, which stops any command that asked.
void setDefaultPrompter(Prompter *p);

inline Answer msgBox(QWidget *parent, const QString &text, Buttons buttons = Buttons::Ok,
                     BoxIcon icon = BoxIcon::Exclamation, Answer def = Answer::Ok)
{
    return prompter().ask(parent, text, buttons, icon, def);
}
inline QString inputBox(QWidget *parent, const QString &caption, const QString &prompt, const QString &def)
{
    return prompter().input(parent, caption, prompt, def);
}

} // namespace cinemork

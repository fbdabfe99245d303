#pragma once

#include <QString>

class QWidget;

namespace cinemork {

// A text box's length limit where the program sets none of its own (Qt's default cuts at 32,767).
inline constexpr int UnlimitedText = 0x7fffffff;

enum class Answer { Ok, Cancel, Yes, No };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxIcon { Question, Exclamation, Critical, Information };

// Every message box and input box goes through one Prompter. The program uses Qt's boxes;
// tests install a scripted answerer.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Answer ask(QWidget *parent, const QString &text, Buttons buttons, BoxIcon icon, Answer defaultAnswer) = 0;
    // Cancel and an empty entry are the same answer: the empty text.
    virtual QString input(QWidget *parent, const QString &caption, const QString &prompt, const QString &defaultText) = 0;
};

class QtPrompter : public Prompter
{
public:
    Answer ask(QWidget *parent, const QString &text, Buttons buttons, BoxIcon icon, Answer defaultAnswer) override;
    QString input(QWidget *parent, const QString &caption, const QString &prompt, const QString &defaultText) override;
};

Prompter &prompter();
// Installs p (not owned); nullptr puts Qt's boxes back.
void setPrompter(Prompter *p);

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

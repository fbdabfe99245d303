#include "prompts.h"

namespace cinemork {

namespace {
class CancelPrompter : public Prompter
{
public:
    Answer ask(QWidget *, const QString &, Buttons buttons, BoxIcon, Answer) override
    {
        return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    QString input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

CancelPrompter g_cancel;
Prompter *g_default = nullptr;
Prompter *g_prompter = nullptr;
} // namespace

Prompter &prompter()
{
    return g_prompter ? *g_prompter : g_default ? *g_default : g_cancel;
}

void setPrompter(Prompter *p)
{
    g_prompter = p;
}

void setDefaultPrompter(Prompter *p)
{
    g_default = p;
}

} // namespace cinemork

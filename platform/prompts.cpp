#include "prompts.h"

#include "seam.h"

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
Seam<Prompter> g_seam{g_cancel};
} // namespace

Prompter &prompter()
{
    return g_seam.get();
}

void setPrompter(Prompter *p)
{
    g_seam.install(p);
}

void setDefaultPrompter(Prompter *p)
{
    g_seam.setDefault(p);
}

} // namespace cinemork

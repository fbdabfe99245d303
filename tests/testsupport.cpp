#include "testsupport.h"

#include "settings/modregistry.h"

#include <QDir>
#include <QFile>

namespace cinemork::test {

void isolateConfig()
{
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
}

void clearStore()
{
    QFile::remove(storeFile(HKEY_LOCAL_MACHINE));
    QFile::remove(storeFile(HKEY_CURRENT_USER));
}

Answer ScriptedPrompter::ask(QWidget *, const QString &text, Buttons, BoxIcon, Answer)
{
    asked << text;
    if (steps.empty() || steps.front().isInput || !text.contains(steps.front().textContains)) {
        unexpected << text;
        return Answer::Cancel;
    }
    const Answer a = steps.front().answer;
    steps.pop_front();
    return a;
}

QString ScriptedPrompter::input(QWidget *, const QString &caption, const QString &prompt, const QString &def)
{
    asked << prompt;
    captions << caption;
    defaults << def;
    if (steps.empty() || !steps.front().isInput || !prompt.contains(steps.front().textContains)) {
        unexpected << prompt;
        return {};
    }
    const QString reply = steps.front().input;
    steps.pop_front();
    return reply;
}

} // namespace cinemork::test

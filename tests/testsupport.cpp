#include "testsupport.h"

#include "settings/modregistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWidget>

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

QStringList leftoverWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList names;
    for (const QWidget *w : QApplication::topLevelWidgets())
        names << QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
    return names;
}

ModalAnswerer::ModalAnswerer()
{
    auto *timer = new QTimer(&m_owner);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, &m_owner, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (m_queue.empty() || !modal || modal == m_last)
            return;
        m_last = modal;
        const auto f = std::move(m_queue.front());
        m_queue.pop_front();
        f(modal);
    });
    timer->start();
}

void ModalAnswerer::next(std::function<void(QWidget *)> f)
{
    m_queue.push_back(std::move(f));
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

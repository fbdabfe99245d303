#include "windowsupport.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace cinemork::test {

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

void ModalAnswerer::close(QString *seen, std::function<QString(QWidget *)> read)
{
    next([seen, read = std::move(read)](QWidget *modal) {
        *seen = read(modal);
        modal->close();
    });
}

QString WindowFakes::problems()
{
    QString p = Fakes::problems();
    if (modals.pending())
        p += QStringLiteral("\na dialog never opened");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QWidget *w : QApplication::topLevelWidgets())
        p += QStringLiteral("\nwindow left open: %1 %2").arg(w->metaObject()->className(), w->objectName());
    return p.trimmed();
}

void WindowTest::cleanup()
{
    const QString problems = m_fakes->problems();
    m_fakes.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

} // namespace cinemork::test

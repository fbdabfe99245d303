#pragma once

#include "testsupport.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

#include <QWidget>

namespace cinemork::test {

// Runs callbacks on the modal windows that the code under test opens and waits for, one callback a
// window, in order. Its timers end with it, so a dialog that never opened cannot be acted on by a
// later test; pending() says whether one never did.
class ModalAnswerer
{
public:
    ModalAnswerer();
    void next(std::function<void(QWidget *)> f);
    // Closes the next window, keeping in *seen what read finds in it (its title unless told otherwise).
    void close(QString *seen, std::function<QString(QWidget *)> read = &QWidget::windowTitle);
    qsizetype pending() const { return qsizetype(m_queue.size()); }
    void forget() { m_queue.clear(); } // the windows still awaited will not come

private:
    QObject m_owner;
    std::deque<std::function<void(QWidget *)>> m_queue;
    QPointer<QWidget> m_last; // answered already; the next callback waits for another window
};

// The fakes of a test that opens windows: its modal dialogs answered, and no window (hidden ones
// included) left open after it.
class WindowFakes : public Fakes
{
public:
    QString problems();
    ModalAnswerer modals;
};

// The base of a test program that opens windows: as FakesTest, with the modal dialogs answered and
// no window left open after a test.
class WindowTest : public QObject
{
    Q_OBJECT
protected:
    std::unique_ptr<WindowFakes> m_fakes;
    template<typename T = QWidget>
    static T *child(QObject *o, const QString &name)
    {
        return o->findChild<T *>(name);
    }

private slots:
    void initTestCase() { isolateConfig(); }
    void init() { m_fakes = std::make_unique<WindowFakes>(); }
    void cleanup();
};

} // namespace cinemork::test

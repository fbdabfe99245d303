#pragma once

#include <QObject>
#include <functional>

namespace cinemork {

// While one exists, no input from the user reaches any window of the program: clicks, keys,
// shortcuts, the wheel, drops and close requests are dropped, while painting, timers and the
// progress bar go on. Used while a list is written or read and while a probe runs, because those
// let pending events run and a click that lands then would act on a half-done command.
class InputBlocker : public QObject
{
public:
    // onEscape, when given, runs on a press of Esc (the one key that still does something).
    explicit InputBlocker(std::function<void()> onEscape = {});
    ~InputBlocker() override;
    InputBlocker(const InputBlocker &) = delete;
    InputBlocker &operator=(const InputBlocker &) = delete;

    static bool isUserInput(const QEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_onEscape;
};

} // namespace cinemork

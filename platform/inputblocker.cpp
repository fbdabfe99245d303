#include "inputblocker.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace cinemork {

InputBlocker::InputBlocker(std::function<void()> onEscape)
    : m_onEscape(std::move(onEscape))
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: return true;
    case QEvent::Close: // the window manager's close box; the program's own closing is not spontaneous
        return event->spontaneous();
    default: return false;
    }
}

bool InputBlocker::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && m_onEscape && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        m_onEscape();
    if (event->type() == QEvent::Close)
        event->ignore();
    return true;
}

} // namespace cinemork

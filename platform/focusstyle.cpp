#include "focusstyle.h"

#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

namespace cinemork {

void FocusStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !(option->state & State_HasFocus))
        return;
    painter->save();
    QPen pen(option->palette.color(QPalette::ButtonText));
    pen.setStyle(Qt::DotLine);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(subElementRect(SE_PushButtonFocusRect, option, widget).adjusted(1, 1, -2, -2));
    painter->restore();
}

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    // A button's focus is drawn above, once, in the same way whatever the style underneath.
    if (element == PE_FrameFocusRect && qobject_cast<const QPushButton *>(widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

} // namespace cinemork

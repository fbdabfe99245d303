#pragma once

#include <QProxyStyle>

namespace cinemork {

// The desktop's style, with one change: a button that has the keyboard focus shows a dotted frame
// inside it. Many styles draw the focused and the default button alike, so the user could not tell
// the button that Enter presses now from the one it presses when the focus is elsewhere.
class FocusStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
};

} // namespace cinemork

#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

class QWidget;

namespace cinemork {

// Sizes and positions are designed in twips (1440 to the inch); the screen's logical DPI
// turns them into pixels (15 twips a pixel at 96 DPI).
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
QRect twipsRect(int left, int top, int width, int height);

// A form designed in twips for a small 8-point face grows as a whole, by one factor, until the texts
// given here fit their designed boxes in the font at hand; nothing is clipped and the design's
// proportions stay.
struct TextFit
{
    QString text;
    int widthTwips;
    int heightTwips = 0; // 0: one line; else the text wraps within this height
    int extraPixels = 0; // room the control needs beside its text (a check box's box)
};
double formScale(const QFont &font, const QList<TextFit> &texts);

// Places a form of fixed size in the middle of the screen that shows its owner (the primary screen
// without one), as the forms are designed to open.
void centreOnScreen(QWidget *form, const QWidget *owner);

// The forms' face: the desktop's own family at the design's 8.25 points, not bold.
QFont designFont(QFont base);

class FormUnits
{
public:
    explicit FormUnits(double scale = 1.0)
        : m_scale(scale)
    {}
    int px(int twips) const;
    QRect rect(int left, int top, int width, int height) const;
    double scale() const { return m_scale; }

private:
    double m_scale;
};

} // namespace cinemork

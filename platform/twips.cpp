#include "twips.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace cinemork {

namespace {
double dpi()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    const double d = s ? s->logicalDotsPerInchX() : 96.0;
    return d > 0 ? d : 96.0;
}
} // namespace

int twipsToPixels(int twips)
{
    return int(std::lround(twips * dpi() / 1440.0));
}

int pixelsToTwips(int pixels)
{
    return int(std::lround(pixels * 1440.0 / dpi()));
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

double formScale(const QFont &font, const QList<TextFit> &texts)
{
    const QFontMetrics fm(font);
    double scale = 1.0;
    for (; scale < 2.0; scale += 0.05) {
        bool fits = true;
        for (const TextFit &t : texts) {
            const int width = int(twipsToPixels(t.widthTwips) * scale) - t.extraPixels;
            if (t.heightTwips == 0) {
                fits = fm.horizontalAdvance(t.text) + 2 <= width;
            } else {
                const int height = int(twipsToPixels(t.heightTwips) * scale);
                fits = fm.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, t.text).height() <= height;
            }
            if (!fits)
                break;
        }
        if (fits)
            break;
    }
    return scale;
}

void centreOnScreen(QWidget *form, const QWidget *owner)
{
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    form->move(area.x() + (area.width() - form->width()) / 2, area.y() + (area.height() - form->height()) / 2);
}

QFont designFont(QFont base)
{
    base.setPointSizeF(8.25);
    base.setBold(false);
    return base;
}

int FormUnits::px(int twips) const
{
    return int(std::lround(twipsToPixels(twips) * m_scale));
}

QRect FormUnits::rect(int left, int top, int width, int height) const
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace cinemork

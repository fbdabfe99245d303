#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
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

} // namespace cinemork

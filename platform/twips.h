#pragma once

#include <QRect>

namespace cinemork {

// Sizes and positions are designed in twips (1440 to the inch); the screen's logical DPI
// turns them into pixels (15 twips a pixel at 96 DPI).
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
QRect twipsRect(int left, int top, int width, int height);

} // namespace cinemork

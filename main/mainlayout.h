#pragma once

#include <QRect>
#include <QString>
#include <optional>

namespace cinemork {

// The window's designed client area and the outer size around it, in twips.
inline constexpr int DesignClientWidth = 6855;
inline constexpr int DesignClientHeight = 4770;
inline constexpr int FrameExtraWidth = 105;  // outer width minus client width
inline constexpr int FrameExtraHeight = 690; // outer height minus client height (caption, menu bar, frame)
inline constexpr int DesignWindowWidth = DesignClientWidth + FrameExtraWidth;
inline constexpr int DesignWindowHeight = DesignClientHeight + FrameExtraHeight;

// Where the controls go for a client area of cw x ch twips. Nothing but the status bar moves while
// the client is narrower than designed; a setting that would be negative is left out.
struct MainLayout
{
    bool moveControls = false;
    std::optional<int> listWidth, listHeight, progressWidth, progressTop, buttonsTop;
    int configLeft = 3600, aboutLeft = 4680, exitLeft = 5760;
    QRect status; // follows the bottom edge always
};
MainLayout mainLayout(int cw, int ch);

// WinPos: "left|top|width|height" in twips; anything but four whole numbers, or a size below the
// designed one, counts as absent.
std::optional<QRect> parseWinPos(const QString &text);
QString formatWinPos(const QRect &r);

} // namespace cinemork

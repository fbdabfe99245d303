#pragma once

#include <QList>
#include <array>

class QWidget;
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

// Where the controls go for a client area of cw x ch twips. Nothing moves sideways while the client
// is narrower than designed, but the rows, buttons and bars always keep to their heights from the
// bottom, so none is drawn over another; a setting that would be negative is left out.
struct MainLayout
{
    bool moveControls = false;
    std::optional<int> listWidth, listHeight, progressWidth, progressTop, buttonsTop;
    int configLeft = 3600, aboutLeft = 4680, exitLeft = 5760;
    QRect status; // follows the bottom edge always
};
MainLayout mainLayout(int cw, int ch);

// Moves the controls for a client area of the given size by the rules above.
struct MainControls
{
    QWidget *list, *progress, *status;
    std::array<QWidget *, 6> buttons; // Add, Edit, Delete, Config, About, Exit
    QWidget *filter = nullptr;        // above the list, as wide as it: the list starts below it
};
void placeControls(const MainControls &c, QSize client);

// WinPos: "left|top|width|height" in twips; anything but four whole numbers, or a size below the
// designed one, counts as absent.
std::optional<QRect> parseWinPos(const QString &text);
QString formatWinPos(const QRect &r);

// The window's place in pixels from the stored WinPos (the designed default when it counts as absent):
// the client size plus the frame's menu bar, never larger than the available area, and a place that
// lies on no screen any more moved to the top left of the first.
struct WindowPlace
{
    QPoint pos;
    QSize size;
};
// With nothing stored that counts, the window is as high as designed and wide enough for a list view of
// listWidth pixels (never narrower than designed), centred on the first screen.
WindowPlace restoredWindowPlace(const QString &winPos, int menuBarHeight, const QList<QRect> &availableScreens,
                                int listWidth);
// WinPos for a window at pos whose outer size is size (in pixels, the menu bar included).
QString storedWindowPlace(QPoint pos, QSize size, int menuBarHeight);

// The help page: beside the program (its build folder), else in the data folder of the installation
// it belongs to, else in the installed data folder.
QString helpPagePathFor(const QString &programFolder, const QString &installedDataFolder);

} // namespace cinemork

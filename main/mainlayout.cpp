#include "mainlayout.h"

#include "platform/twips.h"
#include "settings/modregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>
#include <algorithm>

namespace cinemork {

MainLayout mainLayout(int cw, int ch)
{
    MainLayout l;
    l.status = QRect(0, ch - 255, cw, 255);
    auto nonNegative = [](int v) -> std::optional<int> { return v >= 0 ? std::optional<int>(v) : std::nullopt; };
    // The rows always end above the buttons and the buttons above the status bar, however small the
    // window: nothing is drawn over anything.
    l.listHeight = nonNegative(ch - 795);
    l.buttonsTop = nonNegative(ch - 690);
    l.progressTop = nonNegative(ch - 255);
    if (cw < DesignClientWidth)
        return l; // narrower than designed: nothing moves sideways
    l.moveControls = true;
    l.listWidth = nonNegative(cw - 15);
    l.progressWidth = nonNegative(cw - 15);
    l.configLeft = cw - 3255;
    l.aboutLeft = cw - 2175;
    l.exitLeft = cw - 1095;
    return l;
}

void placeControls(const MainControls &c, QSize client)
{
    const MainLayout l = mainLayout(pixelsToTwips(client.width()), pixelsToTwips(client.height()));
    c.status->setGeometry(twipsRect(l.status.x(), l.status.y(), l.status.width(), l.status.height()));
    QRect list = c.list->geometry();
    list.setTop(0); // the rows' designed place, before the filter line takes the top of it
    if (l.listWidth)
        list.setWidth(twipsToPixels(*l.listWidth));
    if (l.listHeight)
        list.setHeight(twipsToPixels(*l.listHeight));
    if (c.filter) {
        // A narrow filter line takes two rows rather than lose its right end.
        const int height =
            c.filter->hasHeightForWidth() ? c.filter->heightForWidth(list.width()) : c.filter->sizeHint().height();
        list.setTop(std::min(height, list.bottom()));
        c.filter->setGeometry(0, 0, list.width(), list.top());
    }
    c.list->setGeometry(list);
    QRect progress = c.progress->geometry();
    if (l.progressWidth)
        progress.setWidth(twipsToPixels(*l.progressWidth));
    if (l.progressTop)
        progress.moveTop(twipsToPixels(*l.progressTop));
    c.progress->setGeometry(progress);
    const int lefts[] = {l.configLeft, l.aboutLeft, l.exitLeft};
    for (size_t i = 3; i < 6 && l.moveControls; ++i)
        c.buttons[i]->move(twipsToPixels(lefts[i - 3]), c.buttons[i]->y());
    if (l.buttonsTop)
        for (QWidget *b : c.buttons)
            b->move(b->x(), twipsToPixels(*l.buttonsTop));
}

std::optional<QRect> parseWinPos(const QString &text)
{
    const QStringList parts = text.split(u'|');
    if (parts.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    // A window smaller than designed would be unusable, or not be shown at all.
    if (v[2] < DesignWindowWidth || v[3] < DesignWindowHeight)
        return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}

QString formatWinPos(const QRect &r)
{
    return QStringLiteral("%1|%2|%3|%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

WindowPlace restoredWindowPlace(const QString &winPos, int menuBarHeight, const QList<QRect> &availableScreens,
                                int listWidth)
{
    const std::optional<QRect> stored = parseWinPos(winPos);
    const QRect r = stored.value_or(*parseWinPos(Reg::DefaultWinPos));
    WindowPlace place{QPoint(twipsToPixels(r.x()), twipsToPixels(r.y())),
                      QSize(twipsToPixels(r.width() - FrameExtraWidth),
                            twipsToPixels(r.height() - FrameExtraHeight) + menuBarHeight)};
    if (!stored)
        place.size.setWidth(std::max(place.size.width(), listWidth + twipsToPixels(15)));
    if (availableScreens.isEmpty())
        return place;
    const QRect screen = availableScreens.first();
    place.size = place.size.boundedTo(screen.size());
    if (!stored)
        place.pos = screen.topLeft()
            + QPoint((screen.width() - place.size.width()) / 2, (screen.height() - place.size.height()) / 2);
    const QRect window(place.pos, place.size);
    if (std::none_of(availableScreens.begin(), availableScreens.end(),
                     [&](const QRect &s) { return s.intersects(window); }))
        place.pos = screen.topLeft();
    return place;
}

QString storedWindowPlace(QPoint pos, QSize size, int menuBarHeight)
{
    return formatWinPos(QRect(pixelsToTwips(pos.x()), pixelsToTwips(pos.y()),
                              pixelsToTwips(size.width()) + FrameExtraWidth,
                              pixelsToTwips(size.height() - menuBarHeight) + FrameExtraHeight));
}

QString helpPagePathFor(const QString &programFolder, const QString &installedDataFolder)
{
    QString folder = programFolder;
    const QString installed[] = {programFolder + QStringLiteral("/../share/cinemork"), installedDataFolder};
    if (!QFileInfo(programFolder + QStringLiteral("/help.html")).isFile()) {
        for (const QString &candidate : installed) {
            if (QFileInfo(candidate + QStringLiteral("/help.html")).isFile()) {
                folder = QDir::cleanPath(candidate);
                break;
            }
        }
    }
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("help.html");
}

} // namespace cinemork

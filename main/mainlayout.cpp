#include "mainlayout.h"

#include <QStringList>

namespace cinemork {

MainLayout mainLayout(int cw, int ch)
{
    MainLayout l;
    l.status = QRect(0, ch - 255, cw, 255);
    if (cw < DesignClientWidth)
        return l;
    l.moveControls = true;
    auto nonNegative = [](int v) -> std::optional<int> { return v >= 0 ? std::optional<int>(v) : std::nullopt; };
    l.listWidth = nonNegative(cw - 15);
    l.progressWidth = nonNegative(cw - 15);
    l.configLeft = cw - 3255;
    l.aboutLeft = cw - 2175;
    l.exitLeft = cw - 1095;
    l.listHeight = nonNegative(ch - 795);
    l.buttonsTop = nonNegative(ch - 690);
    l.progressTop = nonNegative(ch - 255);
    return l;
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

} // namespace cinemork

#include "sizes.h"

#include <QLocale>
#include <algorithm>

namespace cinemork {

quint64 megabytesOf(QStringView size)
{
    const qsizetype slash = size.indexOf(u'\\');
    if (slash < 1)
        return 0;
    const QStringView digits = size.left(slash).trimmed();
    if (digits.isEmpty())
        return 0;
    quint64 v = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        const quint64 d = quint64(c.unicode() - u'0');
        if (v > (~quint64(0) - d) / 10)
            return 0; // does not fit in 64 bits
        v = v * 10 + d;
    }
    return v;
}

quint64 cdsOf(QStringView size)
{
    const qsizetype slash = size.indexOf(u'\\');
    if (slash < 0)
        return 0;
    const QStringView digits = size.sliced(slash + 1).trimmed();
    if (digits.isEmpty() || digits.size() > CdDigitsCounted)
        return 0;
    quint64 v = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        v = v * 10 + quint64(c.unicode() - u'0');
    }
    return v;
}

static QString decimal(MegabyteTotal v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s;
    while (v > 0) {
        s += QChar(u'0' + int(v % 10));
        v /= 10;
    }
    std::reverse(s.begin(), s.end());
    return s;
}

QString gigabytesText(MegabyteTotal totalMegabytes, QStringView decimalPoint)
{
    const MegabyteTotal hundredths = totalMegabytes * 100 / 1024;
    QString text = decimal(hundredths / 100);
    const int frac = int(hundredths % 100);
    if (frac != 0) {
        text += decimalPoint;
        text += QChar(u'0' + frac / 10);
        if (frac % 10)
            text += QChar(u'0' + frac % 10);
    }
    return text;
}

QString gigabytesText(MegabyteTotal totalMegabytes)
{
    return gigabytesText(totalMegabytes, QLocale().decimalPoint());
}

} // namespace cinemork

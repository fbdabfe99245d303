#include "proberesult.h"

#include <QStringList>

namespace cinemork {

namespace {
const char *const KindWords[] = {"", "not-found", "open-failed", "no-video", "invalid-dimensions"};
} // namespace

QString ProbeResult::text() const
{
    if (kind == Ok)
        return QString::number(width) + u'x' + QString::number(height);
    return QString::fromLatin1(KindWords[kind]);
}

ProbeResult ProbeResult::fromText(const QString &text)
{
    ProbeResult r;
    const QString t = text.trimmed();
    for (int k = NotFound; k <= InvalidDimensions; ++k)
        if (t == QLatin1String(KindWords[k])) {
            r.kind = Kind(k);
            return r;
        }
    const QStringList parts = t.split(u'x');
    bool okW = false, okH = false;
    if (parts.size() == 2) {
        r.width = parts[0].toInt(&okW);
        r.height = parts[1].toInt(&okH);
    }
    if (okW && okH)
        r.kind = r.width > 0 && r.height > 0 ? Ok : InvalidDimensions;
    else
        r.kind = OpenFailed;
    return r;
}

} // namespace cinemork

#include "configlogic.h"

namespace cinemork {

bool isValidWidth(const QString &width)
{
    QStringView digits(width);
    if (digits.endsWith(u'%'))
        digits.chop(1);
    if (digits.isEmpty())
        return false;
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace cinemork

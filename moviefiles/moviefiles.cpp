#include "moviefiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cfenv>
#include <cmath>
#include <limits>

namespace cinemork {

int iconForTypeIndex(int index)
{
    switch (index) {
    case 0:
    case 1: return 1;
    case 2:
    case 3: return 2;
    case 4: return 3;
    case 5:
    case 6: return 4;
    default: return 5;
    }
}

FileChoice splitChoice(const QStringList &files)
{
    FileChoice c;
    if (files.isEmpty())
        return c;
    QStringList names;
    for (const QString &f : files)
        names << QFileInfo(f).fileName();
    c.probePath = files.first();
    c.firstName = names.first();
    c.names = names.join(QLatin1String(", "));
    return c;
}

quint64 choiceBytes(const QStringList &files)
{
    quint64 total = 0;
    for (const QString &f : files)
        total += quint64(QFileInfo(f).size());
    return total;
}

// The leading number of a text, blanks ignored, "." as the decimal point; no number gives 0.
static double leadingNumber(const QString &text)
{
    QString digits;
    bool point = false;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        if (digits.isEmpty() && (c == u'-' || c == u'+')) {
            digits += c;
        } else if (c.isDigit() && c.unicode() < 128) {
            digits += c;
        } else if (c == u'.' && !point) {
            point = true;
            digits += c;
        } else {
            break;
        }
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    return ok ? v : 0.0;
}

QString addMegabytes(const QString &field, quint64 megabytes)
{
    if (field.isEmpty())
        return QString::number(megabytes);
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(leadingNumber(field));
    std::fesetround(mode);
    const double sum = rounded + double(megabytes);
    if (std::abs(sum) < 9e15)
        return QString::number(qint64(rounded) + qint64(megabytes));
    return QString::number(sum, 'f', 0);
}

Guess guessFromName(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString ext = name.mid(dot + 1).toLower();
    if (ext == QLatin1String("mpg") || ext == QLatin1String("mpeg") || ext == QLatin1String("dat"))
        return {1, 3};
    if (ext == QLatin1String("asf"))
        return {2, 4};
    if (ext == QLatin1String("rm") || ext == QLatin1String("ra") || ext == QLatin1String("ram"))
        return {3, 6};
    return {};
}

QString titleFromName(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString imdbLink(const QString &idOrAddress)
{
    static const QRegularExpression idPattern(QStringLiteral("(?<![a-z0-9])tt(\\d{7,10})(?!\\d)"));
    QString text = idOrAddress.trimmed();
    if (const qsizetype marks = text.indexOf(QLatin1String("##")); marks >= 0)
        text.truncate(marks); // "address##IMDb": the address and the site it came from
    if (text.isEmpty())
        return {};
    QString digits;
    bool digitsOnly = !text.isEmpty() && text.size() <= 10;
    for (QChar c : text)
        digitsOnly = digitsOnly && c.isDigit();
    if (digitsOnly)
        digits = text.rightJustified(7, u'0');
    else if (const auto m = idPattern.match(text.toLower());
             m.hasMatch() && (text.startsWith(QLatin1String("tt")) || text.contains(QLatin1String("imdb"), Qt::CaseInsensitive)))
        digits = m.captured(1);
    if (digits.isEmpty())
        return text;
    return QStringLiteral("https://www.imdb.com/title/tt") + digits + u'/';
}

} // namespace cinemork

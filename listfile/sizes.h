#pragma once

#include <QString>

namespace cinemork {

// Whole megabytes, summed exactly; wide enough for any number of 64-bit sizes.
using MegabyteTotal = unsigned __int128;

// The megabytes of a size text such as "700\1": the text before the first "\" when, without surrounding
// blanks, it is decimal digits that fit in 64 bits; anything else counts 0.
quint64 megabytesOf(QStringView size);
// The most digits a count of CDs is read with.
inline constexpr qsizetype CdDigitsCounted = 6;
// The CDs of a size text: the text after the first "\" when, without surrounding blanks, it is at most
// CdDigitsCounted decimal digits; anything else counts 0.
quint64 cdsOf(QStringView size);

// floor(total MB x 100 / 1024) hundredths of a gigabyte: the whole part and up to two decimals
// without trailing zeros, with the given decimal separator ("2.05", "8.56", "0", "2.1").
QString gigabytesText(MegabyteTotal totalMegabytes, QStringView decimalPoint);
// The same with the user's locale.
QString gigabytesText(MegabyteTotal totalMegabytes);

} // namespace cinemork

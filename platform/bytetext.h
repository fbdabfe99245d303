#pragma once

#include <QByteArray>
#include <QString>

namespace cinemork {

// Text from bytes that need not be UTF-8, and back, without losing a byte: what is UTF-8 is decoded as
// such, and every other byte becomes a lone surrogate from U+DC80 to U+DCFF, which encodeBytes turns back
// into that byte. Qt's own decoding of file names replaces such bytes for good, so a name that is no UTF-8
// (a Latin-1 "Am\xE9lie" from an old disc) could no longer reach its file.
QString decodeBytes(QByteArrayView bytes);
QByteArray encodeBytes(QStringView text);

} // namespace cinemork

#include "bytetext.h"

namespace cinemork {

namespace {

constexpr char16_t EscapeBase = 0xDC00; // + a byte from 0x80 to 0xFF

// The length of the well-formed UTF-8 sequence at p, or 0 when there is none.
int sequenceLength(const unsigned char *p, const unsigned char *end, char32_t &code)
{
    const unsigned char c = p[0];
    int n;
    char32_t least;
    if (c < 0x80) {
        code = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2, least = 0x80, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, least = 0x800, code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, least = 0x10000, code = c & 0x07;
    } else {
        return 0;
    }
    if (end - p < n)
        return 0;
    for (int k = 1; k < n; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[k] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

QString decodeBytes(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        char32_t code;
        const int n = sequenceLength(p, end, code);
        if (n == 0) {
            out += QChar(char16_t(EscapeBase + *p));
            ++p;
            continue;
        }
        if (QChar::requiresSurrogates(code)) {
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
        } else {
            out += QChar(char16_t(code));
        }
        p += n;
    }
    return out;
}

QByteArray encodeBytes(QStringView text)
{
    QByteArray out;
    qsizetype plain = 0; // where the text not yet encoded starts
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool escaped = c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF
            && !(i > 0 && QChar::isHighSurrogate(text[i - 1].unicode()));
        if (!escaped)
            continue;
        out += text.sliced(plain, i - plain).toUtf8();
        out += char(c - EscapeBase);
        plain = i + 1;
    }
    if (plain == 0)
        return text.toUtf8();
    out += text.sliced(plain).toUtf8();
    return out;
}

} // namespace cinemork

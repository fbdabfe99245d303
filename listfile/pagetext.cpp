#include "pagetext.h"

#include <array>

namespace cinemork {

namespace {

template<typename Buffer>
void appendNumber(Buffer &out, char32_t cp)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + cp % 10);
        cp /= 10;
    } while (cp);
    out += "&#";
    while (n)
        out += digits[--n];
    out += ';';
}

// The ISO-8859-1 characters that the page carries as references: the markup's own, the line ends,
// and the control characters U+0080 to U+009F, which a browser would take for other characters.
constexpr std::array<bool, 256> Special = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'&', '<', '>', '"', '\r', '\n'})
        t[c] = true;
    for (int c = 0x80; c < 0xA0; ++c)
        t[size_t(c)] = true;
    return t;
}();

template<typename Buffer>
void appendText(Buffer &out, QStringView text)
{
    const qsizetype n = text.size();
    const char16_t *s = text.utf16();
    // Most text needs no reference: copy it byte for byte into room made once.
    const size_t old = size_t(out.size());
    out.resize(decltype(out.size())(old + size_t(n)));
    char *d = out.data() + old;
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t c = s[i];
        if (c >= 0x100 || Special[c])
            break;
        d[i] = char(c);
    }
    if (i == n)
        return;
    out.resize(decltype(out.size())(old + size_t(i)));
    for (; i < n; ++i) {
        const char16_t c = s[i];
        switch (c) {
        case u'&': out += "&amp;"; continue;
        case u'<': out += "&lt;"; continue;
        case u'>': out += "&gt;"; continue;
        case u'"': out += "&quot;"; continue;
        case u'\r': out += "&#13;"; continue;
        case u'\n': out += "&#10;"; continue;
        default: break;
        }
        if (c < 0x100 && !Special[c]) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            appendNumber(out, QChar::surrogateToUcs4(c, s[i + 1]));
            ++i;
        } else {
            appendNumber(out, c);
        }
    }
}

} // namespace

void appendPageText(QByteArray &out, QStringView text)
{
    appendText(out, text);
}

void appendPageText(std::string &out, QStringView text)
{
    appendText(out, text);
}

QByteArray pageText(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    appendPageText(out, text);
    return out;
}

QString decodePageText(QByteArrayView bytes)
{
    if (!bytes.contains('&'))
        return QString::fromLatin1(bytes);
    // The text never grows when decoded: write into room for all of it, then trim.
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    qsizetype w = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '&') {
            d[w++] = char16_t(uchar(c));
            continue;
        }
        const QByteArrayView rest = bytes.sliced(i);
        auto named = [&](const char *name, char16_t ch) {
            const QByteArrayView nm(name);
            if (!rest.startsWith(nm))
                return false;
            d[w++] = ch;
            i += nm.size() - 1;
            return true;
        };
        if (named("&amp;", u'&') || named("&lt;", u'<') || named("&gt;", u'>') || named("&quot;", u'"'))
            continue;
        if (rest.size() >= 4 && rest[1] == '#') {
            const bool hex = rest[2] == 'x' || rest[2] == 'X';
            qsizetype j = hex ? 3 : 2;
            char32_t cp = 0;
            bool valid = true;
            const qsizetype digitsFrom = j;
            for (; j < rest.size() && rest[j] != ';'; ++j) {
                const char dg = rest[j];
                int v = -1;
                if (dg >= '0' && dg <= '9')
                    v = dg - '0';
                else if (hex && dg >= 'a' && dg <= 'f')
                    v = dg - 'a' + 10;
                else if (hex && dg >= 'A' && dg <= 'F')
                    v = dg - 'A' + 10;
                if (v < 0 || j - digitsFrom >= 8) {
                    valid = false;
                    break;
                }
                cp = cp * (hex ? 16 : 10) + char32_t(v);
            }
            if (valid && j < rest.size() && j > digitsFrom && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
                // a reference takes at least four bytes, two UTF-16 units at most
                if (cp >= 0x10000) {
                    d[w++] = QChar::highSurrogate(cp);
                    d[w++] = QChar::lowSurrogate(cp);
                } else {
                    d[w++] = char16_t(cp);
                }
                i += j;
                continue;
            }
        }
        d[w++] = u'&';
    }
    out.truncate(w);
    return out;
}

} // namespace cinemork

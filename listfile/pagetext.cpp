#include "pagetext.h"

namespace cinemork {

namespace {
void appendNumber(QByteArray &out, char32_t cp)
{
    out += "&#";
    out += QByteArray::number(uint(cp));
    out += ';';
}
} // namespace

void appendPageText(QByteArray &out, QStringView text)
{
    const qsizetype n = text.size();
    const char16_t *s = text.utf16();
    // Most text needs no reference: copy it byte for byte into room made once.
    const qsizetype old = out.size();
    out.resize(old + n);
    char *d = out.data() + old;
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t c = s[i];
        if (c >= 0x100 || c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\r' || c == u'\n')
            break;
        d[i] = char(c);
    }
    if (i == n)
        return;
    out.resize(old + i);
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
        if (c < 0x100) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            appendNumber(out, QChar::surrogateToUcs4(c, s[i + 1]));
            ++i;
        } else {
            appendNumber(out, c);
        }
    }
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
    QString out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '&') {
            out += QChar(uchar(c));
            continue;
        }
        const QByteArrayView rest = bytes.sliced(i);
        auto named = [&](const char *name, char16_t ch) {
            const QByteArrayView nm(name);
            if (!rest.startsWith(nm))
                return false;
            out += QChar(ch);
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
                const char d = rest[j];
                int v = -1;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                if (v < 0 || j - digitsFrom >= 8) {
                    valid = false;
                    break;
                }
                cp = cp * (hex ? 16 : 10) + char32_t(v);
            }
            if (valid && j < rest.size() && j > digitsFrom && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
                if (cp >= 0x10000) {
                    out += QChar(QChar::highSurrogate(cp));
                    out += QChar(QChar::lowSurrogate(cp));
                } else {
                    out += QChar(char16_t(cp));
                }
                i += j;
                continue;
            }
        }
        out += u'&';
    }
    return out;
}

} // namespace cinemork

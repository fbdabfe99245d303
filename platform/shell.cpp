#include "shell.h"

#include "seam.h"

#include <QUrl>
#include <cctype>

namespace cinemork {

namespace {
class NoShell : public Shell
{
public:
    void open(const QString &) override {}
};

NoShell g_none;
Seam<Shell> g_seam{g_none};
} // namespace

Shell &shell()
{
    return g_seam.get();
}

void setShell(Shell *s)
{
    g_seam.install(s);
}

void setDefaultShell(Shell *s)
{
    g_seam.setDefault(s);
}

QUrl webAddress(const QString &address)
{
    QByteArray bytes = address.toUtf8();
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const bool escape =
            bytes[i] == '%' && i + 2 < bytes.size() && isxdigit(uchar(bytes[i + 1])) && isxdigit(uchar(bytes[i + 2]));
        if (bytes[i] == '%' && !escape)
            bytes.insert(i + 1, "25");
    }
    // Strict: an address the program built is taken as written; Qt's tolerant mode would escape every
    // "%" again once it met a bare one.
    const QUrl url = QUrl::fromEncoded(bytes, QUrl::StrictMode);
    return url.isValid() ? url : QUrl::fromEncoded(bytes, QUrl::TolerantMode);
}

} // namespace cinemork

#include "shell.h"

#include <QDesktopServices>
#include <QUrl>
#include <cctype>

namespace cinemork {

namespace {
DesktopShell g_desktop;
Shell *g_shell = nullptr;
} // namespace

Shell &shell()
{
    return g_shell ? *g_shell : g_desktop;
}

void setShell(Shell *s)
{
    g_shell = s;
}

QUrl webAddress(const QString &address)
{
    QByteArray bytes = address.toUtf8();
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const bool escape = bytes[i] == '%' && i + 2 < bytes.size() && isxdigit(uchar(bytes[i + 1]))
            && isxdigit(uchar(bytes[i + 2]));
        if (bytes[i] == '%' && !escape)
            bytes.insert(i + 1, "25");
    }
    // Strict: an address the program built is taken as written; Qt's tolerant mode would escape every
    // "%" again once it met a bare one.
    const QUrl url = QUrl::fromEncoded(bytes, QUrl::StrictMode);
    return url.isValid() ? url : QUrl::fromEncoded(bytes, QUrl::TolerantMode);
}

void DesktopShell::open(const QString &target)
{
    if (target.isEmpty())
        return;
    const bool web = target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    QDesktopServices::openUrl(web ? webAddress(target) : QUrl::fromLocalFile(target));
}

} // namespace cinemork

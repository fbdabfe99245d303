#include "shell.h"

#include <QDesktopServices>
#include <QUrl>

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

void DesktopShell::open(const QString &target)
{
    if (target.isEmpty())
        return;
    const bool web = target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    QDesktopServices::openUrl(web ? QUrl(target, QUrl::TolerantMode) : QUrl::fromLocalFile(target));
}

} // namespace cinemork

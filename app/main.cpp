#include "main/frmmain.h"
#include "platform/focusstyle.h"
#include "platform/qtdialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(new cinemork::FocusStyle);
    cinemork::useQtDialogs();
    QApplication::setApplicationName(QStringLiteral("Cinemork"));
    QApplication::setOrganizationName(QStringLiteral("Brisvane"));
    QApplication::setDesktopFileName(QStringLiteral("cinemork"));
    cinemork::frmMain window;
    window.show();
    return app.exec();
}

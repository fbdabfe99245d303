#include "main/frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cinemork"));
    QApplication::setOrganizationName(QStringLiteral("Brisvane"));
    QApplication::setDesktopFileName(QStringLiteral("cinemork"));
    cinemork::frmMain window;
    window.show();
    return app.exec();
}

#include "main/frmmain.h"
#include "platform/focusstyle.h"
#include "platform/qtdialogs.h"
#include "platform/texts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cinemork"));
    QApplication::setApplicationVersion(cinemork::Texts::VersionText);
    QApplication::setOrganizationName(QStringLiteral("Brisvane"));
    QApplication::setDesktopFileName(QStringLiteral("cinemork"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Catalogues the movie files on your discs."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("list"), QStringLiteral("A list page to open."),
                                  QStringLiteral("[list]"));
    options.process(app);

    QApplication::setStyle(new cinemork::FocusStyle);
    cinemork::useQtDialogs();
    cinemork::frmMain window;
    window.show();
    if (!options.positionalArguments().isEmpty())
        window.document().openFile(QFileInfo(options.positionalArguments().constFirst()).absoluteFilePath());
    return app.exec();
}

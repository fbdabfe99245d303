#include "main/frmmain.h"
#include "platform/focusstyle.h"
#include "platform/qtdialogs.h"
#include "main/windowtexts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstring>

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("Cinemork"));
    QCoreApplication::setApplicationVersion(cinemork::Texts::VersionText);
    QCoreApplication::setOrganizationName(QStringLiteral("Brisvane"));
}

void describe(QCommandLineParser &options)
{
    options.setApplicationDescription(QStringLiteral("Catalogues the movie files on your discs."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("list"), QStringLiteral("A list page to open."),
                                  QStringLiteral("[list]"));
}

// --help and --version need no window, and so no display.
bool asksForTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCommandLineParser options;
    describe(options);
    if (asksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameTheProgram();
        options.process(app); // prints and ends the program
        return 0;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    QApplication::setDesktopFileName(QStringLiteral(CINEMORK_APP_ID));
    options.process(app);

    QApplication::setStyle(new cinemork::FocusStyle);
    cinemork::useQtDialogs();
    cinemork::frmMain window;
    window.show();
    if (!options.positionalArguments().isEmpty())
        window.commands().openFile(QFileInfo(options.positionalArguments().constFirst()).absoluteFilePath());
    return app.exec();
}

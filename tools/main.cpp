#include "companion.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    QTextStream outStream(&out), errStream(&err);
    outStream.setEncoding(QStringConverter::Utf8);
    errStream.setEncoding(QStringConverter::Utf8);
    return cinemork::runCompanion(app.arguments().mid(1), outStream, errStream, &in);
}

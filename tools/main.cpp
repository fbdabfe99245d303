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
    const int status = cinemork::runCompanion(app.arguments().mid(1), outStream, errStream, &in);
    // Output that could not be written is a failure like any other ("dump LIST > /dev/full").
    outStream.flush();
    if (outStream.status() != QTextStream::Ok || !out.flush()) {
        errStream << "cinemork-list: the output could not be written: " << out.errorString() << "\n";
        errStream.flush();
        return status == 0 ? 1 : status;
    }
    return status;
}

#include "companion.h"
#include "companiontexts.h"

#include "platform/bytetext.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Standard output when it was closed before the start: what is written to it fails, with the reason the
// system gave for the descriptor; a command that writes nothing there is not hindered.
class ClosedOutput : public QIODevice
{
public:
    explicit ClosedOutput(int reason)
        : m_reason(reason)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    QString reason() const { return QString::fromLocal8Bit(std::strerror(m_reason)); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    int m_reason;
};

} // namespace

int main(int argc, char *argv[])
{
    const int outClosed = ::fcntl(STDOUT_FILENO, F_GETFD) < 0 ? errno : 0;
    QCoreApplication app(argc, argv);
    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    err.open(stderr, QIODevice::WriteOnly);
    ClosedOutput closed(outClosed);
    QIODevice *output = &closed;
    if (!outClosed) {
        out.open(stdout, QIODevice::WriteOnly);
        output = &out;
    }
    QTextStream outStream(output), errStream(&err);
    outStream.setEncoding(QStringConverter::Utf8);
    errStream.setEncoding(QStringConverter::Utf8);
    // The arguments keep their bytes: a file name that is no UTF-8 still names its file.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << cinemork::decodeBytes(argv[i]);
    const int status = cinemork::runCompanion(args, outStream, errStream, &in);
    // Output that could not be written is a failure like any other ("dump LIST > /dev/full").
    outStream.flush();
    if (outClosed && outStream.status() != QTextStream::Ok) {
        errStream << "cinemork-list: " << cinemork::CompanionTexts::StdoutClosed << closed.reason() << "\n";
        errStream.flush();
        return status == 0 ? 1 : status;
    }
    if (outStream.status() != QTextStream::Ok || (!outClosed && !out.flush())) {
        errStream << "cinemork-list: the output could not be written: " << out.errorString() << "\n";
        errStream.flush();
        return status == 0 ? 1 : status;
    }
    return status;
}

#include "pagefile.h"

#include "platform/bytetext.h"
#include "platform/filetexts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cinemork {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes straight to a file descriptor and keeps the system's reason when a write fails.
class DescriptorWriter : public QIODevice
{
public:
    explicit DescriptorWriter(int fd)
        : m_fd(fd)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    int failure() const { return m_errno; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_errno = n < 0 ? errno : EIO;
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int m_fd;
    int m_errno = 0;
};

} // namespace

QString fileKindProblem(unsigned mode)
{
    if (S_ISREG(mode))
        return {};
    return S_ISDIR(mode) ? FileTexts::IsAFolder : FileTexts::NotARegularFile;
}

QString regularFileProblem(const QString &path)
{
    struct stat st;
    if (::stat(encodeBytes(path).constData(), &st) != 0)
        return systemReason(errno);
    return fileKindProblem(st.st_mode);
}

QString pageFileTargetRefusal(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return path + u' ' + FileTexts::NotARegularFile;
    return {};
}

PageFileResult savePageFile(const QString &path, const QString &title, const QList<Movie> &movies,
                            const PageSettings &settings, const QString &decimalPoint,
                            const PageWriter::Progress &progress)
{
    PageFileResult result;
    result.error = pageFileTargetRefusal(path);
    if (!result.error.isEmpty())
        return result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return result;
    }
    const int fd = file.handle();
    DescriptorWriter out(fd);
    int failure = 0;
    if (!PageWriter::write(&out, title, movies, settings, decimalPoint, progress))
        failure = out.failure() ? out.failure() : EIO;
    else if (::fsync(fd) != 0)
        failure = errno;
    if (failure) {
        file.cancelWriting();
        file.commit(); // removes the new file; the old one stays
        result.error = systemReason(failure);
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace cinemork

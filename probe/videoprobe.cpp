#include "videoprobe.h"

#include <QByteArrayList>
#include <chrono>
#include <string>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace cinemork {

namespace {
using Clock = std::chrono::steady_clock;

int interruptAfterDeadline(void *opaque)
{
    return Clock::now() > *static_cast<Clock::time_point *>(opaque) ? 1 : 0;
}

// Readers of playlists, lists of files, image sequences, side files and network sessions: each would
// open files or addresses that the file names, so a file that is really one of these is no video.
const QByteArrayList FollowingDemuxers{"hls", "dash", "concat", "imf", "image2", "mlv", "vobsub", "sdp", "rtsp", "rtp"};

// Every other demuxer FFmpeg has, as its list of allowed formats.
const std::string &allowedFormats()
{
    static const std::string list = [] {
        std::string names;
        void *it = nullptr;
        while (const AVInputFormat *format = av_demuxer_iterate(&it)) {
            for (const QByteArray &name : QByteArray(format->name).split(',')) {
                if (FollowingDemuxers.contains(name))
                    continue;
                if (!names.empty())
                    names += ',';
                names += name.toStdString();
            }
        }
        return names;
    }();
    return list;
}

// The file FFmpeg reads: the descriptor the probe opened, read within the deadline.
struct OpenFile
{
    int fd;
    const Clock::time_point *deadline;
};

int readFile(void *opaque, uint8_t *buffer, int size)
{
    const auto *file = static_cast<const OpenFile *>(opaque);
    if (Clock::now() > *file->deadline)
        return AVERROR_EXIT;
    for (;;) {
        const ssize_t n = ::read(file->fd, buffer, size_t(size));
        if (n > 0)
            return int(n);
        if (n == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

int64_t seekFile(void *opaque, int64_t offset, int whence)
{
    const auto *file = static_cast<const OpenFile *>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st;
        return ::fstat(file->fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(file->fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

// Closes what the probe opened, whichever step it got to.
struct Opened
{
    int fd = -1;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
    ~Opened()
    {
        if (format)
            avformat_close_input(&format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (fd >= 0)
            ::close(fd);
    }
};

constexpr int BufferSize = 32768;
} // namespace

ProbeResult probeVideoFile(const QByteArray &path, int timeLimitMs, const std::function<void()> &beforeOpen)
{
    ProbeResult r;
    r.kind = ProbeResult::NotFound;
    if (beforeOpen)
        beforeOpen();
    // Opened here, not by FFmpeg: a FIFO opens at once without a writer instead of waiting for one, a
    // link is not followed, and the file checked is the file read, whatever takes its name meanwhile.
    Opened opened;
    opened.fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    if (opened.fd < 0 || ::fstat(opened.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return r; // pipes and devices too: only regular files are probed
    r.kind = ProbeResult::OpenFailed;
    ::fcntl(opened.fd, F_SETFL, ::fcntl(opened.fd, F_GETFL) & ~O_NONBLOCK);
    av_log_set_level(AV_LOG_QUIET);
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
    OpenFile file{opened.fd, &deadline};
    auto *buffer = static_cast<unsigned char *>(av_malloc(BufferSize));
    if (!buffer)
        return r;
    opened.io = avio_alloc_context(buffer, BufferSize, 0, &file, readFile, nullptr, seekFile);
    if (!opened.io) {
        av_free(buffer);
        return r;
    }
    AVFormatContext *ctx = avformat_alloc_context();
    if (!ctx)
        return r;
    ctx->pb = opened.io;
    ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
    ctx->interrupt_callback.callback = interruptAfterDeadline;
    ctx->interrupt_callback.opaque = &deadline;
    AVDictionary *options = nullptr;
    // The header is enough: read at most a few megabytes and seconds of the file.
    av_dict_set(&options, "probesize", "4000000", 0);
    av_dict_set(&options, "analyzeduration", "3000000", 0);
    // The file itself and nothing it names: only local files, no demuxer that follows names, and
    // no references from a QuickTime file to others.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", allowedFormats().c_str(), 0);
    av_dict_set(&options, "enable_drefs", "0", 0);
    // The name still tells the format's guess by its ending; the file is read from the descriptor.
    const int status = avformat_open_input(&ctx, path.constData(), nullptr, &options);
    av_dict_free(&options);
    if (status < 0) // ctx is freed on failure
        return r;
    opened.format = ctx;
    if (avformat_find_stream_info(ctx, nullptr) < 0)
        return r;
    const int stream = av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) {
        r.kind = ProbeResult::NoVideo;
    } else {
        const AVCodecParameters *par = ctx->streams[stream]->codecpar;
        r.width = par->width;
        r.height = par->height;
        r.kind = r.width > 0 && r.height > 0 ? ProbeResult::Ok : ProbeResult::InvalidDimensions;
    }
    return r;
}

} // namespace cinemork

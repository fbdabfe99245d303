#include "videoprobe.h"

#include <QByteArrayList>
#include <QFileInfo>
#include <chrono>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
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
} // namespace

ProbeResult probeVideoFile(const QString &path, int timeLimitMs)
{
    ProbeResult r;
    if (!QFileInfo(path).isFile()) { // pipes and devices too: only regular files are probed
        r.kind = ProbeResult::NotFound;
        return r;
    }
    av_log_set_level(AV_LOG_QUIET);
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
    AVFormatContext *ctx = avformat_alloc_context();
    if (!ctx)
        return r;
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
    const int opened =
        avformat_open_input(&ctx, QFileInfo(path).absoluteFilePath().toUtf8().constData(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) // ctx is freed on failure
        return r;
    if (avformat_find_stream_info(ctx, nullptr) < 0) {
        avformat_close_input(&ctx);
        return r;
    }
    const int stream = av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) {
        r.kind = ProbeResult::NoVideo;
    } else {
        const AVCodecParameters *par = ctx->streams[stream]->codecpar;
        r.width = par->width;
        r.height = par->height;
        r.kind = r.width > 0 && r.height > 0 ? ProbeResult::Ok : ProbeResult::InvalidDimensions;
    }
    avformat_close_input(&ctx);
    return r;
}

} // namespace cinemork

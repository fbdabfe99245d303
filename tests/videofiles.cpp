#include "videofiles.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace cinemork::test {

namespace {

struct Writer
{
    AVFormatContext *fmt = nullptr;
    AVCodecContext *enc = nullptr;
    AVStream *stream = nullptr;
    AVPacket *pkt = av_packet_alloc();

    ~Writer()
    {
        avcodec_free_context(&enc);
        if (fmt) {
            if (!(fmt->oformat->flags & AVFMT_NOFILE))
                avio_closep(&fmt->pb);
            avformat_free_context(fmt);
        }
        av_packet_free(&pkt);
    }

    bool drain(AVFrame *frame)
    {
        if (avcodec_send_frame(enc, frame) < 0)
            return false;
        for (;;) {
            const int r = avcodec_receive_packet(enc, pkt);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return false;
            av_packet_rescale_ts(pkt, enc->time_base, stream->time_base);
            pkt->stream_index = stream->index;
            if (av_interleaved_write_frame(fmt, pkt) < 0)
                return false;
        }
    }

    bool open(const QString &path, const char *format, AVCodecID codecId)
    {
        const QByteArray file = path.toUtf8();
        if (avformat_alloc_output_context2(&fmt, nullptr, format, file.constData()) < 0)
            return false;
        const AVCodec *codec = avcodec_find_encoder(codecId);
        if (!codec)
            return false;
        stream = avformat_new_stream(fmt, nullptr);
        enc = avcodec_alloc_context3(codec);
        return stream && enc;
    }

    bool start(const QString &path)
    {
        if (fmt->oformat->flags & AVFMT_GLOBALHEADER)
            enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(enc, enc->codec, nullptr) < 0)
            return false;
        if (avcodec_parameters_from_context(stream->codecpar, enc) < 0)
            return false;
        stream->time_base = enc->time_base;
        if (avio_open(&fmt->pb, path.toUtf8().constData(), AVIO_FLAG_WRITE) < 0)
            return false;
        return avformat_write_header(fmt, nullptr) >= 0;
    }
};

} // namespace

bool makeVideo(const QString &path, const char *format, int width, int height)
{
    av_log_set_level(AV_LOG_QUIET);
    Writer w;
    const bool mpeg = QByteArray(format) == "mpeg";
    if (!w.open(path, format, mpeg ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG4))
        return false;
    w.enc->width = width;
    w.enc->height = height;
    w.enc->time_base = AVRational{1, 25};
    w.enc->framerate = AVRational{25, 1};
    w.enc->pix_fmt = AV_PIX_FMT_YUV420P;
    w.enc->gop_size = 5;
    w.enc->bit_rate = 400000;
    if (!w.start(path))
        return false;
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    bool ok = av_frame_get_buffer(frame, 0) >= 0;
    for (int i = 0; ok && i < 10; ++i) {
        ok = av_frame_make_writable(frame) >= 0;
        for (int p = 0; ok && p < 3; ++p) {
            const int h = p ? height / 2 : height;
            for (int y = 0; y < h; ++y)
                memset(frame->data[p] + y * frame->linesize[p], (p ? 128 : 16 + i * 20), size_t(p ? width / 2 : width));
        }
        frame->pts = i;
        ok = ok && w.drain(frame);
    }
    av_frame_free(&frame);
    ok = ok && w.drain(nullptr);
    return ok && av_write_trailer(w.fmt) >= 0;
}

bool makeAudioOnly(const QString &path)
{
    // RIFF/WAVE, PCM, mono, 8000 Hz, 16 bits, 800 samples of silence
    QByteArray wav("RIFF");
    auto u32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav += char((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&](quint16 v) {
        wav += char(v & 0xFF);
        wav += char(v >> 8);
    };
    const quint32 dataBytes = 1600;
    u32(36 + dataBytes);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    wav += "data";
    u32(dataBytes);
    wav += QByteArray(int(dataBytes), '\0');
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(wav) == wav.size();
}

} // namespace cinemork::test

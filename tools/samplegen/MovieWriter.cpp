#include "tools/samplegen/MovieWriter.h"

#include "tools/samplegen/SoundMusic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
}

namespace samplegen {

namespace {

constexpr int kSoundRate = 44100;

void Check(int result, const char* what)
{
    if (result >= 0)
        return;
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result, reason, sizeof reason);
    throw std::runtime_error(std::string(what) + ": " + reason);
}

struct ContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, ContextFree>;
using FramePtr = std::unique_ptr<AVFrame, ContextFree>;
using PacketPtr = std::unique_ptr<AVPacket, ContextFree>;

struct Rgb {
    double r, g, b;
};

Rgb Lerp(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// The colour of pixel (x, y) at time t (0 to 1 over the movie) of a scene.
Rgb Pixel(int scene, double x, double y, double t)
{
    const double u = x / kMovieWidth, v = y / kMovieHeight;
    switch (scene) {
    case 0: { // dawn: the sky brightens and a sun rises over a dark hill
        Rgb sky = Lerp(Lerp({20, 24, 70}, {240, 150, 90}, t), Lerp({60, 40, 110}, {250, 210, 150}, t), v);
        const double sunY = 0.9 - 0.55 * t;
        const double d = std::hypot(u - 0.5, (v - sunY) * 0.75);
        if (d < 0.09)
            sky = {255, 230, 160};
        else if (d < 0.25)
            sky = Lerp({255, 220, 150}, sky, (d - 0.09) / 0.16);
        if (v > 0.78 + 0.05 * std::sin(u * 6.0))
            sky = Lerp({16, 30, 28}, {40, 70, 50}, t);
        return sky;
    }
    case 1: { // rain over a grey town: slanted streaks falling
        Rgb c = Lerp({70, 80, 100}, {40, 45, 60}, v);
        if (v > 0.6 && std::fmod(u * 7.0, 1.0) < 0.6 && v > 0.6 + 0.2 * std::fmod(u * 3.1, 1.0))
            c = {30, 32, 40};
        // Drops: short slanted streaks in a grid of cells that falls with time.
        const double fall = y - t * 1600.0 - x * 0.3;
        const double row = std::floor(fall / 24.0), col = std::floor(x / 12.0);
        const unsigned drop = static_cast<unsigned>(row * 31.0 + col * 17.0) * 2654435761u;
        const double along = fall - row * 24.0, across = x - col * 12.0 - (drop >> 8) % 8;
        if ((drop >> 20) % 3 == 0 && along < 8.0 && std::fabs(across) < 0.8)
            c = Lerp(c, {200, 210, 230}, 0.6);
        return c;
    }
    default: { // night: stars appear one by one and a warm glow rises
        Rgb c = Lerp({8, 10, 30}, {60, 30, 70}, v * t);
        const auto cell = static_cast<unsigned>(std::floor(x / 16.0) + 40.0 * std::floor(y / 16.0));
        unsigned hash = cell * 2654435761u; // mixed, so that the stars do not line up
        hash ^= hash >> 15;
        hash *= 2246822519u;
        hash ^= hash >> 13;
        const double sx = 3.0 + (hash >> 4) % 10, sy = 3.0 + (hash >> 8) % 10;
        const double appear = static_cast<double>(hash % 1000) / 1000.0;
        if ((hash >> 16) % 4 == 0 && t > appear && std::hypot(std::fmod(x, 16.0) - sx, std::fmod(y, 16.0) - sy) < 1.2)
            c = {255, 250, 220};
        if (v > 0.85)
            c = Lerp(c, {250, 170, 90}, (v - 0.85) / 0.15 * t);
        return c;
    }
    }
}

void DrawFrame(AVFrame& frame, int scene, double t)
{
    auto clamp8 = [](double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); };
    for (int y = 0; y < kMovieHeight; ++y)
        for (int x = 0; x < kMovieWidth; ++x) {
            const Rgb c = Pixel(scene, x, y, t);
            frame.data[0][y * frame.linesize[0] + x] = clamp8(16 + 0.257 * c.r + 0.504 * c.g + 0.098 * c.b);
            if (x % 2 == 0 && y % 2 == 0) {
                frame.data[1][y / 2 * frame.linesize[1] + x / 2] = clamp8(128 - 0.148 * c.r - 0.291 * c.g + 0.439 * c.b);
                frame.data[2][y / 2 * frame.linesize[2] + x / 2] = clamp8(128 + 0.439 * c.r - 0.368 * c.g - 0.071 * c.b);
            }
        }
}

// The movie's sound: a short tune matching the scene, as long as the movie.
Pcm Soundtrack(int scene, double seconds)
{
    Tune tune;
    tune.bpm = scene == 1 ? 80 : 96;
    tune.arpeggio = scene != 1;
    tune.chords = scene == 0   ? std::vector<std::array<int, 3>>{{60, 64, 67}, {65, 69, 72}, {67, 71, 74}}
                  : scene == 1 ? std::vector<std::array<int, 3>>{{57, 60, 64}, {53, 57, 60}}
                               : std::vector<std::array<int, 3>>{{55, 59, 62}, {48, 52, 55}, {50, 54, 57}};
    Mix mix(kSoundRate, 2, seconds);
    PlayTune(mix, tune, 0.0);
    return mix.Render(0.6f);
}

class MovieEncoder {
public:
    explicit MovieEncoder(const std::filesystem::path& file)
    {
        Check(avformat_alloc_output_context2(&format_, nullptr, "mpeg", file.c_str()), "mpeg muxer");
        format_->flags |= AVFMT_FLAG_BITEXACT;
        // A packet rate above what the streams carry, so that the muxer never falls behind them.
        Check(av_opt_set_int(format_->priv_data, "muxrate", 4'000'000, 0), "mux rate");
        video_ = Open(AV_CODEC_ID_MPEG1VIDEO, [](AVCodecContext& c) {
            c.width = kMovieWidth;
            c.height = kMovieHeight;
            c.pix_fmt = AV_PIX_FMT_YUV420P;
            c.time_base = {1, kMovieFps};
            c.framerate = {kMovieFps, 1};
            c.gop_size = 12;
            c.max_b_frames = 0;
            c.bit_rate = 1'500'000;
            c.rc_max_rate = 2'500'000;
            c.rc_buffer_size = 2'000'000; // bits, so that the stream states a buffer it keeps to
        });
        audio_ = Open(AV_CODEC_ID_MP2, [](AVCodecContext& c) {
            c.sample_fmt = AV_SAMPLE_FMT_S16;
            c.sample_rate = kSoundRate;
            av_channel_layout_default(&c.ch_layout, 2);
            c.time_base = {1, kSoundRate};
            c.bit_rate = 128'000;
        });
        videoStream_ = AddStream(*video_);
        audioStream_ = AddStream(*audio_);
        Check(avio_open(&format_->pb, file.c_str(), AVIO_FLAG_WRITE), "open the movie file");
        Check(avformat_write_header(format_, nullptr), "movie header");
    }
    ~MovieEncoder()
    {
        if (format_->pb)
            avio_closep(&format_->pb);
        avformat_free_context(format_);
    }
    MovieEncoder(const MovieEncoder&) = delete;
    MovieEncoder& operator=(const MovieEncoder&) = delete;

    void Encode(int scene, double seconds)
    {
        const int frames = static_cast<int>(std::lround(seconds * kMovieFps));
        const Pcm sound = Soundtrack(scene, seconds);
        FramePtr picture(av_frame_alloc());
        picture->format = AV_PIX_FMT_YUV420P;
        picture->width = kMovieWidth;
        picture->height = kMovieHeight;
        Check(av_frame_get_buffer(picture.get(), 0), "picture buffer");
        FramePtr block(av_frame_alloc());
        block->format = AV_SAMPLE_FMT_S16;
        block->sample_rate = kSoundRate;
        block->nb_samples = audio_->frame_size;
        av_channel_layout_default(&block->ch_layout, 2);
        Check(av_frame_get_buffer(block.get(), 0), "sound buffer");

        std::size_t soundFrame = 0;
        for (int i = 0; i < frames; ++i) {
            Check(av_frame_make_writable(picture.get()), "picture buffer");
            DrawFrame(*picture, scene, static_cast<double>(i) / std::max(1, frames - 1));
            picture->pts = i;
            Send(*video_, picture.get(), videoStream_);
            // Sound up to the end of this picture, in the encoder's whole blocks.
            const auto due = static_cast<std::size_t>((i + 1) * static_cast<std::int64_t>(kSoundRate) / kMovieFps);
            while (soundFrame < due && soundFrame < sound.Frames()) {
                Check(av_frame_make_writable(block.get()), "sound buffer");
                auto* out = reinterpret_cast<std::int16_t*>(block->data[0]);
                for (int k = 0; k < block->nb_samples * 2; ++k) {
                    const std::size_t at = soundFrame * 2 + static_cast<std::size_t>(k);
                    out[k] = at < sound.samples.size() ? sound.samples[at] : 0;
                }
                block->pts = static_cast<std::int64_t>(soundFrame);
                Send(*audio_, block.get(), audioStream_);
                soundFrame += static_cast<std::size_t>(block->nb_samples);
            }
        }
        Send(*video_, nullptr, videoStream_);
        Send(*audio_, nullptr, audioStream_);
        Check(av_write_trailer(format_), "movie trailer");
    }

private:
    template <typename Setup> CodecPtr Open(AVCodecID id, Setup setup)
    {
        const AVCodec* codec = avcodec_find_encoder(id);
        if (!codec)
            throw std::runtime_error(std::string("FFmpeg has no encoder ") + avcodec_get_name(id));
        CodecPtr context(avcodec_alloc_context3(codec));
        setup(*context);
        context->flags |= AV_CODEC_FLAG_BITEXACT;
        context->thread_count = 1;
        if (format_->oformat->flags & AVFMT_GLOBALHEADER)
            context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        Check(avcodec_open2(context.get(), codec, nullptr), avcodec_get_name(id));
        return context;
    }

    AVStream* AddStream(const AVCodecContext& context)
    {
        AVStream* stream = avformat_new_stream(format_, nullptr);
        if (!stream)
            throw std::runtime_error("movie stream");
        Check(avcodec_parameters_from_context(stream->codecpar, &context), "stream parameters");
        stream->time_base = context.time_base;
        // The encoder's buffer properties, which the muxer states in the pack headers.
        for (int i = 0; i < context.nb_coded_side_data; ++i) {
            const AVPacketSideData& side = context.coded_side_data[i];
            std::uint8_t* copy = av_stream_new_side_data(stream, side.type, side.size);
            if (!copy)
                throw std::runtime_error("movie stream");
            std::copy_n(side.data, side.size, copy);
        }
        return stream;
    }

    void Send(AVCodecContext& codec, const AVFrame* frame, AVStream* stream)
    {
        Check(avcodec_send_frame(&codec, frame), "encode");
        PacketPtr packet(av_packet_alloc());
        for (;;) {
            const int result = avcodec_receive_packet(&codec, packet.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return;
            Check(result, "encode");
            av_packet_rescale_ts(packet.get(), codec.time_base, stream->time_base);
            packet->stream_index = stream->index;
            Check(av_interleaved_write_frame(format_, packet.get()), "write the movie");
        }
    }

    AVFormatContext* format_ = nullptr;
    CodecPtr video_;
    CodecPtr audio_;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
};

} // namespace

std::vector<MovieFile> GameMovies()
{
    return {{"TVOP.mpg", 0, 5.0}, {"TV01.mpg", 1, 4.0}, {"TVED1.mpg", 2, 6.0}};
}

void EncodeMovie(const std::filesystem::path& file, int scene, double seconds)
{
    std::filesystem::create_directories(file.parent_path());
    MovieEncoder(file).Encode(scene, seconds);
}

bool WriteMovies(const SampleStaging& staging, const std::filesystem::path&)
{
    try {
        for (const MovieFile& movie : GameMovies())
            EncodeMovie(staging.File(SampleStore::Movie, movie.name), movie.scene, movie.seconds);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "samplegen: %s\n", e.what());
        return false;
    }
}

} // namespace samplegen

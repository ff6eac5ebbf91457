// FfmpegMovieCodec: the FFmpeg back end of the movie codec: libavformat demuxes, libavcodec
// decodes, libswscale scales and converts the pictures, libswresample converts the sound.
#pragma once

#include "platform/movie/MovieCodec.h"
#include "platform/movie/ffmpeg/PictureScaler.h"

#include <deque>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace movie {

class FfmpegMovieCodec final : public MovieCodec {
public:
    explicit FfmpegMovieCodec(const OutputSpec& spec);
    ~FfmpegMovieCodec() override;
    FfmpegMovieCodec(const FfmpegMovieCodec&) = delete;
    FfmpegMovieCodec& operator=(const FfmpegMovieCodec&) = delete;

    // False with a reason in `error`.
    bool OpenFile(const std::string& path, std::string& error);

    bool HasVideo() const override { return video_ != nullptr; }
    bool HasAudio() const override { return audio_ != nullptr; }
    void DropAudio() override { audioDropped_ = true; }
    bool Seek(std::int64_t ms) override;
    Read Demux(std::vector<std::uint8_t>& pcm) override;
    void Drain(std::vector<std::uint8_t>& pcm) override;
    std::size_t PendingVideoBytes() const override { return videoBytes_; }
    bool HasPendingVideo() const override;
    bool DecodeVideo(Frame& frame) override;

private:
    bool OpenDecoder(int type, int& index, AVCodecContext*& context, std::string& error);
    // Movie time in ms (or in output samples) of a timestamp in stream `index`'s time base.
    std::int64_t ToMs(std::int64_t pts, int index) const;
    std::int64_t ToSample(std::int64_t pts, int index) const;
    void ReceiveAudio(std::vector<std::uint8_t>& pcm);
    bool Resample(const AVFrame& in, std::vector<std::uint8_t>& pcm);
    // Appends `frames` output frames that start at the next chunk's sample, dropping what lies
    // before the seek target.
    void AppendPcm(const std::uint8_t* data, std::int64_t frames, std::vector<std::uint8_t>& pcm);
    void ClearVideoPackets();

    OutputSpec spec_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    int videoIndex_ = -1;
    int audioIndex_ = -1;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    PictureScaler scaler_;
    SwrContext* resampler_ = nullptr;
    int resamplerFormat_ = -1;
    int resamplerRate_ = 0;
    int resamplerChannels_ = 0;
    std::vector<std::uint8_t> resampled_;
    std::deque<AVPacket*> videoPackets_;
    std::size_t videoBytes_ = 0;
    bool videoDraining_ = false; // Drain ran: the decoder gives up its last pictures
    bool videoFlushSent_ = false;
    bool videoDrained_ = false;
    bool audioDropped_ = false;
    bool readAny_ = false;
    std::int64_t startUs_ = 0;      // the container's start, in microseconds
    std::int64_t frameMs_ = 40;     // one picture's duration
    std::int64_t targetMs_ = 0;     // the last seek's target
    std::int64_t nextVideoMs_ = 0;  // for pictures without a timestamp
    std::int64_t nextSample_ = 0;   // movie time, in output samples, of the next PCM appended
    std::int64_t chunkSample_ = -1; // movie time of the next decoded sound; -1 before the first
};

} // namespace movie

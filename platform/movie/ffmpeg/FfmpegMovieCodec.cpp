// FfmpegMovieCodec: the FFmpeg back end of the movie codec: libavformat demuxes, libavcodec
// decodes, libswscale scales and converts the pictures, libswresample converts the sound.
#include "platform/movie/ffmpeg/FfmpegMovieCodec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace movie {

namespace {

constexpr int kMaxPictureSide = PictureScaler::kMaxSide;
// Seeks land this far before their target: containers find only roughly where a time is, and
// pictures decode only from the key picture before it (MPEG-1 groups last about half a second).
constexpr std::int64_t kSeekLeadMs = 1000;
// Sound that starts this much after the seek target is a damaged timestamp, not a pause.
constexpr std::int64_t kMaxLeadingSilenceMs = 10000;
// The containers a movie may come in (FFmpeg's demuxer names).
constexpr const char* kContainers = "mpeg,mpegts,mpegvideo,avi,asf,mov,matroska,ogg";

} // namespace

std::unique_ptr<MovieCodec> MovieCodec::Open(const std::string& path, const OutputSpec& spec, std::string& error)
{
    auto codec = std::make_unique<FfmpegMovieCodec>(spec);
    if (!codec->OpenFile(path, error))
        return nullptr;
    return codec;
}

FfmpegMovieCodec::FfmpegMovieCodec(const OutputSpec& spec) : spec_(spec), scaler_(spec) {}

FfmpegMovieCodec::~FfmpegMovieCodec()
{
    ClearVideoPackets();
    swr_free(&resampler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    avformat_close_input(&format_);
}

bool FfmpegMovieCodec::OpenFile(const std::string& path, std::string& error)
{
    if (spec_.width <= 0 || spec_.height <= 0 || spec_.width > kMaxPictureSide || spec_.height > kMaxPictureSide ||
        !spec_.pcm.Valid() || spec_.pcm.bitsPerSample != 16) {
        error = "unsupported output";
        return false;
    }
    // Only the file itself, and only as a movie container: playlists and concatenation lists
    // (which would open other files or network addresses named inside a damaged movie) are
    // refused, and a name is never taken for an address.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kContainers, 0);
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&format_, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        error = "cannot open or recognise the file";
        return false;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) {
        error = "no stream information";
        return false;
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (packet_ == nullptr || frame_ == nullptr) {
        error = "out of memory";
        return false;
    }
    std::string videoError, audioError;
    OpenDecoder(AVMEDIA_TYPE_VIDEO, videoIndex_, video_, videoError);
    OpenDecoder(AVMEDIA_TYPE_AUDIO, audioIndex_, audio_, audioError);
    if (video_ == nullptr && audio_ == nullptr) {
        error = "no playable stream (video: " + videoError + "; audio: " + audioError + ")";
        return false;
    }
    if (video_ != nullptr) {
        if (video_->width <= 0 || video_->height <= 0 || video_->width > kMaxPictureSide ||
            video_->height > kMaxPictureSide) {
            error = "bad picture size";
            return false;
        }
        const AVRational rate = av_guess_frame_rate(format_, format_->streams[videoIndex_], nullptr);
        if (rate.num > 0 && rate.den > 0)
            frameMs_ = std::clamp<std::int64_t>(1000LL * rate.den / rate.num, 1, 1000);
    }
    startUs_ = format_->start_time != AV_NOPTS_VALUE ? format_->start_time : 0;
    return true;
}

bool FfmpegMovieCodec::OpenDecoder(int type, int& index, AVCodecContext*& context, std::string& error)
{
    const AVCodec* decoder = nullptr;
    const int found = av_find_best_stream(format_, static_cast<AVMediaType>(type), -1, -1, &decoder, 0);
    if (found < 0 || decoder == nullptr) {
        error = "none";
        return false;
    }
    context = avcodec_alloc_context3(decoder);
    if (context == nullptr || avcodec_parameters_to_context(context, format_->streams[found]->codecpar) < 0 ||
        avcodec_open2(context, decoder, nullptr) < 0) {
        avcodec_free_context(&context);
        error = "no decoder";
        return false;
    }
    if (type == AVMEDIA_TYPE_AUDIO &&
        (context->ch_layout.nb_channels < 1 || context->ch_layout.nb_channels > 8 || context->sample_rate <= 0)) {
        avcodec_free_context(&context);
        error = "bad sound format";
        return false;
    }
    index = found;
    return true;
}

std::int64_t FfmpegMovieCodec::ToMs(std::int64_t pts, int index) const
{
    const std::int64_t us = av_rescale_q(pts, format_->streams[index]->time_base, AVRational{1, 1000000});
    return (us - startUs_) / 1000;
}

std::int64_t FfmpegMovieCodec::ToSample(std::int64_t pts, int index) const
{
    const std::int64_t us = av_rescale_q(pts, format_->streams[index]->time_base, AVRational{1, 1000000});
    return av_rescale(us - startUs_, spec_.pcm.samplesPerSec, 1000000);
}

bool FfmpegMovieCodec::Seek(std::int64_t ms)
{
    ms = std::max<std::int64_t>(ms, 0);
    // Without a seek (an unseekable container) decoding goes on from where it was and everything
    // before the target is dropped as it comes.
    const std::int64_t lead = std::max<std::int64_t>(ms - kSeekLeadMs, 0);
    const bool sought = (!readAny_ && ms == 0) ||
                        av_seek_frame(format_, -1, startUs_ + lead * 1000, AVSEEK_FLAG_BACKWARD) >= 0;
    ClearVideoPackets();
    if (video_ != nullptr)
        avcodec_flush_buffers(video_);
    if (audio_ != nullptr)
        avcodec_flush_buffers(audio_);
    videoDraining_ = videoFlushSent_ = videoDrained_ = false;
    targetMs_ = ms;
    nextVideoMs_ = ms;
    nextSample_ = av_rescale(ms, spec_.pcm.samplesPerSec, 1000);
    chunkSample_ = -1;
    return sought;
}

MovieCodec::Read FfmpegMovieCodec::Demux(std::vector<std::uint8_t>& pcm)
{
    const int result = av_read_frame(format_, packet_);
    if (result == AVERROR_EOF)
        return Read::End;
    if (result < 0)
        return Read::Error;
    readAny_ = true;
    if (packet_->stream_index == videoIndex_ && video_ != nullptr) {
        AVPacket* kept = av_packet_alloc();
        if (kept != nullptr) {
            av_packet_move_ref(kept, packet_);
            videoBytes_ += static_cast<std::size_t>(kept->size);
            videoPackets_.push_back(kept);
        }
    } else if (packet_->stream_index == audioIndex_ && audio_ != nullptr && !audioDropped_) {
        // A damaged packet is dropped; the decoder goes on with the next.
        if (avcodec_send_packet(audio_, packet_) >= 0)
            ReceiveAudio(pcm);
    }
    av_packet_unref(packet_);
    return Read::Packet;
}

void FfmpegMovieCodec::Drain(std::vector<std::uint8_t>& pcm)
{
    if (audio_ != nullptr && !audioDropped_ && avcodec_send_packet(audio_, nullptr) >= 0)
        ReceiveAudio(pcm);
    videoDraining_ = true;
}

void FfmpegMovieCodec::ReceiveAudio(std::vector<std::uint8_t>& pcm)
{
    while (avcodec_receive_frame(audio_, frame_) >= 0) {
        if (chunkSample_ < 0) {
            const std::int64_t pts = frame_->best_effort_timestamp;
            chunkSample_ = pts != AV_NOPTS_VALUE ? ToSample(pts, audioIndex_) : nextSample_;
            const std::int64_t maxLead = av_rescale(kMaxLeadingSilenceMs, spec_.pcm.samplesPerSec, 1000);
            if (chunkSample_ > nextSample_ + maxLead)
                chunkSample_ = nextSample_;
            if (chunkSample_ > nextSample_) {
                pcm.resize(pcm.size() + static_cast<std::size_t>(chunkSample_ - nextSample_) * spec_.pcm.FrameBytes(), 0);
                nextSample_ = chunkSample_;
            }
        }
        Resample(*frame_, pcm);
        av_frame_unref(frame_);
    }
}

bool FfmpegMovieCodec::Resample(const AVFrame& in, std::vector<std::uint8_t>& pcm)
{
    const int channels = in.ch_layout.nb_channels;
    if (channels < 1 || channels > 8 || in.sample_rate <= 0 || in.nb_samples <= 0)
        return false;
    if (resampler_ == nullptr || resamplerFormat_ != in.format || resamplerRate_ != in.sample_rate ||
        resamplerChannels_ != channels) {
        swr_free(&resampler_);
        AVChannelLayout outLayout, inLayout;
        av_channel_layout_default(&outLayout, spec_.pcm.channels);
        av_channel_layout_default(&inLayout, channels);
        if (swr_alloc_set_opts2(&resampler_, &outLayout, AV_SAMPLE_FMT_S16,
                                static_cast<int>(spec_.pcm.samplesPerSec), &inLayout,
                                static_cast<AVSampleFormat>(in.format), in.sample_rate, 0, nullptr) < 0 ||
            swr_init(resampler_) < 0) {
            swr_free(&resampler_);
            return false;
        }
        resamplerFormat_ = in.format;
        resamplerRate_ = in.sample_rate;
        resamplerChannels_ = channels;
    }
    const int capacity = swr_get_out_samples(resampler_, in.nb_samples);
    if (capacity <= 0)
        return false;
    const std::size_t frameBytes = spec_.pcm.FrameBytes();
    resampled_.resize(static_cast<std::size_t>(capacity) * frameBytes);
    std::uint8_t* out[] = {resampled_.data()};
    const int made = swr_convert(resampler_, out, capacity, const_cast<const std::uint8_t**>(in.extended_data),
                                 in.nb_samples);
    if (made <= 0)
        return made == 0;
    AppendPcm(resampled_.data(), made, pcm);
    return true;
}

void FfmpegMovieCodec::AppendPcm(const std::uint8_t* data, std::int64_t frames, std::vector<std::uint8_t>& pcm)
{
    const std::int64_t start = chunkSample_;
    chunkSample_ += frames;
    const std::int64_t skip = std::clamp<std::int64_t>(nextSample_ - start, 0, frames);
    if (skip == frames)
        return;
    const std::size_t frameBytes = spec_.pcm.FrameBytes();
    pcm.insert(pcm.end(), data + skip * frameBytes, data + frames * frameBytes);
    nextSample_ = chunkSample_;
}

bool FfmpegMovieCodec::HasPendingVideo() const
{
    return !videoPackets_.empty() || (videoDraining_ && !videoDrained_ && video_ != nullptr);
}

bool FfmpegMovieCodec::DecodeVideo(Frame& frame)
{
    if (video_ == nullptr)
        return false;
    for (;;) {
        const int received = avcodec_receive_frame(video_, frame_);
        if (received == 0) {
            const std::int64_t pts = frame_->best_effort_timestamp;
            const std::int64_t ms = pts != AV_NOPTS_VALUE ? ToMs(pts, videoIndex_) : nextVideoMs_;
            nextVideoMs_ = ms + frameMs_;
            // Pictures that end before the seek target are decoded only to reach the next.
            const bool shown = ms + frameMs_ > targetMs_ &&
                               scaler_.Scale(frame_->data, frame_->linesize, frame_->width, frame_->height,
                                             frame_->format, frame);
            av_frame_unref(frame_);
            if (!shown)
                continue;
            frame.timeMs = ms;
            frame.durationMs = frameMs_;
            return true;
        }
        if (received == AVERROR_EOF) {
            videoDrained_ = true;
            return false;
        }
        if (!videoPackets_.empty()) {
            AVPacket* next = videoPackets_.front();
            videoPackets_.pop_front();
            videoBytes_ -= static_cast<std::size_t>(next->size);
            avcodec_send_packet(video_, next); // a damaged packet is dropped
            av_packet_free(&next);
            continue;
        }
        if (videoDraining_ && !videoFlushSent_) {
            videoFlushSent_ = true;
            if (avcodec_send_packet(video_, nullptr) < 0)
                videoDrained_ = true;
            continue;
        }
        if (videoDraining_)
            videoDrained_ = true;
        return false;
    }
}

void FfmpegMovieCodec::ClearVideoPackets()
{
    for (AVPacket*& packet : videoPackets_)
        av_packet_free(&packet);
    videoPackets_.clear();
    videoBytes_ = 0;
}

} // namespace movie

// MoviePlayer: the movie-decoding service: the worker thread and its queues.
#include "platform/movie/MoviePlayer.h"

#include <algorithm>
#include <cstring>

namespace movie {

namespace {

// Read PCM is dropped from the store's front once this much has gathered.
constexpr std::size_t kPcmCompactBytes = 256u << 10;

} // namespace

std::unique_ptr<MoviePlayer> MoviePlayer::Open(const std::string& path, const OutputSpec& spec, std::string& error)
{
    std::unique_ptr<MovieCodec> codec = MovieCodec::Open(path, spec, error);
    if (codec == nullptr)
        return nullptr;
    return std::make_unique<MoviePlayer>(std::move(codec), spec);
}

MoviePlayer::MoviePlayer(std::unique_ptr<MovieCodec> codec, const OutputSpec& spec)
    : codec_(std::move(codec)), spec_(spec), hasVideo_(codec_->HasVideo()), hasAudio_(codec_->HasAudio())
{
    const std::uint64_t perSecond = std::uint64_t{spec_.pcm.samplesPerSec} * spec_.pcm.FrameBytes();
    pcmLimit_ = static_cast<std::size_t>(perSecond * kQueuedSoundMs / 1000);
}

MoviePlayer::~MoviePlayer()
{
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void MoviePlayer::DropAudio()
{
    if (!hasAudio_)
        return;
    if (!worker_.joinable()) {
        hasAudio_ = false;
        codec_->DropAudio();
        return;
    }
    {
        std::lock_guard guard(lock_);
        hasAudio_ = false;
        dropCodecAudio_ = true;
        std::vector<std::uint8_t>().swap(pcm_);
        pcmRead_ = 0;
    }
    changed_.notify_all();
}

void MoviePlayer::Start(std::int64_t ms)
{
    if (worker_.joinable())
        return;
    startMs_ = std::max<std::int64_t>(ms, 0);
    worker_ = std::thread([this] { Run(); });
}

void MoviePlayer::Run()
{
    codec_->Seek(startMs_);
    std::unique_lock lock(lock_);
    while (!stop_) {
        if (!Step(lock))
            changed_.wait(lock);
    }
}

bool MoviePlayer::Step(std::unique_lock<std::mutex>& lock)
{
    if (dropCodecAudio_) {
        dropCodecAudio_ = false;
        lock.unlock();
        codec_->DropAudio();
        lock.lock();
        return true;
    }
    const bool frameRoom = frames_.size() < kQueuedFrames;
    const bool pendingVideo = codec_->HasPendingVideo();
    const bool decodeVideo = frameRoom && pendingVideo;
    const bool needSound = hasAudio_ && pcm_.size() - pcmRead_ < pcmLimit_;
    const bool needPicture = hasVideo_ && frameRoom && !pendingVideo;
    const bool readPacket = !decodingEnded_ && codec_->PendingVideoBytes() < kMaxPendingVideoBytes &&
                            (needSound || needPicture);
    if (!decodeVideo && !readPacket) {
        if (decodingEnded_ && !pendingVideo && !videoEnded_) {
            videoEnded_ = true;
            changed_.notify_all();
        }
        return false;
    }
    Frame frame;
    if (!spare_.empty()) {
        frame = std::move(spare_.back());
        spare_.pop_back();
    }
    std::vector<std::uint8_t> pcm;
    bool decoded = false;
    bool ended = false;
    lock.unlock();
    if (decodeVideo) {
        decoded = codec_->DecodeVideo(frame);
    } else if (codec_->Demux(pcm) != MovieCodec::Read::Packet) {
        // A read error ends the movie as its end does.
        codec_->Drain(pcm);
        ended = true;
    }
    lock.lock();
    if (decoded)
        frames_.push_back(std::move(frame));
    else
        spare_.push_back(std::move(frame));
    if (hasAudio_)
        pcm_.insert(pcm_.end(), pcm.begin(), pcm.end());
    decodingEnded_ = decodingEnded_ || ended;
    changed_.notify_all();
    return true;
}

std::int64_t MoviePlayer::WaitFirstFrame(std::chrono::milliseconds limit)
{
    std::unique_lock lock(lock_);
    changed_.wait_for(lock, limit, [this] { return !frames_.empty() || videoEnded_; });
    return frames_.empty() ? -1 : frames_.front().timeMs;
}

const Frame* MoviePlayer::TakeFrame(std::int64_t clockMs)
{
    bool taken = false;
    {
        std::lock_guard guard(lock_);
        while (!frames_.empty() && frames_.front().timeMs <= clockMs) {
            spare_.push_back(std::move(current_));
            current_ = std::move(frames_.front());
            frames_.pop_front();
            taken = true;
        }
        if (taken)
            lastFrameEndMs_ = current_.timeMs + current_.durationMs;
    }
    if (taken)
        changed_.notify_all();
    return taken ? &current_ : nullptr;
}

std::size_t MoviePlayer::ReadAudio(std::uint8_t* out, std::size_t bytes, std::chrono::milliseconds limit)
{
    std::unique_lock lock(lock_);
    changed_.wait_for(lock, limit,
                      [&] { return stop_ || decodingEnded_ || !hasAudio_ || pcm_.size() - pcmRead_ >= bytes; });
    const std::size_t count = std::min(bytes, pcm_.size() - pcmRead_);
    if (count != 0)
        std::memcpy(out, pcm_.data() + pcmRead_, count);
    pcmRead_ += count;
    if (pcmRead_ >= kPcmCompactBytes) {
        pcm_.erase(pcm_.begin(), pcm_.begin() + static_cast<std::ptrdiff_t>(pcmRead_));
        pcmRead_ = 0;
    }
    lock.unlock();
    changed_.notify_all();
    return count;
}

bool MoviePlayer::AudioEnded() const
{
    std::lock_guard guard(lock_);
    return decodingEnded_ && pcmRead_ == pcm_.size();
}

bool MoviePlayer::VideoEnded() const
{
    std::lock_guard guard(lock_);
    return videoEnded_ && frames_.empty();
}

std::size_t MoviePlayer::QueuedFrames() const
{
    std::lock_guard guard(lock_);
    return frames_.size();
}

std::size_t MoviePlayer::QueuedAudioBytes() const
{
    std::lock_guard guard(lock_);
    return pcm_.size() - pcmRead_;
}

std::int64_t MoviePlayer::LastFrameEndMs() const
{
    std::lock_guard guard(lock_);
    return lastFrameEndMs_;
}

} // namespace movie

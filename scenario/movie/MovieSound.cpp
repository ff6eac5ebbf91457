// MovieSound: a movie's sound played through the sound device as a stream over the movie player.
#include "scenario/movie/MovieSound.h"

#include "platform/movie/MoviePlayer.h"
#include "sound/TDSound.h"
#include "sound/TDSoundStream.h"
#include "sound/ZTPcmStream.h"

#include <chrono>
#include <climits>
#include <cstring>

namespace {

// How long the refill waits for the worker to decode sound. Decoding runs many times faster than
// real time, so the wait ends long before this unless the machine stalls; then silence is played.
constexpr auto kSoundWait = std::chrono::seconds(5);

} // namespace

// Reads the player's PCM; silence where the worker has not kept up, the end where the sound ends.
class MovieSound::PlayerStream final : public ZTPcmStream {
public:
    PlayerStream(movie::MoviePlayer& player, std::shared_ptr<std::atomic<std::int64_t>> delivered)
        : player_(player), delivered_(std::move(delivered))
    {
        const audio::PcmFormat& pcm = player.Spec().pcm;
        channels_ = pcm.channels;
        samplesPerSec_ = pcm.samplesPerSec;
        bitsPerSample_ = pcm.bitsPerSample;
        open_ = true;
        endOfData_ = false;
    }

    // The size is unknown until the end: the stream never loops, so it only needs to be above
    // every position.
    int PcmSize() override { return INT_MAX; }
    int PcmPosition() override { return position_; }
    int ReadPcm(void* buffer, int count) override
    {
        if (endOfData_ || count <= 0)
            return 0;
        auto* out = static_cast<std::uint8_t*>(buffer);
        std::size_t n = player_.ReadAudio(out, static_cast<std::size_t>(count), kSoundWait);
        if (n == 0 && player_.AudioEnded()) {
            endOfData_ = true;
            delivered_->store(position_, std::memory_order_release);
            return 0;
        }
        if (n == 0) {
            std::memset(out, 0, static_cast<std::size_t>(count));
            n = static_cast<std::size_t>(count);
        }
        position_ += static_cast<int>(n);
        return static_cast<int>(n);
    }
    bool Restart() override { return position_ == 0; }
    bool SeekFrame(int frame) override { return frame == 0 && position_ == 0; }

private:
    movie::MoviePlayer& player_;
    std::shared_ptr<std::atomic<std::int64_t>> delivered_;
    int position_ = 0;
};

std::unique_ptr<MovieSound> MovieSound::Create(DirectX::TDSound* device, movie::MoviePlayer& player,
                                               std::int32_t attenuation)
{
    if (device == nullptr || !device->Enabled() || !player.HasAudio())
        return nullptr;
    const audio::PcmFormat& pcm = player.Spec().pcm;
    // Owned by the device as a component; MovieSound deletes it unless the device did.
    auto stream = std::make_unique<DirectX::TDSoundStream>(device, pcm.channels, pcm.samplesPerSec,
                                                           pcm.bitsPerSample, false, false);
    auto delivered = std::make_shared<std::atomic<std::int64_t>>(-1);
    if (!stream->Created() || !stream->OpenPcmStream(std::make_unique<PlayerStream>(player, delivered)))
        return nullptr;
    stream->SetVolume(attenuation);
    return std::unique_ptr<MovieSound>(new MovieSound(stream.release(), std::move(delivered)));
}

MovieSound::MovieSound(DirectX::TDSoundStream* stream, std::shared_ptr<std::atomic<std::int64_t>> delivered)
    : TComponent(nullptr), stream_(stream), delivered_(std::move(delivered))
{
    stream_->FreeNotification(this);
}

MovieSound::~MovieSound()
{
    if (stream_ == nullptr)
        return;
    stream_->RemoveFreeNotification(this);
    // Deleting the stream stops it and takes it off the device's list.
    std::unique_ptr<DirectX::TDSoundStream> owned(stream_);
}

void MovieSound::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component == stream_)
        stream_ = nullptr;
    TComponent::Notification(component, operation);
}

bool MovieSound::Play() { return stream_ != nullptr && stream_->Play(false, 0); }

void MovieSound::Stop()
{
    if (stream_ != nullptr)
        stream_->Stop();
}

bool MovieSound::IsPlaying() { return stream_ != nullptr && stream_->IsPlay(); }

std::uint32_t MovieSound::HeardBytes() { return stream_ != nullptr ? stream_->GetPosition() : 0; }

bool MovieSound::Finished()
{
    const std::int64_t delivered = delivered_->load(std::memory_order_acquire);
    return stream_ == nullptr || !stream_->IsPlay() || (delivered >= 0 && HeardBytes() >= delivered);
}

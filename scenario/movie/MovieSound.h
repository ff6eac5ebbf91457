// MovieSound: a movie's sound played through the sound device as a stream that reads the movie
// player's PCM, and how much of it has been heard.
//
// Threads: the logic thread makes, plays, stops and queries it; the stream's refill thread reads
// the player. The stream belongs to the device's component tree: when the device deletes it (the
// device is disabled) this object becomes silent instead of dangling.
#pragma once

#include "platform/classes/Component.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace DirectX {
class TDSound;
class TDSoundStream;
} // namespace DirectX
namespace movie {
class MoviePlayer;
}

class MovieSound : private TComponent {
public:
    // The stream of `player`'s sound on `device` at `attenuation` (hundredths of a decibel); null
    // without a device or when the stream cannot be made. The player must outlive this object.
    static std::unique_ptr<MovieSound> Create(DirectX::TDSound* device, movie::MoviePlayer& player,
                                              std::int32_t attenuation);
    ~MovieSound() override;
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // Plays the sound once from its start.
    bool Play();
    void Stop();
    bool IsPlaying();
    // Bytes of the movie's sound heard so far.
    std::uint32_t HeardBytes();
    // The whole sound has been heard.
    bool Finished();

    // The stream's decoder over the player (in MovieSound.cpp); shares `delivered` with this object.
    class PlayerStream;

private:
    explicit MovieSound(DirectX::TDSoundStream* stream, std::shared_ptr<std::atomic<std::int64_t>> delivered);
    void Notification(TComponent* component, TOperation operation) override;

    DirectX::TDSoundStream* stream_;
    // Bytes the stream has read, or -1 while the player's sound has not ended.
    std::shared_ptr<std::atomic<std::int64_t>> delivered_;
};

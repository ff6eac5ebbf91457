// MoviePlayer: the movie-decoding service: one movie file decoded on a worker thread into a small
// bounded queue of pictures, already scaled to the output size and layout, and a bounded store of
// PCM in the output's sound format, which the caller plays as a stream.
//
// Use: Open; DropAudio when the sound will not be played; Start once at a movie time; then, on
// the caller's clock, TakeFrame for the picture due and ReadAudio (from the sound layer's refill
// thread) for the sound. The caller owns the clock: the position of the sound now audible when
// the movie has sound, a wall clock when it has none. The end: VideoEnded and AudioEnded.
// Sound that stops being read (its device went away) must be dropped with DropAudio: pictures
// read on past it bring its packets along, and nothing else bounds what is kept of it then.
//
// Threads: Open, DropAudio, Start, WaitFirstFrame, TakeFrame and the queries on one control
// thread; ReadAudio on one other thread (or the same). The worker alone calls the codec. lock_
// guards the queues, the PCM store and the end flags; the worker holds it only between codec
// calls, never while decoding. The destructor stops and joins the worker.
#pragma once

#include "platform/movie/MovieCodec.h"
#include "platform/movie/MovieTypes.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace movie {

class MoviePlayer {
public:
    // Pictures decoded ahead of the clock.
    static constexpr std::size_t kQueuedFrames = 3;
    // Sound decoded ahead of the reader, in ms (the sound layer's ring reads two seconds at its
    // start and one second at a time after that).
    static constexpr std::int64_t kQueuedSoundMs = 3000;
    // Compressed picture data the worker reads ahead to reach the sound interleaved with it.
    static constexpr std::size_t kMaxPendingVideoBytes = 32u << 20;

    // The player of the movie file at `path` (a name on disk); null with a reason in `error`.
    static std::unique_ptr<MoviePlayer> Open(const std::string& path, const OutputSpec& spec, std::string& error);
    MoviePlayer(std::unique_ptr<MovieCodec> codec, const OutputSpec& spec);
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    const OutputSpec& Spec() const { return spec_; }
    bool HasVideo() const { return hasVideo_; }
    bool HasAudio() const { return hasAudio_; }
    // The sound is neither decoded nor kept from now on, and what is kept of it is freed; ReadAudio
    // gives nothing more. Any time on the control thread, before or after Start.
    void DropAudio();
    // Starts decoding at `ms` of movie time; a second call does nothing.
    void Start(std::int64_t ms);
    std::int64_t StartMs() const { return startMs_; }
    // Waits up to `limit` until a picture is queued or decoding has ended without one; the time of
    // the first queued picture, -1 when none is.
    std::int64_t WaitFirstFrame(std::chrono::milliseconds limit);
    // The newest queued picture due at `clockMs` (movie time), skipping older due ones; null when
    // no new one is due. The picture stays valid until the next call or the player's end.
    const Frame* TakeFrame(std::int64_t clockMs);
    // Copies up to `bytes` bytes of PCM into `out`, waiting up to `limit` while decoding goes on
    // and fewer are kept; the count copied (0 at the end, or when the wait gave up).
    std::size_t ReadAudio(std::uint8_t* out, std::size_t bytes, std::chrono::milliseconds limit);
    // Decoding has ended and every PCM byte has been read.
    bool AudioEnded() const;
    // Decoding has ended and every picture has been taken.
    bool VideoEnded() const;
    // Pictures decoded and waiting for their time.
    std::size_t QueuedFrames() const;
    // PCM bytes decoded and not yet read.
    std::size_t QueuedAudioBytes() const;
    // Movie time at which the last picture taken ends; -1 before the first.
    std::int64_t LastFrameEndMs() const;

private:
    void Run();
    // One step of the worker with lock_ held on entry and exit; false when it has nothing to do.
    bool Step(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<MovieCodec> codec_;
    const OutputSpec spec_;
    const bool hasVideo_;
    bool hasAudio_; // written on the control thread, under lock_ once the worker runs
    std::int64_t startMs_ = 0;
    std::size_t pcmLimit_ = 0;

    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool stop_ = false;
    bool decodingEnded_ = false;   // no packet left to read
    bool videoEnded_ = false;      // no picture left to decode
    bool dropCodecAudio_ = false;  // DropAudio ran after Start: the worker tells the codec
    std::deque<Frame> frames_;     // decoded, waiting for their time
    std::vector<Frame> spare_;     // pictures whose buffers are reused
    Frame current_;                // the picture TakeFrame last gave
    std::int64_t lastFrameEndMs_ = -1;
    std::vector<std::uint8_t> pcm_;
    std::size_t pcmRead_ = 0;      // bytes of pcm_ already read
    std::thread worker_;
};

} // namespace movie

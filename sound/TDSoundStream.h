// DirectX::TDSoundStream and TDSoundStream3D: a sound of any length played from its decoder
// through a four-second ring of one-second quarters, refilled on the notification thread, with a
// loop point, an end notice and the decoded position now audible.
//
// The ring's notification events: 0 when the buffer stops, 1 to 4 when the mixer reaches the
// starts of quarters 0 to 3. Event i (quarter i - 1 starts) refills quarter i + 1 (mod 4), so a
// full second lies between what is heard and what is written. Playback of a non-looping sound
// stops when the cursor enters the quarter after its last data (at most a second of silence
// later), and OnNotify is raised once then. A looping sound goes on from the loop point (from the
// start on a decoder that cannot seek).
//
// GetPosition is the decoded byte position of the frame now heard: the audible cursor of the ring
// mapped through the decoded position at which each quarter's fill began, and past the end of a
// looping sound folded back into the looped section (loop point to end), however short.
//
// Threads: Play, Stop, Seek, GetPosition and the setters on game threads (one at a time);
// StreamCallBack on the notification thread. The refill lock is held for a whole refill and by
// Stop around the stop itself, so a stop never interleaves with a refill and a refill after a
// stop does nothing; Play takes no lock (its Stop keeps refills out until it starts the ring).
// The position lock guards the quarter positions, the stream size and the loop restart point
// between refills and GetPosition. Lock order: refill lock, then position lock. OnNotify runs on
// the notification thread with neither lock held. As for every buffer, a stream is deleted (or
// released) only by a thread holding no lock its OnNotify takes (TDSoundBuffer.h). Ownership: the decoder always, the adapter over
// a caller's TStream when this object made it; never the caller's stream.
#pragma once

#include "sound/TDSoundBuffer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class TStream;
class ZTStream;
class ZTPcmStream;
class T2ZTStream;

namespace DirectX {

class TDSoundStream : public TCustomDSoundBuffer {
public:
    explicit TDSoundStream(TComponent* owner);
    // Stores the format and makes the ring (check Created()).
    TDSoundStream(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                  unsigned short bitsPerSample, bool pan, bool freq);
    // Opens a WAVE stream and makes the ring (check Created()).
    TDSoundStream(TComponent* owner, TStream* stream, bool pan, bool freq);
    TDSoundStream(TComponent* owner, ZTStream* stream, bool pan, bool freq);
    ~TDSoundStream() override;

    // Makes the ring for the current format.
    bool Create() override;
    // Attach a decoder over `stream` and make the ring; false when created or on failure.
    bool Create(TStream* stream, bool pan, bool freq);
    bool Create(ZTStream* stream, bool pan, bool freq);
    bool CreateMp3(TStream* stream, bool pan, bool freq);
    bool CreateMp3(ZTStream* stream, bool pan, bool freq);
    bool CreateAdp(TStream* stream, bool pan, bool freq);
    bool CreateAdp(ZTStream* stream, bool pan, bool freq);
    bool CreateOgg(TStream* stream, bool pan, bool freq);
    bool CreateOgg(ZTStream* stream, bool pan, bool freq);

    // Attaches a decoder (taking it over); false when one is attached, when it is not open, or
    // when the ring exists in another format.
    bool OpenPcmStream(std::unique_ptr<ZTPcmStream> decoder);
    bool OpenStream(ZTStream* stream);
    bool OpenStream(TStream* stream);
    bool OpenStreamMp3(ZTStream* stream);
    bool OpenStreamMp3(TStream* stream);
    bool OpenStreamAdp(ZTStream* stream);
    bool OpenStreamAdp(TStream* stream);
    bool OpenStreamOgg(ZTStream* stream);
    bool OpenStreamOgg(TStream* stream);
    // Stops and detaches the decoder; always true.
    bool CloseStream();
    bool IsOpen() const { return FOpen; }

    // Plays from decoded byte `pos` (rounded down to a frame; from the start on a decoder that
    // cannot seek or a position it refuses).
    bool Play(bool loop, std::uint32_t pos);
    bool Play(bool loop) override { return Play(loop, 0); }
    bool Stop() override;
    // The stop at the end of a non-looping sound (refill thread); its stop event raises OnNotify.
    bool StopInSync();
    std::uint32_t GetPosition() override;
    void Seek(int pos);
    // The decoded byte position looping returns to: pos when 0 <= pos < the decoded size, else 0.
    void SetLoopPoint(int pos);
    std::uint32_t LoopPoint() const { return FLoopPoint.load(std::memory_order_acquire); }
    std::uint32_t GetStreamSize();
    bool Looping() const { return FLoop.load(std::memory_order_acquire); }

    // Silence for the stream's format: 0x80 for 8-bit, else 0.
    void FillMute(unsigned char* p, int n);
    // Decodes `size` bytes into the ring at `offset` (silence where the decoder has nothing).
    bool BlockCopy(std::uint32_t offset, std::uint32_t size);
    void StreamCallBack(TDSoundThread* thread, int index);

    void Release() override;

protected:
    // Makes the ring's buffer; the 3-D form overrides.
    virtual bool CreateRing(TDSBufferParam& p, TDSNotifyParam& n);
    virtual void ReleaseRing() {}

private:
    enum class Kind { Wave, Mp3, Adp, Ogg };
    bool OpenDecoder(Kind kind, ZTStream* stream);
    bool OpenDecoder(Kind kind, TStream* stream);
    template <typename Source> bool CreateFrom(Kind kind, Source* stream, bool pan, bool freq);
    // Restarts the decoder at the loop point after its end (refill lock held).
    void Wrap();
    // Stops the ring with its cursor on the frame last heard, so a stopped stream reports where
    // it was heard, not where the mixer had read to.
    bool StopRing();
    std::uint32_t Quarter() const { return FLength / 4; }

    bool FOpen = false;
    TStream* FCallerStream = nullptr;
    std::unique_ptr<T2ZTStream> FAdapter;
    ZTStream* FSource = nullptr;
    std::unique_ptr<ZTPcmStream> FDecoder;
    std::vector<unsigned char> FStaging;
    std::atomic<bool> FLoop{false};
    std::array<std::uint32_t, 4> FQuarterPos{};  // guarded by FPositionLock
    std::array<std::atomic<bool>, 4> FEndFlags{}; // quarter k: stop when the cursor enters it
    std::recursive_mutex FRefillLock;
    std::recursive_mutex FPositionLock;
    std::atomic<bool> FStopping{false};
    std::atomic<bool> FEndReached{false}; // StopInSync stopped the ring: its stop event is a notice
    std::atomic<std::uint32_t> FLoopPoint{0}; // set by a game thread, read by the refill
    std::uint32_t FStreamSize = 0; // guarded by FPositionLock
    std::uint32_t FLoopStart = 0;  // where the last wrap restarted; guarded by FPositionLock
};

class TDSoundStream3D : public TDSoundStream {
public:
    explicit TDSoundStream3D(TComponent* owner);
    TDSoundStream3D(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                    unsigned short bitsPerSample, bool freq);
    TDSoundStream3D(TComponent* owner, TStream* stream, bool freq);
    TDSoundStream3D(TComponent* owner, ZTStream* stream, bool freq);
    ~TDSoundStream3D() override;

    bool Create(TStream* stream, bool freq) { return TDSoundStream::Create(stream, false, freq); }
    bool Create(ZTStream* stream, bool freq) { return TDSoundStream::Create(stream, false, freq); }
    bool CreateMp3(TStream* stream, bool freq) { return TDSoundStream::CreateMp3(stream, false, freq); }
    bool CreateMp3(ZTStream* stream, bool freq) { return TDSoundStream::CreateMp3(stream, false, freq); }
    bool CreateAdp(TStream* stream, bool freq) { return TDSoundStream::CreateAdp(stream, false, freq); }
    bool CreateAdp(ZTStream* stream, bool freq) { return TDSoundStream::CreateAdp(stream, false, freq); }
    bool CreateOgg(TStream* stream, bool freq) { return TDSoundStream::CreateOgg(stream, false, freq); }
    bool CreateOgg(ZTStream* stream, bool freq) { return TDSoundStream::CreateOgg(stream, false, freq); }
    bool Create() override { return TDSoundStream::Create(); }

    audio::Buffer3D* Buffer3D() const { return FBuffer3D; }
    // The 3-D position, applied at once; false without a ring.
    bool SetPosition(float x, float y, float z);

protected:
    bool CreateRing(TDSBufferParam& p, TDSNotifyParam& n) override;
    void ReleaseRing() override { FBuffer3D = nullptr; }

private:
    audio::Buffer3D* FBuffer3D = nullptr;
};

} // namespace DirectX

// DirectX::TCustomDSoundBuffer, TDSoundBuffer and TDSoundBuffer3D: the sound buffer components
// (format, creation, volume, pan, frequency, loss and restore, notifications), the whole-sound
// buffer that also wraps the primary buffer, and its 3-D form; and the records their creation uses.
//
// A buffer made with a TDSound as owner registers itself in the device's buffer list and leaves
// it in its destructor. Volume and pan are in hundredths of a decibel (0 = full, -10000 =
// silence; pan -10000 left .. 10000 right), frequency in Hz; positions in bytes.
//
// Notices: a whole-sound buffer with OnNotify assigned when it is created gets a notification
// thread waiting on one event, the buffer's stop. OnNotify is raised on that thread when the
// buffer has played to its end (never for Stop, nor when a playing buffer is restarted).
//
// Threads: a buffer is driven by one game thread at a time; OnNotify (and OnRestore when a
// refill restores) run on the notification thread and must take the game's own locks. OnNotify
// and OnRestore are set before the buffer plays. A handler may delete its own buffer.
// Locking rule: Release and the destructor wake the notification thread at once and wait for a
// handler that is running to return, so a buffer is deleted (or released) only by a thread that
// holds no lock its OnNotify or OnRestore takes; holding one would deadlock.
#pragma once

#include "platform/audio/AudioBuffer.h"
#include "platform/classes/Component.h"
#include "sound/TDSoundThread.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace DirectX {

class TDSound;

// What CreateBuffer makes: the buffer (output) in this format, length and flags.
struct TDSBufferParam {
    std::shared_ptr<audio::Buffer> buffer;
    unsigned short channels = 2;
    std::uint32_t samplesPerSec = 44100;
    unsigned short bitsPerSample = 16;
    std::uint32_t length = 0;
    bool staticFlag = false;
    bool pan = false;
    bool freq = false;
};

// The notifications a buffer asks for: count 1 (its stop) or 5 (its stop and the starts of its
// four quarters). On output: whether the positions are set, the events and the thread.
struct TDSNotifyParam {
    bool notify = false;
    std::shared_ptr<audio::EventSet> events;
    int count = 1;
    std::unique_ptr<TDSoundThread> thread;
    TDSoundCallback callback;
};

class TCustomDSoundBuffer : public TComponent {
public:
    explicit TCustomDSoundBuffer(TComponent* owner);
    ~TCustomDSoundBuffer() override;

    // ---- published properties; the setters act only while the buffer is not created ----
    unsigned short Channels() const { return FChannels; }
    void SetChannels(unsigned short channels); // 1 or 2
    std::uint32_t SamplesPerSec() const { return FSamplesPerSec; }
    void SetSamplesPerSec(std::uint32_t rate); // not 0
    unsigned short BitsPerSample() const { return FBitsPerSample; }
    void SetBitsPerSample(unsigned short bits); // 8 or 16
    std::uint32_t Length() const { return FLength; }
    void SetLength(std::uint32_t length); // 4 to 0x0FFFFFFF
    bool StaticFlag() const { return FStaticFlag; }
    void SetStaticFlag(bool value);
    bool PanEnabled() const { return FPanEnabled; }
    void SetPanEnabled(bool value);
    bool FreqEnabled() const { return FFreqEnabled; }
    void SetFreqEnabled(bool value);
    TNotifyEvent OnRestore;
    const TNotifyEvent& OnNotify() const { return FOnNotify; }
    virtual void SetOnNotify(TNotifyEvent handler);

    // ---- state ----
    bool Created() const { return FCreated; }
    TDSound* Device() const { return FDevice; }
    audio::Buffer* Buffer() const { return FBuffer.get(); }
    TDSoundThread* Thread() const { return FThread.get(); }

    // ---- creation ----
    virtual bool Create() = 0;
    virtual void Release() = 0;
    bool CreateBuffer(TDSBufferParam* p, TDSNotifyParam* n);
    bool CreateBuffer3D(TDSBufferParam* p, TDSNotifyParam* n, audio::Buffer3D** b3d);
    bool CreateEventThread(TDSBufferParam* p, TDSNotifyParam* n);

    // ---- playing ----
    virtual bool Play(bool loop) = 0;
    virtual bool Stop() = 0;
    virtual std::uint32_t GetPosition() = 0;
    long GetVolume();
    bool SetVolume(long volume);
    long GetPan();
    bool SetPan(long pan);
    std::uint32_t GetFrequency();
    bool SetFrequency(std::uint32_t frequency);
    bool IsLost();
    bool IsPlay();
    bool Restore();
    bool IsLostAndRestore();
    // Starts the device's primary buffer when it is not playing.
    void PrimaryPlayCheck();

protected:
    friend class TDSound;

    // Stores what a successful CreateBuffer made.
    void Adopt(TDSBufferParam& p, TDSNotifyParam* n);
    // Stops and joins the thread, then drops the buffer and its events.
    void ReleaseInterfaces();

    std::atomic<bool> FCreated{false}; // read by the notification thread
    unsigned short FChannels = 2;
    std::uint32_t FSamplesPerSec = 44100;
    unsigned short FBitsPerSample = 16;
    std::uint32_t FLength = 0;
    bool FStaticFlag = false;
    bool FPanEnabled = false;
    bool FFreqEnabled = false;
    TDSound* FDevice = nullptr;
    std::shared_ptr<audio::Buffer> FBuffer;
    bool FNotify = false;
    std::shared_ptr<audio::EventSet> FEvents;
    std::unique_ptr<TDSoundThread> FThread;
    TNotifyEvent FOnNotify;
};

class TDSoundBuffer : public TCustomDSoundBuffer {
public:
    explicit TDSoundBuffer(TComponent* owner);
    // Stores the format and creates the buffer (check Created()).
    TDSoundBuffer(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample,
                  std::uint32_t length, bool pan, bool freq);
    // Attaches an existing buffer (check Created()).
    TDSoundBuffer(TComponent* owner, std::shared_ptr<audio::Buffer> buffer);
    ~TDSoundBuffer() override;

    bool Primary() const { return FPrimary; }

    bool Create() override;
    // Refuses when created; stores the values (not StaticFlag) and creates.
    bool Create(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample,
                std::uint32_t length, bool pan, bool freq);
    virtual bool Attach(std::shared_ptr<audio::Buffer> buffer);
    void Release() override;
    // A buffer of the same class owned by the device, sharing this one's sound; null when not created.
    TDSoundBuffer* Duplicate();
    // The primary wrapper (or an uncreated buffer) takes any format; a created buffer refuses.
    bool SetFormat(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample);
    // Stops the buffer and writes `size` bytes (at most Length) at `offset`, wrapping to the start.
    bool WriteBuffer(std::uint32_t offset, const unsigned char* data, std::uint32_t size);
    // A secondary buffer always starts from its beginning.
    bool Play(bool loop) override;
    bool Stop() override;
    // The audible play cursor in bytes.
    std::uint32_t GetPosition() override;
    void NotifyCallBack(TDSoundThread* thread, int index);
    void SetOnNotify(TNotifyEvent handler) override;

protected:
    // An empty, uncreated buffer of this class (Duplicate's result before Attach).
    virtual TDSoundBuffer* MakeEmpty(TComponent* owner) const;
    // Sets up the one-event stop notification of an existing buffer.
    bool SetUpStopNotice();
    // Create's work: the format check, the buffer (3-D when `b3d` is given), the stop notice.
    bool CreateNow(audio::Buffer3D** b3d);

    bool FPrimary = false;

private:
    std::atomic<std::uint32_t> FEndsNoticed{0}; // the buffer's end count when last looked at
};

class TDSoundBuffer3D : public TDSoundBuffer {
public:
    explicit TDSoundBuffer3D(TComponent* owner);
    TDSoundBuffer3D(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                    unsigned short bitsPerSample, std::uint32_t length, bool freq);
    TDSoundBuffer3D(TComponent* owner, std::shared_ptr<audio::Buffer> buffer);
    ~TDSoundBuffer3D() override;

    audio::Buffer3D* Buffer3D() const { return FBuffer3D; }

    bool Create() override;
    // Sets PanEnabled false.
    bool Create(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample,
                std::uint32_t length, bool freq);
    bool Attach(std::shared_ptr<audio::Buffer> buffer) override;
    void Release() override;
    TDSoundBuffer3D* Duplicate();
    // The 3-D position, applied at once; false without a 3-D buffer.
    bool SetPosition(float x, float y, float z);

protected:
    TDSoundBuffer* MakeEmpty(TComponent* owner) const override;

private:
    audio::Buffer3D* FBuffer3D = nullptr;
};

} // namespace DirectX

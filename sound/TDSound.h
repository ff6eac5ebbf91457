// DirectX::TDSound: the sound device component: the audio output with its primary buffer and
// 3-D listener, the list of every buffer made with it, and the factories of whole-sound buffers
// and streams from WAVE, MPEG audio, ADP1 and Ogg Vorbis data.
//
// Use: construct with the main form (a TWinControl) as owner; set SamplesPerSec, BitsPerSample,
// Channels and Use3D; SetEnabled(true); make buffers and streams with the factories;
// SetEnabled(false) (or the destructor) deletes every buffer and stream made with it, so the game
// drops its pointers to them first. The output is the process's audio back end
// (audio::DefaultBackEnd: SDL2, else silence; tests install the manual clock).
//
// Whole-sound factories decode the entire sound into one buffer that is never static and has
// neither pan nor frequency control, whatever flags they are given; stream factories apply their
// pan and frequency flags. The caller's TStream or ZTStream is read from its start and not freed;
// a stream keeps reading it while it plays, so it must outlive the TDSoundStream.
//
// Threads: the device is set up, enabled and disabled by one thread at a time. Buffers may be made
// and deleted on any game thread (the logic thread loads sounds while a frame thread releases a
// faded one): the buffer list has its own lock, never held while a buffer is made, deleted or
// restored. The notification threads of buffers and streams never call into TDSound. Disabling
// deletes every buffer, so it follows the rule for deleting one (TDSoundBuffer.h): no lock held
// that a buffer's OnNotify or OnRestore takes.
#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/classes/Component.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSoundBuffer.h"
#include "sound/TDSoundStream.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class TStream;
class ZTStream;
class ZTPcmStream;

namespace DirectX {

class TDSound : public TComponent {
public:
    explicit TDSound(TComponent* owner);
    ~TDSound() override;

    // ---- published properties ----
    unsigned short Channels() const { return FChannels; }
    void SetChannels(unsigned short channels);
    std::uint32_t SamplesPerSec() const { return FSamplesPerSec; }
    void SetSamplesPerSec(std::uint32_t rate);
    unsigned short BitsPerSample() const { return FBitsPerSample; }
    void SetBitsPerSample(unsigned short bits);
    bool Use3D() const { return FUse3D; }
    void SetUse3D(bool use3D);

    // ---- state ----
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    TWinControl* Window() const { return FWindow; }
    audio::Device* DirectSound() const { return FDevice.get(); }
    audio::Listener3D* Listener() const { return FListener; }
    TDSoundBuffer* PrimaryBuffer() const { return FPrimary; }
    // A copy of the list.
    std::vector<TCustomDSoundBuffer*> BufferList() const;

    bool DSoundCreate();
    void DSoundRelease();
    bool FormatPriBuffer();

    // ---- whole-sound buffers (null when disabled or on failure) ----
    TDSoundBuffer* CreateBuffer(std::uint32_t length);
    TDSoundBuffer* CreateBuffer(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample,
                                std::uint32_t length, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromPcmStream(ZTPcmStream* pcm, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromWave(TStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromWave(ZTStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromMp3(TStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromMp3(ZTStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromAdp(TStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromAdp(ZTStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromOgg(TStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer* CreateBufferFromOgg(ZTStream* stream, bool pan, bool freq, bool staticFlag);
    TDSoundBuffer3D* CreateBuffer3DFromPcmStream(ZTPcmStream* pcm, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromWave(TStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromWave(ZTStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromMp3(TStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromMp3(ZTStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromAdp(TStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromAdp(ZTStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromOgg(TStream* stream, bool freq);
    TDSoundBuffer3D* CreateBuffer3DFromOgg(ZTStream* stream, bool freq);
    // `seconds` of silence in the primary format; null for no seconds or a size past the limit.
    TDSoundBuffer* CreateBufferMute(int seconds);

    // ---- streams (null when disabled or on failure) ----
    TDSoundStream* CreateStreamFromWave(TStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromWave(ZTStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromMp3(TStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromMp3(ZTStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromAdp(TStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromAdp(ZTStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromOgg(TStream* stream, bool pan, bool freq);
    TDSoundStream* CreateStreamFromOgg(ZTStream* stream, bool pan, bool freq);

    // ---- the buffer list ----
    bool AddBufferList(TCustomDSoundBuffer* buffer);
    bool DelBufferList(TCustomDSoundBuffer* buffer);
    bool RestoreAllBuffers();

    // Fills the device's capabilities (through a temporary device while disabled); the size
    // field is set to 96.
    bool GetCaps(audio::DeviceCaps* caps);
    // The primary buffer plays.
    bool IsPlay();
    void Play();
    void Stop();

private:
    enum class Kind { Wave, Mp3, Adp, Ogg };
    // The decoder of `kind` over `source` (the non-realtime form for whole sounds).
    static std::unique_ptr<ZTPcmStream> MakeDecoder(Kind kind, ZTStream* source, bool realtime);
    TDSoundBuffer* BufferFrom(Kind kind, ZTStream* stream);
    TDSoundBuffer* BufferFrom(Kind kind, TStream* stream);
    TDSoundBuffer3D* Buffer3DFrom(Kind kind, ZTStream* stream);
    TDSoundBuffer3D* Buffer3DFrom(Kind kind, TStream* stream);
    template <typename Source> TDSoundStream* StreamFrom(Kind kind, Source* stream, bool pan, bool freq);
    // The newest listed buffer, or null; whether a buffer is listed.
    TCustomDSoundBuffer* LastBuffer() const;
    bool Listed(TCustomDSoundBuffer* buffer) const;
    // Reads all of `pcm` (null when it yields nothing or is too large).
    static bool ReadWhole(ZTPcmStream* pcm, std::vector<std::uint8_t>& data);

    TWinControl* FWindow = nullptr;
    unsigned short FChannels = 2;
    std::uint32_t FSamplesPerSec = 44100;
    unsigned short FBitsPerSample = 16;
    bool FUse3D = false;
    bool FEnabled = false;
    std::unique_ptr<audio::Device> FDevice;
    audio::Listener3D* FListener = nullptr;
    TDSoundBuffer* FPrimary = nullptr;
    mutable std::mutex FBufferListLock;
    std::vector<TCustomDSoundBuffer*> FBufferList; // guarded by FBufferListLock
};

} // namespace DirectX

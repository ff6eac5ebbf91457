// DirectX::TDSound: the sound device component: the audio output with its primary buffer and
// 3-D listener, the list of every buffer made with it, and the factories of whole-sound buffers
// and streams from WAVE, MPEG audio, ADP1 and Ogg Vorbis data.
#include "sound/TDSound.h"

#include "sound/ZTAdpStream.h"
#include "sound/ZTMp3Stream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTWaveStream.h"

#include <algorithm>
#include <new>

namespace DirectX {

TDSound::TDSound(TComponent* owner) : TComponent(owner), FWindow(dynamic_cast<TWinControl*>(owner)) {}

TDSound::~TDSound()
{
    DSoundRelease();
    // Buffers made while disabled are still owned: delete them while this object is whole, as
    // their destructors leave the buffer list.
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto* buffer = dynamic_cast<TCustomDSoundBuffer*>(Components(i)))
            delete buffer;
}

// ---- properties ----

void TDSound::SetChannels(unsigned short channels)
{
    if ((channels != 1 && channels != 2) || channels == FChannels)
        return;
    FChannels = channels;
    if (FEnabled)
        FormatPriBuffer();
}

void TDSound::SetSamplesPerSec(std::uint32_t rate)
{
    if (rate == 0 || rate == FSamplesPerSec)
        return;
    FSamplesPerSec = rate;
    if (FEnabled)
        FormatPriBuffer();
}

void TDSound::SetBitsPerSample(unsigned short bits)
{
    if ((bits != 8 && bits != 16) || bits == FBitsPerSample)
        return;
    FBitsPerSample = bits;
    if (FEnabled)
        FormatPriBuffer();
}

void TDSound::SetUse3D(bool use3D)
{
    if (!FEnabled)
        FUse3D = use3D;
}

void TDSound::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    if (enabled)
        DSoundCreate();
    else
        DSoundRelease();
}

// ---- creation and release ----

bool TDSound::DSoundCreate()
{
    if (FWindow == nullptr)
        return false;
    if (FEnabled)
        return true;
    {
        const std::lock_guard<std::mutex> lock(FBufferListLock);
        FBufferList.clear(); // the objects stay; they are not this device's any more
    }
    FDevice = audio::Device::Create(audio::DefaultBackEnd());
    std::uint32_t flags = audio::kBufPrimary | audio::kBufCtrlVolume;
    if (FUse3D)
        flags |= audio::kBufCtrl3D;
    auto primary = FDevice->CreateSoundBuffer({flags, 0, {}});
    if (!primary) {
        FDevice.reset();
        return false;
    }
    FPrimary = new TDSoundBuffer(this, std::move(primary)); // owned by this device
    if (!FPrimary->Created()) {
        delete FPrimary;
        FPrimary = nullptr;
        FDevice.reset();
        return false;
    }
    FormatPriBuffer();
    if (FUse3D) {
        FListener = FPrimary->Buffer()->GetListener();
        if (FListener == nullptr) {
            delete FPrimary;
            FPrimary = nullptr;
            FDevice.reset();
            return false;
        }
        FListener->SetPosition(0, 0, 0);
        FListener->SetVelocity(0, 0, 0);
        FListener->SetOrientation(0, 0, 0, 0, 0, 0);
    }
    FPrimary->Play(true);
    FEnabled = true;
    return true;
}

void TDSound::DSoundRelease()
{
    if (!FEnabled)
        return;
    FEnabled = false;
    FListener = nullptr;
    if (FPrimary->IsPlay())
        FPrimary->Stop();
    delete FPrimary;
    FPrimary = nullptr;
    while (TCustomDSoundBuffer* last = LastBuffer())
        delete last; // its destructor leaves the list
    FDevice.reset();
}

bool TDSound::FormatPriBuffer()
{
    if (FPrimary == nullptr)
        return false;
    const bool playing = FPrimary->IsPlay();
    if (playing)
        FPrimary->Stop();
    if (!FPrimary->SetFormat(FChannels, FSamplesPerSec, FBitsPerSample))
        return false;
    if (playing)
        FPrimary->Play(true);
    return true;
}

// ---- whole-sound buffers ----

TDSoundBuffer* TDSound::CreateBuffer(std::uint32_t length)
{
    return CreateBuffer(FChannels, FSamplesPerSec, FBitsPerSample, length, false, false, false);
}

TDSoundBuffer* TDSound::CreateBuffer(unsigned short channels, std::uint32_t samplesPerSec,
                                     unsigned short bitsPerSample, std::uint32_t length, bool pan, bool freq,
                                     bool staticFlag)
{
    if (!FEnabled)
        return nullptr;
    auto* buffer = new TDSoundBuffer(this); // owned by this device
    buffer->SetStaticFlag(staticFlag);
    if (!buffer->Create(channels, samplesPerSec, bitsPerSample, length, pan, freq)) {
        delete buffer;
        return nullptr;
    }
    return buffer;
}

bool TDSound::ReadWhole(ZTPcmStream* pcm, std::vector<std::uint8_t>& data)
{
    const int size = pcm->GetSize();
    if (size <= 0 || static_cast<std::uint32_t>(size) > audio::kMaxBufferBytes)
        return false;
    try {
        data.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    int filled = 0;
    while (filled < size) {
        const int n = pcm->Read(data.data() + filled, size - filled);
        if (n <= 0)
            break;
        filled += n;
    }
    data.resize(static_cast<std::size_t>(filled));
    return filled > 0;
}

TDSoundBuffer* TDSound::CreateBufferFromPcmStream(ZTPcmStream* pcm, bool pan, bool freq, bool staticFlag)
{
    if (!FEnabled || pcm == nullptr || !pcm->IsOpen())
        return nullptr;
    std::vector<std::uint8_t> data;
    if (!ReadWhole(pcm, data))
        return nullptr;
    auto* buffer = new TDSoundBuffer(this); // owned by this device
    buffer->SetStaticFlag(staticFlag);
    const auto bytes = static_cast<std::uint32_t>(data.size());
    if (!buffer->Create(static_cast<unsigned short>(pcm->GetChannels()), pcm->GetSamplesPerSec(),
                        static_cast<unsigned short>(pcm->GetBitsPerSample()), bytes, pan, freq) ||
        !buffer->WriteBuffer(0, data.data(), bytes)) {
        delete buffer;
        return nullptr;
    }
    return buffer;
}

TDSoundBuffer3D* TDSound::CreateBuffer3DFromPcmStream(ZTPcmStream* pcm, bool freq)
{
    if (!FEnabled || pcm == nullptr || !pcm->IsOpen())
        return nullptr;
    std::vector<std::uint8_t> data;
    if (!ReadWhole(pcm, data))
        return nullptr;
    auto* buffer = new TDSoundBuffer3D(this); // owned by this device
    buffer->SetStaticFlag(true);
    const auto bytes = static_cast<std::uint32_t>(data.size());
    if (!buffer->Create(static_cast<unsigned short>(pcm->GetChannels()), pcm->GetSamplesPerSec(),
                        static_cast<unsigned short>(pcm->GetBitsPerSample()), bytes, freq) ||
        !buffer->WriteBuffer(0, data.data(), bytes)) {
        delete buffer;
        return nullptr;
    }
    return buffer;
}

std::unique_ptr<ZTPcmStream> TDSound::MakeDecoder(Kind kind, ZTStream* source, bool realtime)
{
    switch (kind) {
    case Kind::Wave:
        return std::make_unique<ZTWaveStream>(source, realtime);
    case Kind::Mp3:
        return std::make_unique<ZTMp3Stream>(source, realtime);
    case Kind::Adp:
        return std::make_unique<ZTAdpStream>(source);
    case Kind::Ogg:
        return std::make_unique<ZTOggStream>(source);
    }
    return nullptr;
}

TDSoundBuffer* TDSound::BufferFrom(Kind kind, ZTStream* stream)
{
    if (!FEnabled || stream == nullptr)
        return nullptr;
    // The flags given to the factories are not applied: whole sounds have no pan or frequency
    // control and are not static.
    const auto decoder = MakeDecoder(kind, stream, false);
    return CreateBufferFromPcmStream(decoder.get(), false, false, false);
}

TDSoundBuffer* TDSound::BufferFrom(Kind kind, TStream* stream)
{
    if (!FEnabled || stream == nullptr)
        return nullptr;
    T2ZTStream adapter(stream);
    return BufferFrom(kind, &adapter);
}

TDSoundBuffer3D* TDSound::Buffer3DFrom(Kind kind, ZTStream* stream)
{
    if (!FEnabled || stream == nullptr)
        return nullptr;
    const auto decoder = MakeDecoder(kind, stream, false);
    return CreateBuffer3DFromPcmStream(decoder.get(), false);
}

TDSoundBuffer3D* TDSound::Buffer3DFrom(Kind kind, TStream* stream)
{
    if (!FEnabled || stream == nullptr)
        return nullptr;
    T2ZTStream adapter(stream);
    return Buffer3DFrom(kind, &adapter);
}

TDSoundBuffer* TDSound::CreateBufferFromWave(TStream* s, bool, bool, bool) { return BufferFrom(Kind::Wave, s); }
TDSoundBuffer* TDSound::CreateBufferFromWave(ZTStream* s, bool, bool, bool) { return BufferFrom(Kind::Wave, s); }
TDSoundBuffer* TDSound::CreateBufferFromMp3(TStream* s, bool, bool, bool) { return BufferFrom(Kind::Mp3, s); }
TDSoundBuffer* TDSound::CreateBufferFromMp3(ZTStream* s, bool, bool, bool) { return BufferFrom(Kind::Mp3, s); }
TDSoundBuffer* TDSound::CreateBufferFromAdp(TStream* s, bool, bool, bool) { return BufferFrom(Kind::Adp, s); }
TDSoundBuffer* TDSound::CreateBufferFromAdp(ZTStream* s, bool, bool, bool) { return BufferFrom(Kind::Adp, s); }
TDSoundBuffer* TDSound::CreateBufferFromOgg(TStream* s, bool, bool, bool) { return BufferFrom(Kind::Ogg, s); }
TDSoundBuffer* TDSound::CreateBufferFromOgg(ZTStream* s, bool, bool, bool) { return BufferFrom(Kind::Ogg, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromWave(TStream* s, bool) { return Buffer3DFrom(Kind::Wave, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromWave(ZTStream* s, bool) { return Buffer3DFrom(Kind::Wave, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromMp3(TStream* s, bool) { return Buffer3DFrom(Kind::Mp3, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromMp3(ZTStream* s, bool) { return Buffer3DFrom(Kind::Mp3, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromAdp(TStream* s, bool) { return Buffer3DFrom(Kind::Adp, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromAdp(ZTStream* s, bool) { return Buffer3DFrom(Kind::Adp, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromOgg(TStream* s, bool) { return Buffer3DFrom(Kind::Ogg, s); }
TDSoundBuffer3D* TDSound::CreateBuffer3DFromOgg(ZTStream* s, bool) { return Buffer3DFrom(Kind::Ogg, s); }

TDSoundBuffer* TDSound::CreateBufferMute(int seconds)
{
    if (!FEnabled || seconds <= 0)
        return nullptr;
    const std::uint64_t size =
        std::uint64_t{FChannels} * FSamplesPerSec * FBitsPerSample / 8 * static_cast<std::uint64_t>(seconds);
    if (size > audio::kMaxBufferBytes)
        return nullptr;
    const auto bytes = static_cast<std::uint32_t>(size);
    TDSoundBuffer* buffer = CreateBuffer(FChannels, FSamplesPerSec, FBitsPerSample, bytes, false, false, false);
    if (buffer == nullptr)
        return nullptr;
    try {
        const std::vector<unsigned char> silence(bytes, FBitsPerSample == 16 ? 0x00 : 0x80);
        buffer->WriteBuffer(0, silence.data(), bytes);
    } catch (const std::bad_alloc&) {
        // The buffer is returned unfilled.
    }
    return buffer;
}

// ---- streams ----

template <typename Source> TDSoundStream* TDSound::StreamFrom(Kind kind, Source* stream, bool pan, bool freq)
{
    if (!FEnabled || stream == nullptr)
        return nullptr;
    auto* result = new TDSoundStream(this); // owned by this device
    bool made = false;
    switch (kind) {
    case Kind::Wave:
        made = result->Create(stream, pan, freq);
        break;
    case Kind::Mp3:
        made = result->CreateMp3(stream, pan, freq);
        break;
    case Kind::Adp:
        made = result->CreateAdp(stream, pan, freq);
        break;
    case Kind::Ogg:
        made = result->CreateOgg(stream, pan, freq);
        break;
    }
    if (!made) {
        delete result;
        return nullptr;
    }
    return result;
}

TDSoundStream* TDSound::CreateStreamFromWave(TStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Wave, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromWave(ZTStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Wave, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromMp3(TStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Mp3, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromMp3(ZTStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Mp3, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromAdp(TStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Adp, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromAdp(ZTStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Adp, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromOgg(TStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Ogg, s, pan, freq);
}

TDSoundStream* TDSound::CreateStreamFromOgg(ZTStream* s, bool pan, bool freq)
{
    return StreamFrom(Kind::Ogg, s, pan, freq);
}


// ---- the buffer list ----

bool TDSound::Listed(TCustomDSoundBuffer* buffer) const
{
    const std::lock_guard<std::mutex> lock(FBufferListLock);
    return std::find(FBufferList.begin(), FBufferList.end(), buffer) != FBufferList.end();
}

std::vector<TCustomDSoundBuffer*> TDSound::BufferList() const
{
    const std::lock_guard<std::mutex> lock(FBufferListLock);
    return FBufferList;
}

TCustomDSoundBuffer* TDSound::LastBuffer() const
{
    const std::lock_guard<std::mutex> lock(FBufferListLock);
    return FBufferList.empty() ? nullptr : FBufferList.back();
}

bool TDSound::AddBufferList(TCustomDSoundBuffer* buffer)
{
    const std::lock_guard<std::mutex> lock(FBufferListLock);
    FBufferList.push_back(buffer);
    return true;
}

bool TDSound::DelBufferList(TCustomDSoundBuffer* buffer)
{
    const std::lock_guard<std::mutex> lock(FBufferListLock);
    const auto it = std::find(FBufferList.begin(), FBufferList.end(), buffer);
    if (it == FBufferList.end())
        return false;
    FBufferList.erase(it);
    return true;
}

bool TDSound::RestoreAllBuffers()
{
    if (!FEnabled)
        return false;
    // Copy: an OnRestore handler may make or delete buffers.
    for (TCustomDSoundBuffer* buffer : BufferList())
        if (Listed(buffer))
            buffer->IsLostAndRestore();
    return true;
}

bool TDSound::GetCaps(audio::DeviceCaps* caps)
{
    if (caps == nullptr)
        return false;
    std::unique_ptr<audio::Device> temporary;
    audio::Device* device = FDevice.get();
    if (device == nullptr) {
        temporary = audio::Device::Create(audio::DefaultBackEnd());
        device = temporary.get();
    }
    *caps = {};
    caps->size = 96;
    device->GetCaps(*caps);
    return true;
}

bool TDSound::IsPlay()
{
    return FEnabled && FPrimary->IsPlay();
}

void TDSound::Play()
{
    if (FEnabled)
        FPrimary->Play(true);
}

void TDSound::Stop()
{
    if (FEnabled)
        FPrimary->Stop();
}

} // namespace DirectX

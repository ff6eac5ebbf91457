// DirectX::TCustomDSoundBuffer, TDSoundBuffer and TDSoundBuffer3D: the sound buffer components
// (format, creation, volume, pan, frequency, loss and restore, notifications), the whole-sound
// buffer that also wraps the primary buffer, and its 3-D form.
#include "sound/TDSoundBuffer.h"

#include "platform/audio/AudioDevice.h"
#include "platform/audio/EventSet.h"
#include "sound/TDSound.h"

#include <algorithm>
#include <vector>

namespace DirectX {

namespace {

bool FormatAcceptable(unsigned short channels, std::uint32_t rate, unsigned short bits, std::uint32_t length)
{
    return (channels == 1 || channels == 2) && rate != 0 && (bits == 8 || bits == 16) &&
           length >= audio::kMinBufferBytes && length <= audio::kMaxBufferBytes;
}

} // namespace

// ---- TCustomDSoundBuffer ----

TCustomDSoundBuffer::TCustomDSoundBuffer(TComponent* owner)
    : TComponent(owner), FDevice(dynamic_cast<TDSound*>(owner))
{
    if (FDevice != nullptr)
        FDevice->AddBufferList(this);
}

TCustomDSoundBuffer::~TCustomDSoundBuffer()
{
    if (FDevice != nullptr)
        FDevice->DelBufferList(this);
}

void TCustomDSoundBuffer::SetChannels(unsigned short channels)
{
    if (!FCreated && (channels == 1 || channels == 2))
        FChannels = channels;
}

void TCustomDSoundBuffer::SetSamplesPerSec(std::uint32_t rate)
{
    if (!FCreated && rate != 0)
        FSamplesPerSec = rate;
}

void TCustomDSoundBuffer::SetBitsPerSample(unsigned short bits)
{
    if (!FCreated && (bits == 8 || bits == 16))
        FBitsPerSample = bits;
}

void TCustomDSoundBuffer::SetLength(std::uint32_t length)
{
    if (!FCreated && length >= audio::kMinBufferBytes && length <= audio::kMaxBufferBytes)
        FLength = length;
}

void TCustomDSoundBuffer::SetStaticFlag(bool value)
{
    if (!FCreated)
        FStaticFlag = value;
}

void TCustomDSoundBuffer::SetPanEnabled(bool value)
{
    if (!FCreated)
        FPanEnabled = value;
}

void TCustomDSoundBuffer::SetFreqEnabled(bool value)
{
    if (!FCreated)
        FFreqEnabled = value;
}

void TCustomDSoundBuffer::SetOnNotify(TNotifyEvent handler)
{
    FOnNotify = std::move(handler);
}

bool TCustomDSoundBuffer::CreateBuffer(TDSBufferParam* p, TDSNotifyParam* n)
{
    if (FDevice == nullptr || FDevice->DirectSound() == nullptr)
        return false;
    std::uint32_t flags = audio::kBufGetCurrentPosition2 | audio::kBufCtrlVolume;
    if (n != nullptr) {
        flags |= audio::kBufCtrlPositionNotify;
        p->staticFlag = false; // a static buffer cannot notify
    }
    flags |= p->staticFlag ? (audio::kBufLocDefer | audio::kBufStatic) : audio::kBufLocSoftware;
    if (p->pan)
        flags |= audio::kBufCtrlPan;
    if (p->freq)
        flags |= audio::kBufCtrlFrequency;
    flags |= audio::kBufGlobalFocus;
    p->buffer = FDevice->DirectSound()->CreateSoundBuffer(
        {flags, p->length, {p->channels, p->samplesPerSec, p->bitsPerSample}});
    if (!p->buffer)
        return false;
    if (n != nullptr && !CreateEventThread(p, n)) {
        p->buffer.reset();
        return false;
    }
    return true;
}

bool TCustomDSoundBuffer::CreateBuffer3D(TDSBufferParam* p, TDSNotifyParam* n, audio::Buffer3D** b3d)
{
    if (FDevice == nullptr || FDevice->DirectSound() == nullptr)
        return false;
    std::uint32_t flags = audio::kBufGetCurrentPosition2 | audio::kBufCtrlVolume;
    if (n != nullptr) {
        flags |= audio::kBufCtrlPositionNotify;
        p->staticFlag = false;
    }
    flags |= p->staticFlag ? (audio::kBufLocDefer | audio::kBufStatic) : audio::kBufLocSoftware;
    if (p->freq)
        flags |= audio::kBufCtrlFrequency;
    flags |= audio::kBufGlobalFocus | audio::kBufCtrl3D;
    p->buffer = FDevice->DirectSound()->CreateSoundBuffer(
        {flags, p->length, {p->channels, p->samplesPerSec, p->bitsPerSample}});
    if (!p->buffer)
        return false;
    *b3d = p->buffer->Get3D();
    if (*b3d != nullptr) {
        (*b3d)->SetPosition(0, 0, 0);
        (*b3d)->SetVelocity(0, 0, 0);
    }
    if (n != nullptr && !CreateEventThread(p, n)) {
        *b3d = nullptr;
        p->buffer.reset();
        return false;
    }
    return true;
}

bool TCustomDSoundBuffer::CreateEventThread(TDSBufferParam* p, TDSNotifyParam* n)
{
    if (n->count != 1 && n->count != 5)
        n->count = 1;
    const int asked = n->count;
    auto events = FDevice->DirectSound()->CreateEvents(asked);
    auto thread = std::make_unique<TDSoundThread>(this, events, n->callback);
    n->count = thread->Count();
    if (n->count < asked || !(p->buffer->GetCaps().flags & audio::kBufCtrlPositionNotify))
        return false;
    // Event 0 when the buffer stops; with five, events 1 to 4 at the starts of the quarters.
    const std::uint32_t q = p->length / 4;
    std::vector<audio::NotifyPosition> positions{{audio::kNotifyAtStop, 0}};
    if (asked == 5)
        for (int i = 0; i < 4; ++i)
            positions.push_back({q * static_cast<std::uint32_t>(i), i + 1});
    if (!p->buffer->SetNotificationPositions(positions, events))
        return false;
    thread->Start();
    n->notify = true;
    n->events = std::move(events);
    n->thread = std::move(thread);
    return true;
}

void TCustomDSoundBuffer::Adopt(TDSBufferParam& p, TDSNotifyParam* n)
{
    FBuffer = std::move(p.buffer);
    if (n != nullptr) {
        FNotify = n->notify;
        FEvents = std::move(n->events);
        FThread = std::move(n->thread);
    }
}

void TCustomDSoundBuffer::ReleaseInterfaces()
{
    FThread.reset(); // terminates and waits
    FNotify = false;
    FEvents.reset();
    FBuffer.reset();
}

long TCustomDSoundBuffer::GetVolume()
{
    long volume = 0;
    if (!FBuffer || !FBuffer->GetVolume(&volume))
        return 0;
    return volume;
}

bool TCustomDSoundBuffer::SetVolume(long volume)
{
    return FBuffer && FBuffer->SetVolume(volume);
}

long TCustomDSoundBuffer::GetPan()
{
    long pan = 0;
    if (!FPanEnabled || !FBuffer || !FBuffer->GetPan(&pan))
        return 0;
    return pan;
}

bool TCustomDSoundBuffer::SetPan(long pan)
{
    return FPanEnabled && FBuffer && FBuffer->SetPan(pan);
}

std::uint32_t TCustomDSoundBuffer::GetFrequency()
{
    std::uint32_t frequency = 0;
    if (!FFreqEnabled || !FBuffer || !FBuffer->GetFrequency(&frequency))
        return 0;
    return frequency;
}

bool TCustomDSoundBuffer::SetFrequency(std::uint32_t frequency)
{
    return FFreqEnabled && FBuffer && FBuffer->SetFrequency(frequency);
}

bool TCustomDSoundBuffer::IsLost()
{
    return FCreated && FBuffer && (FBuffer->GetStatus() & audio::kStatusBufferLost) != 0;
}

bool TCustomDSoundBuffer::IsPlay()
{
    return FCreated && FBuffer && (FBuffer->GetStatus() & audio::kStatusPlaying) != 0;
}

bool TCustomDSoundBuffer::Restore()
{
    if (!FCreated || !FBuffer->Restore())
        return false;
    if (OnRestore) {
        const TNotifyEvent handler = OnRestore;
        handler(this);
    }
    return true;
}

bool TCustomDSoundBuffer::IsLostAndRestore()
{
    if (!FCreated)
        return false;
    return IsLost() ? Restore() : true;
}

void TCustomDSoundBuffer::PrimaryPlayCheck()
{
    if (FDevice != nullptr && FDevice->Enabled() && !FDevice->IsPlay())
        FDevice->Play();
}

// ---- TDSoundBuffer ----

TDSoundBuffer::TDSoundBuffer(TComponent* owner) : TCustomDSoundBuffer(owner) {}

TDSoundBuffer::TDSoundBuffer(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                             unsigned short bitsPerSample, std::uint32_t length, bool pan, bool freq)
    : TCustomDSoundBuffer(owner)
{
    Create(channels, samplesPerSec, bitsPerSample, length, pan, freq);
}

TDSoundBuffer::TDSoundBuffer(TComponent* owner, std::shared_ptr<audio::Buffer> buffer) : TCustomDSoundBuffer(owner)
{
    Attach(std::move(buffer));
}

TDSoundBuffer::~TDSoundBuffer()
{
    TDSoundBuffer::Release();
}

bool TDSoundBuffer::CreateNow(audio::Buffer3D** b3d)
{
    if (FCreated || !FormatAcceptable(FChannels, FSamplesPerSec, FBitsPerSample, FLength))
        return false;
    TDSBufferParam p;
    p.channels = FChannels;
    p.samplesPerSec = FSamplesPerSec;
    p.bitsPerSample = FBitsPerSample;
    p.length = FLength;
    p.staticFlag = FStaticFlag;
    p.pan = FPanEnabled && b3d == nullptr;
    p.freq = FFreqEnabled;
    // With OnNotify assigned, the buffer notifies its stop.
    TDSNotifyParam n;
    n.count = 1;
    n.callback = [this](TDSoundThread* thread, int index) { NotifyCallBack(thread, index); };
    TDSNotifyParam* notify = FOnNotify ? &n : nullptr;
    if (!(b3d != nullptr ? CreateBuffer3D(&p, notify, b3d) : CreateBuffer(&p, notify)))
        return false;
    Adopt(p, notify);
    FEndsNoticed = FBuffer->EndCount();
    FPrimary = false;
    FCreated = true;
    return true;
}

bool TDSoundBuffer::Create()
{
    return CreateNow(nullptr);
}

bool TDSoundBuffer::Create(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample,
                           std::uint32_t length, bool pan, bool freq)
{
    if (FCreated)
        return false;
    FChannels = channels;
    FSamplesPerSec = samplesPerSec;
    FBitsPerSample = bitsPerSample;
    FLength = length;
    FPanEnabled = pan;
    FFreqEnabled = freq;
    return Create();
}

bool TDSoundBuffer::SetUpStopNotice()
{
    TDSBufferParam p;
    p.buffer = FBuffer;
    p.length = FLength;
    TDSNotifyParam n;
    n.count = 1;
    n.callback = [this](TDSoundThread* thread, int index) { NotifyCallBack(thread, index); };
    if (!CreateEventThread(&p, &n))
        return false;
    FNotify = true;
    FEvents = std::move(n.events);
    FThread = std::move(n.thread);
    return true;
}

bool TDSoundBuffer::Attach(std::shared_ptr<audio::Buffer> buffer)
{
    if (FCreated || !buffer)
        return false;
    FBuffer = std::move(buffer);
    const audio::PcmFormat format = FBuffer->GetFormat();
    const audio::BufferCaps caps = FBuffer->GetCaps();
    FChannels = format.channels;
    FSamplesPerSec = format.samplesPerSec;
    FBitsPerSample = format.bitsPerSample;
    FLength = caps.bytes;
    FStaticFlag = (caps.flags & audio::kBufStatic) != 0;
    FPanEnabled = (caps.flags & audio::kBufCtrlPan) != 0;
    FFreqEnabled = (caps.flags & audio::kBufCtrlFrequency) != 0;
    FPrimary = (caps.flags & audio::kBufPrimary) != 0;
    if ((caps.flags & audio::kBufCtrlPositionNotify) && FOnNotify && !SetUpStopNotice()) {
        FBuffer.reset();
        return false;
    }
    FEndsNoticed = FBuffer->EndCount();
    FCreated = true;
    return true;
}

void TDSoundBuffer::Release()
{
    if (!FCreated)
        return;
    Stop();
    FCreated = false;
    ReleaseInterfaces();
}

TDSoundBuffer* TDSoundBuffer::MakeEmpty(TComponent* owner) const
{
    return new TDSoundBuffer(owner); // owned by `owner`
}

TDSoundBuffer* TDSoundBuffer::Duplicate()
{
    if (!FCreated || FDevice == nullptr || FDevice->DirectSound() == nullptr)
        return nullptr;
    TDSoundBuffer* copy = MakeEmpty(FDevice);
    auto buffer = FDevice->DirectSound()->DuplicateSoundBuffer(*FBuffer);
    if (!buffer || !copy->Attach(std::move(buffer))) {
        delete copy;
        return nullptr;
    }
    return copy;
}

bool TDSoundBuffer::SetFormat(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample)
{
    if (FCreated && !FPrimary)
        return false;
    FChannels = channels;
    FSamplesPerSec = samplesPerSec;
    FBitsPerSample = bitsPerSample;
    if (FPrimary && FBuffer)
        FBuffer->SetFormat({channels, samplesPerSec, bitsPerSample});
    return true;
}

bool TDSoundBuffer::WriteBuffer(std::uint32_t offset, const unsigned char* data, std::uint32_t size)
{
    if (!FCreated || FLength == 0 || data == nullptr)
        return false;
    Stop();
    size = std::min(size, FLength);
    IsLostAndRestore();
    return audio::WriteWrapped(*FBuffer, offset, data, size);
}

bool TDSoundBuffer::Play(bool loop)
{
    if (!FCreated)
        return false;
    if (FPrimary) {
        IsLostAndRestore();
        return FBuffer->Play(true);
    }
    PrimaryPlayCheck();
    Stop();
    IsLostAndRestore();
    FBuffer->SetCurrentPosition(0);
    return FBuffer->Play(loop);
}

bool TDSoundBuffer::Stop()
{
    if (!FCreated)
        return false;
    IsLostAndRestore();
    return FBuffer->Stop();
}

std::uint32_t TDSoundBuffer::GetPosition()
{
    std::uint32_t play = 0;
    if (!FCreated || !FBuffer->GetCurrentPosition(&play, nullptr))
        return 0;
    return play;
}

void TDSoundBuffer::NotifyCallBack(TDSoundThread*, int index)
{
    if (!FCreated || index != 0)
        return;
    // Only a stop at the end is a notice: a requested stop, or the stop inside a restart, is not.
    // An end is taken as seen also while no handler is set, so a handler set later is not told
    // of it at the next Stop.
    const std::uint32_t ends = FBuffer->EndCount();
    if (ends == FEndsNoticed.exchange(ends) || !FOnNotify)
        return;
    const TNotifyEvent handler = FOnNotify; // the handler may delete this buffer
    handler(this);
}

void TDSoundBuffer::SetOnNotify(TNotifyEvent handler)
{
    if (!FCreated) {
        FOnNotify = std::move(handler);
        return;
    }
    if (FStaticFlag || IsPlay())
        return;
    if (!FNotify) {
        // Ends the buffer reached before it had a notification are not notices.
        FEndsNoticed = FBuffer->EndCount();
        if (!SetUpStopNotice())
            return;
    }
    FOnNotify = std::move(handler);
}

// ---- TDSoundBuffer3D ----

TDSoundBuffer3D::TDSoundBuffer3D(TComponent* owner) : TDSoundBuffer(owner) {}

TDSoundBuffer3D::TDSoundBuffer3D(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                                 unsigned short bitsPerSample, std::uint32_t length, bool freq)
    : TDSoundBuffer(owner)
{
    Create(channels, samplesPerSec, bitsPerSample, length, freq);
}

TDSoundBuffer3D::TDSoundBuffer3D(TComponent* owner, std::shared_ptr<audio::Buffer> buffer) : TDSoundBuffer(owner)
{
    Attach(std::move(buffer));
}

TDSoundBuffer3D::~TDSoundBuffer3D()
{
    TDSoundBuffer3D::Release();
}

bool TDSoundBuffer3D::Create()
{
    return CreateNow(&FBuffer3D);
}

bool TDSoundBuffer3D::Create(unsigned short channels, std::uint32_t samplesPerSec, unsigned short bitsPerSample,
                             std::uint32_t length, bool freq)
{
    if (FCreated)
        return false;
    FPanEnabled = false;
    return TDSoundBuffer::Create(channels, samplesPerSec, bitsPerSample, length, false, freq);
}

bool TDSoundBuffer3D::Attach(std::shared_ptr<audio::Buffer> buffer)
{
    if (!TDSoundBuffer::Attach(std::move(buffer)))
        return false;
    FPrimary = false;
    FBuffer3D = (FBuffer->GetCaps().flags & audio::kBufCtrl3D) ? FBuffer->Get3D() : nullptr;
    return true;
}

void TDSoundBuffer3D::Release()
{
    if (!FCreated)
        return;
    FBuffer3D = nullptr;
    TDSoundBuffer::Release();
}

TDSoundBuffer* TDSoundBuffer3D::MakeEmpty(TComponent* owner) const
{
    return new TDSoundBuffer3D(owner); // owned by `owner`
}

TDSoundBuffer3D* TDSoundBuffer3D::Duplicate()
{
    return static_cast<TDSoundBuffer3D*>(TDSoundBuffer::Duplicate());
}

bool TDSoundBuffer3D::SetPosition(float x, float y, float z)
{
    return FBuffer3D != nullptr && FBuffer3D->SetPosition(x, y, z);
}

} // namespace DirectX

// DirectX::TDSoundStream and TDSoundStream3D: a sound of any length played from its decoder
// through a four-second ring of one-second quarters, refilled on the notification thread, with a
// loop point, an end notice and the decoded position now audible.
#include "sound/TDSoundStream.h"

#include "platform/audio/EventSet.h"
#include "sound/ZTAdpStream.h"
#include "sound/ZTMp3Stream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTPcmStream.h"
#include "sound/ZTStream.h"
#include "sound/ZTWaveStream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace DirectX {

namespace {

constexpr int kQuarters = 4;
// A decoder that gives nothing this many times in a row ends a looping fill with silence.
constexpr int kEmptyReadLimit = 2;

} // namespace

TDSoundStream::TDSoundStream(TComponent* owner) : TCustomDSoundBuffer(owner) {}

TDSoundStream::TDSoundStream(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                             unsigned short bitsPerSample, bool pan, bool freq)
    : TCustomDSoundBuffer(owner)
{
    FChannels = channels;
    FSamplesPerSec = samplesPerSec;
    FBitsPerSample = bitsPerSample;
    FPanEnabled = pan;
    FFreqEnabled = freq;
    Create();
}

TDSoundStream::TDSoundStream(TComponent* owner, TStream* stream, bool pan, bool freq) : TCustomDSoundBuffer(owner)
{
    Create(stream, pan, freq);
}

TDSoundStream::TDSoundStream(TComponent* owner, ZTStream* stream, bool pan, bool freq) : TCustomDSoundBuffer(owner)
{
    Create(stream, pan, freq);
}

TDSoundStream::~TDSoundStream()
{
    TDSoundStream::Release();
    CloseStream();
}

// ---- the ring ----

bool TDSoundStream::Create()
{
    if (FCreated)
        return false;
    const std::uint64_t length = std::uint64_t{FChannels} * FSamplesPerSec * FBitsPerSample / 8 * kQuarters;
    if ((FChannels != 1 && FChannels != 2) || FSamplesPerSec == 0 || (FBitsPerSample != 8 && FBitsPerSample != 16) ||
        length < audio::kMinBufferBytes || length > audio::kMaxBufferBytes)
        return false;
    FLength = static_cast<std::uint32_t>(length);
    try {
        FStaging.assign(Quarter(), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    TDSBufferParam p;
    p.channels = FChannels;
    p.samplesPerSec = FSamplesPerSec;
    p.bitsPerSample = FBitsPerSample;
    p.length = FLength;
    p.pan = FPanEnabled;
    p.freq = FFreqEnabled;
    TDSNotifyParam n;
    n.count = 5;
    n.callback = [this](TDSoundThread* thread, int index) { StreamCallBack(thread, index); };
    if (!CreateRing(p, n)) {
        FStaging = {};
        return false;
    }
    Adopt(p, &n);
    FCreated = true;
    return true;
}

bool TDSoundStream::CreateRing(TDSBufferParam& p, TDSNotifyParam& n)
{
    return CreateBuffer(&p, &n);
}

void TDSoundStream::Release()
{
    if (!FCreated)
        return;
    Stop();
    FCreated = false;
    ReleaseInterfaces();
    ReleaseRing();
    FStaging = {};
}

template <typename Source> bool TDSoundStream::CreateFrom(Kind kind, Source* stream, bool pan, bool freq)
{
    if (FCreated)
        return false;
    FPanEnabled = pan;
    FFreqEnabled = freq;
    if (!OpenDecoder(kind, stream))
        return false;
    if (!Create()) {
        CloseStream();
        return false;
    }
    return true;
}

bool TDSoundStream::Create(TStream* s, bool pan, bool freq) { return CreateFrom(Kind::Wave, s, pan, freq); }
bool TDSoundStream::Create(ZTStream* s, bool pan, bool freq) { return CreateFrom(Kind::Wave, s, pan, freq); }
bool TDSoundStream::CreateMp3(TStream* s, bool pan, bool freq) { return CreateFrom(Kind::Mp3, s, pan, freq); }
bool TDSoundStream::CreateMp3(ZTStream* s, bool pan, bool freq) { return CreateFrom(Kind::Mp3, s, pan, freq); }
bool TDSoundStream::CreateAdp(TStream* s, bool pan, bool freq) { return CreateFrom(Kind::Adp, s, pan, freq); }
bool TDSoundStream::CreateAdp(ZTStream* s, bool pan, bool freq) { return CreateFrom(Kind::Adp, s, pan, freq); }
bool TDSoundStream::CreateOgg(TStream* s, bool pan, bool freq) { return CreateFrom(Kind::Ogg, s, pan, freq); }
bool TDSoundStream::CreateOgg(ZTStream* s, bool pan, bool freq) { return CreateFrom(Kind::Ogg, s, pan, freq); }

// ---- the decoder ----

bool TDSoundStream::OpenPcmStream(std::unique_ptr<ZTPcmStream> decoder)
{
    if (FDecoder || !decoder || !decoder->IsOpen())
        return false;
    const auto channels = static_cast<unsigned short>(decoder->GetChannels());
    const std::uint32_t rate = decoder->GetSamplesPerSec();
    const auto bits = static_cast<unsigned short>(decoder->GetBitsPerSample());
    if (FCreated) {
        if (channels != FChannels || rate != FSamplesPerSec || bits != FBitsPerSample)
            return false;
    } else {
        FChannels = channels;
        FSamplesPerSec = rate;
        FBitsPerSample = bits;
    }
    {
        std::lock_guard guard(FPositionLock);
        FStreamSize = static_cast<std::uint32_t>(std::max(decoder->GetSize(), 0));
    }
    FDecoder = std::move(decoder);
    FOpen = true;
    return true;
}

bool TDSoundStream::OpenDecoder(Kind kind, ZTStream* stream)
{
    if (FDecoder || stream == nullptr)
        return false;
    std::unique_ptr<ZTPcmStream> decoder;
    switch (kind) {
    case Kind::Wave:
        decoder = std::make_unique<ZTWaveStream>(stream, true);
        break;
    case Kind::Mp3:
        decoder = std::make_unique<ZTMp3Stream>(stream, true);
        break;
    case Kind::Adp:
        decoder = std::make_unique<ZTAdpStream>(stream);
        break;
    case Kind::Ogg:
        decoder = std::make_unique<ZTOggStream>(stream);
        break;
    }
    if (!OpenPcmStream(std::move(decoder)))
        return false;
    FSource = stream;
    return true;
}

bool TDSoundStream::OpenDecoder(Kind kind, TStream* stream)
{
    if (FDecoder || stream == nullptr)
        return false;
    auto adapter = std::make_unique<T2ZTStream>(stream);
    if (!OpenDecoder(kind, adapter.get()))
        return false;
    FAdapter = std::move(adapter);
    FCallerStream = stream;
    return true;
}

bool TDSoundStream::OpenStream(ZTStream* s) { return OpenDecoder(Kind::Wave, s); }
bool TDSoundStream::OpenStream(TStream* s) { return OpenDecoder(Kind::Wave, s); }
bool TDSoundStream::OpenStreamMp3(ZTStream* s) { return OpenDecoder(Kind::Mp3, s); }
bool TDSoundStream::OpenStreamMp3(TStream* s) { return OpenDecoder(Kind::Mp3, s); }
bool TDSoundStream::OpenStreamAdp(ZTStream* s) { return OpenDecoder(Kind::Adp, s); }
bool TDSoundStream::OpenStreamAdp(TStream* s) { return OpenDecoder(Kind::Adp, s); }
bool TDSoundStream::OpenStreamOgg(ZTStream* s) { return OpenDecoder(Kind::Ogg, s); }
bool TDSoundStream::OpenStreamOgg(TStream* s) { return OpenDecoder(Kind::Ogg, s); }

bool TDSoundStream::CloseStream()
{
    if (FOpen) {
        Stop();
        FOpen = false;
        FDecoder.reset();
        FAdapter.reset();
    }
    FSource = nullptr;
    FCallerStream = nullptr;
    return true;
}

std::uint32_t TDSoundStream::GetStreamSize()
{
    if (!FCreated || !FDecoder)
        return 0;
    return static_cast<std::uint32_t>(std::max(FDecoder->GetSize(), 0));
}

void TDSoundStream::SetLoopPoint(int pos)
{
    if (!FCreated || !FDecoder)
        return;
    // The refill reads the loop point and uses the decoder while it holds the refill lock.
    std::lock_guard guard(FRefillLock);
    FLoopPoint.store(pos >= 0 && pos < FDecoder->GetSize() ? static_cast<std::uint32_t>(pos) : 0,
                     std::memory_order_release);
}

// ---- playing ----

bool TDSoundStream::Play(bool loop, std::uint32_t pos)
{
    if (!FCreated || !FOpen)
        return false;
    PrimaryPlayCheck();
    Stop(); // leaves stopping set: refills stay out until the ring starts
    IsLostAndRestore();
    FLoop = loop;
    {
        std::lock_guard guard(FPositionLock);
        FQuarterPos = {};
        FLoopStart = LoopPoint();
    }
    for (auto& flag : FEndFlags)
        flag = false;
    FEndReached = false;

    if (pos != static_cast<std::uint32_t>(FDecoder->GetPosition())) {
        // A position the decoder cannot seek to (or any position on one that cannot seek) plays
        // from the start.
        const bool sought = pos > 0 && pos <= INT_MAX && FDecoder->CanSeek() &&
                            FDecoder->Seek(static_cast<int>(pos), 0) >= 0;
        if (!sought)
            FDecoder->Rewind();
    }
    const std::uint32_t q = Quarter();
    for (int k = 0; k < 2; ++k) {
        {
            std::lock_guard guard(FPositionLock);
            FQuarterPos[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(FDecoder->GetPosition());
        }
        BlockCopy(static_cast<std::uint32_t>(k) * q, q);
        if (FDecoder->IsEOF())
            FEndFlags[static_cast<std::size_t>(k + 1)] = true;
    }
    FBuffer->SetCurrentPosition(0);
    FStopping = false;
    return FBuffer->Play(true); // the ring always loops; the sound's own looping is done by refilling
}

bool TDSoundStream::Stop()
{
    if (!FCreated || !FOpen)
        return false;
    IsLostAndRestore();
    {
        std::lock_guard guard(FRefillLock);
        FStopping = true;
        FEndReached = false;
        if (!StopRing())
            return false;
        for (int i = 1; i <= kQuarters; ++i)
            FEvents->Reset(i);
    }
    // A quarter event the thread took before the stop must not refill after a Play that follows:
    // wait until the thread has seen `stopping` and let it go.
    if (FThread)
        FThread->WaitWhileHandling(1, kQuarters);
    return true;
}

bool TDSoundStream::StopInSync()
{
    if (!FCreated || !FOpen)
        return false;
    IsLostAndRestore();
    FEndReached = true; // the stop event this makes is the end notice
    if (!StopRing()) {
        FEndReached = false;
        return false;
    }
    for (int i = 1; i <= kQuarters; ++i)
        FEvents->Reset(i);
    return true;
}

bool TDSoundStream::StopRing()
{
    // The mixer reads ahead of what is heard by the output's latency, and a stopped buffer's
    // cursor is where the mixer stopped reading: put it back on the frame last heard.
    std::uint32_t heard = 0;
    const bool known = FBuffer->GetCurrentPosition(&heard, nullptr);
    if (!FBuffer->Stop())
        return false;
    if (known)
        FBuffer->SetCurrentPosition(heard);
    return true;
}

void TDSoundStream::Seek(int pos)
{
    Play(Looping(), static_cast<std::uint32_t>(std::max(pos, 0)));
}

std::uint32_t TDSoundStream::GetPosition()
{
    if (!FCreated)
        return 0;
    std::lock_guard guard(FPositionLock);
    std::uint32_t cursor = 0;
    if (!FBuffer->GetCurrentPosition(&cursor, nullptr))
        return 0;
    const std::uint32_t q = Quarter();
    const std::uint32_t k = std::min<std::uint32_t>(cursor / q, kQuarters - 1);
    std::uint64_t position = std::uint64_t{FQuarterPos[k]} + cursor - std::uint64_t{k} * q;
    if (Looping() && FStreamSize != 0 && position >= FStreamSize) {
        // Past the end the decoder went on from the loop start, once or (for a looped section
        // shorter than a quarter) many times.
        const std::uint64_t section = FStreamSize > FLoopStart ? FStreamSize - FLoopStart : 0;
        position = FLoopStart + (section != 0 ? (position - FStreamSize) % section : 0);
    }
    return static_cast<std::uint32_t>(position);
}

// ---- refilling ----

void TDSoundStream::FillMute(unsigned char* p, int n)
{
    if (n <= 0)
        return;
    const bool eightBit = FCreated && FOpen && FBitsPerSample == 8;
    std::memset(p, eightBit ? 0x80 : 0x00, static_cast<std::size_t>(n));
}

void TDSoundStream::Wrap()
{
    const auto size = static_cast<std::uint32_t>(std::max(FDecoder->GetPosition(), 0));
    const std::uint32_t loopPoint = LoopPoint();
    const bool sought = FDecoder->CanSeek() && loopPoint <= INT_MAX &&
                        FDecoder->Seek(static_cast<int>(loopPoint), 0) >= 0;
    if (!sought)
        FDecoder->Rewind();
    std::lock_guard guard(FPositionLock);
    FStreamSize = size;
    FLoopStart = static_cast<std::uint32_t>(std::max(FDecoder->GetPosition(), 0));
}

bool TDSoundStream::BlockCopy(std::uint32_t offset, std::uint32_t size)
{
    if (!FCreated || !FOpen)
        return false;
    IsLostAndRestore();
    size = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(FStaging.size()));
    unsigned char* staging = FStaging.data();
    std::uint32_t filled = 0;
    try {
        int emptyReads = 0;
        do {
            if (FDecoder->IsEOF() && Looping())
                Wrap();
            int n = 0;
            if (!FDecoder->IsEOF())
                n = FDecoder->Read(staging + filled, static_cast<int>(size - filled));
            if (n > 0) {
                filled += std::min<std::uint32_t>(static_cast<std::uint32_t>(n), size - filled);
                emptyReads = 0;
            } else {
                ++emptyReads;
            }
        } while (Looping() && emptyReads < kEmptyReadLimit && filled < size);
        FillMute(staging + filled, static_cast<int>(size - filled));
    } catch (...) {
        FillMute(staging, static_cast<int>(size));
    }
    return audio::WriteWrapped(*FBuffer, offset, staging, size);
}

void TDSoundStream::StreamCallBack(TDSoundThread*, int index)
{
    if (index == 0) {
        // The stop at the end of a non-looping sound; a requested stop leaves FEndReached clear.
        if (FEndReached.exchange(false) && FOnNotify) {
            const TNotifyEvent handler = FOnNotify; // the handler may delete this stream
            handler(this);
        }
        return;
    }
    if (index > kQuarters)
        return;
    std::lock_guard guard(FRefillLock);
    if (FStopping || !FCreated || !FOpen)
        return;
    const int started = index - 1; // the quarter the cursor entered
    if (FEndFlags[static_cast<std::size_t>(started)] && !Looping()) {
        StopInSync();
        return;
    }
    const int next = (index + 1) % kQuarters;
    {
        std::lock_guard positionGuard(FPositionLock);
        FQuarterPos[static_cast<std::size_t>(next)] = static_cast<std::uint32_t>(std::max(FDecoder->GetPosition(), 0));
    }
    BlockCopy(static_cast<std::uint32_t>(next) * Quarter(), Quarter());
    FEndFlags[static_cast<std::size_t>((index + 2) % kQuarters)] = FDecoder->IsEOF();
}

// ---- TDSoundStream3D ----

TDSoundStream3D::TDSoundStream3D(TComponent* owner) : TDSoundStream(owner) {}

TDSoundStream3D::TDSoundStream3D(TComponent* owner, unsigned short channels, std::uint32_t samplesPerSec,
                                 unsigned short bitsPerSample, bool freq)
    : TDSoundStream(owner)
{
    FChannels = channels;
    FSamplesPerSec = samplesPerSec;
    FBitsPerSample = bitsPerSample;
    FFreqEnabled = freq;
    Create();
}

TDSoundStream3D::TDSoundStream3D(TComponent* owner, TStream* stream, bool freq) : TDSoundStream(owner)
{
    Create(stream, freq);
}

TDSoundStream3D::TDSoundStream3D(TComponent* owner, ZTStream* stream, bool freq) : TDSoundStream(owner)
{
    Create(stream, freq);
}

TDSoundStream3D::~TDSoundStream3D()
{
    TDSoundStream::Release();
}

bool TDSoundStream3D::CreateRing(TDSBufferParam& p, TDSNotifyParam& n)
{
    p.pan = false;
    return CreateBuffer3D(&p, &n, &FBuffer3D);
}

bool TDSoundStream3D::SetPosition(float x, float y, float z)
{
    return FBuffer3D != nullptr && FBuffer3D->SetPosition(x, y, z);
}

} // namespace DirectX

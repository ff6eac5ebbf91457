// SecondaryBuffer: a sound buffer the mixer plays (a voice): PCM memory, play state, gains,
// notification positions, and the record of where it was at each mixed block.
#include "platform/audio/SecondaryBuffer.h"

#include "platform/audio/DeviceCore.h"
#include "platform/audio/EventSet.h"
#include "platform/audio/MixKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace audio {

// The PCM memory, shared by a buffer and its duplicates. `version` is bumped by Unlock (release)
// and read by the mixer (acquire) before it reads the bytes.
struct SecondaryBuffer::Storage {
    explicit Storage(std::uint32_t size)
        : bytes(std::make_unique_for_overwrite<std::uint8_t[]>(size)), size(size)
    {
    }
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t size;
    std::atomic<std::uint32_t> version{0};
};

namespace {

// The play word: cursor frame in bits 0-31, playing, looping, generation in bits 34-63.
constexpr std::uint64_t kPositionMask = 0xFFFFFFFFu;
constexpr std::uint64_t kPlaying = std::uint64_t{1} << 32;
constexpr std::uint64_t kLooping = std::uint64_t{1} << 33;
constexpr int kGenerationShift = 34;
constexpr std::uint64_t kUnityStep = std::uint64_t{1} << 32;

constexpr std::uint32_t kAnchorLooping = 1;
constexpr std::uint32_t kAnchorEnded = 2;

std::uint32_t Position(std::uint64_t word)
{
    return static_cast<std::uint32_t>(word & kPositionMask);
}

std::uint32_t Generation(std::uint64_t word)
{
    return static_cast<std::uint32_t>(word >> kGenerationShift);
}

std::uint8_t SilenceByte(const PcmFormat& format)
{
    return format.bitsPerSample == 8 ? 0x80 : 0x00;
}

} // namespace

SecondaryBuffer::SecondaryBuffer(Token, std::shared_ptr<DeviceCore> core, std::shared_ptr<Storage> storage,
                                 const BufferDesc& desc)
    : core_(std::move(core)), storage_(std::move(storage)), format_(desc.format), flags_(desc.flags),
      bytes_(desc.bytes), frames_(desc.bytes / desc.format.FrameBytes())
{
}

std::shared_ptr<SecondaryBuffer> SecondaryBuffer::Create(const std::shared_ptr<DeviceCore>& core,
                                                         const BufferDesc& desc)
{
    if (!desc.format.Valid() || desc.bytes < kMinBufferBytes || desc.bytes > kMaxBufferBytes ||
        desc.bytes < desc.format.FrameBytes() || (desc.flags & kBufPrimary) != 0)
        return nullptr;
    try {
        auto storage = std::make_shared<Storage>(desc.bytes);
        std::memset(storage->bytes.get(), SilenceByte(desc.format), desc.bytes);
        auto buffer = std::make_shared<SecondaryBuffer>(Token{}, core, std::move(storage), desc);
        return buffer->Register() ? buffer : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<SecondaryBuffer> SecondaryBuffer::Duplicate(const SecondaryBuffer& original)
{
    const BufferDesc desc{original.flags_, original.bytes_, original.format_};
    auto buffer = std::make_shared<SecondaryBuffer>(Token{}, original.core_, original.storage_, desc);
    buffer->volume_ = original.volume_.load();
    buffer->pan_ = original.pan_.load();
    buffer->frequency_ = original.frequency_.load();
    buffer->UpdateGains();
    return buffer->Register() ? buffer : nullptr;
}

bool SecondaryBuffer::Register()
{
    if (!core_->Voices().Add(this))
        return false;
    core_->AddBuffer(this);
    registered_ = true;
    return true;
}

SecondaryBuffer::~SecondaryBuffer()
{
    if (!registered_)
        return;
    core_->RemoveBuffer(this);
    core_->Voices().Remove(this);
}

template <typename Change> std::uint64_t SecondaryBuffer::ChangeWord(Change change)
{
    std::uint64_t word = word_.load(std::memory_order_acquire);
    for (;;) {
        const std::uint64_t generation = (Generation(word) + 1) & ((std::uint64_t{1} << (64 - kGenerationShift)) - 1);
        const std::uint64_t next = (change(word) & (kPositionMask | kPlaying | kLooping)) |
                                   (generation << kGenerationShift);
        if (word_.compare_exchange_weak(word, next, std::memory_order_acq_rel))
            return word;
    }
}

std::uint32_t SecondaryBuffer::GetStatus() const
{
    const std::uint64_t word = word_.load(std::memory_order_acquire);
    std::uint32_t status = 0;
    if (word & kPlaying)
        status |= kStatusPlaying | ((word & kLooping) ? kStatusLooping : 0);
    if (lost_.load(std::memory_order_acquire))
        status |= kStatusBufferLost;
    return status;
}

bool SecondaryBuffer::Play(bool looping)
{
    if (lost_.load(std::memory_order_acquire))
        return false;
    ChangeWord([looping](std::uint64_t w) { return (w & kPositionMask) | kPlaying | (looping ? kLooping : 0); });
    return true;
}

bool SecondaryBuffer::Stop()
{
    const std::uint64_t old = ChangeWord([](std::uint64_t w) { return w & kPositionMask; });
    if (old & kPlaying)
        SignalStop();
    return true;
}

void SecondaryBuffer::SignalStop() noexcept
{
    const int count = notifyCount_.load();
    for (int i = 0; i < count; ++i)
        if (notify_[static_cast<std::size_t>(i)].offset == kNotifyAtStop)
            events_->Signal(notify_[static_cast<std::size_t>(i)].event);
}

bool SecondaryBuffer::SetCurrentPosition(std::uint32_t bytes)
{
    if (bytes >= bytes_)
        return false;
    const std::uint32_t frame = bytes / format_.FrameBytes();
    ChangeWord([frame](std::uint64_t w) { return (w & ~kPositionMask) | frame; });
    return true;
}

bool SecondaryBuffer::GetCurrentPosition(std::uint32_t* play, std::uint32_t* write)
{
    const std::uint64_t word = word_.load(std::memory_order_acquire);
    if (write != nullptr)
        *write = Position(word) * format_.FrameBytes();
    if (play != nullptr)
        *play = AudibleFrame(word) * format_.FrameBytes();
    return true;
}

bool SecondaryBuffer::ReadAnchor(int index, AnchorView& view) const noexcept
{
    const Anchor& a = anchors_[static_cast<std::size_t>(index)];
    for (int tries = 0; tries < 64; ++tries) {
        const std::uint32_t s1 = a.sequence.load(std::memory_order_acquire);
        if (s1 & 1)
            continue;
        view.first = a.first.load(std::memory_order_relaxed);
        view.cursor = a.cursor.load(std::memory_order_relaxed);
        view.step = a.step.load(std::memory_order_relaxed);
        view.frames = a.frames.load(std::memory_order_relaxed);
        view.generation = a.generation.load(std::memory_order_relaxed);
        view.flags = a.flags.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (a.sequence.load(std::memory_order_relaxed) == s1)
            return true;
    }
    return false;
}

std::uint32_t SecondaryBuffer::AudibleFrame(std::uint64_t word)
{
    const std::uint32_t generation = Generation(word);
    const std::uint64_t heard = core_->AudibleFrame();
    const std::uint64_t count = anchorCount_.load(std::memory_order_acquire);
    const int available = static_cast<int>(std::min<std::uint64_t>(count, kAnchors));
    bool found = false;
    AnchorView oldest{};
    for (int k = 0; k < available; ++k) {
        AnchorView v;
        if (!ReadAnchor(static_cast<int>((count - 1 - static_cast<std::uint64_t>(k)) % kAnchors), v))
            continue;
        if (v.generation != generation) {
            if (found)
                break; // older plays
            continue;  // a play that began after `word` was read
        }
        found = true;
        oldest = v;
        if (v.first > heard)
            continue;
        const std::uint64_t into = heard - v.first;
        if ((v.flags & kAnchorEnded) && into >= v.frames)
            return 0; // played to its end: the cursor went back to the start
        const std::uint64_t frame = (v.cursor + std::min<std::uint64_t>(into, v.frames) * v.step) >> 32;
        if (v.flags & kAnchorLooping)
            return static_cast<std::uint32_t>(frame % frames_);
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(frame, frames_ - 1));
    }
    // Not heard yet: the play starts where the mixer began it (or will).
    return found ? static_cast<std::uint32_t>(oldest.cursor >> 32) : Position(word);
}

bool SecondaryBuffer::GetVolume(long* volume) const
{
    *volume = volume_.load(std::memory_order_acquire);
    return true;
}

bool SecondaryBuffer::SetVolume(long volume)
{
    if (volume < kVolumeMin || volume > kVolumeMax)
        return false;
    volume_.store(volume, std::memory_order_release);
    UpdateGains();
    return true;
}

bool SecondaryBuffer::GetPan(long* pan) const
{
    if (!(flags_ & kBufCtrlPan)) {
        *pan = 0;
        return false;
    }
    *pan = pan_.load(std::memory_order_acquire);
    return true;
}

bool SecondaryBuffer::SetPan(long pan)
{
    if (!(flags_ & kBufCtrlPan) || pan < kPanLeft || pan > kPanRight)
        return false;
    pan_.store(pan, std::memory_order_release);
    UpdateGains();
    return true;
}

bool SecondaryBuffer::GetFrequency(std::uint32_t* frequency) const
{
    if (!(flags_ & kBufCtrlFrequency)) {
        *frequency = 0;
        return false;
    }
    const std::uint32_t f = frequency_.load(std::memory_order_acquire);
    *frequency = f == kFrequencyOriginal ? format_.samplesPerSec : f;
    return true;
}

bool SecondaryBuffer::SetFrequency(std::uint32_t frequency)
{
    if (!(flags_ & kBufCtrlFrequency) ||
        (frequency != kFrequencyOriginal && (frequency < kFrequencyMin || frequency > kFrequencyMax)))
        return false;
    frequency_.store(frequency, std::memory_order_release);
    return true;
}

void SecondaryBuffer::UpdateGains()
{
    const long pan = pan_.load(std::memory_order_acquire);
    const float gain = GainOf(volume_.load(std::memory_order_acquire));
    // A pan to one side takes its level away from the other side only.
    gainLeft_.store(gain * (pan > 0 ? GainOf(-pan) : 1.0f), std::memory_order_release);
    gainRight_.store(gain * (pan < 0 ? GainOf(pan) : 1.0f), std::memory_order_release);
}

bool SecondaryBuffer::SetPosition(float x, float y, float z)
{
    position3D_[0].store(x);
    position3D_[1].store(y);
    position3D_[2].store(z);
    return true;
}

bool SecondaryBuffer::SetVelocity(float x, float y, float z)
{
    velocity3D_ = {x, y, z};
    return true;
}

void SecondaryBuffer::CurrentGains(float& left, float& right) const noexcept
{
    left = gainLeft_.load(std::memory_order_acquire);
    right = gainRight_.load(std::memory_order_acquire);
    if (!(flags_ & kBufCtrl3D))
        return;
    const std::array<float, 3> listener = core_->ListenerPosition();
    const float dx = position3D_[0].load(std::memory_order_relaxed) - listener[0];
    const float dy = position3D_[1].load(std::memory_order_relaxed) - listener[1];
    const float dz = position3D_[2].load(std::memory_order_relaxed) - listener[2];
    const float reach = std::max(1.0f, std::sqrt(dx * dx + dy * dy + dz * dz));
    const float side = dx / reach; // -1 far left .. 1 far right
    left *= (1.0f - 0.5f * std::max(side, 0.0f)) / reach;
    right *= (1.0f - 0.5f * std::max(-side, 0.0f)) / reach;
}

bool SecondaryBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion& first, LockedRegion& second)
{
    first = {};
    second = {};
    if (lost_.load(std::memory_order_acquire) || offset >= bytes_ || bytes == 0 || bytes > bytes_)
        return false;
    std::uint8_t* data = storage_->bytes.get();
    first = {data + offset, std::min(bytes, bytes_ - offset)};
    if (bytes > first.bytes)
        second = {data, bytes - first.bytes};
    return true;
}

bool SecondaryBuffer::Unlock(const LockedRegion&, const LockedRegion&)
{
    storage_->version.fetch_add(1, std::memory_order_release);
    return true;
}

void SecondaryBuffer::Lose()
{
    lost_.store(true, std::memory_order_release);
    Stop();
}

bool SecondaryBuffer::Restore()
{
    if (lost_.load(std::memory_order_acquire)) {
        core_->Voices().WaitForMix();
        std::memset(storage_->bytes.get(), SilenceByte(format_), bytes_);
        storage_->version.fetch_add(1, std::memory_order_release);
        lost_.store(false, std::memory_order_release);
    }
    return true;
}

bool SecondaryBuffer::SetNotificationPositions(std::span<const NotifyPosition> positions,
                                               std::shared_ptr<EventSet> events)
{
    if (!(flags_ & kBufCtrlPositionNotify) || (word_.load() & kPlaying) ||
        positions.size() > static_cast<std::size_t>(kMaxNotifyPositions) || (!positions.empty() && !events))
        return false;
    for (const NotifyPosition& p : positions)
        if ((p.offset != kNotifyAtStop && p.offset >= bytes_) || p.event < 0 || p.event >= events->Count())
            return false;
    notifyCount_.store(0);
    core_->Voices().WaitForMix();
    std::size_t n = 0;
    for (const NotifyPosition& p : positions)
        notify_[n++] = {p.offset == kNotifyAtStop ? kNotifyAtStop : p.offset / format_.FrameBytes(), p.event};
    events_ = std::move(events);
    notifyCount_.store(static_cast<int>(n));
    return true;
}

void SecondaryBuffer::Record(const MixBlock& block, std::uint64_t cursor, std::uint64_t step, std::uint32_t frames,
                             std::uint32_t generation, bool looping, bool ended) noexcept
{
    const std::uint64_t count = anchorCount_.load(std::memory_order_relaxed);
    Anchor& a = anchors_[count % kAnchors];
    const std::uint32_t s = a.sequence.load(std::memory_order_relaxed);
    a.sequence.store(s + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    a.first.store(block.first, std::memory_order_relaxed);
    a.cursor.store(cursor, std::memory_order_relaxed);
    a.step.store(step, std::memory_order_relaxed);
    a.frames.store(frames, std::memory_order_relaxed);
    a.generation.store(generation, std::memory_order_relaxed);
    a.flags.store((looping ? kAnchorLooping : 0) | (ended ? kAnchorEnded : 0), std::memory_order_relaxed);
    a.sequence.store(s + 2, std::memory_order_release);
    anchorCount_.store(count + 1, std::memory_order_release);
}

void SecondaryBuffer::Mix(const MixBlock& block) noexcept
{
    std::uint64_t word = word_.load(std::memory_order_acquire);
    const std::uint32_t generation = Generation(word);
    if (generation != mixGeneration_) {
        mixGeneration_ = generation;
        fraction_ = 0;
    }
    if (!(word & kPlaying))
        return;
    (void)storage_->version.load(std::memory_order_acquire);
    float left, right;
    CurrentGains(left, right);
    const std::uint32_t requested = frequency_.load(std::memory_order_acquire);
    const std::uint32_t rate = requested == kFrequencyOriginal ? format_.samplesPerSec : requested;
    const std::uint64_t step = (static_cast<std::uint64_t>(rate) << 32) / block.rate;
    const bool looping = (word & kLooping) != 0;
    const std::uint32_t start = Position(word);
    const std::uint64_t startCursor = (static_cast<std::uint64_t>(start) << 32) | fraction_;
    const std::uint8_t* data = storage_->bytes.get();
    const std::uint32_t frameBytes = format_.FrameBytes();

    std::uint32_t mixed = 0;
    std::uint64_t advanced = 0; // source frames passed, unwrapped
    std::uint64_t cursor = startCursor;
    bool ended = false;
    if (step == kUnityStep) {
        const AddKernel add = kAddKernels[format_.bitsPerSample == 16][format_.channels == 2];
        std::uint32_t position = start;
        float* acc = block.acc;
        while (mixed < block.frames) {
            const std::uint32_t run = std::min(block.frames - mixed, frames_ - position);
            add(data + static_cast<std::size_t>(position) * frameBytes, run, acc, left, right);
            acc += 2 * static_cast<std::size_t>(run);
            mixed += run;
            position += run;
            if (position == frames_) {
                position = 0;
                if (!looping) {
                    ended = true;
                    break;
                }
            }
        }
        advanced = mixed;
        cursor = (static_cast<std::uint64_t>(position) << 32) | fraction_;
    } else {
        mixed = AddResampled(data, frames_, format_.bitsPerSample, format_.channels, looping, cursor, step,
                             block.frames, block.acc, left, right);
        const std::uint64_t end = static_cast<std::uint64_t>(frames_) << 32;
        advanced = ((startCursor + step * mixed) >> 32) - start;
        if (cursor >= end) {
            if (looping) {
                cursor %= end;
            } else {
                ended = true;
                advanced = std::min<std::uint64_t>(advanced, frames_ - start);
                cursor = 0;
            }
        }
    }

    const std::uint64_t state = ended ? 0 : (word & (kPlaying | kLooping));
    const std::uint64_t next = (word & ~(kPositionMask | kPlaying | kLooping)) | state | (cursor >> 32);
    if (!word_.compare_exchange_strong(word, next, std::memory_order_acq_rel))
        return; // a control call changed the play state while this block mixed: it wins
    fraction_ = static_cast<std::uint32_t>(cursor);
    Record(block, startCursor, step, mixed, generation, looping, ended);

    const int count = notifyCount_.load();
    for (int i = 0; i < count; ++i) {
        const NotifyPosition& n = notify_[static_cast<std::size_t>(i)];
        if (n.offset != kNotifyAtStop && (n.offset + frames_ - start) % frames_ < advanced)
            events_->Signal(n.event);
    }
    if (ended) {
        endCount_.fetch_add(1, std::memory_order_acq_rel);
        SignalStop();
    }
}

} // namespace audio

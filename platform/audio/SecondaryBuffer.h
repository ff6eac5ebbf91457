// SecondaryBuffer: a sound buffer the mixer plays (a voice): PCM memory, play state, gains,
// notification positions, and the record of where it was at each mixed block.
#pragma once

#include "platform/audio/AudioBuffer.h"
#include "platform/audio/Mixer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace audio {

class DeviceCore;

// Play state is one atomic word (cursor frame, playing, looping, generation). Control calls change
// it with compare-and-swap and advance the generation; the mixer reads it at the start of a block
// and publishes the block's result only if the word is unchanged, so a Stop, Play or
// SetCurrentPosition made while a block mixes wins over that block, and a restart is never
// mistaken for the end of the earlier play.
//
// For each block it plays, the mixer records an anchor (output frame, cursor in 32.32 frames,
// step per output frame, frames mixed, generation) in a small ring of sequence-locked entries;
// the audible cursor is found from the anchor of the current generation covering the audible
// output frame. The ring holds kAnchors blocks: the output's latency must be shorter than that.
class SecondaryBuffer final : public Buffer, public Voice, public Buffer3D {
public:
    static constexpr int kAnchors = 64;

    // Null for an invalid description or when the mixer is full.
    static std::shared_ptr<SecondaryBuffer> Create(const std::shared_ptr<DeviceCore>& core, const BufferDesc& desc);
    // A buffer sharing `original`'s memory, with its own play state.
    static std::shared_ptr<SecondaryBuffer> Duplicate(const SecondaryBuffer& original);
    ~SecondaryBuffer() override;

    BufferCaps GetCaps() const override { return {flags_, bytes_}; }
    PcmFormat GetFormat() const override { return format_; }
    bool SetFormat(const PcmFormat&) override { return false; }
    std::uint32_t GetStatus() const override;
    bool Play(bool looping) override;
    bool Stop() override;
    bool GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) override;
    bool SetCurrentPosition(std::uint32_t bytes) override;
    bool GetVolume(long* volume) const override;
    bool SetVolume(long volume) override;
    bool GetPan(long* pan) const override;
    bool SetPan(long pan) override;
    bool GetFrequency(std::uint32_t* frequency) const override;
    bool SetFrequency(std::uint32_t frequency) override;
    bool Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion& first, LockedRegion& second) override;
    bool Unlock(const LockedRegion& first, const LockedRegion& second) override;
    bool Restore() override;
    bool SetNotificationPositions(std::span<const NotifyPosition> positions, std::shared_ptr<EventSet> events) override;
    std::uint32_t EndCount() const override { return endCount_.load(std::memory_order_acquire); }
    Buffer3D* Get3D() override { return (flags_ & kBufCtrl3D) ? this : nullptr; }

    // Buffer3D
    bool SetPosition(float x, float y, float z) override;
    bool SetVelocity(float x, float y, float z) override;

    // Takes the memory away: the buffer stops and Lock and Play fail until Restore.
    void Lose();
    bool SameCore(const DeviceCore& core) const { return core_.get() == &core; }

    // Voice: output thread only.
    void Mix(const MixBlock& block) noexcept override;

private:
    struct Token {};

public:
    struct Storage;
    SecondaryBuffer(Token, std::shared_ptr<DeviceCore> core, std::shared_ptr<Storage> storage, const BufferDesc& desc);

private:
    struct Anchor {
        std::atomic<std::uint32_t> sequence{0};
        std::atomic<std::uint64_t> first{0};
        std::atomic<std::uint64_t> cursor{0};
        std::atomic<std::uint64_t> step{0};
        std::atomic<std::uint32_t> frames{0};
        std::atomic<std::uint32_t> generation{0};
        std::atomic<std::uint32_t> flags{0}; // bit 0 looping, bit 1 ended
    };
    struct AnchorView {
        std::uint64_t first, cursor, step;
        std::uint32_t frames, generation, flags;
    };

    // Joins the mixer and the device's list; false when the mixer is full.
    bool Register();

    // Changes the play word with `change`(word) -> word, advancing the generation; returns the old word.
    template <typename Change> std::uint64_t ChangeWord(Change change);
    void UpdateGains();
    void SignalStop() noexcept;
    void Record(const MixBlock& block, std::uint64_t cursor, std::uint64_t step, std::uint32_t frames,
                std::uint32_t generation, bool looping, bool ended) noexcept;
    bool ReadAnchor(int index, AnchorView& view) const noexcept;
    // The audible cursor frame for the play word `word`.
    std::uint32_t AudibleFrame(std::uint64_t word);
    // Gains with the 3-D position applied (output thread).
    void CurrentGains(float& left, float& right) const noexcept;

    std::shared_ptr<DeviceCore> core_;
    std::shared_ptr<Storage> storage_;
    const PcmFormat format_;
    const std::uint32_t flags_;
    const std::uint32_t bytes_;
    const std::uint32_t frames_;
    bool registered_ = false;

    std::atomic<std::uint64_t> word_{0};
    std::atomic<bool> lost_{false};
    std::atomic<std::uint32_t> endCount_{0};

    std::atomic<long> volume_{0};
    std::atomic<long> pan_{0};
    std::atomic<std::uint32_t> frequency_{kFrequencyOriginal};
    std::atomic<float> gainLeft_{1.0f};
    std::atomic<float> gainRight_{1.0f};
    std::array<std::atomic<float>, 3> position3D_{};
    std::array<float, 3> velocity3D_{};

    // Notification positions in frames (kNotifyAtStop kept as is). The mixer reads them only when
    // notifyCount_ says so; they and events_ change only while notifyCount_ is 0 and after any
    // mix that read them has ended.
    std::array<NotifyPosition, kMaxNotifyPositions> notify_{};
    std::atomic<int> notifyCount_{0};
    std::shared_ptr<EventSet> events_;

    // Output thread only.
    std::uint32_t mixGeneration_ = 0;
    std::uint32_t fraction_ = 0;

    std::array<Anchor, kAnchors> anchors_;
    std::atomic<std::uint64_t> anchorCount_{0};
};

} // namespace audio

// Helpers of the sound device tests: a TDSound on the manual-clock output, test signals and
// ADP1 files, and memory streams the tests can hold up or break.
#pragma once

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"
#include "sound/ZTPcmStream.h"
#include "support/ScopedState.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace SoundTest {

using Bytes = std::vector<std::uint8_t>;

// An enabled TDSound (owned by a window control) whose output is a manual clock installed as
// the process's audio back end; 44.1 kHz 16-bit stereo unless asked otherwise.
class ManualSound {
public:
    explicit ManualSound(std::uint32_t period = 256, std::uint32_t latency = 256, std::uint32_t rate = 44100,
                         bool use3D = false);
    ~ManualSound();

    // Moves the clock on (waiting for refills and notices); checks the wait did not give up.
    void Advance(std::uint64_t frames);
    Bytes TakeOutput() { return back->TakeOutput(); }
    std::uint64_t Clock() const { return back->Clock(); }

    std::shared_ptr<audio::ManualAudio> back = std::make_shared<audio::ManualAudio>();
    TestSupport::ScopedAudioBackEnd installed{back}; // the process's output until after the form goes
    TWinControl form{nullptr};
    DirectX::TDSound* sound = nullptr; // owned by form
};

// `frames` frames of seeded 16-bit noise.
Bytes Noise16(std::size_t frames, unsigned channels, unsigned seed);
// An ADP1 file of `frames` frames of seeded codes.
Bytes Adp1File(std::uint32_t frames, unsigned channels, unsigned rate, unsigned seed);

// A decoder wrapper whose reads can be held: once armed, the next read waits until released.
class GateStream : public ZTPcmStream {
public:
    explicit GateStream(std::unique_ptr<ZTPcmStream> inner);

    int PcmSize() override { return inner_->PcmSize(); }
    int PcmPosition() override { return inner_->PcmPosition(); }
    int ReadPcm(void* buffer, int count) override;
    bool Restart() override;
    bool SeekFrame(int frame) override;

    void Arm();
    // Waits until a read is held (false after 5 s).
    bool WaitHeld();
    void Release();
    bool ReadFinished() const { return finished_; }

private:
    void Sync();

    std::unique_ptr<ZTPcmStream> inner_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool held_ = false;
    std::atomic<bool> finished_{false};
};

} // namespace SoundTest

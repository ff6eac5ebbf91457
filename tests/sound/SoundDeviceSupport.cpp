// Helpers of the sound device tests: a TDSound on the manual-clock output, test signals and
// ADP1 files, and memory streams the tests can hold up or break.
#include "SoundDeviceSupport.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace SoundTest {

ManualSound::ManualSound(std::uint32_t period, std::uint32_t latency, std::uint32_t rate, bool use3D)
{
    back->settings.periodFrames = period;
    back->settings.latencyFrames = latency;
    sound = new DirectX::TDSound(&form); // owned by form
    sound->SetSamplesPerSec(rate);
    sound->SetUse3D(use3D);
    sound->SetEnabled(true);
    EXPECT_TRUE(sound->Enabled());
}

ManualSound::~ManualSound()
{
    sound->SetEnabled(false);
}

void ManualSound::Advance(std::uint64_t frames)
{
    EXPECT_TRUE(back->Advance(frames)) << "a notification handler did not finish";
}

Bytes Noise16(std::size_t frames, unsigned channels, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(frames * channels * 2);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

Bytes Adp1File(std::uint32_t frames, unsigned channels, unsigned rate, unsigned seed)
{
    Bytes file;
    PutId(file, "ADP1");
    Put32(file, frames);
    Put32(file, rate);
    Put32(file, channels);
    std::mt19937 random(seed);
    for (std::uint32_t i = 0; i < channels * frames / 2; ++i)
        file.push_back(static_cast<std::uint8_t>(random()));
    return file;
}

GateStream::GateStream(std::unique_ptr<ZTPcmStream> inner) : inner_(std::move(inner))
{
    open_ = inner_->IsOpen();
    seekable_ = inner_->CanSeek();
    endOfData_ = inner_->IsEOF();
    channels_ = inner_->GetChannels();
    samplesPerSec_ = inner_->GetSamplesPerSec();
    bitsPerSample_ = inner_->GetBitsPerSample();
}

void GateStream::Sync()
{
    endOfData_ = inner_->IsEOF();
}

int GateStream::ReadPcm(void* buffer, int count)
{
    {
        std::unique_lock guard(lock_);
        if (armed_) {
            armed_ = false;
            held_ = true;
            changed_.notify_all();
            changed_.wait(guard, [this] { return !held_; });
        }
    }
    const int n = inner_->ReadPcm(buffer, count);
    Sync();
    finished_ = true;
    return n;
}

bool GateStream::Restart()
{
    const bool ok = inner_->Restart();
    Sync();
    return ok;
}

bool GateStream::SeekFrame(int frame)
{
    const bool ok = inner_->SeekFrame(frame);
    Sync();
    return ok;
}

void GateStream::Arm()
{
    std::lock_guard guard(lock_);
    armed_ = true;
    finished_ = false;
}

bool GateStream::WaitHeld()
{
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(5), [this] { return held_; });
}

void GateStream::Release()
{
    std::lock_guard guard(lock_);
    held_ = false;
    changed_.notify_all();
}

} // namespace SoundTest

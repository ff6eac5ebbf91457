// The SDL2 audio back end on SDL's dummy and disk drivers: a buffer plays to its end in real time
// with a climbing audible position, and what the disk driver writes is the buffer's PCM, exactly.
#include "platform/audio/AudioDevice.h"
#include "platform/audio/EventSet.h"
#include "platform/audio/sdl/SdlAudio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace audio;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr PcmFormat kStereo16{2, 44100, 16};

Bytes Noise(std::size_t frames)
{
    std::mt19937 random(5);
    Bytes bytes(frames * 4);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// Plays `data` once through a new device on `back` and waits for its end; returns the audible
// positions read meanwhile.
std::vector<std::uint32_t> PlayToTheEnd(SdlAudio& back, const Bytes& data)
{
    std::vector<std::uint32_t> positions;
    auto device = Device::Create(back);
    auto primary = device->CreateSoundBuffer({kBufPrimary, 0, {}});
    EXPECT_NE(primary, nullptr);
    if (primary == nullptr)
        return positions;
    EXPECT_TRUE(primary->SetFormat(kStereo16));
    const auto bytes = static_cast<std::uint32_t>(data.size());
    auto buffer = device->CreateSoundBuffer({kBufCtrlPositionNotify, bytes, kStereo16});
    EXPECT_NE(buffer, nullptr);
    if (buffer == nullptr)
        return positions;
    LockedRegion a, b;
    EXPECT_TRUE(buffer->Lock(0, bytes, a, b));
    std::memcpy(a.data, data.data(), a.bytes);
    buffer->Unlock(a, b);
    auto events = device->CreateEvents(1);
    const NotifyPosition atStop{kNotifyAtStop, 0};
    EXPECT_TRUE(buffer->SetNotificationPositions({&atStop, 1}, events));
    EXPECT_TRUE(buffer->Play(false));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (events->Wait(2ms) != 0 && std::chrono::steady_clock::now() < deadline) {
        std::uint32_t play = 0;
        buffer->GetCurrentPosition(&play, nullptr);
        positions.push_back(play);
    }
    EXPECT_EQ(buffer->EndCount(), 1u) << "ended within 10 s";
    // Let the last periods reach the device before it closes.
    std::this_thread::sleep_for(100ms);
    return positions;
}

TEST(SdlAudio, PeriodsStaySmall)
{
    EXPECT_EQ(SdlAudio::PeriodFrames(44100), 512u);
    EXPECT_EQ(SdlAudio::PeriodFrames(48000), 512u);
    EXPECT_EQ(SdlAudio::PeriodFrames(22050), 256u);
    EXPECT_EQ(SdlAudio::PeriodFrames(8000), 64u);
}

TEST(SdlAudio, PlaysToTheEndOnTheDummyDriver)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudio back;
    if (!back.Start())
        GTEST_SKIP() << "SDL audio cannot start";
    EXPECT_EQ(back.DriverName(), "dummy");
    const std::uint32_t bytes = 44100 / 4 * 4;
    const auto positions = PlayToTheEnd(back, Noise(bytes / 4));
    // How often this thread read the position depends on the machine's load, so only what holds
    // for any schedule is checked: the position never goes back, stays inside the buffer, and had
    // left the start by the time a reading was taken before the end.
    for (std::size_t i = 1; i < positions.size(); ++i)
        ASSERT_GE(positions[i], positions[i - 1]) << "reading " << i;
    ASSERT_FALSE(positions.empty()) << "no reading before the end";
    EXPECT_LE(positions.back(), bytes);
    EXPECT_GT(positions.back(), 0u) << "the audible position climbed while it played";
}

TEST(SdlAudio, TheDiskDriverWritesTheBufferExactly)
{
    const auto file = std::filesystem::temp_directory_path() / ("xe-sdl-disk-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    const Bytes data = Noise(44100 / 5);
    {
        SdlAudio back;
        if (!back.Start())
            GTEST_SKIP() << "SDL audio cannot start";
        PlayToTheEnd(back, data);
    }
    std::ifstream in(file, std::ios::binary);
    const Bytes written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(file);
    // Silence until the buffer started, the buffer, then silence.
    std::size_t start = 0;
    while (start < written.size() && written[start] == 0)
        ++start;
    start -= start % 4;
    ASSERT_GE(written.size(), start + data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), written.begin() + static_cast<std::ptrdiff_t>(start)));
    EXPECT_TRUE(std::all_of(written.begin() + static_cast<std::ptrdiff_t>(start + data.size()), written.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

} // namespace

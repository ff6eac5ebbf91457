// The silent audio back end: buffers play to their end in real time and their audible position
// moves, with nothing heard.
#include "platform/audio/AudioDevice.h"
#include "platform/audio/EventSet.h"
#include "platform/audio/silent/SilentAudio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace audio;
using namespace std::chrono_literals;

TEST(SilentAudio, PlaysBuffersToTheirEndInRealTime)
{
    SilentAudio back;
    auto device = Device::Create(back);
    auto buffer = device->CreateSoundBuffer({kBufCtrlPositionNotify, 44100 / 5 * 4, {2, 44100, 16}});
    ASSERT_NE(buffer, nullptr);
    auto events = device->CreateEvents(1);
    const NotifyPosition atStop{kNotifyAtStop, 0};
    ASSERT_TRUE(buffer->SetNotificationPositions({&atStop, 1}, events));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(buffer->Play(false));
    std::this_thread::sleep_for(100ms);
    std::uint32_t play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_GT(play, 0u);
    EXPECT_EQ(events->Wait(5000ms), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 150ms) << "a fifth of a second of sound takes about that long";
    EXPECT_EQ(buffer->EndCount(), 1u);
}

} // namespace

#include "platform/input/SongInput.h"

#include "platform/input/DikCodes.h"
#include "platform/input/headless/ScriptedSongInput.h"

#include <gtest/gtest.h>

using input::KeyRecord;
using input::ReadResult;

namespace {

struct Keyboard {
    input::SongInput input;
    input::ScriptedSongInput script{input};
    std::array<KeyRecord, input::KeyBufferSize> records{};
    int count = -1;

    ReadResult Read() { return input.ReadKeyboard(records, count); }
};

} // namespace

TEST(SongInput, BufferedPressesAndReleases)
{
    Keyboard k;
    k.script.Tap(input::dik::A); // before the device is acquired: nothing
    ASSERT_TRUE(k.input.AcquireKeyboard());
    k.script.Advance(5);
    k.script.Press(input::dik::A);
    k.script.Press(input::dik::A); // auto-repeat makes no record
    k.script.Advance(3);
    k.script.Release(input::dik::A);
    k.script.Press(input::dik::SysRq);
    ASSERT_EQ(k.Read(), ReadResult::Ok);
    ASSERT_EQ(k.count, 3);
    EXPECT_EQ(k.records[0].offset, input::dik::A);
    EXPECT_EQ(k.records[0].data, 0x80u);
    EXPECT_EQ(k.records[0].timeStamp, 5u);
    EXPECT_EQ(k.records[1].data, 0u);
    EXPECT_EQ(k.records[1].timeStamp, 8u);
    EXPECT_EQ(k.records[2].offset, input::dik::SysRq);
    EXPECT_EQ(k.records[2].sequence, k.records[0].sequence + 2);
    EXPECT_EQ(k.Read(), ReadResult::Ok);
    EXPECT_EQ(k.count, 0) << "a read takes the records";

    std::array<std::uint8_t, 256> state{};
    ASSERT_EQ(k.input.KeyboardState(state), ReadResult::Ok);
    EXPECT_EQ(state[input::dik::SysRq], 0x80);
    EXPECT_EQ(state[input::dik::A], 0);
}

TEST(SongInput, ThirtyTwoRecordsThenOverflow)
{
    Keyboard k;
    ASSERT_TRUE(k.input.AcquireKeyboard());
    for (int i = 0; i < 20; ++i)
        k.script.Tap(static_cast<std::uint8_t>(input::dik::Q + i % 10));
    std::array<KeyRecord, 4> few{};
    int count = 0;
    ASSERT_EQ(k.input.ReadKeyboard(few, count), ReadResult::Overflow) << "40 records met a buffer of 32";
    EXPECT_EQ(count, 4);
    ASSERT_EQ(k.Read(), ReadResult::Ok);
    EXPECT_EQ(k.count, 28);
    EXPECT_EQ(k.records[27].offset, input::dik::Q + 5u) << "the last kept is the 32nd record: the release of the 16th key";
}

TEST(SongInput, LostWithoutFocusAndAcquiredAgain)
{
    Keyboard k;
    ASSERT_TRUE(k.input.AcquireKeyboard());
    k.script.Press(input::dik::Space);
    k.script.Focus(false);
    EXPECT_EQ(k.Read(), ReadResult::InputLost);
    EXPECT_EQ(k.count, 0);
    std::array<std::uint8_t, 256> state{};
    state.fill(1);
    EXPECT_EQ(k.input.KeyboardState(state), ReadResult::InputLost);
    EXPECT_EQ(state[input::dik::Space], 0);
    k.script.Tap(input::dik::A); // typed elsewhere
    EXPECT_FALSE(k.input.AcquireKeyboard()) << "no focus";
    k.script.Focus(true);
    EXPECT_EQ(k.Read(), ReadResult::InputLost) << "lost until acquired again";
    ASSERT_TRUE(k.input.AcquireKeyboard());
    ASSERT_EQ(k.Read(), ReadResult::Ok);
    EXPECT_EQ(k.count, 0) << "nothing from the time without focus";
    k.input.UnacquireKeyboard();
    EXPECT_EQ(k.Read(), ReadResult::NotAcquired);
}

TEST(SongInput, JoystickButtonsThroughTheTable)
{
    input::SongInput in;
    input::ScriptedSongInput script(in);
    std::array<std::uint8_t, input::LaneButtons> buttons{};
    EXPECT_FALSE(in.PollJoystick(buttons)) << "none attached";
    script.AttachJoystick(true);
    const int physical[] = {6, 8, 10, 11, 17, 18, 21, 23};
    for (int lane = 0; lane < 8; ++lane) {
        script.Button(24 + lane, true); // no lane's button
        script.Button(physical[lane], true);
        ASSERT_TRUE(in.PollJoystick(buttons));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(buttons[static_cast<std::size_t>(i)], i == lane ? 0x80 : 0) << lane << " " << i;
        script.Button(physical[lane], false);
    }
    in.SetButtonTable({24, 1, 2, 3, 4, 5, 6, 7});
    ASSERT_TRUE(in.PollJoystick(buttons));
    EXPECT_EQ(buttons[0], 0x80) << "the table is a setting";
    script.Button(99, true); // outside the buttons: ignored
    script.Focus(false);
    EXPECT_FALSE(in.PollJoystick(buttons));
    EXPECT_EQ(buttons[0], 0);
    script.Focus(true);
    script.AttachJoystick(false);
    EXPECT_FALSE(in.PollJoystick(buttons));
}

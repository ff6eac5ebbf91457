#include "songgame/screen/JoystickButtons.h"

#include "songgame/MusicScreen.h"

#include "platform/input/headless/ScriptedSongInput.h"

#include <gtest/gtest.h>

using songtest::MusicScreen;

TEST(JoystickButtons, KeyValues)
{
    const input::ButtonTable fallback = input::DefaultButtonTable;
    struct Case {
        const char* value;
        input::ButtonTable want;
    };
    const Case cases[] = {
        {"0,1,2,3,4,5,6,7", {0, 1, 2, 3, 4, 5, 6, 7}},
        {" 31, 30 ,29,28,27,26,25,\t24 ", {31, 30, 29, 28, 27, 26, 25, 24}},
        {"0,0,0,0,0,0,0,0", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"", fallback},
        {"1,2,3", fallback},
        {"1,2,3,4,5,6,7,8,9", fallback},
        {"1,2,3,4,5,6,7,32", fallback},
        {"1,2,3,4,5,6,7,-1", fallback},
        {"1,2,3,4,,6,7,8", fallback},
        {"1,2,3,4,5,6,7,8,", fallback},
        {"1,2,3,4,5,6,7,8x", fallback},
        {"A,B,C,D,E,F,G,H", fallback},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseJoystickButtons(c.value), c.want) << '"' << c.value << '"';
}

TEST(JoystickButtons, ReadFromTheSettingsFile)
{
    MusicScreen s;
    s.tree.WriteText("Tvqe.ini", "[Game]\r\nMusicRankMode=Normal\r\nJoystickButtons=7,6,5,4,3,2,1,0\r\n");
    EXPECT_EQ(ReadJoystickButtons(s.tree.Native("Tvqe.ini").string()), (input::ButtonTable{7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(ReadJoystickButtons(s.tree.Native("none.ini").string()), input::DefaultButtonTable);
    EXPECT_EQ(ReadJoystickButtons(""), input::DefaultButtonTable);
}

TEST(JoystickButtons, ButtonsStrikeTheirLanesThroughTheDifficultysFilter)
{
    // Lane 2 (D) and lane 0 (A) at one second; physical button 0 is lane 2, button 3 lane 0. On easy
    // lane 0 plays itself (+1) and its button is dropped like its key, so it is no miss.
    struct Case {
        std::uint8_t rank;
        int gauge;
        int score;
    };
    for (const Case& c : {Case{0, 21, 35}, Case{2, 22, 35}}) {
        SCOPED_TRACE(static_cast<int>(c.rank));
        MusicScreen s;
        s.WriteChart("88200,1,CLAP,d\r\n88200,1,DRUM,a\r\n");
        s.tree.WriteText("Tvqe.ini", "[Game]\r\nJoystickButtons=3,4,0,5,6,7,8,9\r\n");
        s.devices.settingsFile = s.tree.Native("Tvqe.ini").string();
        std::uint32_t ms = 0;
        s.devices.musicMs = [&ms] { return ms; };
        input::ScriptedSongInput pad(s.input);
        pad.AttachJoystick(true);
        auto unit = s.Unit();
        unit->SetTimingMode(0);
        unit->SetRankMode(c.rank);
        ASSERT_TRUE(s.SetupOnce(*unit));
        EXPECT_TRUE(unit->HasJoystick());
        unit->Start();
        for (int i = 0; i < 60 + 21 + 2; ++i)
            unit->Step(1);
        ASSERT_EQ(unit->Phase(), 3);
        ms = 1000;
        pad.Button(0, true);
        pad.Button(3, c.rank == 2);
        unit->Step(1);
        EXPECT_EQ(unit->GetGauge(), c.gauge);
        EXPECT_EQ(unit->GetScore(), c.score);
        unit->Step(1);
        EXPECT_EQ(unit->GetScore(), c.score) << "a button held down strikes once";
    }
}

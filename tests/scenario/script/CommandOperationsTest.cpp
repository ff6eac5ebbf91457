// The command instructions: what each changes in the record, which screen operations it asks for,
// and whether it ends the run, on scripts assembled from text and a recording screen.
#include "ScriptTestSupport.h"
#include "base/packs/TFileMan.h"
#include "scenario/ScenarioTestSupport.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/TScriptEngine.h"

#include <array>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

using Calls = std::vector<std::string>;
using Slots = std::array<std::int32_t, 3>;

class CommandOperations : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files_.InitDir(folder_.Name()));
        screen_.record = &state_;
    }

    // Runs `code` as a new scene "s" (a scene start resets the stage's characters) until the first
    // yield, stop or halt; true when the run reached the marker instruction after the code.
    bool RunCode(const std::string& code)
    {
        const auto scenario = AssembleScenario(".script 1\n.scene \"s\" main\nmain:\n" + code + "\nsetvar 63 1\nhalt\n");
        ScenarioTest::WriteBytes(folder_ / "scr00001.dvo", scenario.scripts.at(1));
        ScenarioTest::WriteBytes(folder_ / "Scene.tbl", scenario.sceneTable);
        engine_ = std::make_unique<TScriptEngine>(
            TScriptEngine::Context{files_, files_, state_, sceneStart_, system_, readMes_, screen_});
        EXPECT_TRUE(engine_->LoadSceneTable());
        EXPECT_TRUE(engine_->StartScene("s"));
        screen_.Take();
        return Continue();
    }
    // Runs on in the same scene; true when it reached the end of the code.
    bool Continue()
    {
        engine_->Run();
        return state_.GetVar(63) == 1;
    }
    Slots Pending() const { return {state_.GetPendingCharacter(0), state_.GetPendingCharacter(1), state_.GetPendingCharacter(2)}; }
    Slots Shown() const { return {state_.GetShownCharacter(0), state_.GetShownCharacter(1), state_.GetShownCharacter(2)}; }
    Slots PendingTalking() const
    {
        return {state_.GetPendingTalking(0), state_.GetPendingTalking(1), state_.GetPendingTalking(2)};
    }
    std::vector<std::int32_t> Stack()
    {
        std::vector<std::int32_t> values(static_cast<std::size_t>(state_.GetValueCount() - state_.GetValueBase()));
        for (auto it = values.rbegin(); it != values.rend(); ++it)
            *it = state_.PopValue();
        return values;
    }

    ScenarioTest::TempFolder folder_;
    TFileMan files_{nullptr};
    TGameState state_;
    TGameState sceneStart_;
    TSystemState system_;
    TReadMesTable readMes_;
    RecordingScreen screen_;
    std::unique_ptr<TScriptEngine> engine_;
};

TEST_F(CommandOperations, ScreenOperationsAndYields)
{
    struct Case {
        const char* code;
        Calls calls;
        bool yields;
    };
    const Case cases[] = {
        {"wait 1000", {"Wait 1000"}, true},
        {"wait 0", {"Wait 0"}, true},
        {"clickwait", {"WaitClick"}, true},
        {"newline", {"TextNewLine"}, false},
        {"newpage", {"TextClear"}, false},
        {"windowopen", {"WaitText"}, true},
        {"windowclose", {}, false},
        {"novel 0", {}, false},
        {"novel 1", {"TextReset"}, true},
        {"voiceparams 1 2\nvoice 7\nvoice 8", {"VoicePlay 7 1 2", "VoicePlay 8 0 0"}, false},
        {"voicelevel 50", {"VoiceSetVolume"}, false},
        {"bgm 3 1", {"BgmPlay 3 1 1"}, false},
        {"bgmonce 4 0", {"BgmPlay 4 0 0"}, false},
        {"bgmfade 5\nbgmoncefade 6", {"BgmPlay 5 1 1", "BgmPlay 6 0 1"}, false},
        {"bgmstop 0\nbgmstop2 1\nbgmstopfade\nbgmstopfade2", {"BgmStop 0", "BgmStop 1", "BgmStop 1", "BgmStop 1"}, false},
        {"bgmlevel 30\nbgmlevel2 40", {"BgmSetVolume", "BgmSetVolume"}, false},
        {"separams 5 6\nse 2\nse 3\nsestop\nselevel 9", {"SePlay 2 5 6", "SePlay 3 0 0", "SeStop", "SeSetVolume"}, false},
        {"ambientparams 3 4\nambient 9 1\nambientnofade 2", {"Se2Play 9 1 3 4", "Se2Play 2 0 0 0"}, false},
        {"ambientstop 0\nambientstopfade\nambientlevel 5", {"Se2Stop 0", "Se2Stop 1", "Se2SetVolume"}, false},
        {"ambientparam 40", {"SoundSetLevel"}, false},
        {"effect 3", {"StageEffect 3"}, true},
        {"cursorhide\ncursorshow", {"UpdateCursor", "UpdateCursor"}, false},
        {"placename 4", {"PlaceName"}, false},
        {"timeopen 1\ntimeclose 0\ndateopen 0\ndateclose 1",
         {"TimeWindow 1 1", "TimeWindow 0 0", "DateWindow 1 0", "DateWindow 0 1"},
         false},
        {"setdate 1225\nsettime 930\nadddays 1\naddminutes 5", {"ClockRefresh", "ClockRefresh", "ClockRefresh", "ClockRefresh"}, false},
        {"talkanim 500\ntalkstop", {"TalkStart 500", "TalkStop"}, false},
        {"openingmovie", {"PlayOpeningMovie"}, true},
        {"endingmovie 1", {"PlayEndingMovie"}, true},
        {"movie 2", {"PlayMovie 2"}, true},
        {"rankmode 3\nrankmode -1\nrankmode 2", {"SetMusicRankMode 2"}, false},
        {"backlogclear\noptionsset\nsetmeter 10\nstagespeed 0\nsetmode 2", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        state_.Clear();
        EXPECT_EQ(RunCode(c.code), !c.yields);
        EXPECT_EQ(screen_.Take(), c.calls);
        EXPECT_EQ(state_.GetHalt(), !c.yields) << "no command fails";
    }
}

TEST_F(CommandOperations, RecordChanges)
{
    RunCode("noskip 1\nclickwait");
    EXPECT_FALSE(state_.GetNoSkip());
    EXPECT_EQ(state_.GetGameMode(), 1);

    RunCode("bgm 3 0\nbgmonce 4 0");
    EXPECT_EQ(state_.GetBgm(), -1) << "a track played once is not restored";
    RunCode("bgm -7 0");
    EXPECT_EQ(state_.GetBgm(), -1);
    RunCode("bgm 3 0");
    EXPECT_EQ(state_.GetBgm(), 3);

    RunCode("ambientparams 3 4\nambient 9 1");
    EXPECT_EQ(state_.GetAmbient(), 9);
    EXPECT_EQ(state_.GetAmbientParams().b, 4);
    EXPECT_EQ(state_.GetAmbientNextParams().a, 0);
    RunCode("ambientstop 1");
    EXPECT_EQ(state_.GetAmbient(), -1);

    state_.Clear();
    RunCode("voicelevel 101\nselevel -1\nambientlevel 20\nbgmlevel 0\nmessagespeed 3001\nambientparam 101");
    EXPECT_EQ(state_.GetVoiceLevel(), 100);
    EXPECT_EQ(state_.GetSeLevel(), 100);
    EXPECT_EQ(state_.GetAmbientLevel(), 20);
    EXPECT_EQ(state_.GetBgmLevel(), 0);
    EXPECT_EQ(state_.GetMessageSpeed(), 100);
    EXPECT_EQ(state_.GetAmbientParam(), 100);

    RunCode("optionsset\nsetoption 3 0\nsetoption 32 0\nsetextra 77\nviewitem 5\nplacename 8\ncursorhide");
    EXPECT_TRUE(state_.GetOption(0));
    EXPECT_FALSE(state_.GetOption(3));
    EXPECT_EQ(state_.GetExtraWord(), 77);
    EXPECT_TRUE(system_.GetViewedItem(5));
    EXPECT_EQ(state_.GetPlaceName(), 8);
    EXPECT_FALSE(state_.GetCursor());

    RunCode("setdate 1225\nsettime 2359\naddminutes 1\ngetdate\ngetmonth\ngetday\ngetweekday\ngettime\ngethour\ngetminute\nsetmode 5\nsetmode 6\ngetmode");
    EXPECT_EQ(Stack(), (std::vector<std::int32_t>{1226, 12, 26, 359 % 7, 0, 0, 0, 5}));

    RunCode("gameend 5");
    EXPECT_EQ(state_.GetMovie(), 5);
    EXPECT_EQ(state_.GetGameMode(), 4);
    EXPECT_TRUE(state_.GetStop());
    EXPECT_EQ(screen_.Take(), Calls{"EndGame"});
    RunCode("end");
    EXPECT_TRUE(state_.GetHalt());
}

TEST_F(CommandOperations, MessagesOpenTheWindowOnce)
{
    EXPECT_FALSE(RunCode("message \"Hi %v1\""));
    EXPECT_EQ(screen_.Take(), Calls{"WaitText"});
    EXPECT_TRUE(state_.GetTextWindow());
    EXPECT_EQ(state_.GetCurrentMessage(), "Hi0");
    EXPECT_EQ(state_.GetMessageNumber(), 1);
    // With the window already shown the message does not end the run by itself.
    EXPECT_FALSE(RunCode("windowopen\nmessage \"x\""));
    EXPECT_EQ(screen_.Take(), Calls{"WaitText"});
    EXPECT_TRUE(Continue());
    EXPECT_TRUE(screen_.Take().empty());
    EXPECT_EQ(state_.GetCurrentMessage(), "x");
}

TEST_F(CommandOperations, PrintPosition)
{
    RunCode("printpos 3 2\nclickwait\nprintpos 1 2\nprintpos 26 0\nprintpos 0 16\nprintpos -1 0");
    EXPECT_EQ(screen_.Take(), (Calls{"TextReprint", "WaitClick"}));
    EXPECT_EQ(state_.GetCurrentWindowLine(), 2);
    EXPECT_EQ(state_.GetWindowLine(2), std::string(6, '\xA1'));
    // Moving back to column 1 of the same line, already holding 6 bytes, clears the lines first.
    state_.AppendWindowLine("ab");
    Continue();
    EXPECT_EQ(screen_.Take(), Calls{"TextReprint"});
    EXPECT_EQ(state_.GetWindowLine(2), std::string(2, '\xA1'));
    EXPECT_EQ(state_.GetWindowLine(0), "");
}

TEST_F(CommandOperations, CharacterSlots)
{
    struct Case {
        const char* setup; // run before the mode is set
        std::int32_t modeBefore;
        const char* code;
        Slots pending;
        std::int32_t mode;
    };
    const Case cases[] = {
        {"charput 7 1", 0, "charput 8 0", {8, -1, 7}, 2},
        {"charput 7 1", 1, "charput 8 0", {8, -1, 7}, 0},
        {"charput 7 1", 2, "charput 8 0", {8, -1, 7}, 2},
        {"charput 7 1", 0, "charput 8 2", {7, -1, 8}, 1},
        {"charput 7 1", 2, "charput 8 2", {7, -1, 8}, 0},
        {"charput 7 1", 1, "charput 8 1", {-1, 8, -1}, 0},
        {"charput 1 0\ncharput 2 2", 0, "charclear 0", {-1, 2, -1}, 1},
        {"charput 1 0\ncharput 2 2", 2, "charclear 0", {-1, 2, -1}, 0},
        {"charput 1 0\ncharput 2 2", 0, "charclear 2", {-1, 1, -1}, 2},
        {"charput 1 0\ncharput 2 2", 1, "charclear 2", {-1, 1, -1}, 0},
        {"charput 1 0\ncharput 2 1\ncharput 3 2", 3, "charclear 1", {1, -1, 3}, 0},
        {"", 0, "charput 4 3\ncharclear -1", {-1, -1, -1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.setup) + " / " + c.code);
        state_.Clear();
        RunCode(std::string(c.setup) + "\nclickwait\n" + c.code);
        state_.SetCharacterChangeMode(c.modeBefore);
        Continue();
        EXPECT_EQ(Pending(), c.pending);
        EXPECT_EQ(state_.GetCharacterChangeMode(), c.mode);
        EXPECT_EQ(Shown(), (Slots{-1, -1, -1})) << "nothing is shown before a change";
    }

    // Talking flags move with their characters.
    state_.Clear();
    RunCode("charput 7 1\ntalkonly 1\ncharput 8 0");
    EXPECT_EQ(PendingTalking(), (Slots{0, 0, 1}));
}

TEST_F(CommandOperations, CharacterRefreshesAndSlides)
{
    struct Case {
        const char* code;
        Calls calls;
        Slots shown;
        std::int32_t background; // shown afterwards
    };
    const Case cases[] = {
        {"bg 5\ncharputrefresh 4 1 0", {"StageChange 0 mode=0"}, {-1, 4, -1}, 5},
        {"bg 5\ncharputrefresh 4 1 1", {"StageChange 2 mode=0"}, {-1, 4, -1}, 5},
        {"bg 5\ncharputrefresh 4 1 7", {"StageRefresh mode=0"}, {-1, 4, -1}, 999},
        {"charput 1 0\ncharput 2 2\ncharclearrefresh 0 9", {"StageRefresh mode=1"}, {-1, 2, -1}, 999},
        {"charput 1 0\ncharput 2 1\ncharput 3 2\nslideright", {"StageRefresh mode=2"}, {-1, 1, 2}, 999},
        {"charput 1 0\ncharput 2 1\ncharput 3 2\nslideleft", {"StageRefresh mode=1"}, {2, 3, -1}, 999},
        {"charput 1 0\ncharredraw", {"StageRefresh mode=3"}, {1, -1, -1}, 999},
        {"charput 1 0\ncharredraw\ncharclearall", {"StageRefresh mode=3"}, {1, -1, -1}, 999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        state_.Clear();
        EXPECT_FALSE(RunCode(c.code));
        EXPECT_EQ(screen_.Take(), c.calls);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(state_.GetShownBackground(), c.background);
        EXPECT_EQ(state_.GetCharacterChangeMode(), 0);
    }
    // Clear all: mode 4 for the redraw, every slot empty.
    Continue();
    EXPECT_EQ(screen_.Take(), Calls{"StageRefresh mode=4"});
    EXPECT_EQ(Shown(), (Slots{-1, -1, -1}));
    EXPECT_EQ(Pending(), (Slots{-1, -1, -1}));
}

TEST_F(CommandOperations, StageChangesShowThePendingStageAndMarkSeenBackgrounds)
{
    RunCode("stagespeed 40\ncharput 3 2\ntalkall\nbgchange 1510 3");
    EXPECT_EQ(screen_.Take(), (Calls{"TalkStop", "StageChange 3 mode=0"}));
    EXPECT_EQ(state_.GetShownBackground(), 1510);
    EXPECT_EQ(Shown(), (Slots{-1, -1, 3}));
    EXPECT_TRUE(state_.GetShownTalking(2));
    EXPECT_EQ(state_.GetStageSpeed(), 100);
    EXPECT_TRUE(system_.GetSystemBit(10));

    RunCode("bg998change 0");
    EXPECT_EQ(state_.GetShownBackground(), 998);
    RunCode("bg999change 0");
    EXPECT_EQ(state_.GetShownBackground(), 999);
    RunCode("bgspecial998\nstagechange 1");
    EXPECT_EQ(state_.GetShownBackground(), 998);

    // Bits from 296 up do not exist: nothing of the system record changes.
    const TSystemState before = system_;
    RunCode("seenbg 799\nseenbg 2796\nseenbg 499\nseenbg 800");
    EXPECT_TRUE(std::equal(before.Bytes().begin(), before.Bytes().end(), system_.Bytes().begin()));
    RunCode("seenbg 795");
    EXPECT_TRUE(system_.GetSystemBit(295));
}

TEST_F(CommandOperations, MeterAndAmbientSelection)
{
    struct Case {
        std::int32_t meter;
        const char* code;
        std::int32_t result;
    };
    const Case cases[] = {
        {60, "raisemeter 0", 100}, {60, "lowermeter 0", 49}, {60, "raisemeter 10", 100}, {60, "raisemeter 45", 105},
        {210, "raisemeter 0", 255}, {30, "lowermeter 0", 0}, {110, "lowermeter 70", 40}, {60, "raisemeter -1", 60},
        {60, "lowermeter -1", 60}, {100, "addmeter 2147483647", 255}, {100, "submeter 1000", 0}, {100, "addmeter -30", 70},
        {100, "submeter -300", 255}, {0, "setmeterlevel 3", 150}, {7, "setmeterlevel 4", 7}, {7, "setmeter 300", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        state_.Clear();
        state_.SetMeter(c.meter);
        RunCode(c.code);
        EXPECT_EQ(state_.GetMeter(), c.result);
    }
    state_.SetMeter(230);
    RunCode("getmeter\ngetmeterlevel");
    EXPECT_EQ(Stack(), (std::vector<std::int32_t>{230, 4}));

    // Mode 2: the meter level, plus 5 on the backgrounds of the second thousand; announced when it
    // changes.
    state_.Clear();
    RunCode("setmode 2\nbgchange 1005 0");
    EXPECT_EQ(state_.GetAmbientSelection(), 2 + 5);
    EXPECT_EQ(screen_.Take(), (Calls{"StageChange 0 mode=0", "SoundQuery"}));
    RunCode("setmeter 50\nbg998change 0");
    EXPECT_EQ(state_.GetAmbientSelection(), 1 + 5) << "the special backgrounds keep the previous side";
    RunCode("setmeter 60");
    EXPECT_TRUE(screen_.Take().empty()) << "an unchanged selection is not announced";
    RunCode("setmeter 200\nbgchange 3 0");
    EXPECT_EQ(state_.GetAmbientSelection(), 4);
    RunCode("setmode 1\nsetmeter 0");
    EXPECT_EQ(state_.GetAmbientSelection(), -1);
    RunCode("setmode 2\nbg999change 0");
    EXPECT_EQ(state_.GetAmbientSelection(), -1) << "no selection before stays none";
}

TEST_F(CommandOperations, ChoicesAndExtraSelectionStopForTheAnswer)
{
    EXPECT_FALSE(RunCode("choice \"a\" \"b %v2\" 0 \"d\""));
    EXPECT_EQ(screen_.Take(), Calls{"ChoiceShow"});
    EXPECT_EQ(state_.GetChoiceText(0), "a");
    EXPECT_EQ(state_.GetChoiceText(1), "b0");
    EXPECT_EQ(state_.GetChoiceText(2), "");
    EXPECT_EQ(state_.GetChoiceText(3), "d");
    EXPECT_EQ(state_.GetGameMode(), 2);
    EXPECT_TRUE(state_.GetStop());
    EXPECT_FALSE(engine_->Run()) << "stopped until the player chooses";
    EXPECT_EQ(state_.GetVar(63), 0);
    engine_->SetChoice(2);
    EXPECT_EQ(state_.PeekValue(), 2);

    EXPECT_FALSE(RunCode("extraselect 6"));
    EXPECT_EQ(screen_.Take(), Calls{"ExSelShow"});
    EXPECT_EQ(state_.GetExtraItem(), 6);
    EXPECT_EQ(state_.GetGameMode(), 3);
    EXPECT_TRUE(state_.GetStop());
}

TEST_F(CommandOperations, RandomDrawsEveryValueBelowN)
{
    RunCode("random 0\nrandom -5");
    EXPECT_EQ(Stack(), (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(screen_.random.Rnd(), TRandom().Rnd()) << "no number was drawn";

    std::string code;
    for (int i = 0; i < 64; ++i)
        code += "random 100000\n";
    RunCode(code);
    const std::vector<std::int32_t> values = Stack();
    EXPECT_TRUE(std::all_of(values.begin(), values.end(), [](std::int32_t v) { return v >= 0 && v < 100000; }));
    EXPECT_TRUE(std::any_of(values.begin(), values.end(), [](std::int32_t v) { return v > 65535; }));
    RunCode("random 1\nrandom 6");
    const std::vector<std::int32_t> small = Stack();
    EXPECT_EQ(small[0], 0);
    EXPECT_LT(small[1], 6);
}

TEST_F(CommandOperations, TalkingFlags)
{
    std::ofstream(folder_ / "SpeakTbl.csv") << "#,#,#\n#,10,1\n#,11,2\n#,12,1\n";
    struct Case {
        const char* code;
        Slots talking;
    };
    const Case cases[] = {
        {"talkall", {1, 1, 1}}, {"talknone", {0, 0, 0}}, {"talkonly 1", {0, 1, 0}}, {"talkonly 5", {0, 0, 0}},
        {"speaker 1", {1, 0, 1}}, {"speaker 2", {0, 1, 0}}, {"speaker -1", {0, 0, 0}},
    };
    std::string code = "charput 10 0\ncharput 11 1\ncharput 12 2\nstagechange 0";
    for (const Case& c : cases)
        code += std::string("\n") + c.code + "\nclickwait";
    RunCode(code);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        screen_.Take();
        Continue();
        EXPECT_EQ(screen_.Take(), (Calls{"TalkStop", "WaitClick"}));
        EXPECT_EQ(PendingTalking(), c.talking);
        EXPECT_EQ((Slots{state_.GetShownTalking(0), state_.GetShownTalking(1), state_.GetShownTalking(2)}), c.talking);
    }
}

} // namespace

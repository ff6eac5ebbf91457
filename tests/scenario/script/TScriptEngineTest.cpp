// TScriptEngine: scene starts, the core operations, calls and returns, restoring a saved position,
// the run loop and the command slots, on scripts assembled from text and a recording screen.
#include "scenario/script/TScriptEngine.h"

#include "ScriptTestSupport.h"
#include "base/packs/TFileMan.h"
#include "scenario/ScenarioTestSupport.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "shell/GameExceptions.h"

#include <climits>
#include <memory>

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

using Values = std::vector<std::int32_t>;

class TScriptEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(files_.InitDir(folder_.Name())); }

    // Assembles the text, writes its scripts and makes a new engine on them, so that each case
    // loads its rewritten scripts; a text with scene lines has its scene table written and read.
    void Load(const std::string& text)
    {
        const auto scenario = AssembleScenario(text);
        for (const auto& [number, bytes] : scenario.scripts)
            ScenarioTest::WriteBytes(folder_ / ScriptFile::FileName(number).c_str(), bytes);
        engine_ = NewEngine();
        if (scenario.sceneCount > 0) {
            ScenarioTest::WriteBytes(folder_ / "Scene.tbl", scenario.sceneTable);
            ASSERT_TRUE(engine_->LoadSceneTable());
        }
    }
    // Script 1, stamp 7, with `main` holding the code (and a halt), started as scene "s".
    void StartWith(const std::string& code, const std::string& before = "")
    {
        Load(".script 1\n.stamp 7\n.scene \"s\" main\n" + before + "\nmain:\n" + code + "\nhalt\n");
        ASSERT_TRUE(engine_->StartScene("s"));
    }
    std::uint32_t Entry(const char* label) const { return engine_->LabelEntry(*engine_->FindLabel(label)); }
    std::vector<std::int32_t> Stack() const
    {
        TGameState copy = state_;
        copy.SetValueBase(0);
        std::vector<std::int32_t> values(static_cast<std::size_t>(copy.GetValueCount()));
        for (auto it = values.rbegin(); it != values.rend(); ++it)
            *it = copy.PopValue();
        return values;
    }

    ScenarioTest::TempFolder folder_;
    TFileMan files_{nullptr};
    TGameState state_;
    TGameState sceneStart_;
    TSystemState system_;
    TReadMesTable readMes_;
    RecordingScreen screen_;
    std::unique_ptr<TScriptEngine> NewEngine()
    {
        return std::make_unique<TScriptEngine>(TScriptEngine::Context{files_, files_, state_, sceneStart_, system_, readMes_, screen_});
    }
    std::unique_ptr<TScriptEngine> engine_ = NewEngine();
};

TEST_F(TScriptEngineTest, CoreOperations)
{
    const struct {
        const char* code; // arguments are pushed first: "sub 5 3" is push 5, push 3, sub
        Values stack;
    } cases[] = {
        {"sub 5 3", {2}},
        {"lt 5 3", {0}},
        {"lt 3 5", {1}},
        {"le 3 3\nle 3 4\nle 4 3", {1, 1, 0}},
        {"gt 5 3\ngt 3 5", {1, 0}},
        {"ge 3 5\nge 5 5", {0, 1}},
        {"eq 4 4\neq 4 5", {1, 0}},
        {"ne 4 4\nne 4 5", {0, 1}},
        {"div 1 0", {-1}},
        {"div -1 0", {0}},
        {"mod 7 0", {0}},
        {"mod -7 2\ndiv -7 2", {-1, -3}},
        {"div -2147483648 -1\nmod 0x80000000 -1", {INT_MIN, 0}},
        {"add 0x7FFFFFFF 1\nsub -2147483648 1", {INT_MIN, INT_MAX}},
        {"mul 65536 65537\nmul -3 4", {65536, -12}},
        {"push 9\nand 0 5\nand 2 5", {9, 0, 1}},
        {"push 9\nor 0 5\nor 0 0", {9, 1, 0}},
        {"not 0\nnot 7", {1, 0}},
        {"dup 4", {4, 4}},
        {"swap 1 2", {2, 1}},
        {"over 1 2", {1, 1, 2}},
        {"swap2 1 2 3", {2, 1, 3}},
        {"drop 1 2\nnop", {1}},
        {"signbit -5\nsignbit 5", {INT_MIN, 0}},
        // jz over a push when 0; falls through to the next instruction otherwise; jnz likewise.
        {"push 0\njz @a\npush 8\n@a: push 1\njz @b\npush 8\n@b:", {8}},
        {"push 1\njnz @a\npush 8\n@a: push 0\njnz @b\npush 8\n@b:", {8}},
        // A countdown from 3: a backward jump.
        {"push 3\n@loop: sub 1\ndup\njnz @loop", {0}},
        {"jmp 12\npush 1\npush 2", {2}},
        // A jump into a push's operand runs the bytes there: 0x16 0x00 is an add.
        {"push 7\npush 8\njmp 10\npush 0x160000", {15}},
        {"setflag 3 1\ngetflag 3\nsetflag 600 1\ngetflag 600", {1, 0}},
        {"setvar 2 -9\ngetvar 2\nsetvar 64 5\ngetvar 64", {-9, 0}},
        {"setsysflag 63 7\ngetsysflag 63\ngetsysflag 64", {1, 0}},
        {"setsysvar 7 11\ngetsysvar 7\ngetsysvar 8", {11, 0}},
        {"getlocalflag 0\ngetlocalflag 99\ngetsubvar 0", {0, 0, 0}},
        {"setreg1 6\ngetreg1\ngetreg2", {6, 0}},
    };
    for (const auto& c : cases) {
        StartWith(c.code);
        EXPECT_TRUE(engine_->Run());
        EXPECT_EQ(Stack(), c.stack) << c.code;
    }
    EXPECT_TRUE(system_.GetSystemFlag(63));
    EXPECT_EQ(system_.GetSystemValue(7), 11);
}

TEST_F(TScriptEngineTest, UndefinedOpcodesAndUnderflowHaltWhereTheyStand)
{
    for (const int opcode : {7, 12, 13, 17, 18, 47, 49, 63, 167, 175, 176, 0xFFFF}) {
        StartWith("nop\n.opcode " + std::to_string(opcode) + "\npush 5");
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(engine_->Run()) << opcode;
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("halts"), std::string::npos) << opcode;
        EXPECT_EQ(state_.GetPc(), Entry("main") + 2) << opcode;
        EXPECT_EQ(Stack(), Values{}) << opcode;
    }
    // A push whose operand the end of the code cuts short.
    Load(".script 1\n.scene \"s\" main\nmain:\nnop\n.bytes 1 0 5 0 0\n.runon\n");
    ASSERT_TRUE(engine_->StartScene("s"));
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(engine_->Run());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(state_.GetPc(), Entry("main") + 2);
    EXPECT_EQ(Stack(), Values{});
    StartWith("add 1");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(engine_->Run());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(state_.GetPc(), Entry("main") + 6);
}

TEST_F(TScriptEngineTest, StackChecksHoldInRunsOfInstructions)
{
    std::string full;
    for (int i = 0; i < TGameState::StackSize; ++i)
        full += "push 1\n";
    const std::uint32_t fullAt = TGameState::StackSize * 6;
    // The instruction that does not fit is not started: it halts the script where it stands.
    const struct {
        const char* what;
        std::string code;
        std::uint32_t at;
        std::int32_t count;
    } cases[] = {
        {"a push past 256 values", full + "push 1", fullAt, 256},
        {"dup on a full stack", full + "dup", fullAt, 256},
        {"over on a full stack", full + "over", fullAt, 256},
        {"add on an empty stack", "add", 0, 0},
        {"swap with one value", "push 1\nswap", 6, 1},
        {"swap2 with two values", "push 1\npush 2\nswap2", 12, 2},
        {"jnz on an empty stack", "jnz @next\n@next:", 0, 0},
    };
    for (const auto& c : cases) {
        StartWith(c.code);
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(engine_->Run()) << c.what;
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("halts"), std::string::npos) << c.what;
        EXPECT_EQ(state_.GetPc(), Entry("main") + c.at) << c.what;
        EXPECT_EQ(state_.GetValueCount(), c.count) << c.what;
    }
    // Pops stop at the value base of a saved position.
    StartWith("drop");
    state_.PushValue(7);
    state_.SetValueBase(1);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(engine_->Run());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(state_.GetPc(), Entry("main"));
    EXPECT_EQ(state_.GetValueCount(), 1);
    // Jumps out of the code, forwards or wrapping backwards, halt at the next step.
    for (const std::int32_t jump : {1000, -1'000'000}) {
        StartWith("jmp " + std::to_string(jump));
        EXPECT_TRUE(engine_->Run()) << jump;
        EXPECT_EQ(state_.GetPc(), Entry("main") + static_cast<std::uint32_t>(jump)) << jump;
    }
}

TEST_F(TScriptEngineTest, TheStepBoundCountsEveryInstruction)
{
    static_assert(TScriptEngine::StepBound == 1'000'000);
    // The push of 0 and 333,333 turns of three make the first run's million; the second run's
    // million is 333,333 turns and one push.
    StartWith("push 0\n@turn: push 1\nadd\njmp @turn");
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(Stack(), Values{333'333});
    EXPECT_EQ(state_.GetPc(), Entry("main") + 6);
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(Stack(), (Values{666'666, 1}));
}

TEST_F(TScriptEngineTest, StringOperands)
{
    StartWith("setname 3 \"second\"", ".string \"first\"");
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(state_.GetNameText(3), "second");
    EXPECT_EQ(engine_->GetStringOperand(0), "");
    EXPECT_EQ(engine_->GetStringOperand(1), "first");
    EXPECT_EQ(engine_->GetStringOperand(INT_MIN | 3), "second");
    EXPECT_EQ(engine_->GetStringOperand(INT_MIN | 99), "");
    EXPECT_THROW(engine_->GetStringOperand(3), EGameErr);
}

TEST_F(TScriptEngineTest, SceneStartSetsTheRegistersAndCalendar)
{
    Load(R"(
        .script 1
        .stamp 7
        .scene "dated" b start 402 1230 limit 405 1800
        .scene "none" none start 0 1500
        .scene "gone" 9 0
        a: halt
        b: halt
    )");
    state_.SetVar(1, 5);
    state_.PushValue(3);
    state_.SetFrameWord1(4);
    state_.SetHalt(true);
    ASSERT_TRUE(engine_->StartScene("dated"));
    EXPECT_EQ(sceneStart_.GetVar(1), 5);
    EXPECT_EQ(sceneStart_.GetValueCount(), 1);
    EXPECT_EQ(state_.GetSceneName(), "dated");
    EXPECT_EQ(state_.GetPc(), Entry("b"));
    EXPECT_EQ(state_.GetScriptStamp(), 7u);
    EXPECT_FALSE(state_.GetHalt());
    EXPECT_EQ(state_.GetValueCount(), 0);
    EXPECT_EQ(state_.GetFrameWord1(), 0);
    EXPECT_EQ(state_.GetMonth() * 100 + state_.GetDay(), 402);
    EXPECT_EQ(state_.GetHour() * 100 + state_.GetMinute(), 1230);
    EXPECT_TRUE(state_.HasLimit());

    // Start date 0 keeps the clock even with a start time; no limit date clears the limit.
    ASSERT_TRUE(engine_->StartScene("none"));
    EXPECT_EQ(state_.GetHour() * 100 + state_.GetMinute(), 1230);
    EXPECT_FALSE(state_.HasLimit());
    EXPECT_EQ(state_.GetPc(), ScriptFile::NoEntry);
    EXPECT_TRUE(engine_->Run());

    EXPECT_FALSE(engine_->StartScene("missing"));
    EXPECT_FALSE(engine_->StartScene("gone"));
    state_.SetVar(1, 6);
    EXPECT_FALSE(engine_->StartScene(std::string(64, 'n')));
    EXPECT_EQ(sceneStart_.GetVar(1), 5) << "a long name is refused before the snapshot";
}

TEST_F(TScriptEngineTest, CallsLeaveOneValueAndKeepTheBase)
{
    Load(R"(
        .script 1
        .scene "s" main
        none: ret
        three:
            push 1
            push 2
            push 3
            ret
        eats:           ; drops a value of its caller: a call never sets the base
            drop
            ret
        main:
            push 9
            call none
            call three
            push 4
            call "::eats"
            getreg1
    )");
    ASSERT_TRUE(engine_->StartScene("s"));
    state_.SetFrameWord1(77);
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(Stack(), (Values{9, 0, 3, 0, 77}));
    EXPECT_EQ(state_.GetFrameCount(), 0);
    EXPECT_EQ(state_.GetValueBase(), 0);
}

TEST_F(TScriptEngineTest, NestingAndStackLimits)
{
    std::string main;
    for (int i = 0; i < 255; ++i)
        main += "push " + std::to_string(i) + "\n";
    Load(".script 1\n.scene \"s\" main\n.scene \"deep\" deep\ndeep: call deep\nfull: push 6\nret\nmain:\n" + main + "call full\n");
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(state_.GetValueCount(), 256);
    EXPECT_EQ(state_.PeekValue(), 6);

    ASSERT_TRUE(engine_->StartScene("deep"));
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(engine_->Run());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(state_.GetFrameCount(), 64) << "the 65th call fails and halts";
}

TEST_F(TScriptEngineTest, CrossScriptCallsAndBadTargetsHalt)
{
    const std::string far = ".script 2\n.stamp 22\nx: halt\nfar:\npush 42\nret\n";
    const struct {
        const char* what;
        const char* target;
        bool returns;
    } cases[] = {
        {"lower case", "\"scr00002::far\"", true},
        {"capitals", "\"SCR2::far\"", true},
        {"letter after scr", "\"scr2x::far\"", false},
        {"no script digits", "\"scr::far\"", false},
        {"number too large", "\"scr65536::far\"", false},
        {"no separator", "\"scr00002far\"", false},
        {"missing script", "\"scr00003::far\"", false},
        {"missing label", "\"scr00002::near\"", false},
        {"unknown kind", "target(3, \"scr00002::far\")", false},
        // Records outside the table, and a kind 1 record where no block starts.
        {"offset -1", "-1", false},
        {"offset inside a record", "7", false},
        {"offset at the table's end", "8", false},
        {"offset far past the table", "1000", false},
        {"no block at the offset", "target(1, 3)", false},
    };
    for (const auto& c : cases) {
        Load(far + ".script 1\n.scene \"s\" main\n.target 2 \"pad\"\nmain:\ncall " + c.target + "\n");
        ASSERT_TRUE(engine_->StartScene("s"));
        state_.SetFrameWord1(5);
        const std::uint32_t main = Entry("main");
        EXPECT_TRUE(engine_->Run());
        EXPECT_EQ(state_.GetValueCount() == 1 && state_.PeekValue() == 42, c.returns) << c.what;
        if (c.returns) {
            EXPECT_EQ(state_.GetScriptNumber(), 1) << c.what;
            EXPECT_EQ(engine_->LoadedScript(), 1) << c.what;
            EXPECT_EQ(state_.GetPc(), main + 8 + 2) << c.what;
        } else {
            // A call text that fails halts with the call's frame pushed; a bad record before it.
            EXPECT_EQ(state_.GetPc(), main + 8) << c.what;
            EXPECT_EQ(state_.GetFrameCount(), c.target[0] == '"' ? 1 : 0) << c.what;
            if (state_.GetFrameCount() == 1) {
                EXPECT_EQ(state_.GetFrame(0).FReturnPc, main + 8) << c.what;
                EXPECT_EQ(state_.GetFrame(0).FFrameWord1, 5) << c.what;
                EXPECT_EQ(state_.GetFrameWord1(), 0) << c.what;
            }
        }
    }
}

TEST_F(TScriptEngineTest, SceneStartInstructionRebuildsAndContinues)
{
    Load(R"(
        .script 1
        .scene "s" main
        .scene "next" next
        main:
            scene "next"
            halt
        next:
            push 5
            scene "missing"
            push 6
    )");
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(screen_.rebuilds, 1);
    EXPECT_EQ(state_.GetSceneName(), "next");
    EXPECT_EQ(Stack(), Values{5});
}

TEST_F(TScriptEngineTest, RestoreContinuesOrReplaysTheScene)
{
    Load(".script 1\n.stamp 100\n.scene \"s\" main\nmain:\npush 1\nclickwait\npush 2\nclickwait\n");
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_FALSE(engine_->Run());
    const TGameState saved = state_;
    const TGameState savedStart = sceneStart_;

    EXPECT_FALSE(engine_->Run());
    state_ = saved;
    ASSERT_TRUE(engine_->RestoreState());
    EXPECT_EQ(state_.GetPc(), saved.GetPc());
    EXPECT_EQ(Stack(), Values{1});

    Load(".script 1\n.stamp 101\n.scene \"s\" main\nmain: push 3\n");
    state_ = saved;
    sceneStart_ = savedStart;
    ASSERT_TRUE(engine_->RestoreState());
    EXPECT_EQ(state_.GetPc(), Entry("main"));
    EXPECT_EQ(state_.GetScriptStamp(), 101u);
    EXPECT_EQ(state_.GetValueCount(), 0);
}

TEST_F(TScriptEngineTest, RestoreChecksTheStampOfEveryCallFrame)
{
    const std::string caller = ".script 1\n.stamp 1\n.scene \"s\" main\nmain:\ncall \"scr2::sub\"\nhalt\n";
    Load(caller + ".script 2\n.stamp 20\nsub:\npush 1\nclickwait\nret\n");
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_FALSE(engine_->Run());
    ASSERT_EQ(state_.GetFrameCount(), 1);
    const TGameState saved = state_;
    const TGameState savedStart = sceneStart_;

    // Every stamp matches: the position holds, its call frame too.
    state_ = saved;
    ASSERT_TRUE(engine_->RestoreState());
    EXPECT_EQ(state_.GetFrameCount(), 1);

    // The caller of the frame was rebuilt: the scene replays from its start.
    Load(".script 1\n.stamp 2\n.scene \"s\" main\nmain:\ncall \"scr2::sub\"\nhalt\n.script 2\n.stamp 20\nsub:\npush 1\nclickwait\nret\n");
    state_ = saved;
    sceneStart_ = savedStart;
    ASSERT_TRUE(engine_->RestoreState());
    EXPECT_EQ(state_.GetFrameCount(), 0);
    EXPECT_EQ(state_.GetPc(), Entry("main"));
}

TEST_F(TScriptEngineTest, StampsLoadsAndChoices)
{
    Load(".script 5\n.stamp 0xFFFFFFFF\nmain: halt\n");
    EXPECT_EQ(engine_->GetScriptStamp(5), 0xFFFFFFFFu);
    EXPECT_EQ(engine_->GetScriptStamp(6), std::nullopt);
    EXPECT_EQ(engine_->GetScriptStamp(-1), std::nullopt);
    ASSERT_TRUE(engine_->LoadScript(5));
    std::filesystem::remove(folder_ / "scr00005.dvo");
    EXPECT_TRUE(engine_->LoadScript(5)) << "the loaded script is not reopened";
    EXPECT_TRUE(files_.Pointers().empty());

    state_.SetGameMode(3);
    state_.SetStop(true);
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(state_.GetGameMode(), 3);
    engine_->SetChoice(2);
    EXPECT_FALSE(state_.GetStop());
    EXPECT_EQ(state_.PeekValue(), 2);
    engine_->SetChoice(4);
    EXPECT_EQ(state_.GetValueCount(), 1);
}

TEST_F(TScriptEngineTest, CommandsGoToTheScreenAndTheBoundGivesTheFrameBack)
{
    StartWith("clickwait\nautosave\n@spin: jmp @spin");
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(screen_.Take(), std::vector<std::string>{"WaitClick"});
    EXPECT_FALSE(engine_->Run()) << "a loop that never yields ends the run at the bound";
    EXPECT_EQ(screen_.autoSaves, 1);
    EXPECT_FALSE(state_.GetHalt());
    EXPECT_FALSE(engine_->Run());
    EXPECT_TRUE(screen_.Take().empty());
    EXPECT_EQ(screen_.autoSaves, 1);
}

} // namespace

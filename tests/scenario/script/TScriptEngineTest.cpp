// TScriptEngine: scene starts, the core operations, calls and returns, restoring a saved position,
// the run loop and the command slots, on scripts built as bytes and a recording screen.
#include "scenario/script/TScriptEngine.h"

#include "ScriptTestSupport.h"
#include "base/packs/TFileMan.h"
#include "scenario/ScenarioTestSupport.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/OpcodeTable.h"
#include "shell/GameExceptions.h"

#include <climits>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

using Values = std::vector<std::int32_t>;

struct Ins {
    const char* mnemonic;
    std::optional<std::int32_t> operand = std::nullopt;
};

class TScriptEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(files_.InitDir(folder_.Name())); }

    void Write(const ScriptBuilder& script, std::int32_t number) { ScenarioTest::WriteBytes(folder_ / ScriptFile::FileName(number).c_str(), script.Build()); }
    void Scenes(const std::vector<SceneRow>& rows)
    {
        ScenarioTest::WriteBytes(folder_ / "Scene.tbl", SceneTableBytes(rows));
        engine_ = NewEngine();
        ASSERT_TRUE(engine_->LoadSceneTable());
    }
    // Script 1 with `main` holding the instructions and a halt, started as scene "s".
    void StartWith(const std::vector<Ins>& code, ScriptBuilder b = ScriptBuilder(1))
    {
        b.Label("main");
        for (const Ins& i : code) {
            const auto op = Opcodes::Find(i.mnemonic);
            ASSERT_TRUE(op) << i.mnemonic;
            i.operand ? b.Op(*op, *i.operand) : b.Op(*op);
        }
        b.Op(Opcodes::Halt);
        Write(b, 1);
        Scenes({{1, b.BlockOf("main"), "s"}});
        ASSERT_TRUE(engine_->StartScene("s"));
    }
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
    // A new engine for each scene table, so that each test case loads its rewritten scripts.
    std::unique_ptr<TScriptEngine> engine_ = NewEngine();
};



TEST_F(TScriptEngineTest, CoreOperations)
{
    const struct {
        std::vector<Ins> code;
        Values stack;
    } cases[] = {
        {{{"push", 5}, {"push", 3}, {"sub"}}, {2}},
        {{{"push", 5}, {"push", 3}, {"lt"}}, {0}},
        {{{"push", 3}, {"push", 5}, {"lt"}}, {1}},
        {{{"push", 3}, {"push", 3}, {"le"}, {"push", 3}, {"push", 4}, {"le"}, {"push", 4}, {"push", 3}, {"le"}}, {1, 1, 0}},
        {{{"push", 5}, {"push", 3}, {"gt"}, {"push", 3}, {"push", 5}, {"gt"}}, {1, 0}},
        {{{"push", 3}, {"push", 5}, {"ge"}, {"push", 5}, {"push", 5}, {"ge"}}, {0, 1}},
        {{{"push", 4}, {"push", 4}, {"eq"}, {"push", 4}, {"push", 5}, {"eq"}}, {1, 0}},
        {{{"push", 4}, {"push", 4}, {"ne"}, {"push", 4}, {"push", 5}, {"ne"}}, {0, 1}},
        {{{"push", 1}, {"push", 0}, {"div"}}, {-1}},
        {{{"push", -1}, {"push", 0}, {"div"}}, {0}},
        {{{"push", 7}, {"push", 0}, {"mod"}}, {0}},
        {{{"push", -7}, {"push", 2}, {"mod"}, {"push", -7}, {"push", 2}, {"div"}}, {-1, -3}},
        {{{"push", INT_MIN}, {"push", -1}, {"div"}, {"push", INT_MIN}, {"push", -1}, {"mod"}}, {INT_MIN, 0}},
        {{{"push", INT_MAX}, {"push", 1}, {"add"}, {"push", INT_MIN}, {"push", 1}, {"sub"}}, {INT_MIN, INT_MAX}},
        {{{"push", 65536}, {"push", 65537}, {"mul"}, {"push", -3}, {"push", 4}, {"mul"}}, {65536, -12}},
        {{{"push", 9}, {"push", 0}, {"push", 5}, {"and"}, {"push", 2}, {"push", 5}, {"and"}}, {9, 0, 1}},
        {{{"push", 9}, {"push", 0}, {"push", 5}, {"or"}, {"push", 0}, {"push", 0}, {"or"}}, {9, 1, 0}},
        {{{"push", 0}, {"not"}, {"push", 7}, {"not"}}, {1, 0}},
        {{{"push", 4}, {"dup"}}, {4, 4}},
        {{{"push", 1}, {"push", 2}, {"swap"}}, {2, 1}},
        {{{"push", 1}, {"push", 2}, {"over"}}, {1, 1, 2}},
        {{{"push", 1}, {"push", 2}, {"push", 3}, {"swap2"}}, {2, 1, 3}},
        {{{"push", 1}, {"push", 2}, {"drop"}, {"nop"}}, {1}},
        {{{"push", -5}, {"signbit"}, {"push", 5}, {"signbit"}}, {INT_MIN, 0}},
        // jz over a push when 0; falls through to the next instruction otherwise; jnz likewise.
        {{{"push", 0}, {"jz", 12}, {"push", 8}, {"push", 1}, {"jz", 12}, {"push", 8}}, {8}},
        {{{"push", 1}, {"jnz", 12}, {"push", 8}, {"push", 0}, {"jnz", 12}, {"push", 8}}, {8}},
        // A countdown from 3: a backward jump.
        {{{"push", 3}, {"push", 1}, {"sub"}, {"dup"}, {"jnz", -10}}, {0}},
        {{{"jmp", 12}, {"push", 1}, {"push", 2}}, {2}},
        {{{"push", 3}, {"push", 1}, {"setflag"}, {"push", 3}, {"getflag"}, {"push", 600}, {"push", 1}, {"setflag"}, {"push", 600}, {"getflag"}}, {1, 0}},
        {{{"push", 2}, {"push", -9}, {"setvar"}, {"push", 2}, {"getvar"}, {"push", 64}, {"push", 5}, {"setvar"}, {"push", 64}, {"getvar"}}, {-9, 0}},
        {{{"push", 63}, {"push", 7}, {"setsysflag"}, {"push", 63}, {"getsysflag"}, {"push", 64}, {"getsysflag"}}, {1, 0}},
        {{{"push", 7}, {"push", 11}, {"setsysvar"}, {"push", 7}, {"getsysvar"}, {"push", 8}, {"getsysvar"}}, {11, 0}},
        {{{"push", 0}, {"getlocalflag"}, {"push", 99}, {"getlocalflag"}, {"push", 0}, {"getsubvar"}}, {0, 0, 0}},
        {{{"push", 6}, {"setreg1"}, {"getreg1"}, {"getreg2"}}, {6, 0}},
    };
    for (const auto& c : cases) {
        StartWith(c.code);
        EXPECT_TRUE(engine_->Run());
        EXPECT_EQ(Stack(), c.stack) << c.code.back().mnemonic;
    }
    EXPECT_TRUE(system_.GetSystemFlag(63));
    EXPECT_EQ(system_.GetSystemValue(7), 11);
}

TEST_F(TScriptEngineTest, UndefinedOpcodesAndUnderflowHaltWhereTheyStand)
{
    for (const std::uint16_t opcode : {7, 12, 13, 17, 18, 47, 49, 63, 167, 175, 176, 0xFFFF}) {
        ScriptBuilder b(1);
        b.Label("main").Op(0).Op(opcode).Op(1, 5);
        Write(b, 1);
        Scenes({{1, 0, "s"}});
        ASSERT_TRUE(engine_->StartScene("s"));
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(engine_->Run()) << opcode;
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("halts"), std::string::npos) << opcode;
        EXPECT_EQ(state_.GetPc(), b.EntryOf("main") + 2) << opcode;
        EXPECT_EQ(Stack(), Values{}) << opcode;
    }
    StartWith({{"push", 1}, {"add"}});
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(state_.GetPc(), ScriptBuilder(1).Label("main").Here() + 6);
}

TEST_F(TScriptEngineTest, StringOperands)
{
    ScriptBuilder b(1);
    b.String("first");
    b.String("second");
    StartWith({{"push", 3}, {"push", 2}, {"setname"}}, b);
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
    ScriptBuilder b(1);
    b.Label("a").Op(15).Label("b").Op(15);
    Write(b, 1);
    Scenes({{1, b.BlockOf("b"), "dated", 402, 1230, 405, 1800}, {1, SceneTable::NoBlock, "none", 0, 1500}, {9, 0, "gone"}});
    state_.SetVar(1, 5);
    state_.PushValue(3);
    state_.SetFrameWord1(4);
    state_.SetHalt(true);
    ASSERT_TRUE(engine_->StartScene("dated"));
    EXPECT_EQ(sceneStart_.GetVar(1), 5);
    EXPECT_EQ(sceneStart_.GetValueCount(), 1);
    EXPECT_EQ(state_.GetSceneName(), "dated");
    EXPECT_EQ(state_.GetPc(), b.EntryOf("b"));
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
    ScriptBuilder b(1);
    b.Label("none").Op(14);
    b.Label("three").Op(1, 1).Op(1, 2).Op(1, 3).Op(14);
    b.Label("eats").Op(2).Op(14); // drops a value of its caller: a call never sets the base
    const auto none = b.TargetBlock(b.BlockOf("none"));
    const auto three = b.TargetBlock(b.BlockOf("three"));
    const auto eats = b.TargetText("::eats");
    b.Label("main").Op(1, 9).Call(none).Call(three).Op(1, 4).Call(eats);
    b.Op(43).Op(15);
    b.Op(15);
    Write(b, 1);
    Scenes({{1, b.BlockOf("main"), "s"}});
    ASSERT_TRUE(engine_->StartScene("s"));
    state_.SetFrameWord1(77);
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(Stack(), (Values{9, 0, 3, 0, 77}));
    EXPECT_EQ(state_.GetFrameCount(), 0);
    EXPECT_EQ(state_.GetValueBase(), 0);
}

TEST_F(TScriptEngineTest, NestingAndStackLimits)
{
    ScriptBuilder b(1);
    b.Label("deep");
    const auto deep = b.TargetBlock(0);
    b.Call(deep);
    b.Label("full").Op(1, 6).Op(14);
    const auto full = b.TargetBlock(b.BlockOf("full"));
    b.Label("main");
    for (int i = 0; i < 255; ++i)
        b.Op(1, i);
    b.Call(full).Op(15);
    Write(b, 1);
    Scenes({{1, b.BlockOf("main"), "s"}, {1, b.BlockOf("deep"), "deep"}});
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(state_.GetValueCount(), 256);
    EXPECT_EQ(state_.PeekValue(), 6);

    ASSERT_TRUE(engine_->StartScene("deep"));
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(state_.GetFrameCount(), 64) << "the 65th call fails and halts";
}

TEST_F(TScriptEngineTest, CrossScriptCallsAndBadTargetsHalt)
{
    ScriptBuilder far(2, 22);
    far.Label("x").Op(15).Label("far").Op(1, 42).Op(14);
    Write(far, 2);
    const struct {
        const char* what;
        std::uint16_t kind;
        std::string text;
        bool returns;
    } cases[] = {
        {"lower case", 2, "scr00002::far", true},
        {"capitals", 2, "SCR2::far", true},
        {"letter after scr", 2, "scr2x::far", false},
        {"no script digits", 2, "scr::far", false},
        {"number too large", 2, "scr65536::far", false},
        {"no separator", 2, "scr00002far", false},
        {"missing script", 2, "scr00003::far", false},
        {"missing label", 2, "scr00002::near", false},
        {"unknown kind", 3, "scr00002::far", false},
    };
    for (const auto& c : cases) {
        ScriptBuilder b(1);
        const auto target = b.TargetText(c.text, c.kind);
        b.Label("main").Call(target).Op(15);
        Write(b, 1);
        Scenes({{1, 0, "s"}});
        ASSERT_TRUE(engine_->StartScene("s"));
        EXPECT_TRUE(engine_->Run());
        EXPECT_EQ(state_.GetValueCount() == 1 && state_.PeekValue() == 42, c.returns) << c.what;
        if (c.returns) {
            EXPECT_EQ(state_.GetScriptNumber(), 1) << c.what;
            EXPECT_EQ(engine_->LoadedScript(), 1) << c.what;
            EXPECT_EQ(state_.GetPc(), b.EntryOf("main") + 8 + 2) << c.what;
        } else {
            EXPECT_EQ(state_.GetPc(), b.EntryOf("main") + 8) << c.what;
        }
    }
    // Records outside the table, and a kind 1 offset where no block starts.
    for (const std::int32_t offset : {-1, 7, 8, 1000}) {
        ScriptBuilder b(1);
        b.TargetBlock(3);
        b.Label("main").Call(offset).Op(15);
        Write(b, 1);
        Scenes({{1, 0, "s"}});
        ASSERT_TRUE(engine_->StartScene("s"));
        EXPECT_TRUE(engine_->Run());
        EXPECT_EQ(state_.GetPc(), b.EntryOf("main") + 8) << offset;
        EXPECT_EQ(state_.GetFrameCount(), 0) << offset;
    }
}

TEST_F(TScriptEngineTest, SceneStartInstructionRebuildsAndContinues)
{
    ScriptBuilder b(1);
    const auto next = b.TargetText("next", 0);
    const auto missing = b.TargetText("missing", 0);
    b.Label("main").Op(1, next).Op(48).Op(15);
    b.Label("next").Op(1, 5).Op(1, missing).Op(48).Op(1, 6);
    Write(b, 1);
    Scenes({{1, b.BlockOf("main"), "s"}, {1, b.BlockOf("next"), "next"}});
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_TRUE(engine_->Run());
    EXPECT_EQ(screen_.rebuilds, 1);
    EXPECT_EQ(state_.GetSceneName(), "next");
    EXPECT_EQ(Stack(), Values{5});
}

TEST_F(TScriptEngineTest, RestoreContinuesOrReplaysTheScene)
{
    ScriptBuilder b(1, 100);
    b.Label("main").Op(1, 1).Op(64).Op(1, 2).Op(64).Op(15);
    Write(b, 1);
    Scenes({{1, 0, "s"}});
    ASSERT_TRUE(engine_->StartScene("s"));
    EXPECT_FALSE(engine_->Run());
    const TGameState saved = state_;
    const TGameState savedStart = sceneStart_;

    EXPECT_FALSE(engine_->Run());
    state_ = saved;
    ASSERT_TRUE(engine_->RestoreState());
    EXPECT_EQ(state_.GetPc(), saved.GetPc());
    EXPECT_EQ(Stack(), Values{1});

    ScriptBuilder rebuilt(1, 101);
    rebuilt.Label("main").Op(1, 3).Op(15);
    Write(rebuilt, 1);
    state_ = saved;
    sceneStart_ = savedStart;
    ASSERT_TRUE(engine_->LoadScript(2) == false);
    ASSERT_TRUE(engine_->RestoreState());
    EXPECT_EQ(state_.GetPc(), rebuilt.EntryOf("main"));
    EXPECT_EQ(state_.GetScriptStamp(), 101u);
    EXPECT_EQ(state_.GetValueCount(), 0);
}

TEST_F(TScriptEngineTest, StampsLoadsAndChoices)
{
    ScriptBuilder b(5, 0xFFFFFFFF);
    b.Label("main").Op(15);
    Write(b, 5);
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
    StartWith({{"push", 1}, {"message"}, {"autosave"}, {"jmp", 0}});
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(screen_.commands, (std::vector<std::uint16_t>{64}));
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(screen_.autoSaves, 1);
    EXPECT_FALSE(engine_->Run()) << "a loop that never yields ends the run at the bound";
    EXPECT_FALSE(state_.GetHalt());
    EXPECT_FALSE(engine_->Run());
    EXPECT_EQ(screen_.commands.size(), 2u);
}

} // namespace

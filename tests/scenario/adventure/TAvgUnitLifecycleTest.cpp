// The adventure screen's set-up and its failures, a script that never yields, and the sounds a
// load restores.
#include "scenario/adventure/AvgTestSupport.h"

#include "platform/classes/Exception.h"
#include "scenario/records/TGameState.h"
#include "scenario/script/TScriptEngine.h"
#include "shell/GameExceptions.h"

#include <filesystem>

using namespace AvgTest;

namespace {

class TAvgUnitLifecycle : public AvgFixture {
protected:
    void Make()
    {
        unit_ = std::make_unique<TAvgUnit>(
            TAvgUnit::Context{records_, system_, readMes_, config_, scripts_, host_, random_, movie_});
    }
};

TEST_F(TAvgUnitLifecycle, AFailedSetUpRaisesAndReleasesWhatWasMade)
{
    const std::size_t registered = registry_.Records().size();
    WriteScene("clickwait");
    std::filesystem::remove(folder_.Native() / "Scripts" / "Scene.tbl");
    Make();
    EXPECT_THROW(unit_->Initialize(&pictures_.Files()), Exception) << "no scene table";
    EXPECT_FALSE(unit_->Initialized());
    EXPECT_EQ(unit_->AvgPanel(), nullptr);

    WriteScene("clickwait");
    pictures_.Write("Snow.bmp", {'B', 'M'});
    Make();
    EXPECT_THROW(unit_->Initialize(&pictures_.Files()), EGameErr) << "a broken snow picture";
    EXPECT_FALSE(unit_->Initialized());
    EXPECT_EQ(unit_->AvgPanel(), nullptr);
    EXPECT_EQ(registry_.Records().size(), registered) << "the stage's pictures were released";
}

TEST_F(TAvgUnitLifecycle, AScriptThatNeverYieldsGivesTheFrameBack)
{
    WriteScene("wait 10\n@spin: jmp @spin");
    Start();
    ASSERT_EQ(Wait(), WaitState::Timed);
    Frames(2);
    ASSERT_EQ(Wait(), WaitState::Run);
    // Each frame runs the engine's bound of instructions and returns.
    Frames(2);
    EXPECT_EQ(Wait(), WaitState::Run);
    EXPECT_TRUE(unit_->IsRunning());
    EXPECT_TRUE(host_.results.empty());
}

TEST_F(TAvgUnitLifecycle, ALoadRestoresMusicAmbientAndLevels)
{
    WriteScene("bgmlevel 40\nbgm 3 0\nambient 2 0\nse 1\nclickwait\nbgmstop 0\nambientstop 0\nclickwait");
    Start();
    ASSERT_EQ(Wait(), WaitState::Click);
    EXPECT_TRUE(Playing("bgm3"));
    EXPECT_TRUE(Playing("se2"));
    const TGameState saved = Record();
    unit_->OnEvent(1);
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    Frames(100); // the fades out end
    EXPECT_FALSE(Playing("bgm3"));
    EXPECT_FALSE(Playing("se2"));

    unit_.reset();
    Record() = saved;
    Start(false);
    unit_->LoadResume();
    EXPECT_EQ(Wait(), WaitState::Click) << "saved in a click wait";
    EXPECT_TRUE(Playing("bgm3")) << "the track plays again";
    EXPECT_TRUE(Playing("se2")) << "and so does the ambient sound";
    EXPECT_EQ(device_.Made("se1"), 1) << "a sound effect is not restored";
}

} // namespace

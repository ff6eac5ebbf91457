#include "game/SplashPicture.h"
#include "platform/host/VirtualKeys.h"
#include "shell/GameGlobals.h"
#include "shell/thread/TMainThread.h"
#include "tests/game/GameWindowFixture.h"

#include <gtest/gtest.h>

namespace {

using host::WindowEvent;

// The window with the form's base thread; snapshots on.
class GameWindowTest : public GameTest::GameWindowFixture {
protected:
    GameWindowTest() { CapEnable = 1; }
    ~GameWindowTest() override { CapEnable = 0; }
};

TEST_F(GameWindowTest, TheFirstIdleShowsTheFormAndClosingAsksThenEndsTheLoop)
{
    Open();
    EXPECT_EQ(window->Form(), nullptr);
    ASSERT_TRUE(host.Step());
    ASSERT_NE(window->Form(), nullptr);
    EXPECT_EQ(GameForm, window->Form());
    EXPECT_TRUE(window->Form()->Running());

    answer = idCancel;
    Queue(WindowEvent::Kind::CloseRequest);
    ASSERT_TRUE(host.Step());
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(window->Form()->Running()) << "Cancel keeps the game running";

    answer = idOK;
    Queue(WindowEvent::Kind::CloseRequest);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(MainThread.load(), nullptr);
    EXPECT_EQ(window->Form()->GetState(), fsClosing);
    window.reset();
    EXPECT_EQ(GameForm, nullptr);
}

TEST_F(GameWindowTest, HotKeysAreTakenBeforeTheInputQueue)
{
    Open();
    ASSERT_TRUE(host.Step());
    Queue(WindowEvent::Kind::KeyDown, VK_SNAPSHOT);
    Queue(WindowEvent::Kind::KeyDown, VK_RETURN, ssAlt);
    ASSERT_TRUE(host.Step());
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Snap000.png"));
    EXPECT_EQ(WindowMode, 0);
    EXPECT_EQ(window->Form()->QueuedInput(), 0u);

    Queue(WindowEvent::Kind::CloseRequest); // full screen: no question
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(questions.empty());
}

TEST_F(GameWindowTest, AFormThatCannotBeMadeEndsTheLoop)
{
    video.settings.startFails = true;
    Open();
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(MainThread.load(), nullptr);
}

TEST_F(GameWindowTest, TheStartUpPictureStaysUpWhileTheFormIsMadeAndGoesOnceItIsShown)
{
    host.ShowSplash({SplashPicture::kWidth, SplashPicture::kHeight}, SplashPicture::Make());
    // The form starts its logic thread as it is shown, after its devices were set up.
    bool upWhenShown = false;
    Open([&](TGameForm& form) {
        upWhenShown = host.SplashShown();
        return std::make_unique<TMainThread>(form);
    });
    EXPECT_EQ(window->Form(), nullptr);
    ASSERT_TRUE(host.Step());
    ASSERT_NE(window->Form(), nullptr);
    EXPECT_TRUE(upWhenShown);
    EXPECT_FALSE(host.SplashShown());

    Queue(WindowEvent::Kind::CloseRequest);
    ASSERT_TRUE(RunToEnd());
}

TEST_F(GameWindowTest, WithoutAFormTheStartUpPictureStaysUntilTheLoopEndsNormally)
{
    host.ShowSplash({SplashPicture::kWidth, SplashPicture::kHeight}, SplashPicture::Make());
    video.settings.startFails = true;
    bool upAtTheMessage = false;
    Application().OnMessageBox = [&](const std::string&, const std::string&, int) {
        upAtTheMessage = host.SplashShown();
        return idOK;
    };
    Open();
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(upAtTheMessage) << "the failure is reported over the start-up picture";
    EXPECT_EQ(MainThread.load(), nullptr);
}

} // namespace

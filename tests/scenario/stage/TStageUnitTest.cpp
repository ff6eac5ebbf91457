// The stage: life cycle, backgrounds and characters as they reach the panels, stage changes with
// their transitions and second scene, clicks, and the incremental redraw.
#include "StageFixture.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "scenario/stage/StageTransitions.h"

#include <random>

using namespace StageTest;

namespace {

class TStageUnitTest : public StageFixture {};

const TXeRect kScreen = XeRect(0, 0, 640, 480);

} // namespace

TEST_F(TStageUnitTest, InitializesEmptyAndFailsWithoutTheSnowPictureLeavingNothing)
{
    Start();
    EXPECT_EQ(stage_->State(), TStageUnit::stIdle);
    EXPECT_FALSE(stage_->IsChanging());
    EXPECT_EQ(stage_->WeatherLevel(), 4);
    EXPECT_EQ(stage_->CurrentPicture(), 999);
    EXPECT_EQ(stage_->CurrentSuffix(), 255);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_EQ(stage_->CurChar(slot), -1);
    ASSERT_NE(stage_->StagePanel()->Image(), nullptr);
    EXPECT_EQ(stage_->StagePanel()->Image()->Width(), 640);
    stage_->Finalize();
    EXPECT_EQ(stage_->State(), TStageUnit::stNone);
    EXPECT_TRUE(registry_.Records().empty());

    RemoveData("Snow.bmp");
    TStageUnit stage(nullptr, random_, config_, system_);
    EXPECT_FALSE(stage.Initialize(&data_));
    EXPECT_TRUE(registry_.Records().empty());
}

TEST_F(TStageUnitTest, BuildsBackgroundsWithToneSeenBitsAndWeather)
{
    PlainBackground(5, 0x806040);
    PlainBackground(650, 0x102030);
    PlainBackground(7, 0x808080, 255);
    Start();
    struct Case {
        int request, mode;
        std::uint32_t colour; // at (10, 10) of the stage picture
        int weather;
    };
    const Case cases[] = {
        {5, 0, 0x806040, 0},
        {5, 4, Toned(0x806040, 1), 3},
        {5, 5, Toned(0x806040, 2), 4},
        {998, 0, 0xFFFFFF, 0},
        {999, 3, 0x000000, 0},
        {997123, 3, 0x000000, 0},
        {650, 0, 0x102030, 0},
        {1005, 2, 0x806040, 0}, // group 1 without an alpha plane: no streaks
        {1007, 2, 0x808080, 5}, // ... with one: streaks through it
        {2005, 2, 0x806040, 6},
        {5, 3, 0x806040, 2},
        {1005, 3, 0x806040, 0},
        {77, 0, 0x000000, 0}, // nothing found
    };
    for (const Case& c : cases) {
        Show(c.request, -1, -1, -1, c.mode);
        EXPECT_EQ(stage_->State(), TStageUnit::stIdle);
        EXPECT_EQ(stage_->Background(0).WeatherKind, c.weather) << c.request << " mode " << c.mode;
        EXPECT_EQ(stage_->WeatherPanel(false, false)->Visible(), c.weather == 2 || c.weather >= 5) << c.request;
        EXPECT_EQ(stage_->WeatherPanel(true, false)->Visible(), c.weather == 2 || c.weather == 3) << c.request;
        // Weather drawn over (10, 10) would change the colour: look where no particle is.
        if (c.weather == 0 || c.weather == 4)
            EXPECT_EQ(stage_->StagePanel()->Image()->PGet(10, 10), c.colour) << c.request << " mode " << c.mode;
        else
            EXPECT_EQ(stage_->Background(0).Picture->PGet(10, 10), c.colour) << c.request << " mode " << c.mode;
    }
    EXPECT_TRUE(system_.GetSystemBit(150)) << "picture 650 was seen";
    EXPECT_FALSE(system_.GetSystemBit(149));
}

TEST_F(TStageUnitTest, UnchangedBackgroundOnlyTakesTheWeatherLevel)
{
    PlainBackground(5, 0x806040);
    Start();
    Show(5, -1, -1, -1, 3);
    TXeRGBBits* picture = stage_->Background(0).Picture;
    const auto particles = stage_->Background(0).X;
    stage_->SetWeatherLevel(1);
    Show(5, -1, -1, -1, 3);
    EXPECT_EQ(stage_->Background(0).Picture, picture);
    EXPECT_EQ(stage_->Background(0).X, particles) << "the snow keeps falling where it was";
    EXPECT_EQ(stage_->Background(0).WeatherLevel, 1);
    for (int ignored : {5, -1, 100}) {
        stage_->SetWeatherLevel(ignored);
        EXPECT_EQ(stage_->WeatherLevel(), 1) << ignored;
    }
}

TEST_F(TStageUnitTest, LoadsCharactersWithTheirDefinitionsPlaceholdersAndGaps)
{
    PlainBackground(5, 0x000000);
    PlainCharacter(1, 100, 300, 0x00FF00);
    PlainCharacter(2, 80, 200, 0x0000FF);
    WriteCharacter("chr002.ini", Text("[BASE]\nWIDTH=60\nHEIGHT=50\n[IMG]\nID=0\nWIDTH=20\nHEIGHT=10\n"
                                      "[ENTRY]\nID=0\nPOSX=5\nIMG_ID=0\n"));
    PlainCharacter(3, 40, 40, 0xFF0000);
    WriteCharacter("chr003.ini", Text("[IMG]\nID=0\nWIDTH=40\nHEIGHT=40\n[ENTRY]\nID=0\nIMG_ID=0\n"));
    Start();
    Show(5, 1, 2, 3);
    TXeRGBPanel* left = stage_->CharPanel(0, 0);
    EXPECT_EQ(stage_->CurChar(0), 1);
    EXPECT_EQ(left->SizeX(), 100);
    EXPECT_EQ(left->SizeY(), 300);
    EXPECT_EQ(left->OffsetX(), 160 - 50);
    EXPECT_EQ(left->OffsetY(), 90);
    EXPECT_TRUE(left->Visible());
    TXeRGBPanel* center = stage_->CharPanel(0, 1);
    EXPECT_EQ(center->SizeX(), 60) << "the definition's base size";
    EXPECT_EQ(center->OffsetX(), 320 - 30);
    EXPECT_EQ(center->OffsetY(), 215);
    TXeRGBBits* picture = stage_->StagePanel()->Image();
    EXPECT_EQ(picture->PGet(160, 240), 0x00FF00u);
    EXPECT_EQ(picture->PGet(290 + 5, 215), 0x0000FFu) << "the entry at x 5";
    EXPECT_EQ(picture->PGet(290 + 4, 215), 0u);
    EXPECT_EQ(picture->PGet(290 + 25, 215), 0u) << "image 0 is 20 wide";
    EXPECT_EQ(stage_->CurChar(2), 3) << "a definition without [BASE] still occupies the slot";
    EXPECT_EQ(stage_->CharPanel(0, 2)->SizeX(), 0);
    EXPECT_EQ(picture->PGet(480, 240), 0u);

    Show(5, 999, 4, -1);
    EXPECT_EQ(stage_->CurChar(0), 999) << "the placeholder occupies the slot";
    EXPECT_EQ(left->SizeX(), 16);
    EXPECT_TRUE(left->Visible());
    EXPECT_EQ(picture->PGet(160, 240), 0u) << "and shows nothing";
    EXPECT_EQ(stage_->CurChar(1), -1) << "a missing sheet leaves the slot empty";
    EXPECT_FALSE(center->Visible());
    EXPECT_FALSE(stage_->CharPanel(0, 2)->Visible());
}

TEST_F(TStageUnitTest, EveryChangeCodeStartsItsTransitionWithItsOwnData)
{
    PlainBackground(5, 0x203040);
    PlainBackground(6, 0x405060);
    for (const char* name : {"HaloBack.bmp", "HaloBlueB.bmp", "HaloYellowB.bmp", "HaloYellowS.bmp", "HaloBlueS.bmp",
                             "HaloGreen.bmp"})
        WriteData(name, Bmp24(32, 32, [](int, int) { return 0x101010u; }));
    Start();
    for (int code = -1; code <= 29; ++code) {
        const TStageTransition t = StageTransitionOf(code);
        // Only the change code's own mask is there.
        for (int other = 1; other <= 28; ++other)
            if (StageTransitionOf(other).maskFile != nullptr)
                RemoveData(StageTransitionOf(other).maskFile);
        if (t.maskFile != nullptr)
            WriteData(t.maskFile, Bmp8(640, 480, [](int x, int) { return static_cast<std::uint8_t>(x * 255 / 639); }));
        Show(code % 2 == 0 ? 5 : 6);
        stage_->SetBackground(code % 2 == 0 ? 6 : 5);
        const bool changing = stage_->ChangeStage(code, 100);
        EXPECT_EQ(stage_->TransitionKind(), t.kind) << code;
        EXPECT_EQ(changing, t.kind != kNoTransition) << code;
        EXPECT_EQ(stage_->Transition().Kind(), t.kind == kNoTransition ? -1 : t.kind) << code;
        stage_->Update(1, true);
        EXPECT_FALSE(stage_->IsChanging()) << code << ": skip ends the transition at the next update";
        EXPECT_EQ(stage_->StagePanel()->Image()->PGet(100, 100), code % 2 == 0 ? 0x405060u : 0x203040u) << code;
        if (t.maskFile != nullptr) {
            RemoveData(t.maskFile);
            Show(5);
            stage_->SetBackground(6);
            EXPECT_FALSE(stage_->ChangeStage(code, 100)) << code << ": without its mask the new scene shows at once";
            EXPECT_EQ(stage_->StagePanel()->Image()->PGet(100, 100), 0x405060u) << code;
        }
    }
}

TEST_F(TStageUnitTest, TwoSceneChangeKeepsTheLeavingSceneUntilTheTransitionEnds)
{
    PlainBackground(5, 0x203040);
    PlainBackground(6, 0x405060);
    PlainCharacter(1, 100, 300, 0x00FF00);
    PlainCharacter(2, 100, 300, 0xFF0000);
    Start();
    Show(5, 1);
    stage_->SetBackground(6);
    stage_->SetCharacters(2, -1, -1, 0);
    EXPECT_TRUE(stage_->ChangeStage(1, 100));
    EXPECT_EQ(stage_->State(), TStageUnit::stTransition);
    EXPECT_EQ(stage_->Scene2BG(), 1);
    EXPECT_TRUE(stage_->Background(1).Loaded);
    EXPECT_EQ(stage_->Scene2Char(0), 1);
    auto leaving = RenderScene(stage_->BGPanel2());
    EXPECT_EQ(leaving->PGet(10, 10), 0x203040u);
    EXPECT_EQ(leaving->PGet(160, 240), 0x00FF00u) << "the leaving character";
    auto arriving = RenderScene(stage_->BGPanel());
    EXPECT_EQ(arriving->PGet(10, 10), 0x405060u);
    EXPECT_EQ(arriving->PGet(160, 240), 0xFF0000u);
    stage_->Update(1, false);
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(10, 10), 0x203040u) << "the first frame shows the leaving scene";
    stage_->Update(1, false);
    const std::uint32_t between = stage_->StagePanel()->Image()->PGet(10, 10);
    EXPECT_NE(between, 0x203040u);
    EXPECT_NE(between, 0x405060u);
    EXPECT_EQ(2 + RunToIdle(), 33) << "kind 0 ends on its 32nd frame, the stage at the next update";
    EXPECT_FALSE(stage_->Background(1).Loaded);
    EXPECT_FALSE(stage_->Character(1, 0).Loaded);
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(10, 10), 0x405060u);

    config_.SimpleDisplay = 1;
    stage_->SetBackground(5);
    EXPECT_TRUE(stage_->ChangeStage(1, 100)) << "the simple display still fades";
    EXPECT_FALSE(stage_->Background(1).Loaded) << "but without a second scene";
    EXPECT_FALSE(stage_->Character(1, 0).Loaded);
    RunToIdle();
    config_.SimpleDisplay = 0;
    stage_->SetBackground(6);
    EXPECT_FALSE(stage_->ChangeStage(0, 100));
    EXPECT_FALSE(stage_->Background(1).Loaded);
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(10, 10), 0x405060u) << "code 0 shows the new scene at once";
}

TEST_F(TStageUnitTest, ToneChangeReloadsTheCharactersInTheNewTone)
{
    PlainBackground(5, 0x203040);
    PlainCharacter(1, 100, 300, 0x00FF00);
    Start();
    Show(5, 1);
    TXeRGBBits* before = stage_->Character(0, 0).Picture;
    stage_->SetStageMode(5);
    EXPECT_TRUE(stage_->ChangeStage(1, 100));
    EXPECT_EQ(stage_->Tone(), 2);
    EXPECT_NE(stage_->Character(0, 0).Picture, before);
    EXPECT_EQ(stage_->Character(1, 0).Picture, before) << "the leaving scene keeps the old picture";
    EXPECT_EQ(stage_->Character(0, 0).Picture->PGet(50, 50), Toned(0x00FF00, 2));
    RunToIdle();
}

TEST_F(TStageUnitTest, ChangeWhileAnotherRunsEndsItFirst)
{
    PlainBackground(5, 0x203040);
    PlainBackground(6, 0x405060);
    Start();
    Show(5);
    const std::size_t idle = registry_.Records().size();
    stage_->SetBackground(6);
    stage_->ChangeStage(2, 100);
    stage_->Update(1, false);
    stage_->SetBackground(5);
    stage_->ChangeStage(1, 100);
    stage_->StartEffect(4);
    stage_->StartEffect(0);
    stage_->SetBackground(6);
    EXPECT_TRUE(stage_->ChangeStage(8, 100));
    RunToIdle();
    EXPECT_EQ(registry_.Records().size(), idle) << "no picture of an ended change is left";
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(10, 10), 0x405060u);
}

TEST_F(TStageUnitTest, ClicksReachTheOwnerByButton)
{
    Start();
    std::vector<int> codes;
    stage_->StagePanel()->MouseDown(mbLeft, {}, 10, 10);
    stage_->SetOwner([&](int code) { codes.push_back(code); });
    for (TMouseButton b : {mbLeft, mbRight, mbMiddle}) {
        stage_->StagePanel()->MouseDown(b, {}, 10, 10);
        stage_->StagePanel()->MouseUp(b, {}, 10, 10);
    }
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 3}));
}

TEST_F(TStageUnitTest, PartialRedrawOfAnyAreaEqualsTheSameCropOfAFullOne)
{
    PlainBackground(7, 0x304050, 200);
    WriteCharacter("chr001.png", Png(120, 300, [](int x, int y) { return static_cast<std::uint32_t>(x << 16 | y); },
                                     [](int x, int) { return static_cast<std::uint8_t>(x * 2); }));
    PlainCharacter(2, 90, 250, 0x00FF00);
    Start();
    std::mt19937 rng(24);
    for (int mode : {2, 3, 4}) {
        Show(mode == 2 ? 1007 : 7, 1, 2, -1, mode);
        for (int i = 0; i < 3; ++i)
            stage_->Update(1, false);
        auto full = RenderScene(stage_->BGPanel());
        for (int n = 0; n < 60; ++n) {
            const int l = static_cast<int>(rng() % 700) - 30, t = static_cast<int>(rng() % 520) - 20;
            const int w = static_cast<int>(rng() % 200), h = static_cast<int>(rng() % 200);
            auto part = Screen();
            part->BoxFill(0, 0, 639, 479, 0xABCDEF);
            stage_->BGPanel()->Draw(part.get(), 0, 0, l, t, w, h);
            TXeRect inside;
            inside.IntersectRect(XeRect(l, t, l + w, t + h), kScreen);
            ASSERT_EQ(FirstDifference(*part, *full, inside), "") << "mode " << mode << " area " << l << "," << t
                                                                 << " " << w << "x" << h;
            auto untouched = Screen();
            untouched->BoxFill(0, 0, 639, 479, 0xABCDEF);
            const TXeRect outside[] = {inside.IsRectEmpty() ? kScreen : XeRect(0, 0, 640, inside.top),
                                       XeRect(0, inside.bottom, 640, 480), XeRect(0, inside.top, inside.left, inside.bottom),
                                       XeRect(inside.right, inside.top, 640, inside.bottom)};
            for (const TXeRect& r : outside)
                ASSERT_EQ(FirstDifference(*part, *untouched, r), "") << "nothing outside the area";
        }
    }
}

TEST_F(TStageUnitTest, IncrementalRedrawKeepsTheStagePictureEqualToTheScene)
{
    PlainBackground(7, 0x304050, 200);
    WriteCharacter("chr001.png", Png(120, 300, [](int x, int y) { return static_cast<std::uint32_t>(x << 16 | y); },
                                     [](int x, int) { return static_cast<std::uint8_t>(x * 2); }));
    // Body image 0, a mouth (image 1) that talks between its two halves.
    WriteCharacter("chr001.ini", Text("[BASE]\nWIDTH=120\nHEIGHT=300\n[IMG]\nID=0\nWIDTH=120\nHEIGHT=300\n"
                                      "[IMG]\nID=1\nPOSX=10\nPOSY=10\nWIDTH=30\nHEIGHT=20\n[IMG]\nID=2\nPOSX=60\n"
                                      "POSY=60\nWIDTH=30\nHEIGHT=25\n[ANIM]\nID=1\nANIMATION=<1,2><2,2><LOOP>\n"
                                      "[ENTRY]\nID=0\nIMG_ID=0\n[ENTRY]\nID=2\nPOSX=40\nPOSY=100\nANIM_ID=1\n"));
    Start();
    for (int mode : {2, 3, 4}) {
        Show(mode == 2 ? 1007 : 7, 1, -1, 1, mode);
        stage_->SetTalking(0, true);
        for (int i = 0; i < 12; ++i) {
            stage_->Update(1, false);
            auto scene = RenderScene(stage_->BGPanel());
            ASSERT_EQ(FirstDifference(*stage_->StagePanel()->Image(), *scene, kScreen), "") << "mode " << mode << " update " << i;
        }
    }
}

TEST_F(TStageUnitTest, ZoomKindsKeepTheirTrailsInTheFromPicture)
{
    PlainBackground(5, 0x203040);
    WriteBackground("bg006.png", Png(640, 480, [](int x, int y) { return static_cast<std::uint32_t>(x * 0x010203 ^ y); }));
    Start();
    for (const int code : {12, 13}) {
        Show(5);
        // The same transition run by hand on pictures of the two scenes: the stage must draw what it
        // draws, so the stage does not put the leaving scene back into the picture the zoom works on.
        auto from = RenderScene(stage_->BGPanel());
        auto dest = RenderScene(stage_->BGPanel());
        stage_->SetBackground(6);
        ASSERT_TRUE(stage_->ChangeStage(code, 100));
        auto to = RenderScene(stage_->BGPanel());
        TScreenTransition reference;
        ASSERT_TRUE(reference.Start(StageTransitionOf(code).kind, from.get(), to.get(), 100));
        for (int frame = 0; stage_->IsChanging(); ++frame) {
            stage_->Update(1, false);
            if (!stage_->IsChanging())
                break;
            reference.Advance(1);
            reference.Draw(dest.get(), nullptr);
            ASSERT_EQ(FirstDifference(*stage_->StagePanel()->Image(), *dest, kScreen), "") << code << " frame " << frame;
        }
    }
}

TEST_F(TStageUnitTest, UnchangedBackgroundIsSharedWithTheLeavingSceneAndKeptAfterward)
{
    PlainBackground(5, 0x203040);
    PlainCharacter(1, 100, 300, 0x00FF00);
    Start();
    stage_->SetTimeBand(3);
    Show(5, -1, -1, -1, 3);
    EXPECT_EQ(stage_->TimeBand(), 3);
    EXPECT_EQ(stage_->StageMode(), 3);
    EXPECT_EQ(stage_->LastBackground(), 5);
    const std::size_t idle = registry_.Records().size();
    stage_->SetStageMode(0);
    stage_->SetCharacters(1, -1, -1, 0);
    EXPECT_TRUE(stage_->ChangeStage(1, 100)) << "the snow stops, the picture stays";
    EXPECT_TRUE(stage_->BGShared());
    EXPECT_EQ(stage_->Background(1).Picture, stage_->Background(0).Picture);
    EXPECT_EQ(stage_->Background(1).WeatherKind, 2) << "the leaving scene keeps its snow";
    EXPECT_EQ(stage_->Background(0).WeatherKind, 0);
    RunToIdle();
    EXPECT_FALSE(stage_->BGShared());
    ASSERT_NE(stage_->Background(0).Picture, nullptr);
    EXPECT_EQ(stage_->Background(0).Picture->PGet(10, 10), 0x203040u) << "ending the change frees nothing shared";
    EXPECT_EQ(registry_.Records().size(), idle + 2) << "only the character's sheet and plane were added";
}

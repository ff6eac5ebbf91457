// Tests of the movie player on movies FFmpeg's encoders make, with its sound on the sound device
// over the manual audio clock and a recording host: refusals, pictures at the clock's times, the
// end and its result, skipping, picture-less and cut movies, display loss and restore, the sound
// device stopping mid-movie, the music volume and the movie-draw hook.
#include "scenario/movie/TMovieUnit.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/WinControl.h"
#include "platform/fs/FileSystem.h"
#include "scenario/movie/MovieHost.h"
#include "sound/TDSound.h"
#include "support/Eventually.h"
#include "support/ScopedState.h"
#include "support/TestMovies.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

namespace {

using TestSupport::Eventually;
using TestSupport::kMovieFrameMs;

constexpr std::uint64_t kRate = 44100;
constexpr std::int64_t kMovieMs = TestSupport::kMovieFrames * kMovieFrameMs;

// A host that records what the movie player asks of the form.
class RecordingHost : public MovieHost {
public:
    TXeRGBBits* CreateMovieSurface() override
    {
        if (refuseSurface)
            return nullptr;
        auto bits = std::make_unique<TXeRGBBits>(nullptr);
        bits->SetBitDepth(depth);
        bits->Resize(640, 480);
        bits->Create();
        surfaces.push_back(std::move(bits));
        ++surfacesMade;
        return surfaces.back().get();
    }
    void DeleteMovieSurface(TXeRGBBits* surface) override
    {
        std::erase_if(surfaces, [&](const auto& s) { return s.get() == surface; });
    }
    DirectX::TDSound* SoundDevice() override { return sound; }
    int BgmVolume() override { return volume; }
    void PlayMute() override { ++mutes; }
    bool TryLockFrame() override { return !drawerBusy; }
    void UnlockFrame() override {}
    void SetOnMovieDraw(MovieDraw hook) override { movieDraw = std::move(hook); }
    void DrawMovie() override
    {
        ++movieDraws;
        if (movieDraw)
            movieDraw(&back);
    }
    void SetThreadResult(int value) override { results.push_back(value); }
    void SetDisplayListener(DisplayListener l) override { listener = std::move(l); }
    std::uint32_t TickCount() override { return tick; }

    TBitDepth depth = bd32;
    bool refuseSurface = false;
    DirectX::TDSound* sound = nullptr;
    int volume = 100;
    int mutes = 0;
    bool drawerBusy = false;
    MovieDraw movieDraw;
    int movieDraws = 0;
    TXeRGBBits back{nullptr};
    std::vector<int> results;
    DisplayListener listener;
    std::uint32_t tick = 5000;
    std::vector<std::unique_ptr<TXeRGBBits>> surfaces;
    int surfacesMade = 0;
};

class TMovieUnitTest : public ::testing::Test {
protected:
    TMovieUnitTest()
    {
        sound_ = new DirectX::TDSound(&form_); // owned by form_
        sound_->SetEnabled(true);
        host_.sound = sound_;
        host_.back.SetBitDepth(bd24);
        host_.back.Resize(640, 480);
        host_.back.Create();
        std::filesystem::create_directories(folder_.Path() / "Movie");
        FileSystem::SetCurrentFolder(FileSystem::FromNative(folder_.Path()));
    }
    ~TMovieUnitTest() override
    {
        unit_.reset();
        sound_->SetEnabled(false);
        FileSystem::SetCurrentFolder(savedFolder_);
    }

    // Copies a made movie into the movie folder as `name`; false when ffmpeg is missing.
    bool Provide(const std::optional<std::filesystem::path>& made, const std::string& name = "TV01.mpg")
    {
        if (!made)
            return false;
        std::filesystem::copy_file(*made, folder_.Path() / "Movie" / name,
                                   std::filesystem::copy_options::overwrite_existing);
        return true;
    }

    TMovieUnit& Unit(bool surfaceMode = true, int resultCode = -1)
    {
        unit_.reset(); // first, so that its Finalize does not clear the new one's hooks
        unit_ = std::make_unique<TMovieUnit>(nullptr);
        EXPECT_TRUE(unit_->Initialize(host_, nullptr, surfaceMode, resultCode));
        return *unit_;
    }

    // Moves the audio clock on by `ms` and runs a frame step.
    void Step(TMovieUnit& unit, std::int64_t ms)
    {
        back_->Advance(static_cast<std::uint64_t>(ms) * kRate / 1000);
        host_.tick += static_cast<std::uint32_t>(ms);
        unit.Update();
    }

    // The colour at the centre of what the movie shows.
    std::uint32_t Shown(TMovieUnit& unit)
    {
        TXeRGBBits* bits = unit.MovieSurface() != nullptr ? unit.MovieSurface() : &host_.back;
        const TXeRGB colour = bits->PixeltoTXeRGB(bits->PGet(320, 240));
        return std::uint32_t{colour.Red} << 16 | std::uint32_t{colour.Green} << 8 | colour.Blue;
    }

    // Runs frame steps at the same clock until the picture due is shown (the worker may lag).
    bool ShowsColourAt(TMovieUnit& unit, std::int64_t clock)
    {
        return Eventually([&] {
            unit.Update();
            return TestSupport::ShowsMovieColourAt(Shown(unit), clock);
        });
    }

    // Steps the clock on by `ms` (or until the movie stops), then runs frame steps until the
    // worker has caught up and the movie has stopped; false when it still runs.
    bool RunToEnd(TMovieUnit& unit, std::int64_t ms = 3000)
    {
        for (std::int64_t t = 0; t < ms && unit.Running(); t += 10)
            Step(unit, 10);
        return Eventually([&] {
            unit.Update();
            return !unit.Running();
        });
    }

    std::shared_ptr<audio::ManualAudio> back_ = std::make_shared<audio::ManualAudio>();
    TestSupport::ScopedAudioBackEnd audio_{back_};
    TWinControl form_{nullptr};
    DirectX::TDSound* sound_ = nullptr;
    RecordingHost host_;
    TestSupport::TempFolder folder_;
    AnsiString savedFolder_ = FileSystem::CurrentFolder();
    std::unique_ptr<TMovieUnit> unit_;
};

TEST_F(TMovieUnitTest, MissingAndDamagedFilesAreRefusedWithThePlayerClosed)
{
    std::ofstream(folder_.Path() / "Movie" / "junk.mpg", std::ios::binary) << std::string(5000, '\x47');
    TMovieUnit& unit = Unit();
    for (const char* name : {"missing.mpg", "junk.mpg", ""}) {
        EXPECT_FALSE(unit.Play(name)) << name;
        EXPECT_FALSE(unit.IsOpen());
        unit.Start();
        EXPECT_FALSE(unit.Running());
    }
    EXPECT_EQ(sound_->BufferList().size(), 1u) << "no stream is left behind";
    EXPECT_TRUE(host_.results.empty());
}

TEST_F(TMovieUnitTest, PicturesFollowTheSoundHeardAndTheEndHandsOverTheResult)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(true, 3);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    EXPECT_EQ(unit.MoviePanel()->Image(), unit.MovieSurface());
    unit.Start();
    ASSERT_TRUE(unit.Running());
    EXPECT_TRUE(TestSupport::ShowsMovieColourAt(Shown(unit), 0)) << "Start shows the first picture";
    std::int64_t heard = 0;
    for (int step = 0; step < 50; ++step) {
        Step(unit, 20);
        heard += 20;
        // The clock is the sound heard (the output's latency behind what was mixed) ...
        const std::int64_t clock = unit.ClockMs();
        EXPECT_LE(clock, heard);
        EXPECT_GE(clock, heard - kMovieFrameMs);
        // ... and the picture shown is the one due at it.
        ASSERT_TRUE(ShowsColourAt(unit, clock)) << "at " << clock << " shows " << std::hex << Shown(unit);
        ASSERT_TRUE(unit.Running()) << clock;
    }
    EXPECT_TRUE(host_.results.empty());
    ASSERT_TRUE(RunToEnd(unit));
    EXPECT_GE(unit.ClockMs(), kMovieMs);
    EXPECT_EQ(host_.results, std::vector<int>{3});
    EXPECT_TRUE(unit.IsOpen()) << "the adventure closes it";
    unit.Close();
    EXPECT_EQ(host_.mutes, 1);
    EXPECT_EQ(sound_->BufferList().size(), 1u);
}

TEST_F(TMovieUnitTest, TheEndHandsOverOnlyResultsOfZeroOrMore)
{
    if (!Provide(TestSupport::ColourMovie(false)))
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const int code : {-1, 0, 12}) {
        host_.results.clear();
        TMovieUnit& unit = Unit(true, code);
        ASSERT_TRUE(unit.Play("TV01.mpg"));
        unit.Start();
        // Without sound the movie runs on the host's millisecond clock.
        // The last picture is shown from kMovieMs - kMovieFrameMs to kMovieMs.
        for (std::int64_t t = 0; t < kMovieMs - kMovieFrameMs; t += 10) {
            host_.tick += 10;
            EXPECT_TRUE(ShowsColourAt(unit, unit.ClockMs()));
        }
        EXPECT_TRUE(unit.Running());
        host_.tick += kMovieFrameMs;
        EXPECT_TRUE(Eventually([&] {
            unit.Update();
            return !unit.Running();
        }));
        EXPECT_EQ(host_.results, code < 0 ? std::vector<int>{} : std::vector<int>{code});
    }
}

TEST_F(TMovieUnitTest, AClickSkipsAndASecondClickDoesNothing)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TXeRGBPanel root(nullptr);
    root.SetSizeX(640);
    root.SetSizeY(480);
    root.SetCreated(true);
    TMovieUnit& unit = Unit(true, 0);
    unit.MoviePanel()->SetParent(&root);
    root.AllCreate();
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    Step(unit, 100);
    root.MouseDown(mbLeft, {}, 100, 100);
    EXPECT_FALSE(unit.Running());
    EXPECT_EQ(host_.results, std::vector<int>{0});
    root.MouseDown(mbRight, {}, 100, 100);
    EXPECT_EQ(host_.results, std::vector<int>{0});
    unit.MoviePanel()->SetParent(nullptr);
}

TEST_F(TMovieUnitTest, AMovieWithoutPicturesFinishesInsideStart)
{
    if (!Provide(TestSupport::SoundOnlyMovie()))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(true, 5);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    EXPECT_FALSE(unit.Running());
    EXPECT_EQ(host_.results, std::vector<int>{5});
}

TEST_F(TMovieUnitTest, ACutMovieEndsWhereItsDataEnds)
{
    if (!Provide(TestSupport::TruncatedMovie(20000)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(true, 1);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    EXPECT_TRUE(RunToEnd(unit));
    EXPECT_EQ(host_.results, std::vector<int>{1});
}

TEST_F(TMovieUnitTest, StartAtATimeAndANegativeTimeStartsAtZero)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const std::int64_t at : {-1, 0, 450, 900}) {
        TMovieUnit& unit = Unit();
        ASSERT_TRUE(unit.Play("TV01.mpg"));
        unit.StartAt(at);
        const std::int64_t from = std::max<std::int64_t>(at, 0);
        EXPECT_EQ(unit.ClockMs(), from);
        EXPECT_TRUE(TestSupport::ShowsMovieColourAt(Shown(unit), from)) << at;
        Step(unit, 100);
        EXPECT_NEAR(unit.ClockMs(), from + 100, kMovieFrameMs);
    }
}

TEST_F(TMovieUnitTest, LosingTheDisplayResumesNearTheSavedTime)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(true, 2);
    ASSERT_TRUE(host_.listener);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    for (int i = 0; i < 25; ++i)
        Step(unit, 20);
    const std::int64_t before = unit.ClockMs();
    host_.listener(false);
    EXPECT_TRUE(unit.Interrupted());
    EXPECT_FALSE(unit.IsOpen());
    EXPECT_EQ(unit.MovieSurface(), nullptr);
    EXPECT_TRUE(host_.surfaces.empty());
    EXPECT_EQ(unit.SavedTime(), before);
    EXPECT_TRUE(unit.Running()) << "the adventure keeps waiting";
    host_.listener(true);
    EXPECT_FALSE(unit.Interrupted());
    ASSERT_TRUE(unit.IsOpen());
    EXPECT_TRUE(unit.Running());
    ASSERT_NE(unit.MovieSurface(), nullptr);
    EXPECT_EQ(unit.MoviePanel()->Image(), unit.MovieSurface());
    EXPECT_EQ(unit.ClockMs(), before);
    EXPECT_TRUE(ShowsColourAt(unit, before));
    EXPECT_TRUE(RunToEnd(unit));
    EXPECT_EQ(host_.results, std::vector<int>{2});
}

TEST_F(TMovieUnitTest, AFailedReopenFinishesTheMovie)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(true, 4);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    Step(unit, 200);
    host_.listener(false);
    std::filesystem::remove(folder_.Path() / "Movie" / "TV01.mpg");
    host_.listener(true);
    EXPECT_FALSE(unit.Running());
    EXPECT_FALSE(unit.IsOpen());
    EXPECT_EQ(host_.results, std::vector<int>{4});
}

TEST_F(TMovieUnitTest, FinishAfterCloseTouchesNothingReleased)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(true, 0);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    unit.Close();
    unit.Finish();
    unit.Update();
    EXPECT_FALSE(unit.Running());
    EXPECT_EQ(host_.results, std::vector<int>{0});
}

TEST_F(TMovieUnitTest, LongNamesAreNotCut)
{
    std::string name;
    for (int i = 0; i < 6; ++i)
        name += std::string(60, static_cast<char>('a' + i)) + "\\";
    name += "movie.mpg";
    ASSERT_GT(name.size(), 260u);
    std::string native = name;
    std::replace(native.begin(), native.end(), '\\', '/');
    std::filesystem::create_directories((folder_.Path() / "Movie" / native).parent_path());
    if (!Provide(TestSupport::ColourMovie(false), native))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit();
    EXPECT_TRUE(unit.Play(name.c_str()));
}

TEST_F(TMovieUnitTest, TheSoundPlaysAtTheMusicVolume)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const int volume : {0, 100}) {
        host_.volume = volume;
        TMovieUnit& unit = Unit();
        ASSERT_TRUE(unit.Play("TV01.mpg"));
        unit.Start();
        back_->TakeOutput();
        Step(unit, 500);
        const std::vector<std::uint8_t> out = back_->TakeOutput();
        int loudest = 0;
        for (std::size_t i = 0; i + 1 < out.size(); i += 2)
            loudest = std::max(loudest, std::abs(static_cast<int>(static_cast<std::int16_t>(out[i] | out[i + 1] << 8))));
        if (volume == 0)
            EXPECT_EQ(loudest, 0);
        else
            EXPECT_GT(loudest, 2000) << "the tone is an eighth of full scale";
    }
}

TEST_F(TMovieUnitTest, SoundStoppedByTheDeviceIsDroppedAndTheClockGoesOn)
{
    if (!Provide(TestSupport::LongMovie()))
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const bool switchedOff : {true, false}) {
        SCOPED_TRACE(switchedOff ? "device switched off" : "buffers lost");
        sound_->SetEnabled(true);
        host_.results.clear();
        TMovieUnit& unit = Unit(true, 6);
        ASSERT_TRUE(unit.Play("TV01.mpg"));
        unit.Start();
        for (int i = 0; i < 50; ++i)
            Step(unit, 20);
        const std::int64_t heard = unit.ClockMs();
        ASSERT_GT(heard, 0);
        if (switchedOff)
            sound_->SetEnabled(false);
        else
            sound_->DirectSound()->LoseBuffers();
        // The movie goes on from the time last heard on the host's clock, keeping no sound.
        std::int64_t elapsed = 0;
        while (unit.Running() && elapsed < TestSupport::kLongMovieSeconds * 1000) {
            Step(unit, 20);
            elapsed += 20;
            ASSERT_EQ(unit.QueuedSoundBytes(), 0u) << elapsed;
            ASSERT_NEAR(unit.ClockMs(), heard + elapsed, kMovieFrameMs) << elapsed;
        }
        EXPECT_EQ(sound_->BufferList().size(), switchedOff ? 0u : 1u) << "the movie's stream is gone";
        ASSERT_TRUE(RunToEnd(unit));
        EXPECT_EQ(host_.results, std::vector<int>{6});
    }
}

TEST_F(TMovieUnitTest, WithoutSurfaceModeTheHookDrawsTheBackSurface)
{
    if (!Provide(TestSupport::ColourMovie(true)))
        GTEST_SKIP() << "ffmpeg is not installed";
    TMovieUnit& unit = Unit(false);
    EXPECT_EQ(unit.MovieSurface(), nullptr);
    ASSERT_TRUE(host_.movieDraw);
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.Start();
    EXPECT_EQ(host_.movieDraws, 1);
    Step(unit, 500);
    EXPECT_TRUE(ShowsColourAt(unit, unit.ClockMs()));
    unit_.reset();
    EXPECT_FALSE(host_.movieDraw) << "Finalize removes the hook";
    EXPECT_FALSE(host_.listener);
}

TEST_F(TMovieUnitTest, A24BitDisplayGetsA24BitMovieSurface)
{
    if (!Provide(TestSupport::ColourMovie(false)))
        GTEST_SKIP() << "ffmpeg is not installed";
    host_.depth = bd24;
    TMovieUnit& unit = Unit();
    ASSERT_TRUE(unit.Play("TV01.mpg"));
    unit.StartAt(500);
    EXPECT_TRUE(TestSupport::ShowsMovieColourAt(Shown(unit), 500));
}

} // namespace

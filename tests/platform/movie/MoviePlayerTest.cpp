// Tests of the movie-decoding service on movies FFmpeg's encoders make: refusals, pictures scaled
// to 640 x 480 in both layouts at their times, the sound, a start inside the movie, cut and
// picture-less files, a movie whose sound nobody reads, and sound dropped while the movie plays.
#include "platform/movie/MoviePlayer.h"

#include "support/Eventually.h"
#include "support/TestMovies.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using movie::Frame;
using movie::MoviePlayer;
using movie::OutputSpec;
using movie::PixelLayout;
using TestSupport::Eventually;

constexpr auto kWait = std::chrono::seconds(10);

std::unique_ptr<MoviePlayer> OpenOrFail(const std::filesystem::path& path, PixelLayout layout = PixelLayout::Bgrx32)
{
    OutputSpec spec;
    spec.layout = layout;
    std::string error;
    auto player = MoviePlayer::Open(path.string(), spec, error);
    EXPECT_NE(player, nullptr) << error;
    return player;
}

// The colour (0xRRGGBB) at (x, y) of a picture.
std::uint32_t ColourOf(const Frame& frame, PixelLayout layout, int x, int y)
{
    const std::uint8_t* p = frame.pixels.data() + y * frame.pitch + x * movie::BytesPerPixel(layout);
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

// The picture due at `clock`, waiting while the worker decodes it; null when none comes.
const Frame* TakeDue(MoviePlayer& player, std::int64_t clock)
{
    const Frame* frame = nullptr;
    Eventually([&] { return (frame = player.TakeFrame(clock)) != nullptr || player.VideoEnded(); });
    return frame;
}

// Reads the whole sound; the byte count.
std::size_t ReadAllSound(MoviePlayer& player, std::vector<std::uint8_t>* keep = nullptr)
{
    std::vector<std::uint8_t> chunk(44100);
    std::size_t total = 0;
    while (std::size_t n = player.ReadAudio(chunk.data(), chunk.size(), kWait)) {
        total += n;
        if (keep != nullptr)
            keep->insert(keep->end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return total;
}

std::int64_t BytesToMs(std::size_t bytes) { return movie::PcmBytesToMs(bytes, OutputSpec{}.pcm); }

TEST(MoviePlayer, RefusesWhatIsNoMovie)
{
    TestSupport::TempFolder folder;
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(folder.Path() / name, std::ios::binary) << bytes;
        return folder.Path() / name;
    };
    const std::filesystem::path cases[] = {
        folder.Path() / "missing.mpg",
        write("empty.mpg", ""),
        write("text.mpg", std::string(4000, 'x')),
        write("header-only.mpg", std::string("\x00\x00\x01\xBA", 4)),
        // A list that names another file, which FFmpeg would play: a movie is only the file itself.
        write("concat.mpg", "ffconcat version 1.0\nfile colours.mpg\n"),
    };
    if (const auto movie = TestSupport::ColourMovie(true))
        std::filesystem::copy_file(*movie, folder.Path() / "colours.mpg");
    for (const auto& path : cases) {
        std::string error;
        EXPECT_EQ(MoviePlayer::Open(path.string(), OutputSpec{}, error), nullptr) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
}

TEST(MoviePlayer, EveryPictureIsScaledAndShownAtItsTime)
{
    const auto path = TestSupport::ColourMovie(true);
    if (!path)
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const PixelLayout layout : {PixelLayout::Bgr24, PixelLayout::Bgrx32}) {
        SCOPED_TRACE(static_cast<int>(layout));
        auto player = OpenOrFail(*path, layout);
        ASSERT_TRUE(player);
        EXPECT_TRUE(player->HasVideo());
        EXPECT_TRUE(player->HasAudio());
        player->DropAudio();
        player->Start(0);
        ASSERT_GE(player->WaitFirstFrame(kWait), 0);
        int shown = 0;
        for (int i = 0; i < TestSupport::kMovieFrames; ++i) {
            // The clock in the middle of picture i: that picture is due, and only it.
            const std::int64_t clock = i * TestSupport::kMovieFrameMs + TestSupport::kMovieFrameMs / 2;
            const Frame* frame = TakeDue(*player, clock);
            ASSERT_NE(frame, nullptr) << "picture " << i;
            ++shown;
            EXPECT_LE(frame->timeMs, clock);
            EXPECT_GT(frame->timeMs + frame->durationMs, clock);
            ASSERT_EQ(frame->pitch, 640 * movie::BytesPerPixel(layout));
            ASSERT_EQ(frame->pixels.size(), std::size_t(frame->pitch) * 480);
            for (const auto& [x, y] : {std::pair{0, 0}, {320, 240}, {639, 479}})
                EXPECT_TRUE(TestSupport::ColourNear(ColourOf(*frame, layout, x, y), TestSupport::MovieColourAt(clock)))
                    << "picture " << i << " at " << x << "," << y << ": " << std::hex << ColourOf(*frame, layout, x, y);
        }
        EXPECT_EQ(shown, TestSupport::kMovieFrames);
        EXPECT_TRUE(Eventually([&] { return player->VideoEnded(); }));
        // The pictures start with the sound or a little after it.
        EXPECT_NEAR(player->LastFrameEndMs(), TestSupport::kMovieFrames * TestSupport::kMovieFrameMs,
                    TestSupport::kMovieFrameMs / 2);
        EXPECT_TRUE(player->AudioEnded());
    }
}

TEST(MoviePlayer, LateClockSkipsToTheNewestDuePicture)
{
    const auto path = TestSupport::ColourMovie(false);
    if (!path)
        GTEST_SKIP() << "ffmpeg is not installed";
    auto player = OpenOrFail(*path);
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->HasAudio());
    player->Start(0);
    ASSERT_GE(player->WaitFirstFrame(kWait), 0);
    // With the queue full, a late clock takes the newest queued picture and drops the others.
    ASSERT_TRUE(Eventually([&] { return player->QueuedFrames() == MoviePlayer::kQueuedFrames; }));
    const std::int64_t late = 10 * TestSupport::kMovieFrameMs + 20;
    const Frame* frame = player->TakeFrame(late);
    ASSERT_NE(frame, nullptr);
    EXPECT_NEAR(frame->timeMs, (MoviePlayer::kQueuedFrames - 1) * TestSupport::kMovieFrameMs,
                TestSupport::kMovieFrameMs / 2);
    // Later takes reach the picture that covers the clock, and none after it.
    while (frame->timeMs + frame->durationMs <= late) {
        frame = TakeDue(*player, late);
        ASSERT_NE(frame, nullptr);
        EXPECT_LE(frame->timeMs, late);
    }
    EXPECT_TRUE(TestSupport::ShowsMovieColourAt(ColourOf(*frame, PixelLayout::Bgrx32, 320, 240), late));
    EXPECT_EQ(player->TakeFrame(late), nullptr);
}

TEST(MoviePlayer, SoundIsTheMoviesLengthInTheOutputFormat)
{
    const auto path = TestSupport::ColourMovie(true);
    if (!path)
        GTEST_SKIP() << "ffmpeg is not installed";
    auto player = OpenOrFail(*path);
    ASSERT_TRUE(player);
    player->Start(0);
    std::vector<std::uint8_t> pcm;
    const std::size_t bytes = ReadAllSound(*player, &pcm);
    EXPECT_EQ(bytes % 4, 0u);
    const std::int64_t movieMs = TestSupport::kMovieFrames * TestSupport::kMovieFrameMs;
    EXPECT_NEAR(BytesToMs(bytes), movieMs, 60);
    // The tone is heard in the middle.
    std::int16_t peak = 0;
    for (std::size_t i = pcm.size() / 2; i < pcm.size() / 2 + 4000; i += 2)
        peak = std::max<std::int16_t>(peak, static_cast<std::int16_t>(pcm[i] | pcm[i + 1] << 8));
    EXPECT_GT(peak, 1000);
    EXPECT_TRUE(player->AudioEnded());
    // Every picture was decoded although none was taken while the sound was read.
    int shown = 0;
    while (TakeDue(*player, movieMs) != nullptr)
        ++shown;
    EXPECT_GE(shown, 1);
    EXPECT_TRUE(player->VideoEnded());
}

TEST(MoviePlayer, StartInsideTheMovie)
{
    const auto path = TestSupport::ColourMovie(true);
    if (!path)
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const std::int64_t start : {0, 420, 610, 1000}) {
        SCOPED_TRACE(start);
        auto player = OpenOrFail(*path);
        ASSERT_TRUE(player);
        player->Start(start);
        // The first picture covers the start (or, at 0, comes a moment after the sound).
        const std::int64_t first = player->WaitFirstFrame(kWait);
        ASSERT_GE(first, 0);
        EXPECT_LE(first, start + TestSupport::kMovieFrameMs / 2);
        const std::int64_t clock = std::max(first, start);
        const Frame* frame = TakeDue(*player, clock);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->timeMs, first);
        EXPECT_GT(frame->timeMs + frame->durationMs, clock);
        EXPECT_TRUE(TestSupport::ColourNear(ColourOf(*frame, PixelLayout::Bgrx32, 320, 240),
                                            TestSupport::MovieColourAt(frame->timeMs)));
        const std::int64_t movieMs = TestSupport::kMovieFrames * TestSupport::kMovieFrameMs;
        EXPECT_NEAR(BytesToMs(ReadAllSound(*player)), movieMs - start, 60);
    }
}

TEST(MoviePlayer, CutAndPictureLessFilesEnd)
{
    const auto cut = TestSupport::TruncatedMovie(20000);
    const auto soundOnly = TestSupport::SoundOnlyMovie();
    if (!cut || !soundOnly)
        GTEST_SKIP() << "ffmpeg is not installed";
    auto player = OpenOrFail(*cut);
    ASSERT_TRUE(player);
    player->Start(0);
    ReadAllSound(*player);
    while (TakeDue(*player, 1 << 30) != nullptr) {
    }
    EXPECT_TRUE(player->VideoEnded());
    EXPECT_TRUE(player->AudioEnded());

    player = OpenOrFail(*soundOnly);
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->HasVideo());
    EXPECT_TRUE(player->HasAudio());
    player->Start(0);
    EXPECT_EQ(player->WaitFirstFrame(kWait), -1);
    EXPECT_TRUE(player->VideoEnded());
    EXPECT_NEAR(BytesToMs(ReadAllSound(*player)), 1000, 60);
}

TEST(MoviePlayer, SoundDroppedWhilePlayingIsFreedAndThePicturesGoOn)
{
    const auto path = TestSupport::LongMovie();
    if (!path)
        GTEST_SKIP() << "ffmpeg is not installed";
    auto player = OpenOrFail(*path);
    ASSERT_TRUE(player);
    player->Start(0);
    // Nobody reads the sound: the worker decodes it up to what it keeps ahead of the reader.
    const std::size_t kept = MoviePlayer::kQueuedSoundMs * 44100 * 4 / 1000;
    ASSERT_TRUE(Eventually([&] { return player->QueuedAudioBytes() >= kept; }));
    player->DropAudio();
    EXPECT_EQ(player->QueuedAudioBytes(), 0u);
    std::vector<std::uint8_t> chunk(4096);
    EXPECT_EQ(player->ReadAudio(chunk.data(), chunk.size(), kWait), 0u);
    // Every picture still comes, and the sound read along with them is not kept.
    const std::int64_t first = player->WaitFirstFrame(kWait);
    ASSERT_GE(first, 0);
    int shown = 0;
    for (std::int64_t clock = first; TakeDue(*player, clock) != nullptr; clock += TestSupport::kMovieFrameMs) {
        ++shown;
        ASSERT_EQ(player->QueuedAudioBytes(), 0u) << clock;
    }
    EXPECT_GE(shown, TestSupport::kLongMovieSeconds * TestSupport::kMovieFps - 2);
    EXPECT_TRUE(player->VideoEnded());
    EXPECT_TRUE(player->AudioEnded());
}

TEST(MoviePlayer, DestroyedWhileDecoding)
{
    const auto path = TestSupport::ColourMovie(true);
    if (!path)
        GTEST_SKIP() << "ffmpeg is not installed";
    for (int i = 0; i < 3; ++i) {
        auto player = OpenOrFail(*path);
        ASSERT_TRUE(player);
        player->Start(i * 300);
        if (i > 0)
            player->WaitFirstFrame(kWait);
    }
}

} // namespace

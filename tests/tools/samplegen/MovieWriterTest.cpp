// The sample game's movies: each opens with the platform's movie service with picture and sound
// of the stated length, shows its scene, and comes out the same each time.
#include "tools/samplegen/MovieWriter.h"

#include "platform/movie/MoviePlayer.h"
#include "support/Eventually.h"
#include "support/Tools.h"
#include "tools/samplegen/SampleDecode.h"

#include <gtest/gtest.h>

namespace samplegen {
namespace {

constexpr auto kWait = std::chrono::seconds(10);

TEST(MovieWriter, EveryMovieOpensWithPictureAndSoundOfItsLength)
{
    TestSupport::TempFolder folder;
    const SampleStaging staging(folder.Path());
    ASSERT_TRUE(WriteMovies(staging, {}));
    ASSERT_EQ(sampletest::FilesBelow(folder.Path()).size(), GameMovies().size());
    for (const MovieFile& file : GameMovies()) {
        SCOPED_TRACE(file.name);
        std::string error;
        movie::OutputSpec spec; // 640 x 480, as the movie player shows them
        auto player = movie::MoviePlayer::Open(staging.File(SampleStore::Movie, file.name).string(), spec, error);
        ASSERT_NE(player, nullptr) << error;
        EXPECT_TRUE(player->HasVideo());
        EXPECT_TRUE(player->HasAudio());
        player->Start(0);
        EXPECT_GE(player->WaitFirstFrame(kWait), 0);

        std::vector<std::uint8_t> chunk(1 << 16);
        std::size_t soundBytes = 0;
        while (std::size_t n = player->ReadAudio(chunk.data(), chunk.size(), kWait))
            soundBytes += n;
        EXPECT_NEAR(static_cast<double>(movie::PcmBytesToMs(soundBytes, spec.pcm)), file.seconds * 1000.0, 100.0);

        // The last picture: the dawn's sun stands bright in the middle, the night sky stays dark.
        movie::Frame last; // a copy: the player's picture lasts only until its next call
        TestSupport::Eventually([&] {
            if (const movie::Frame* frame = player->TakeFrame(static_cast<std::int64_t>(file.seconds * 1000)))
                last = *frame;
            return player->VideoEnded();
        });
        ASSERT_FALSE(last.pixels.empty());
        EXPECT_GE(last.timeMs + last.durationMs, static_cast<std::int64_t>(file.seconds * 1000) - 50);
        const std::uint8_t* centre = last.pixels.data() + 240 * last.pitch + 320 * 4; // blue, green, red
        if (file.scene == 0) {
            EXPECT_GT(centre[2], 200);
        } else if (file.scene == 2) {
            EXPECT_LT(centre[2] + centre[1] + centre[0], 200);
        }
    }
}

TEST(MovieWriter, TheSameMovieGivesTheSameBytes)
{
    TestSupport::TempFolder folder;
    EncodeMovie(folder.Path() / "a.mpg", 1, 1.0);
    EncodeMovie(folder.Path() / "b.mpg", 1, 1.0);
    EXPECT_EQ(sampletest::ReadFile(folder.Path() / "a.mpg"), sampletest::ReadFile(folder.Path() / "b.mpg"));
    EXPECT_THROW(EncodeMovie(folder.Path() / "a.mpg" / "x.mpg", 0, 1.0), std::exception); // a file, not a folder
}

} // namespace
} // namespace samplegen

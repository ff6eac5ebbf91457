// Writes the movie fuzz target's seeds (small movies FFmpeg's encoders make: pictures and sound,
// pictures only, sound only) into the folder named by XE_FUZZ_SEEDS, as fuzz/seeds/movie/ holds
// them; skipped when it is not set or ffmpeg is missing.
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// 64 x 48 pictures and sound a fifth of a second long keep the seeds a few kilobytes each.
const std::string kPictures = " -f lavfi -i color=c=0x20C0C0:s=64x48:r=25:d=0.2";
const std::string kSound = " -f lavfi -i sine=f=440:d=0.2:r=44100";
const std::string kPictureCodec = " -c:v mpeg1video";
const std::string kSoundCodec = " -ac 2 -c:a mp2 -b:a 64k";

TEST(MovieFuzzSeeds, WriteSmallMovies)
{
    const char* root = std::getenv("XE_FUZZ_SEEDS");
    if (root == nullptr)
        GTEST_SKIP() << "XE_FUZZ_SEEDS names no folder";
    if (!TestSupport::HaveTool("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::filesystem::path folder = std::filesystem::path(root) / "movie";
    std::filesystem::create_directories(folder);
    const struct {
        const char* name;
        std::string streams;
    } seeds[] = {{"both.mpg", kPictures + kSound + kPictureCodec + kSoundCodec},
                 {"pictures.mpg", kPictures + kPictureCodec},
                 {"sound.mpg", kSound + kSoundCodec}};
    for (const auto& seed : seeds)
        EXPECT_TRUE(TestSupport::RunTool("ffmpeg -v error -y" + seed.streams + " -f mpeg " +
                                         TestSupport::Quoted(folder / seed.name)))
            << seed.name;
}

} // namespace

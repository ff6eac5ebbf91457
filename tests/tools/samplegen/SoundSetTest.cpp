// The sample game's sounds: every one is made, decodes with the game's decoders at a sensible
// length and level, loops whole bars where it loops, and comes out the same each time.
#include "tools/samplegen/SoundSet.h"

#include "support/Tools.h"
#include "tools/samplegen/SampleDecode.h"
#include "tools/samplegen/SoundMusic.h"

#include <cmath>

#include <gtest/gtest.h>

namespace samplegen {
namespace {

TEST(SoundSet, EverySoundIsMadeAndDecodes)
{
    TestSupport::TempFolder folder;
    ASSERT_TRUE(WriteSounds(SampleStaging(folder.Path()), {}));
    const auto files = sampletest::FilesBelow(folder.Path());
    ASSERT_EQ(files.size(), GameSounds().size());
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const auto decoded = sampletest::DecodeSound(sampletest::ReadFile(folder.Path() / file));
        ASSERT_TRUE(decoded.open);
        EXPECT_GT(decoded.Seconds(), 0.03);
        EXPECT_LT(decoded.Seconds(), 40.0);
        EXPECT_GT(decoded.Peak(), 8000) << "audible";
    }
    for (const char* name : {"Game_Pak/SysSEClick01.ogg", "Game_Pak/SysSEOk.ogg", "Game_Pak/SysSEErr.ogg",
                             "Game_Pak/SysSEPage.ogg", "Game_Pak/TitleVoice03.ogg", "EvSE_Pak/se010.ogg",
                             "Voice/ev00000/0000000001.ogg", "BGM/Track01.bgm"})
        EXPECT_TRUE(std::filesystem::exists(folder.Path() / name)) << name;
}

TEST(SoundSet, LoopsLastWholeBarsOrSeconds)
{
    for (int track : kBgmTracks) {
        SCOPED_TRACE(track);
        const Pcm pcm = BgmTrack(track);
        const double seconds = static_cast<double>(pcm.Frames()) / pcm.rate;
        const double bars = seconds / (4 * 60.0 / (track == 1 ? 96 : track == 2 ? 88 : track == 3 ? 72 : 70));
        EXPECT_NEAR(bars, std::round(bars), 1e-3);
        EXPECT_EQ(pcm.channels, 2);
    }
}

TEST(SoundSet, GenerationIsDeterministic)
{
    TestSupport::TempFolder first, second;
    ASSERT_TRUE(WriteSounds(SampleStaging(first.Path()), {}));
    ASSERT_TRUE(WriteSounds(SampleStaging(second.Path()), {}));
    for (const auto& file : sampletest::FilesBelow(first.Path()))
        EXPECT_EQ(sampletest::ReadFile(first.Path() / file), sampletest::ReadFile(second.Path() / file)) << file;
}

} // namespace
} // namespace samplegen

// The sample song played whole on the real song screen by a perfect player, on the timer clock
// with a recording sound device: the generated chart, stage, key sounds, music and song-screen
// pictures from their packs, to the result with the gauge full.
#include "songgame/MusicScreen.h"
#include "songgame/SongPlayer.h"
#include "songgame/screen/MusicRun.h"
#include "songgame/screen/TMusicUnit.h"
#include "tools/samplegen/Pictures.h"
#include "tools/samplegen/SongWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using namespace samplegen;

TEST(SampleSongPlay, APerfectPlayerFillsTheGauge)
{
    songtest::MusicScreen s;
    // The generated song beside the screen's test song, and the song screen's generated pictures.
    const SampleStaging staging(s.tree.Native("staging"));
    ASSERT_TRUE(WritePictures(staging, XE_SAMPLE_SOURCES));
    ASSERT_TRUE(WriteSong(staging, XE_SAMPLE_SOURCES));
    for (const auto& [store, place] : {std::pair{SampleStore::SongData, "Song\\TV07\\song"},
                                       {SampleStore::SongKey, "Song\\TV07\\key"}, {SampleStore::GameData, "Game_Pak"}})
        for (const auto& file : fs::directory_iterator(staging.Folder(store))) {
            std::ifstream in(file.path(), std::ios::binary);
            s.tree.Write(std::string(place) + "\\" + file.path().filename().string(),
                         {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        }
    fs::copy_file(staging.File(SampleStore::SongMusic, "song.ogg"), s.tree.Native("Song\\TV07\\song.ogg"));

    std::uint32_t ms = 0;
    std::vector<int> results;
    s.devices.musicMs = [&ms] { return ms; };
    s.devices.setResult = [&results](int result) { results.push_back(result); };
    auto unit = s.Unit();
    unit->SetTimingMode(0);
    ASSERT_TRUE(unit->Setup(&s.gameFiles, TSongID::FromText("TV07")));
    input::ScriptedSongInput keys(s.input);
    int frame = 0;
    const double seconds = SongChords().size() * 4 * 60.0 / kSongBpm + 2.0;
    const songtest::SongPlay play = songtest::PlayWholeSong(*unit, keys, [&] {
        ms += 33 + (++frame % 3 == 0); // 30 frames a second
        if (unit->Phase() == 3 && unit->Run()->Now().milliseconds > seconds * 1000)
            s.Music()->ended = true;
    });
    ASSERT_TRUE(play.ended);
    EXPECT_EQ(play.goes, 1);
    EXPECT_GT(play.taps, 100);
    EXPECT_EQ(results, std::vector<int>{0});
    EXPECT_EQ(unit->GetGauge(), 59) << "full after every note struck best";
    EXPECT_GT(unit->GetScore(), 0);
    EXPECT_EQ(unit->StageNow().characters[0].x, 272) << "the dancer back in the middle at the end";
}

} // namespace

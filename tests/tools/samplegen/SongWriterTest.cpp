// The sample song: its identity file passes the check, the chart and the stage script load with the
// song game's readers, every key sound the chart names exists and decodes, the music covers the
// chart, and the song comes out the same each time.
#include "tools/samplegen/SongWriter.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/StringList.h"
#include "platform/codepage/CodePage.h"
#include "shell/ShellTestSupport.h"
#include "songgame/RecordingSongDevice.h"
#include "songgame/chart/ChartReader.h"
#include "songgame/song/SongFolder.h"
#include "songgame/stage/StageScript.h"
#include "support/Tools.h"
#include "tools/samplegen/SampleDecode.h"

#include <fstream>
#include <memory>

#include <gtest/gtest.h>

namespace samplegen {
namespace {

// The song written once for all tests of the suite, with stand-ins for the stage's pictures,
// which the picture drawers make.
class SongWriter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<TestSupport::TempFolder>();
        ASSERT_TRUE(WriteSong(SampleStaging(folder_->Path()), XE_SAMPLE_SOURCES));
        const auto data = Data();
        for (auto [name, width, height] : {std::tuple{"Dancer.png", 384, 320}, {"DancerMiss.png", 192, 160},
                                           {"StageBG01.png", 640, 300}, {"StageAnim1.png", 640, 300},
                                           {"StageAnim2.png", 640, 300}, {"StageAnim3.png", 640, 300}}) {
            const auto png = shelltest::PngOfPattern(width, height, true);
            std::ofstream(data / name, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
        }
        std::ofstream(data / "StageBG02.jpg") << "opened now, decoded when shown";
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static std::filesystem::path Data() { return SampleStaging(folder_->Path()).Folder(SampleStore::SongData); }
    static std::filesystem::path Key() { return SampleStaging(folder_->Path()).Folder(SampleStore::SongKey); }
    static std::filesystem::path Music() { return SampleStaging(folder_->Path()).File(SampleStore::SongMusic, "song.ogg"); }

    // The key folder's names as the song load lists them: upper case, in listing order.
    static std::vector<AnsiString> KeyNames()
    {
        TFileMan keys{nullptr};
        EXPECT_TRUE(keys.InitDir(Key().string()));
        std::vector<AnsiString> names;
        keys.FindFirst("*.*");
        for (AnsiString name; keys.FindNext(name);)
            names.push_back(UpperCase(name));
        return names;
    }

    static std::unique_ptr<TestSupport::TempFolder> folder_;
};

std::unique_ptr<TestSupport::TempFolder> SongWriter::folder_;

TEST_F(SongWriter, TheIdentityFileNamesTheSongWithItsTitle)
{
    TStringList lines;
    lines.LoadFromFile((Data() / "SONG.ID").string());
    int version = 0;
    AnsiString title;
    const TSongID code = TSongID::FromText("TV07");
    ASSERT_TRUE(CheckSongIdentity(lines, code, &version, &title));
    EXPECT_EQ(version, 200); // the title is read and the music may be Ogg Vorbis
    EXPECT_EQ(CodePage::ToUtf8(title, 936), "晴空小调");
}

TEST_F(SongWriter, TheChartLoadsAndEveryNoteFindsItsKeySound)
{
    const std::vector<AnsiString> keys = KeyNames();
    EXPECT_EQ(keys.size(), 10u);
    TFileMan song{nullptr};
    ASSERT_TRUE(song.InitDir(Data().string()));
    std::vector<TMusicNote> notes(MaxNotes);
    std::vector<char> pool(TextPoolSize);
    ChartStore store{notes, pool};
    for (int rank : {RankNormal, RankHard, RankEasy}) {
        SCOPED_TRACE(rank);
        ASSERT_TRUE(ReadChart(song, ChartOptions{keys, rank, 0, 200}, store));
        int playable = 0, lyrics = 0;
        std::uint32_t last = 0;
        for (int i = 0; i < store.count; ++i) {
            const TMusicNote& note = notes[static_cast<std::size_t>(i)];
            EXPECT_GE(note.time, last) << "in time order";
            last = note.time;
            if (note.sound >= 0) {
                ++playable;
                EXPECT_LT(note.lane, rank == RankHard ? 30 : 8);
            } else {
                ++lyrics; // a lyric line: its text is GBK that reads back
                ASSERT_GE(note.text, 0);
                const std::string text = pool.data() + note.text;
                EXPECT_EQ(CodePage::FromUtf8(CodePage::ToUtf8(text, 936), 936), text);
            }
        }
        EXPECT_EQ(playable, 131); // every note's key sound was found and has a lane
        EXPECT_EQ(lyrics, 9);
    }
    // The whole chart lies inside the music, which runs on after it.
    const auto music = sampletest::DecodeSound(sampletest::ReadFile(Music()));
    EXPECT_LT(notes[static_cast<std::size_t>(store.count - 1)].time / 88200.0 + 1.5, music.Seconds());
}

TEST_F(SongWriter, TheStageScriptLoadsEveryResource)
{
    shelltest::ScopedGlobals globals;
    TFileMan song{nullptr};
    ASSERT_TRUE(song.InitDir(Data().string()));
    songtest::RecordingSongDevice device;
    StageLoadContext context{song, &device, 100};
    StageResources resources;
    std::vector<std::int32_t> pool(StagePoolWords);
    StageScript script{pool};
    ASSERT_TRUE(script.Read(context, resources));
    EXPECT_EQ(resources.tempo, 120);
    EXPECT_EQ(resources.animations[0].frameCount, 3);
    const PictureEntry& dancer = resources.characters[0].entries[0];
    EXPECT_EQ(dancer.frameCount, 8);
    EXPECT_EQ(dancer.durations[0], 7); // T30 at 120 beats a minute: 30 x 30 / 120 frames
    EXPECT_EQ(resources.characters[0].miss.frameCount, 2);
    ASSERT_NE(resources.effects[0], nullptr);
    for (int section : {ssInit, ssBefore, ssPerform, ssAfter}) {
        script.SetSection(section);
        EXPECT_NE(script.Pointer(), -1) << section;
    }
    resources.Free(song);
}

TEST_F(SongWriter, EveryKeySoundAndTheMusicDecode)
{
    for (const auto& file : sampletest::FilesBelow(Key())) {
        SCOPED_TRACE(file.string());
        const auto decoded = sampletest::DecodeSound(sampletest::ReadFile(Key() / file));
        ASSERT_TRUE(decoded.open);
        EXPECT_GT(decoded.Peak(), 8000);
        EXPECT_LT(decoded.Seconds(), 1.0);
    }
    const auto music = sampletest::DecodeSound(sampletest::ReadFile(Music()));
    ASSERT_TRUE(music.open);
    EXPECT_EQ(music.channels, 2u);
    EXPECT_EQ(music.rate, 32000u);
    EXPECT_NEAR(music.Seconds(), 36 * 2.0 + 2.0, 0.01); // 36 bars of two seconds and the tail
}

TEST_F(SongWriter, WritingAgainGivesTheSameBytes)
{
    TestSupport::TempFolder again;
    ASSERT_TRUE(WriteSong(SampleStaging(again.Path()), XE_SAMPLE_SOURCES));
    for (const auto& file : sampletest::FilesBelow(again.Path()))
        EXPECT_EQ(sampletest::ReadFile(again.Path() / file), sampletest::ReadFile(folder_->Path() / file)) << file;
    EXPECT_FALSE(WriteSong(SampleStaging(again.Path()), again.Path())); // no sources there
}

} // namespace
} // namespace samplegen

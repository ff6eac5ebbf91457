// The sample story on the real adventure screen, headless: the generated backgrounds, characters,
// sound effects, voices, window pictures, masks and scripts, played with scripted clicks and the
// first answer of the choice up to the song, and after the song's gauge is handed back, to the end.
#include "scenario/adventure/AvgTestSupport.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/records/TGameState.h"
#include "scenario/stage/TStageUnit.h"
#include "tools/samplegen/Pictures.h"
#include "tools/samplegen/ScenarioWriter.h"
#include "tools/samplegen/SoundSet.h"

#include <fstream>
#include <iterator>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace samplegen;

PackFixture::Bytes Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SampleStoryOnScreen : public AvgTest::AvgFixture {
protected:
    void SetUp() override
    {
        const SampleStaging staging(folder_.Native() / "staging");
        ASSERT_TRUE(WritePictures(staging, XE_SAMPLE_SOURCES));
        ASSERT_TRUE(WriteSounds(staging, XE_SAMPLE_SOURCES));
        ASSERT_TRUE(samplegen::WriteScenario(staging, XE_SAMPLE_SOURCES));
        // The stage's stores as their folders, the scripts where the fixture reads them, the game
        // data as the windows' pictures, and the voices in their pack (voices come only from packs).
        for (const auto& [store, folder] : {std::pair{SampleStore::EvBG, "EvBG_Pak"}, {SampleStore::EvCG, "EvCG_Pak"},
                                           {SampleStore::EvSE, "EvSE_Pak"}, {SampleStore::Script, "Scripts"}})
            for (const auto& file : fs::directory_iterator(staging.Folder(store)))
                fs::copy_file(file.path(), folder_.Native() / folder / file.path().filename(),
                              fs::copy_options::overwrite_existing);
        for (const auto& file : fs::directory_iterator(staging.Folder(SampleStore::GameData)))
            pictures_.Write(file.path().filename().c_str(), Contents(file.path()));
        std::vector<PackFixture::Entry> voices;
        for (const auto& file : fs::directory_iterator(staging.Folder(SampleStore::Voice)))
            voices.push_back({file.path().filename().string(), Contents(file.path())});
        ASSERT_TRUE(PackFixture::BuildPack(folder_, folder_.Name("Voice\\ev00000.pak"), voices, 0));
    }

    // Plays until the screen hands a result back: clicks every click wait, takes the first answer of
    // every choice. The backgrounds shown on the way are collected.
    void PlayToResult()
    {
        for (int step = 0; step < 200 && unit_->IsRunning(); ++step) {
            ASSERT_GE(FramesUntil([&] {
                          return !unit_->IsRunning() || Wait() == WaitState::Click || Wait() == WaitState::Choice;
                      }, 5000), 0) << "the story stalls at step " << step;
            backgrounds_.insert(unit_->Stage().CurrentPicture());
            if (Wait() == WaitState::Choice) {
                std::uint16_t key = VK_RETURN;
                unit_->AvgPanelKeyDown(nullptr, key, 0);
            } else if (unit_->IsRunning()) {
                unit_->OnEvent(1);
            }
        }
    }

    std::set<int> backgrounds_;
};

TEST_F(SampleStoryOnScreen, PlaysThroughTheSongToTheEnd)
{
    Start(false);
    unit_->StartScenario("GameStart");
    PlayToResult();
    EXPECT_EQ(host_.results, std::vector<int>{TAvgUnit::kResultEndGame}) << "the story asks for its song";
    EXPECT_EQ(Record().GetMovie(), 7) << "the song TV07";
    EXPECT_EQ(backgrounds_, (std::set<int>{1, 2, 4, 5})) << "rooftop, riverside, the room, the plaza";

    // The game shell plays the song, makes the screens again and hands the gauge back.
    unit_.reset();
    Record().SetResultValue(59);
    Start(false);
    unit_->Resume();
    PlayToResult();
    EXPECT_EQ(host_.results, (std::vector<int>{TAvgUnit::kResultEndGame, TAvgUnit::kResultHalted}));
    EXPECT_EQ(Record().GetMovie(), 0) << "the ending movie TVED1";
    EXPECT_TRUE(backgrounds_.count(3) && backgrounds_.count(6)) << "the night street and the sky";
}

} // namespace

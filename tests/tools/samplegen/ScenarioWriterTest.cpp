// The sample scenario: the story assembles, its messages fit the message window, and a play-through
// from "GameStart" down each way of the choice and each outcome of the song reaches the ending,
// asking only for pictures, sounds, movies and songs that the sample holds.
#include "tools/samplegen/ScenarioWriter.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/Stream.h"
#include "platform/codepage/CodePage.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/ScriptFile.h"
#include "scenario/script/ScriptTestSupport.h"
#include "scenario/script/TScriptEngine.h"
#include "support/Tools.h"
#include "tools/samplegen/SampleFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>

namespace samplegen {
namespace {

const std::filesystem::path kSources = XE_SAMPLE_SOURCES;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Format(const char* pattern, int number)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, number);
    return text;
}

// Whether the sample's file list holds the file in the store (names without regard to case, as
// the game looks them up).
bool Listed(SampleStore store, const std::string& name)
{
    const auto& files = SampleFiles();
    return std::any_of(files.begin(), files.end(), [&](const SampleFile& file) {
        return file.store == store && Lower(file.name) == Lower(name);
    });
}

bool BackgroundListed(int number)
{
    const int picture = number % 1000;
    if (picture >= 998)
        return true; // white and black need no file
    static constexpr const char* kExtensions[] = {".bmp", ".jpg", ".png", ".lzh"};
    return Listed(SampleStore::EvBG, Format("an%03da.ini", picture)) ||
           std::any_of(std::begin(kExtensions), std::end(kExtensions), [&](const char* extension) {
               return Listed(SampleStore::EvBG, Format("bg%03d", picture) + extension);
           });
}

class ScenarioWriter : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<TestSupport::TempFolder>();
        made_ = WriteScenario(SampleStaging(folder_->Path()), kSources);
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static std::filesystem::path Store(SampleStore store) { return SampleStaging(folder_->Path()).Folder(store); }

    static std::unique_ptr<TestSupport::TempFolder> folder_;
    static bool made_;
};

std::unique_ptr<TestSupport::TempFolder> ScenarioWriter::folder_;
bool ScenarioWriter::made_ = false;

TEST_F(ScenarioWriter, EveryMessageFitsTheWindowAndReadsBack)
{
    ASSERT_TRUE(made_);
    const ScriptAssembler::Scenario scenario = AssembleStory(kSources);
    EXPECT_EQ(scenario.scripts.size(), 2u);
    EXPECT_EQ(scenario.sceneCount, 4u);
    int messages = 0;
    for (const auto& [number, bytes] : scenario.scripts) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
        stream.Seek(0, soBeginning);
        ScriptFile script;
        ASSERT_TRUE(script.Read(stream, number));
        for (std::uint32_t s = 1; s <= script.StringCount(); ++s) {
            const std::string text = script.String(s);
            SCOPED_TRACE(CodePage::ToUtf8(text, 936));
            EXPECT_EQ(CodePage::FromUtf8(CodePage::ToUtf8(text, 936), 936), text) << "GBK throughout";
            EXPECT_LE(text.size(), 255u) << "a message keeps at most 255 bytes";
            // Each piece between the new-line and new-page signs fits a window line of 52 bytes.
            std::size_t start = 0;
            for (std::size_t sign = 0; sign != std::string::npos; start = sign + 2) {
                const std::size_t line = text.find("\\n", start), page = text.find("\\p", start);
                sign = std::min(line, page);
                EXPECT_LE((sign == std::string::npos ? text.size() : sign) - start, 52u);
            }
            ++messages;
        }
    }
    EXPECT_GT(messages, 15); // the story and the choice's answers
}

TEST(ScenarioText, ABackslashTrailByteStaysPartOfItsCharacter)
{
    // U+4E57 is 0x81 0x5C in GBK: its second byte is a backslash.
    EXPECT_EQ(ScriptTextInGbk("message \"\xE4\xB9\x97\""), "message \"\x81\\\"");
    EXPECT_EQ(ScriptTextInGbk("message \"a\\\\n\""), "message \"a\\\\n\""); // ASCII stays as it is
    const ScriptAssembler::Bytes script =
        ScriptAssembler::AssembleScript(ScriptTextInGbk(".script 1\nmain:\nmessage \"\xE4\xB9\x97!\"\n"));
    EXPECT_NE(std::string(script.begin(), script.end()).find("\x81\\!"), std::string::npos);
}

struct Path {
    int choice; // the choice's answer
    int gauge;  // the song's gauge handed back
};

class ScenarioPlay : public ScenarioWriter, public ::testing::WithParamInterface<Path> {};

TEST_P(ScenarioPlay, ReachesTheEndingAskingOnlyForListedFiles)
{
    ASSERT_TRUE(made_);
    TFileMan scripts{nullptr}, data{nullptr};
    ASSERT_TRUE(scripts.InitDir(Store(SampleStore::Script).string()));
    ASSERT_TRUE(data.InitDir(Store(SampleStore::GameData).string()));
    TGameState state, sceneStart;
    TSystemState system;
    TReadMesTable readMes;
    ScriptTest::RecordingScreen screen;
    TScriptEngine engine({scripts, data, state, sceneStart, system, readMes, screen});
    ASSERT_TRUE(engine.LoadSceneTable());
    EXPECT_EQ(engine.SpeakerOf(1), 1);
    EXPECT_EQ(engine.SpeakerOf(2), 2);
    ASSERT_TRUE(engine.StartScene("GameStart"));

    std::set<std::string> asked; // what the story asked for, to check that the main kinds occur
    std::set<int> voices;
    bool halted = false, ending = false;
    for (int run = 0; run < 1000 && !halted; ++run) {
        halted = engine.Run();
        if (state.GetStop()) // a choice (game mode 2) or the song (game mode 4) hands its value back
            engine.SetChoice(state.GetGameMode() == 4 ? GetParam().gauge : GetParam().choice);
        for (const std::string& call : screen.Take()) {
            std::istringstream words(call);
            std::string name;
            int n = 0;
            words >> name >> n;
            asked.insert(name);
            SCOPED_TRACE(call);
            if (name == "VoicePlay") {
                EXPECT_TRUE(Listed(SampleStore::Voice, Format("%010u.ogg", n)));
                voices.insert(n);
            }
            if (name == "SePlay" || name == "Se2Play")
                EXPECT_TRUE(Listed(SampleStore::EvSE, Format("se%03d.ogg", n)));
            else if (name == "BgmPlay")
                EXPECT_TRUE(Listed(SampleStore::Bgm, Format("Track%02d.bgm", n)));
            else if (name == "PlayMovie")
                EXPECT_TRUE(Listed(SampleStore::Movie, Format("TV%02d.mpg", n)));
            else if (name == "PlayOpeningMovie")
                EXPECT_TRUE(Listed(SampleStore::Movie, "TVOP.mpg"));
            else if (name == "PlayEndingMovie")
                ending = Listed(SampleStore::Movie, Format("TVED%d.mpg", state.GetMovie() + 1));
            else if (name == "PlaceName")
                EXPECT_TRUE(Listed(SampleStore::GameData, Format("AvgPlace%02d.png", state.GetPlaceName())));
            else if (name == "EndGame") // the song: "TV" and the number's last two digits
                EXPECT_TRUE(Listed(SampleStore::SongData, "SONG.ID")) << state.GetMovie();
            else if (name == "StageChange" || name == "StageRefresh") {
                EXPECT_TRUE(BackgroundListed(state.GetShownBackground())) << state.GetShownBackground();
                for (int slot = 0; slot < 3; ++slot) {
                    if (const int c = state.GetShownCharacter(slot); c >= 0) {
                        EXPECT_TRUE(Listed(SampleStore::EvCG, Format("chr%03d.png", c))) << c;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(halted);
    EXPECT_TRUE(ending) << "the ending movie plays before the end";
    // Each way has its own lines: the room (voice 10) or the run to the plaza (4), the song cleared
    // (11) or not (12).
    EXPECT_EQ(voices.count(10), GetParam().choice == 0 ? 1u : 0u);
    EXPECT_EQ(voices.count(4), GetParam().choice == 1 ? 1u : 0u);
    EXPECT_EQ(voices.count(11), GetParam().gauge >= 40 ? 1u : 0u);
    EXPECT_EQ(voices.count(12), GetParam().gauge >= 40 ? 0u : 1u);
    for (const char* kind : {"VoicePlay", "SePlay", "Se2Play", "BgmPlay", "PlayMovie", "PlayOpeningMovie",
                             "ChoiceShow", "EndGame", "StageEffect", "TalkStart", "TimeWindow", "DateWindow"})
        EXPECT_EQ(asked.count(kind), 1u) << kind;
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ScenarioPlay,
                         ::testing::Values(Path{0, 59}, Path{1, 59}, Path{0, 0}, Path{1, 0}),
                         [](const auto& info) {
                             return std::string(info.param.choice == 0 ? "Room" : "Plaza") +
                                    (info.param.gauge >= 40 ? "Cleared" : "Failed");
                         });

} // namespace
} // namespace samplegen

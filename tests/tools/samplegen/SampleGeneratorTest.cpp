#include "tools/samplegen/SampleGenerator.h"

#include "tools/samplegen/PictureStyle.h"

#include "base/packs/TFileMan.h"
#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/JpegPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "graphics/pictures/PngPicture.h"
#include "platform/classes/StringList.h"
#include "platform/fs/FileSystem.h"
#include "scenario/stage/AnimDefinition.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/ScriptTestSupport.h"
#include "scenario/script/TScriptEngine.h"
#include "shell/ShellTestSupport.h"
#include "songgame/RecordingSongDevice.h"
#include "songgame/chart/ChartReader.h"
#include "songgame/stage/StageScript.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace samplegen;
using TestSupport::TempFolder;

const fs::path kSources = XE_SAMPLE_SOURCES;

// The game folder the build made with the generator beside the executable; one generation takes
// seconds, so the suite reads that one and makes a second only to compare the bytes.
const fs::path kGame = XE_SAMPLE_GAME;

class SampleGenerator : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(kGame / "Game.pak")) << "the build makes the sample game"; }
};

// A file manager bound to a store of the finished folder as the game binds it: its archive, or
// the folder itself.
std::unique_ptr<TFileMan> OpenStore(const fs::path& game, SampleStore store)
{
    auto files = std::make_unique<TFileMan>(nullptr);
    const std::string_view pack = PackFile(store);
    if (pack.empty())
        files->InitDir(FileSystem::FromNative(game / StagingFolder(store)));
    else if (!files->InitPack(FileSystem::FromNative(game / pack)))
        return nullptr;
    return files;
}

struct Decoded {
    bool ok = false;
    int width = 0;
    int height = 0;
};

// Decodes a picture whole with the game's own loader for its format.
Decoded Decode(TStream* stream, SampleKind kind)
{
    Decoded d;
    unsigned char* pixels = nullptr;
    switch (kind) {
    case SampleKind::Png: d.ok = LoadPng(stream, &pixels, &d.width, &d.height, pf32_8888); break;
    case SampleKind::Bmp: d.ok = LoadBmp(stream, &pixels, &d.width, &d.height, pf24_888); break;
    case SampleKind::GreyBmp: d.ok = LoadAlpha(stream, &pixels, &d.width, &d.height); break;
    case SampleKind::Jpeg: d.ok = LoadJpeg(stream, &pixels, &d.width, &d.height, pf24_888); break;
    default: break;
    }
    std::free(pixels);
    return d;
}

bool IsPicture(SampleKind kind)
{
    return kind == SampleKind::Png || kind == SampleKind::Bmp || kind == SampleKind::GreyBmp || kind == SampleKind::Jpeg;
}

// Every file below a folder with its bytes, by relative path.
std::map<std::string, std::string> Contents(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[fs::relative(entry.path(), root).generic_string()] = {std::istreambuf_iterator<char>(in), {}};
        }
    return files;
}

TEST_F(SampleGenerator, EveryListedFileIsThereAndPicturesDecodeAtTheirSizes)
{
    for (const SampleFile& file : SampleFiles()) {
        if (!HasWriter(file.maker))
            continue;
        SCOPED_TRACE(file.name);
        const std::unique_ptr<TFileMan> files = OpenStore(kGame, file.store);
        ASSERT_NE(files, nullptr);
        TStream* stream = files->Open(file.name);
        ASSERT_NE(stream, nullptr);
        EXPECT_GT(stream->GetSize(), 0);
        if (IsPicture(file.kind)) {
            const Decoded d = Decode(stream, file.kind);
            EXPECT_TRUE(d.ok);
            EXPECT_EQ(d.width, file.width);
            EXPECT_EQ(d.height, file.height);
        }
        files->Close(stream);
    }
}

TEST_F(SampleGenerator, TransitionTablesHaveTheirSizesAndRanges)
{
    const std::unique_ptr<TFileMan> files = OpenStore(kGame, SampleStore::GameData);
    ASSERT_NE(files, nullptr);
    const auto bytes = [&](const char* name) {
        TStream* stream = files->Open(name);
        std::string data(stream != nullptr ? static_cast<std::size_t>(stream->GetSize()) : 0, '\0');
        if (stream != nullptr) {
            stream->ReadBuffer(data.data(), static_cast<int>(data.size()));
            files->Close(stream);
        }
        return data;
    };
    EXPECT_EQ(bytes("WaterDistTbl.bin").size(), 153600u);
    EXPECT_EQ(bytes("WaterMultiTbl.bin").size(), 8160u);
    const std::string sine = bytes("WaterSinTbl.bin");
    ASSERT_EQ(sine.size(), 256u);
    // The sine picks a column of the 255-entry multiplier rows, so it never reaches 255; amplitude 0
    // moves nothing.
    for (const char s : sine)
        EXPECT_LE(static_cast<unsigned char>(s), 254);
    const std::string multi = bytes("WaterMultiTbl.bin");
    EXPECT_EQ(multi.substr(0, 255), std::string(255, '\x7F'));
}

TEST_F(SampleGenerator, PacksHoldOnlyTheirListedFilesAndNothingIsLeftOver)
{
    std::map<SampleStore, std::set<std::string>> listed;
    for (const SampleFile& file : SampleFiles())
        if (HasWriter(file.maker))
            listed[file.store].insert(file.name);
    for (const auto& [store, names] : listed) {
        if (PackFile(store).empty())
            continue;
        const std::unique_ptr<TFileMan> files = OpenStore(kGame, store);
        ASSERT_NE(files, nullptr);
        std::set<std::string> packed;
        files->FindFirst("*.*");
        for (AnsiString name; files->FindNext(name);)
            packed.insert(name);
        EXPECT_EQ(packed, names) << PackFile(store);
    }
    EXPECT_FALSE(fs::exists(kGame / ".samplegen-staging"));
}

TEST_F(SampleGenerator, GeneratingAgainGivesTheSameBytesAndKeepsOtherFiles)
{
    TempFolder again;
    const fs::path kept = again.Path() / "Tvqe.ini";
    std::ofstream(kept) << "[Game]\nWindowMode=ON\n";
    ASSERT_TRUE(Generate(again.Path(), kSources));
    std::map<std::string, std::string> second = Contents(again.Path());
    EXPECT_EQ(second["Tvqe.ini"], "[Game]\nWindowMode=ON\n");
    second.erase("Tvqe.ini");
    // The build's folder also holds the executable and build files: compare the game data alone.
    TempFolder built;
    ASSERT_TRUE(CopyGameData(kGame, built.Path()));
    const std::map<std::string, std::string> first = Contents(built.Path());
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, data] : first)
        EXPECT_TRUE(second[name] == data) << name << " differs";
}

// A wipe runs its level from 0 to 255 across the mask: a mask whose levels stop short would leave
// part of the old picture, or show part of the new one at once.
TEST_F(SampleGenerator, WipeMasksSpanEveryLevel)
{
    const std::unique_ptr<TFileMan> files = OpenStore(kGame, SampleStore::GameData);
    ASSERT_NE(files, nullptr);
    int masks = 0;
    for (const SampleFile& file : SampleFiles()) {
        if (file.kind != SampleKind::GreyBmp)
            continue;
        SCOPED_TRACE(file.name);
        TStream* stream = files->Open(file.name);
        ASSERT_NE(stream, nullptr);
        unsigned char* levels = nullptr;
        int width = 0;
        int height = 0;
        ASSERT_TRUE(LoadAlpha(stream, &levels, &width, &height));
        files->Close(stream);
        const TPictureMemory owned(levels);
        const auto [least, most] = std::minmax_element(levels, levels + static_cast<std::ptrdiff_t>(width) * height);
        EXPECT_LE(*least, 8);
        EXPECT_GE(*most, 247);
        ++masks;
    }
    EXPECT_EQ(masks, 17);
}

// Each character's definition, read as the stage reads it, cuts its sheet into a body that fills
// the panel and eyes and a mouth that stay on it through every frame of their animations.
TEST_F(SampleGenerator, CharacterDefinitionsKeepEveryEntryOnTheBody)
{
    const std::unique_ptr<TFileMan> files = OpenStore(kGame, SampleStore::EvCG);
    ASSERT_NE(files, nullptr);
    for (const SampleFile& sheet : SampleFiles()) {
        const std::string name = sheet.name;
        if (sheet.store != SampleStore::EvCG || !name.ends_with(".png"))
            continue;
        SCOPED_TRACE(name);
        TStream* stream = files->Open(name.substr(0, name.size() - 4) + ".ini");
        ASSERT_NE(stream, nullptr);
        TStringList lines;
        lines.LoadFromStream(*stream);
        files->Close(stream);
        TCharStat block;
        ParseAnimDefinition(block, lines, sheet.width, sheet.height);
        const TXeRect body = EntryPanelRect(block, 0);
        EXPECT_EQ(body.right - body.left, block.BaseWidth);
        EXPECT_EQ(body.bottom - body.top, block.BaseHeight);
        for (int entry = 1; entry <= 2; ++entry) {
            StartEntry(block, entry);
            // Longer than either animation, so the blink ends and the mouth loops.
            for (int step = 0; step < 40; ++step) {
                const TXeRect r = EntryPanelRect(block, entry);
                EXPECT_GT(r.right, r.left) << "entry " << entry << " step " << step;
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= block.BaseWidth && r.bottom <= block.BaseHeight)
                    << "entry " << entry << " step " << step;
                StepEntry(block, entry);
            }
        }
    }
}

// A drawer whose file left the list would silently stop being made.
TEST(SamplePictures, EveryDrawerMakesAListedFile)
{
    std::set<std::string_view> listed;
    for (const SampleFile& file : SampleFiles())
        if (file.maker == SampleMaker::Pictures)
            listed.insert(file.name);
    std::multiset<std::string_view> drawn;
    for (const auto subject : {ShellPictures, AdventurePictures, SongPictures, TransitionPictures})
        for (const PictureDrawer& drawer : subject())
            drawn.insert(drawer.name);
    for (const auto subject : {AdventureData, TransitionData})
        for (const DataMaker& maker : subject())
            drawn.insert(maker.name);
    EXPECT_EQ(std::set<std::string_view>(drawn.begin(), drawn.end()), listed);
    EXPECT_EQ(drawn.size(), listed.size()) << "a file has two drawers";
}

// The song as the song screen reads it from its packs: the chart finds every key sound of the key
// pack, and the stage script loads the drawn pictures, cut by the definition files.
TEST_F(SampleGenerator, TheSongLoadsFromItsPacks)
{
    shelltest::ScopedGlobals globals;
    const std::unique_ptr<TFileMan> song = OpenStore(kGame, SampleStore::SongData);
    const std::unique_ptr<TFileMan> keys = OpenStore(kGame, SampleStore::SongKey);
    ASSERT_NE(song, nullptr);
    ASSERT_NE(keys, nullptr);
    std::vector<AnsiString> keyNames;
    keys->FindFirst("*.*");
    for (AnsiString name; keys->FindNext(name);)
        keyNames.push_back(UpperCase(name));
    std::vector<TMusicNote> notes(MaxNotes);
    std::vector<char> pool(TextPoolSize);
    ChartStore chart{notes, pool};
    ASSERT_TRUE(ReadChart(*song, ChartOptions{keyNames, RankNormal, 0, 200}, chart));
    EXPECT_GT(chart.count, 100);

    songtest::RecordingSongDevice device;
    StageLoadContext context{*song, &device, 100};
    StageResources resources;
    std::vector<std::int32_t> words(StagePoolWords);
    StageScript stage{words};
    ASSERT_TRUE(stage.Read(context, resources));
    EXPECT_EQ(resources.characters[0].entries[0].frameCount, 8); // four cells across, two down
    EXPECT_EQ(resources.animations[0].frameCount, 3);
    resources.Free(*song);
}

// The scenario as the adventure screen reads it: the scene table and the speaker table load, and
// every scene starts in its script.
TEST_F(SampleGenerator, EverySceneStartsFromTheScriptPack)
{
    const std::unique_ptr<TFileMan> scripts = OpenStore(kGame, SampleStore::Script);
    const std::unique_ptr<TFileMan> data = OpenStore(kGame, SampleStore::GameData);
    ASSERT_NE(scripts, nullptr);
    ASSERT_NE(data, nullptr);
    TGameState state, sceneStart;
    TSystemState system;
    TReadMesTable readMes;
    ScriptTest::RecordingScreen screen;
    TScriptEngine engine({*scripts, *data, state, sceneStart, system, readMes, screen});
    ASSERT_TRUE(engine.LoadSceneTable());
    EXPECT_EQ(engine.SpeakerOf(2), 2);
    for (const char* scene : {"GameStart", "Rain", "Song", "Night"})
        EXPECT_TRUE(engine.StartScene(scene)) << scene;
}

} // namespace

#include "scenario/adventure/AvgTestSupport.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Format.h"
#include "scenario/script/ScriptFile.h"
#include "scenario/windows/TSubWinUnit.h"
#include "scenario/script/ScriptTestSupport.h"
#include "shell/GameGlobals.h"
#include "scenario/stage/StageFixture.h"

#include <algorithm>

namespace AvgTest {

void RecordingHost::AttachPanel(TXeRGBPanel* panel) { rootPanels.push_back(panel->Name); }

void RecordingHost::DetachPanel(TXeRGBPanel* panel)
{
    rootPanels.erase(std::remove(rootPanels.begin(), rootPanels.end(), std::string(panel->Name)), rootPanels.end());
}

AvgFixture::AvgFixture() : savedRegistry_(MemMan), savedDisplay_(DisplayBitDepth), savedGame_(GameBitDepth)
{
    savedFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Native());
    MemMan = &registry_;
    DisplayBitDepth = bd32;
    GameBitDepth = bd32;
    for (const char* sub : {"EvBG_Pak", "EvCG_Pak", "EvSE_Pak", "Scripts", "BGM", "Voice", "Saves"})
        std::filesystem::create_directories(folder_.Native() / sub);
    // The four snow flakes side by side, and the extra selection's picture.
    pictures_.Write("Snow.bmp", StageTest::Bmp24(44, 14, [](int, int) { return 0x404040u; }));
    pictures_.Write("ExSelWin.png", WindowTest::PngOf(640, 480, 0x302010));
    scripts_.InitDir(folder_.Name("Scripts"));
    bgmFiles_.InitDir(folder_.Name("BGM"));
    for (int i = 1; i <= 3; ++i) {
        WriteText(Format("BGM/Track%02d.bgm", i), Format("bgm%d", i));
        WriteText(Format("EvSE_Pak/se%03d.ogg", i), Format("se%d", i));
    }
    PlainBackground(1, 0x203040);
    PlainBackground(2, 0x402030);
    PlainCharacter(1, 0x808000);
    sound_ = std::make_unique<GameSoundChannels>(MemMan, &bgmFiles_);
    sound_->SetDevice(&device_);
    device_.TakeLog();
    host_.sound = sound_.get();
    host_.saveFolder = folder_.Name("Saves");
}

AvgFixture::~AvgFixture()
{
    unit_.reset();
    sound_->SetDevice(nullptr);
    sound_.reset();
    EXPECT_TRUE(registry_.Records().empty()) << registry_.Records().size() << " objects left in the registry";
    MemMan = savedRegistry_;
    DisplayBitDepth = savedDisplay_;
    GameBitDepth = savedGame_;
    std::filesystem::current_path(savedFolder_);
}

void AvgFixture::WriteScenario(const std::string& text)
{
    const auto scenario = ScriptTest::AssembleScenario(text);
    for (const auto& [number, bytes] : scenario.scripts)
        folder_.Write("Scripts/" + std::string(ScriptFile::FileName(number).c_str()), bytes);
    folder_.Write("Scripts/Scene.tbl", scenario.sceneTable);
}

void AvgFixture::WriteText(const std::string& relative, const std::string& text)
{
    folder_.Write(relative, PackFixture::Bytes(text.begin(), text.end()));
}

void AvgFixture::WriteVoicePack(int pack, const std::vector<std::int32_t>& voices)
{
    std::vector<PackFixture::Entry> entries;
    for (std::int32_t voice : voices) {
        const std::string name = "v" + std::to_string(voice);
        entries.push_back({Format("%010d.ogg", voice), PackFixture::Bytes(name.begin(), name.end())});
    }
    ASSERT_TRUE(PackFixture::BuildPack(folder_, folder_.Name(Format("Voice\\ev%05d.pak", pack)), entries, 0));
}

void AvgFixture::PlainBackground(int number, std::uint32_t colour)
{
    folder_.Write(Format("EvBG_Pak/bg%03d.png", number), StageTest::Png(640, 480, [colour](int, int) { return colour; }));
}

void AvgFixture::PlainCharacter(int number, std::uint32_t colour)
{
    folder_.Write(Format("EvCG_Pak/chr%03d.png", number), StageTest::Png(120, 300, [colour](int, int) { return colour; },
                                                                         [](int, int) { return std::uint8_t{255}; }));
}

void AvgFixture::Start(bool startScene)
{
    unit_ = std::make_unique<TAvgUnit>(
        TAvgUnit::Context{records_, system_, readMes_, config_, scripts_, host_, random_, movie_, dialog_, configMenu_, saveMenu_});
    ASSERT_TRUE(unit_->Initialize(&pictures_.Files()));
    host_.AttachPanel(unit_->AvgPanel());
    if (startScene) {
        records_ = TScenarioRecords();
        unit_->StartScenario("s");
    }
}

void AvgFixture::Frames(int n)
{
    for (int i = 0; i < n; ++i)
        unit_->Update(1);
}

int AvgFixture::FramesUntil(const std::function<bool()>& done, int limit)
{
    for (int frames = 0; frames < limit; ++frames) {
        if (done())
            return frames;
        unit_->Update(1);
    }
    return done() ? limit : -1;
}

std::vector<std::string> AvgFixture::MessageRows() const
{
    const TextRows& rows = unit_->Windows().MesWin().Rows();
    std::vector<std::string> texts;
    for (int r = 0; r <= rows.Row() && r < rows.RowCount(); ++r)
        texts.emplace_back(rows.Text(r));
    return texts;
}

int AvgFixture::Coverage(int column, int row) const
{
    const TXeAlpha* layer = unit_->Windows().Panel("MesText")->Alpha();
    const int cell = unit_->Windows().MesWin().CellWidth();
    int sum = 0;
    for (int y = TextWindow::RowPitch * row; y < TextWindow::RowPitch * row + cell; ++y)
        for (int x = cell * column; x < cell * column + cell; ++x)
            sum += layer->PGet(x, y);
    return sum;
}

} // namespace AvgTest

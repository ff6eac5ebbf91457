#include "scenario/adventure/AvgSubScreensFixture.h"

#include "support/BmpFile.h"

#include <fstream>

namespace AvgSubTest {

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

void AvgSubScreensFixture::SetUp()
{
    const std::filesystem::path data = folder.Path() / "Game_Pak";
    std::filesystem::create_directories(data);
    const auto mask = TestSupport::GreyBmp(640, 480, [](int x, int) { return static_cast<std::uint8_t>(x & 0xFF); });
    WriteFile(data / "FadeMask07_Swirl.bmp", mask);
    WriteFile(data / "FadeMask11_Star.bmp", mask);
    WriteFile(data / "Snow.bmp", TestSupport::Bmp24(64, 64, [](int, int) { return 0xFFFFFFu; }));
    WriteFile(data / "CfgParts.png", WindowTest::PngOf(530, 220, 0x808080));
    Make();
    EnableDisplay(false, true);
    form->SetState(fsAdventure);

    services.folder = saves.Name();
    host.saveFolder = saves.Name();
    host.form = form.get();

    owner = std::make_unique<TComponent>(nullptr);
    host.avgPanel = new TXeRGBPanel(owner.get());
    host.avgPanel->SetSizeX(640);
    host.avgPanel->SetSizeY(480);
    host.avgPanel->SetCreated(true);
    form->AttachPanel(host.avgPanel);

    stage = std::make_unique<TStageUnit>(nullptr, random, host.userConfig, system);
    ASSERT_TRUE(stage->Initialize(DataFileMan));
    stage->Attach(host.avgPanel);
    host.stage = stage.get();

    windows = std::make_unique<TSubWinUnit>(host.records.current, windowHost);
    ASSERT_TRUE(windows->Initialize(&pictures.Files()));
    windows->ClockWinAttach(host.avgPanel);
    windows->PlaceWinAttach(host.avgPanel);
    windows->MesWinAttach(host.avgPanel);
    windows->NovelWinAttach(host.avgPanel);
    windows->LogWinAttach(host.avgPanel);
    windows->SelWinAttach(host.avgPanel);
    windows->MenuWinAttach(host.avgPanel);
    host.windows = windows.get();

    dialog = std::make_unique<TDlgUnit>(nullptr);
    ASSERT_TRUE(dialog->Initialize(&pictures.Files()));
    config = std::make_unique<TConfigMenu>(nullptr, services, host.userConfig);
    ASSERT_TRUE(config->Initialize(DataFileMan));
    save = std::make_unique<TSaveMenu>(nullptr, services, host.records);
    ASSERT_TRUE(save->Initialize(&pictures.Files()));
    host.dialog = dialog.get();
    host.config = config.get();
    host.save = save.get();

    subs = std::make_unique<AvgSubScreens>(host);
    host.subs = subs.get();
    windows->LogWinSetOnEvent([this](int code) { subs->BacklogCode(code); });
    config->SetOnClose([this](std::int32_t code) { subs->OnConfigMenuClose(code); });
    save->SetOnClose([this](std::int32_t code) { subs->OnSaveMenuClose(code); });
    subs->Reset();
}

void AvgSubScreensFixture::TearDown()
{
    form->SetOnDraw({});
    form->SetOnRedraw({});
    form->ResetTransition();
    subs.reset();
    for (TXeRGBPanel* panel : {config->ConfigPanel(), save->SaveMenuWin(), host.avgPanel})
        form->DetachPanel(panel);
    save.reset();
    config.reset();
    dialog.reset();
    windows.reset();
    stage.reset();
    owner.reset();
}

void AvgSubScreensFixture::ResetScreen()
{
    form->SetOnDraw({});
    form->SetOnRedraw({});
    form->ResetTransition();
    form->ReleaseMaskEffect();
    form->DetachPanel(config->ConfigPanel());
    form->DetachPanel(save->SaveMenuWin());
    form->AttachPanel(host.avgPanel);
    windows->MesWinClose(true);
    windows->NovelWinClose(true);
    windows->LogWinClose(true);
    windows->SelWinClose(true);
    windows->MenuWinClose(true);
    if (dialog->IsOpen()) {
        dialog->SetOnClose({});
        dialog->Close();
        dialog->Detach();
    }
    subs->Reset();
    host.waits.Reset();
    host.modes.Reset();
    TakeCalls();
}

void AvgSubScreensFixture::Enter(WaitState state)
{
    host.waits.Set(state);
    subs->WaitStateChanged();
}

void AvgSubScreensFixture::Frame()
{
    if (subs->Level() < 3) {
        windows->MesWinUpdate(1, false);
        windows->NovelWinUpdate(1, false);
        windows->LogWinUpdate(1, false);
        windows->ClockUpdate(1, false);
        windows->SelWinUpdate(1, false);
        windows->PlaceWinUpdate(1, false);
        windows->MenuWinUpdate();
    }
    subs->Update(1);
    form->Update(1);
    form->Draw(1);
}

std::string AvgSubScreensFixture::Line(int i)
{
    std::string line;
    for (const char digit : std::to_string(i)) {
        line += '\xA3';
        line += static_cast<char>(0xB0 + (digit - '0'));
    }
    return line;
}

void AvgSubScreensFixture::FillBacklog(int lines, bool emptyNewest)
{
    TGameState& record = host.records.current;
    record.ClearBacklog();
    for (int i = 0; i < lines; ++i) {
        if (i > 0)
            record.AdvanceBacklog();
        record.AppendBacklogLine(Line(i));
    }
    if (emptyNewest)
        record.AdvanceBacklog();
}

std::string AvgSubScreensFixture::BacklogRow(int row) const
{
    return std::string(windows->LogWin().Rows().Text(row));
}

TXeRGBPanel* AvgSubScreensFixture::SideMenuButton(int i) const
{
    return windows->Panel(("MenuBtn" + std::to_string(i + 1)).c_str());
}

} // namespace AvgSubTest

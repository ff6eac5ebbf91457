// The song screen's panel tree: one row per panel, built when the screen is constructed.
#include "songgame/screen/TMusicUnit.h"

#include <stdexcept>
#include <string>

namespace {

struct MusicPanelRow {
    const char* name;
    const char* parent; // null: the screen's root
    int x, y, width, height;
    int blocks;
    bool visible;
};

// In drawing order; the pop-ups and digits are children of the score frame.
constexpr MusicPanelRow MusicPanelRows[] = {
    {"BGPanel", nullptr, 0, 0, 640, 300, 1, true},
    {"Curtain00", nullptr, 0, 0, 640, 16, 3, true},
    {"Curtain01", nullptr, 0, 16, 640, 16, 3, true},
    {"Curtain02", nullptr, 0, 32, 640, 16, 3, true},
    {"Curtain03", nullptr, 0, 48, 640, 16, 3, true},
    {"Curtain04", nullptr, 0, 64, 640, 16, 3, true},
    {"Curtain05", nullptr, 0, 80, 640, 16, 3, true},
    {"Curtain06", nullptr, 0, 96, 640, 16, 3, true},
    {"Curtain07", nullptr, 0, 112, 640, 16, 3, true},
    {"Curtain08", nullptr, 0, 128, 640, 16, 3, true},
    {"Curtain09", nullptr, 0, 144, 640, 16, 3, true},
    {"Curtain10", nullptr, 0, 160, 640, 16, 3, true},
    {"Curtain11", nullptr, 0, 176, 640, 16, 3, true},
    {"Curtain12", nullptr, 0, 192, 640, 16, 3, true},
    {"Curtain13", nullptr, 0, 208, 640, 16, 3, true},
    {"Curtain14", nullptr, 0, 224, 640, 16, 3, true},
    {"Curtain15", nullptr, 0, 240, 640, 16, 3, true},
    {"Curtain16", nullptr, 0, 256, 640, 16, 3, true},
    {"Curtain17", nullptr, 0, 272, 640, 16, 3, true},
    {"Curtain18", nullptr, 0, 288, 640, 16, 3, true},
    {"TitleP", nullptr, 82, 56, 480, 188, 1, false},
    {"SheetP", nullptr, 154, 300, 486, 180, 1, true},
    {"ScoreFrameP", nullptr, 0, 300, 154, 180, 1, true},
    {"PopBig00", "ScoreFrameP", 24, 108, 19, 22, 20, true},
    {"PopBig01", "ScoreFrameP", 46, 108, 19, 22, 20, true},
    {"PopBig02", "ScoreFrameP", 68, 108, 19, 22, 20, true},
    {"PopBig03", "ScoreFrameP", 90, 108, 19, 22, 20, true},
    {"PopBig04", "ScoreFrameP", 112, 108, 19, 22, 20, true},
    {"PopSmall00", "ScoreFrameP", 24, 142, 8, 11, 20, true},
    {"PopSmall01", "ScoreFrameP", 35, 142, 8, 11, 20, true},
    {"PopSmall02", "ScoreFrameP", 46, 142, 8, 11, 20, true},
    {"PopSmall03", "ScoreFrameP", 57, 142, 8, 11, 20, true},
    {"PopSmall04", "ScoreFrameP", 68, 142, 8, 11, 20, true},
    {"PopSmall05", "ScoreFrameP", 79, 142, 8, 11, 20, true},
    {"PopSmall06", "ScoreFrameP", 90, 142, 8, 11, 20, true},
    {"PopSmall07", "ScoreFrameP", 101, 142, 8, 11, 20, true},
    {"PopSmall08", "ScoreFrameP", 112, 142, 8, 11, 20, true},
    {"PopSmall09", "ScoreFrameP", 123, 142, 8, 11, 20, true},
    {"Score00", "ScoreFrameP", 123, 60, 12, 20, 10, true},
    {"Score01", "ScoreFrameP", 110, 60, 12, 20, 10, false},
    {"Score02", "ScoreFrameP", 97, 60, 12, 20, 10, false},
    {"Score03", "ScoreFrameP", 84, 60, 12, 20, 10, false},
    {"Score04", "ScoreFrameP", 71, 60, 12, 20, 10, false},
    {"Score05", "ScoreFrameP", 58, 60, 12, 20, 10, false},
    {"Score06", "ScoreFrameP", 45, 60, 12, 20, 10, false},
    {"Score07", "ScoreFrameP", 32, 60, 12, 20, 10, false},
    {"Score08", "ScoreFrameP", 19, 60, 12, 20, 10, false},
    {"FrameBottom", nullptr, 32, 284, 576, 16, 1, false},
    {"FrameLeft", nullptr, 0, 0, 32, 300, 1, false},
    {"FrameRight", nullptr, 608, 0, 32, 300, 1, false},
    {"FrameTop", nullptr, 32, 0, 576, 16, 1, false},
    {"HitLamp", nullptr, 239, 300, 25, 27, 1, false},
    {"GClef", nullptr, 140, 270, 96, 240, 1, true},
    {"WordP", nullptr, 32, 0, 576, 26, 1, false},
    {"ContinueCount", nullptr, 110, 56, 420, 120, 12, false},
    {"ContinueInfo", nullptr, 194, 157, 250, 100, 1, false},
    {"CaptionPanel", nullptr, 237, 40, 166, 96, 2, false},
};

} // namespace

void TMusicUnit::BuildPanels()
{
    FMusicPanel = new TXeRGBPanel(this);
    FMusicPanel->SetSizeX(640);
    FMusicPanel->SetSizeY(480);
    for (const MusicPanelRow& row : MusicPanelRows) {
        TXeRGBPanel* parent = row.parent != nullptr ? Panel(row.parent) : FMusicPanel;
        auto* panel = new TXeRGBPanel(this, parent);
        panel->SetAutoSize(false);
        panel->SetOffsetX(row.x);
        panel->SetOffsetY(row.y);
        panel->SetSizeX(row.width);
        panel->SetSizeY(row.height);
        panel->SetNumBlock(row.blocks);
        panel->SetVisible(row.visible);
        FPanels.emplace_back(row.name, panel);
    }
    for (int k = 0; k < CurtainStrips; ++k)
        FCurtains[static_cast<std::size_t>(k)] = Panel("Curtain" + std::string(k < 10 ? "0" : "") + std::to_string(k));
    for (int k = 0; k < BigPops; ++k)
        FPopBig[static_cast<std::size_t>(k)] = Panel("PopBig0" + std::to_string(k));
    for (int k = 0; k < SmallPops; ++k)
        FPopSmall[static_cast<std::size_t>(k)] = Panel("PopSmall0" + std::to_string(k));
    for (int k = 0; k < ScoreDigits; ++k)
        FScoreDigits[static_cast<std::size_t>(k)] = Panel("Score0" + std::to_string(k));
}

TXeRGBPanel* TMusicUnit::Panel(std::string_view name) const
{
    for (const auto& [panelName, panel] : FPanels)
        if (panelName == name)
            return panel;
    throw std::out_of_range("no song screen panel " + std::string(name));
}

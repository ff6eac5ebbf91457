// The song screen's panel tree: one row per panel, built when the screen is constructed.
#include "songgame/screen/TMusicUnit.h"

#include <string>

namespace {

// In drawing order; the pop-ups and digits are children of the score frame.
const PanelRow MusicPanelRows[] = {
    {"MusicPanel", PanelKind::Panel, nullptr, 0, 0, 640, 480, nullptr},
    {"BGPanel", PanelKind::Panel, "MusicPanel", 0, 0, 640, 300, nullptr, 1, {}, true, true},
    {"Curtain00", PanelKind::Panel, "MusicPanel", 0, 0, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain01", PanelKind::Panel, "MusicPanel", 0, 16, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain02", PanelKind::Panel, "MusicPanel", 0, 32, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain03", PanelKind::Panel, "MusicPanel", 0, 48, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain04", PanelKind::Panel, "MusicPanel", 0, 64, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain05", PanelKind::Panel, "MusicPanel", 0, 80, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain06", PanelKind::Panel, "MusicPanel", 0, 96, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain07", PanelKind::Panel, "MusicPanel", 0, 112, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain08", PanelKind::Panel, "MusicPanel", 0, 128, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain09", PanelKind::Panel, "MusicPanel", 0, 144, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain10", PanelKind::Panel, "MusicPanel", 0, 160, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain11", PanelKind::Panel, "MusicPanel", 0, 176, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain12", PanelKind::Panel, "MusicPanel", 0, 192, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain13", PanelKind::Panel, "MusicPanel", 0, 208, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain14", PanelKind::Panel, "MusicPanel", 0, 224, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain15", PanelKind::Panel, "MusicPanel", 0, 240, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain16", PanelKind::Panel, "MusicPanel", 0, 256, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain17", PanelKind::Panel, "MusicPanel", 0, 272, 640, 16, nullptr, 3, {}, true, true},
    {"Curtain18", PanelKind::Panel, "MusicPanel", 0, 288, 640, 16, nullptr, 3, {}, true, true},
    {"TitleP", PanelKind::Panel, "MusicPanel", 82, 56, 480, 188, nullptr, 1, {}, true, false},
    {"SheetP", PanelKind::Panel, "MusicPanel", 154, 300, 486, 180, nullptr, 1, {}, true, true},
    {"ScoreFrameP", PanelKind::Panel, "MusicPanel", 0, 300, 154, 180, nullptr, 1, {}, true, true},
    {"PopBig00", PanelKind::Panel, "ScoreFrameP", 24, 108, 19, 22, nullptr, 20, {}, true, true},
    {"PopBig01", PanelKind::Panel, "ScoreFrameP", 46, 108, 19, 22, nullptr, 20, {}, true, true},
    {"PopBig02", PanelKind::Panel, "ScoreFrameP", 68, 108, 19, 22, nullptr, 20, {}, true, true},
    {"PopBig03", PanelKind::Panel, "ScoreFrameP", 90, 108, 19, 22, nullptr, 20, {}, true, true},
    {"PopBig04", PanelKind::Panel, "ScoreFrameP", 112, 108, 19, 22, nullptr, 20, {}, true, true},
    {"PopSmall00", PanelKind::Panel, "ScoreFrameP", 24, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall01", PanelKind::Panel, "ScoreFrameP", 35, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall02", PanelKind::Panel, "ScoreFrameP", 46, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall03", PanelKind::Panel, "ScoreFrameP", 57, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall04", PanelKind::Panel, "ScoreFrameP", 68, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall05", PanelKind::Panel, "ScoreFrameP", 79, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall06", PanelKind::Panel, "ScoreFrameP", 90, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall07", PanelKind::Panel, "ScoreFrameP", 101, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall08", PanelKind::Panel, "ScoreFrameP", 112, 142, 8, 11, nullptr, 20, {}, true, true},
    {"PopSmall09", PanelKind::Panel, "ScoreFrameP", 123, 142, 8, 11, nullptr, 20, {}, true, true},
    {"Score00", PanelKind::Panel, "ScoreFrameP", 123, 60, 12, 20, nullptr, 10, {}, true, true},
    {"Score01", PanelKind::Panel, "ScoreFrameP", 110, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score02", PanelKind::Panel, "ScoreFrameP", 97, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score03", PanelKind::Panel, "ScoreFrameP", 84, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score04", PanelKind::Panel, "ScoreFrameP", 71, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score05", PanelKind::Panel, "ScoreFrameP", 58, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score06", PanelKind::Panel, "ScoreFrameP", 45, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score07", PanelKind::Panel, "ScoreFrameP", 32, 60, 12, 20, nullptr, 10, {}, true, false},
    {"Score08", PanelKind::Panel, "ScoreFrameP", 19, 60, 12, 20, nullptr, 10, {}, true, false},
    {"FrameBottom", PanelKind::Panel, "MusicPanel", 32, 284, 576, 16, nullptr, 1, {}, true, false},
    {"FrameLeft", PanelKind::Panel, "MusicPanel", 0, 0, 32, 300, nullptr, 1, {}, true, false},
    {"FrameRight", PanelKind::Panel, "MusicPanel", 608, 0, 32, 300, nullptr, 1, {}, true, false},
    {"FrameTop", PanelKind::Panel, "MusicPanel", 32, 0, 576, 16, nullptr, 1, {}, true, false},
    {"HitLamp", PanelKind::Panel, "MusicPanel", 239, 300, 25, 27, nullptr, 1, {}, true, false},
    {"GClef", PanelKind::Panel, "MusicPanel", 140, 270, 96, 240, nullptr, 1, {}, true, true},
    {"WordP", PanelKind::Panel, "MusicPanel", 32, 0, 576, 26, nullptr, 1, {}, true, false},
    {"ContinueCount", PanelKind::Panel, "MusicPanel", 110, 56, 420, 120, nullptr, 12, {}, true, false},
    {"ContinueInfo", PanelKind::Panel, "MusicPanel", 194, 157, 250, 100, nullptr, 1, {}, true, false},
    {"CaptionPanel", PanelKind::Panel, "MusicPanel", 237, 40, 166, 96, nullptr, 2, {}, true, false},
};

} // namespace

void TMusicUnit::BuildPanels()
{
    FLayout = std::make_unique<PanelLayout>(this, MusicPanelRows);
    FMusicPanel = Panel("MusicPanel");
    FStageFlags.SetPanel(Panel("BGPanel"));
    const auto hook = [this](bool (TMusicUnit::*draw)(TXeRGBBits*, int, int, const TXeRect&)) {
        return [this, draw](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
            return dest != nullptr && (this->*draw)(dest, x - sx, y - sy, {sx, sy, sx + w, sy + h});
        };
    };
    Panel("BGPanel")->OnDraw = hook(&TMusicUnit::BGPanelDraw);
    Panel("SheetP")->OnDraw = hook(&TMusicUnit::SheetPDraw);
    Panel("WordP")->OnDraw = hook(&TMusicUnit::WordPDraw);
    for (int k = 0; k < CurtainStrips; ++k)
        FCurtains[static_cast<std::size_t>(k)] = Panel("Curtain" + std::string(k < 10 ? "0" : "") + std::to_string(k));
    for (int k = 0; k < BigPops; ++k)
        FPopBig[static_cast<std::size_t>(k)] = Panel("PopBig0" + std::to_string(k));
    for (int k = 0; k < SmallPops; ++k)
        FPopSmall[static_cast<std::size_t>(k)] = Panel("PopSmall0" + std::to_string(k));
    for (int k = 0; k < ScoreDigits; ++k)
        FScoreDigits[static_cast<std::size_t>(k)] = Panel("Score0" + std::to_string(k));
}

TXeRGBPanel* TMusicUnit::Panel(std::string_view name) const { return (*FLayout)[name]; }

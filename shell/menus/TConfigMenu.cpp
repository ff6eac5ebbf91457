// TConfigMenu: the settings screen's panel table, parts sheet, settings and handlers.
#include "shell/menus/TConfigMenu.h"

#include "base/memory/TMemMan.h"
#include "graphics/panels/PanelGeometry.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "graphics/panels/TXeRGBParts.h"
#include "shell/GameGlobals.h"
#include "shell/config/TUserConfig.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/PicturePart.h"
#include "shell/menus/ShellServices.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

constexpr const char* kPartsSheet = "CfgParts.png";
constexpr const char* kOptionSound = "SysSeClick03";
constexpr const char* kStandardSound = "SysSeClick06";

// The parts sheet: x, y, width and height of the first pattern, and the number of patterns.
constexpr TXePartsData kPartsData[] = {
    {0, 0, 69, 28, 4},    {69, 0, 69, 28, 4},   {138, 0, 69, 28, 4},   {207, 0, 69, 28, 4},
    {276, 0, 69, 28, 4},  {345, 0, 69, 28, 4},  {414, 0, 69, 28, 4},   {483, 0, 69, 28, 4},
    {0, 112, 69, 28, 4},  {69, 112, 69, 28, 4}, {138, 112, 69, 28, 4}, {207, 112, 69, 28, 4},
    {276, 112, 69, 28, 4}, {345, 112, 69, 28, 4}, {414, 112, 69, 28, 4},
    {483, 112, 8, 10, 10}, // the ten digits
    {491, 112, 9, 15, 4},  // slider knob
    {500, 112, 11, 12, 4}, // left arrow
    {511, 112, 11, 12, 4}, // right arrow
    {-1, 0, 0, 0, 0},
};
constexpr int kDigits = 15;
constexpr int kKnob = 16;
constexpr int kArrowL = 17;
constexpr int kArrowR = 18;

// Slider geometry: 117 pixels wide, the 9-pixel knob travels 108 of them; the mouse point is taken
// 4 pixels left, at the knob's middle.
constexpr int kSliderWidth = 117;
constexpr int kKnobWidth = 9;
constexpr int kKnobHeight = 15;
constexpr int kKnobTravel = 108;
constexpr int kKnobGrip = 4;
constexpr int kPercentMax = 100;
constexpr int kTimeMax = 5000;
constexpr int kTimeStep = 100;
constexpr int kFullLevel = 128;
// Number panels: three digits, four for the auto wait (eight pixels each).
constexpr int kDigitWidth = 8;
constexpr int kDigitHeight = 10;
constexpr int kNumberColumns = 3;
constexpr int kTimeColumns = 4;
// Every button strip of the sheet stacks four patterns: normal, focus, selected and pressed.
constexpr ButtonLook kButton{1, 1, 1, 1, 0};
// The message-window sample sits right of the text-speed and message-window rows, in the gap
// between the two columns of settings.
constexpr int kSampleX = 312;
constexpr int kSampleY = 290;
// Its size until the picture gives it one.
constexpr int kSampleWidth = 84;
constexpr int kSampleHeight = 60;

enum : int {
    cPanel,
    cSysBtnNormalSet,
    cBGMVBtnL, cBGMVSlider, cBGMVNum, cBGMVBtnR,
    cVoiceVBtnL, cVoiceVSlider, cVoiceVNum, cVoiceVBtnR,
    cSEVBtnL, cSEVSlider, cSEVNum, cSEVBtnR,
    cRearVBtnL, cRearVSlider, cRearVNum, cRearVBtnR,
    cDispFullBtn, cDispWindowBtn,
    cFpsNoSyncBtn, cFpsFullBtn, cFps30Btn,
    cAdvBtnNormalSet,
    cSpeedBtnL, cSpeedSlider, cSpeedBtnR,
    cMesBoxBtnL, cMesBoxSlider, cMesBoxNum, cMesBoxBtnR, cMesBoxSample,
    cASkipBtnL, cASkipSlider, cASkipNum, cASkipBtnR,
    cEffectNormal, cEffectSimple,
    cPlaceON, cPlaceOFF,
    cMusicBtnNormalSet,
    cMainVBtnL, cMainVSlider, cMainVNum, cMainVBtnR,
    cKeyVBtnL, cKeyVSlider, cKeyVNum, cKeyVBtnR,
    cAutoAdvON, cAutoAdvOFF,
    cAutoFreeON, cAutoFreeOFF,
    cRankEasy, cRankNormal, cRankHard,
    cWordNormal, cWordHiQuality, cWordOFF,
    cAnimeON, cAnimeOFF,
    cTimingSound, cTimingTimer,
    cBtnExit,
    cNone = -1,
};

// A panel of the table and the part of the sheet it shows (kNoPart: none).
constexpr int kNoPart = -1;
struct TConfigRow {
    PanelRow panel;
    int part;
};

constexpr TConfigRow Button(const char* name, int part, int x, int y, bool visible = true)
{
    return {{name, PanelKind::Button, "ConfigPanel", x, y, 69, 28, nullptr, 1, kButton, true, visible}, part};
}
constexpr TConfigRow Arrow(const char* name, int part, int x, int y)
{
    return {{name, PanelKind::Button, "ConfigPanel", x, y, 11, 12, nullptr, 1, kButton}, part};
}
constexpr TConfigRow Slider(const char* name, int x, int y)
{
    return {{name, PanelKind::Panel, "ConfigPanel", x, y, kSliderWidth, kKnobHeight, nullptr, 4}, kKnob};
}
constexpr TConfigRow Number(const char* name, int x, int y, int columns = kNumberColumns)
{
    return {{name, PanelKind::Number, "ConfigPanel", x, y, kDigitWidth * columns, kDigitHeight, nullptr}, kDigits};
}

// Sizes are the controls' final ones: the sliders and numbers are wider than their parts.
constexpr TConfigRow kLayout[] = {
    {{"ConfigPanel", PanelKind::Panel, nullptr, 0, 0, 640, 480, "CfgBack.png"}, kNoPart},
    Button("SysBtnNormalSet", 13, 250, 53),
    Arrow("BGMVBtnL", kArrowL, 135, 80), Slider("BGMVSlider", 147, 79), Number("BGMVNum", 278, 81),
    Arrow("BGMVBtnR", kArrowR, 265, 80),
    Arrow("VoiceVBtnL", kArrowL, 135, 97), Slider("VoiceVSlider", 147, 96), Number("VoiceVNum", 278, 98),
    Arrow("VoiceVBtnR", kArrowR, 265, 97),
    Arrow("SEVBtnL", kArrowL, 135, 114), Slider("SEVSlider", 147, 113), Number("SEVNum", 278, 115),
    Arrow("SEVBtnR", kArrowR, 265, 114),
    Arrow("RearVBtnL", kArrowL, 135, 131), Slider("RearVSlider", 147, 130), Number("RearVNum", 278, 132),
    Arrow("RearVBtnR", kArrowR, 265, 131),
    Button("DispFullBtn", 0, 143, 160), Button("DispWindowBtn", 1, 214, 160),
    Button("FpsNoSyncBtn", 2, 112, 188), Button("FpsFullBtn", 0, 179, 188), Button("Fps30Btn", 3, 247, 188),
    Button("AdvBtnNormalSet", 13, 250, 264),
    Arrow("SpeedBtnL", kArrowL, 135, 291), Slider("SpeedSlider", 147, 290), Arrow("SpeedBtnR", kArrowR, 265, 291),
    Arrow("MesBoxBtnL", kArrowL, 135, 347), Slider("MesBoxSlider", 147, 346), Number("MesBoxNum", 278, 348),
    Arrow("MesBoxBtnR", kArrowR, 265, 347),
    {{"MesBoxSample", PanelKind::Panel, "ConfigPanel", kSampleX, kSampleY, kSampleWidth, kSampleHeight, "CfgMesBox.bmp", 1, {}, false},
     kNoPart},
    Arrow("ASkipBtnL", kArrowL, 135, 378), Slider("ASkipSlider", 147, 377),
    Number("ASkipNum", 278, 379, kTimeColumns), Arrow("ASkipBtnR", kArrowR, 265, 378),
    Button("EffectNormal", 4, 146, 407), Button("EffectSimple", 5, 219, 407),
    Button("PlaceON", 6, 146, 434, false), Button("PlaceOFF", 7, 219, 434, false),
    Button("MusicBtnNormalSet", 13, 569, 53),
    Arrow("MainVBtnL", kArrowL, 455, 88), Slider("MainVSlider", 467, 87), Number("MainVNum", 598, 89),
    Arrow("MainVBtnR", kArrowR, 585, 88),
    Arrow("KeyVBtnL", kArrowL, 455, 106), Slider("KeyVSlider", 467, 105), Number("KeyVNum", 598, 107),
    Arrow("KeyVBtnR", kArrowR, 585, 106),
    Button("AutoAdvON", 6, 472, 141), Button("AutoAdvOFF", 7, 545, 141),
    Button("AutoFreeON", 6, 472, 170), Button("AutoFreeOFF", 7, 545, 170),
    Button("RankEasy", 8, 406, 228), Button("RankNormal", 4, 480, 228), Button("RankHard", 9, 552, 228),
    Button("WordNormal", 4, 406, 287), Button("WordHiQuality", 10, 480, 287), Button("WordOFF", 7, 552, 287),
    Button("AnimeON", 6, 452, 344), Button("AnimeOFF", 7, 525, 344),
    Button("TimingSound", 11, 452, 372), Button("TimingTimer", 12, 525, 372),
    Button("BtnExit", 14, 572, 436),
};
static_assert(std::size(kLayout) == cBtnExit + 1);

// The rows the layout builder takes.
constexpr std::array<PanelRow, std::size(kLayout)> PanelRows()
{
    std::array<PanelRow, std::size(kLayout)> rows{};
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = kLayout[i].panel;
    return rows;
}
constexpr std::array<PanelRow, std::size(kLayout)> kPanelRows = PanelRows();

// How a slider row maps its value: volumes and percentages, the text speed (shown as 100 - value,
// its arrows reversed) and the auto wait in milliseconds.
enum TSliderKind : std::uint8_t { skPercent, skSpeed, skTime };

struct TSettingValue {
    TConfigSetting setting;
    std::int32_t value;
};

// The standard settings, applied in this order.
constexpr TSettingValue kSysStandard[] = {
    {csVoiceVolume, 100}, {csBGMVolume, 70}, {csSEVolume, 100}, {csRearVolume, 90}, {csFPSMode, 2}};
constexpr TSettingValue kAdvStandard[] = {
    {csUserTextSpeed, 100}, {csMesBoxTrans, 25}, {csAutoSkipWait, 2000}, {csSimpleDisplay, 0}, {csShowPlaceName, 0}};
constexpr TSettingValue kMusicStandard[] = {{csVolumeMainPlay, 100}, {csVolumeKeyboard, 100}, {csAvgAutoMode, 0},
                                            {csMusicAutoMode, 0},    {csMusicRankMode, 0},    {csMusicWordMode, 1},
                                            {csMusicAnime, 1},       {csMusicTimingMode, 1}};
constexpr std::span<const TSettingValue> kStandards[] = {kSysStandard, kAdvStandard, kMusicStandard};
constexpr int kStandardButtons[] = {cSysBtnNormalSet, cAdvBtnNormalSet, cMusicBtnNormalSet};

int ShownMax(TSliderKind kind) { return kind == skTime ? kTimeMax : kPercentMax; }

// The value a slider shows for a setting's value.
int Shown(TSliderKind kind, std::int32_t value) { return kind == skSpeed ? kPercentMax - value : value; }

// The setting's value for a mouse point x in the slider.
std::int32_t FromSlider(TSliderKind kind, int x)
{
    const int p = std::clamp(x - kKnobGrip, 0, kKnobTravel);
    const int shown = p * ShownMax(kind) / kKnobTravel;
    return Shown(kind, shown);
}

// An arrow's step from value v, or v itself where the arrow does not act.
std::int32_t Step(TSliderKind kind, std::int32_t v, bool right)
{
    switch (kind) {
    case skSpeed:
        if (right)
            return v >= 1 ? v - 1 : v;
        return v < kPercentMax ? v + 1 : v;
    case skTime:
        if (right)
            return v < kTimeMax ? (v + kTimeStep) / kTimeStep * kTimeStep : v;
        return v > 0 ? (v - 1) / kTimeStep * kTimeStep : v;
    default:
        if (right)
            return v < kPercentMax ? v + 1 : v;
        return v > 0 ? v - 1 : v;
    }
}

} // namespace

struct TConfigSliderRow {
    TSliderKind kind;
    TConfigSetting setting;
    int left;
    int slider;
    int number; // cNone: the row shows no number
    int right;
};

// One group of mutually exclusive buttons and the value each stands for.
struct TConfigOptionGroup {
    TConfigSetting setting;
    std::array<int, 3> buttons; // cNone past the group's end
    std::array<std::int32_t, 3> values;
};

namespace {

constexpr TConfigSliderRow kSliderRows[] = {
    {skPercent, csBGMVolume, cBGMVBtnL, cBGMVSlider, cBGMVNum, cBGMVBtnR},
    {skPercent, csVoiceVolume, cVoiceVBtnL, cVoiceVSlider, cVoiceVNum, cVoiceVBtnR},
    {skPercent, csSEVolume, cSEVBtnL, cSEVSlider, cSEVNum, cSEVBtnR},
    {skPercent, csRearVolume, cRearVBtnL, cRearVSlider, cRearVNum, cRearVBtnR},
    {skSpeed, csUserTextSpeed, cSpeedBtnL, cSpeedSlider, cNone, cSpeedBtnR},
    {skPercent, csMesBoxTrans, cMesBoxBtnL, cMesBoxSlider, cMesBoxNum, cMesBoxBtnR},
    {skTime, csAutoSkipWait, cASkipBtnL, cASkipSlider, cASkipNum, cASkipBtnR},
    {skPercent, csVolumeMainPlay, cMainVBtnL, cMainVSlider, cMainVNum, cMainVBtnR},
    {skPercent, csVolumeKeyboard, cKeyVBtnL, cKeyVSlider, cKeyVNum, cKeyVBtnR},
};

constexpr TConfigOptionGroup kOptionGroups[] = {
    {csFPSMode, {cFpsNoSyncBtn, cFpsFullBtn, cFps30Btn}, {3, 2, 1}},
    {csSimpleDisplay, {cEffectNormal, cEffectSimple, cNone}, {0, 1, 0}},
    {csShowPlaceName, {cPlaceON, cPlaceOFF, cNone}, {1, 0, 0}},
    {csAvgAutoMode, {cAutoAdvON, cAutoAdvOFF, cNone}, {1, 0, 0}},
    {csMusicAutoMode, {cAutoFreeON, cAutoFreeOFF, cNone}, {1, 0, 0}},
    {csMusicRankMode, {cRankEasy, cRankNormal, cRankHard}, {2, 0, 1}},
    {csMusicWordMode, {cWordNormal, cWordHiQuality, cWordOFF}, {1, 2, 0}},
    {csMusicAnime, {cAnimeON, cAnimeOFF, cNone}, {1, 0, 0}},
    {csMusicTimingMode, {cTimingSound, cTimingTimer, cNone}, {1, 0, 0}},
};

} // namespace

TConfigMenu::TConfigMenu(TComponent* owner, ShellServices& services, TUserConfig& config)
    : TComponent(owner), FServices(services), FConfig(config),
      FLayout(this, kPanelRows, [this](TObject* sender) { PanelCreate(static_cast<TXeRGBPanel*>(sender)); },
              [this](TObject* sender) { PanelRelease(static_cast<TXeRGBPanel*>(sender)); })
{
    for (std::size_t i = 0; i < kPanelRows.size(); ++i)
        FPanels.push_back(FLayout.Row(i));
    // The sample takes its picture's size.
    FPanels[cMesBoxSample]->SetAutoSize(true);
    WireEvents();
}

TConfigMenu::~TConfigMenu()
{
    if (FCreated)
        Finalize();
}

void TConfigMenu::WireEvents()
{
    ConfigPanel()->OnAnime = [this](TObject*) { ShowDisplayButtons(); };
    FPanels[cMesBoxSample]->OnDraw = [this](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy) {
        return MesBoxSampleDraw(dest, x, y, sx, sy, dx, dy);
    };
    for (const TConfigSliderRow& row : kSliderRows)
        WireSlider(row);
    for (const TConfigOptionGroup& group : kOptionGroups)
        WireOptions(group);
    FPanels[cDispFullBtn]->OnClick = [this](TObject*) { DisplayClick(false); };
    FPanels[cDispWindowBtn]->OnClick = [this](TObject*) { DisplayClick(true); };
    for (int i = 0; i < static_cast<int>(std::size(kStandardButtons)); ++i)
        FPanels[kStandardButtons[i]]->OnClick = [this, i](TObject*) { StandardClick(i); };
    FPanels[cBtnExit]->OnClick = [this](TObject*) { BtnExitClick(); };
}

void TConfigMenu::WireSlider(const TConfigSliderRow& row)
{
    FPanels[row.left]->OnClick = [this, &row](TObject*) { ArrowClick(row, false); };
    FPanels[row.right]->OnClick = [this, &row](TObject*) { ArrowClick(row, true); };
    TXeRGBPanel* slider = FPanels[row.slider];
    slider->OnMouseDown = [this, &row](TObject*, TMouseButton, TShiftState, int x, int) { SliderMouse(row, x); };
    slider->OnMouseMove = [this, &row](TObject*, TShiftState shift, int x, int) {
        if ((shift & ssLeft) != 0)
            SliderMouse(row, x);
    };
    slider->OnDraw = [this, &row](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy) {
        return SliderDraw(row, dest, x, y, sx, sy, dx, dy);
    };
}

void TConfigMenu::WireOptions(const TConfigOptionGroup& group)
{
    for (std::size_t i = 0; i < group.buttons.size() && group.buttons[i] != cNone; ++i) {
        const std::int32_t value = group.values[i];
        FPanels[static_cast<std::size_t>(group.buttons[i])]->OnClick = [this, &group, value](TObject*) {
            OptionClick(group, value);
        };
    }
}

bool TConfigMenu::Initialize(TFileMan* files)
{
    try {
        FFiles = files;
        if (!LoadPartsImage(&FParts, kPartsSheet, kPartsData, files)) {
            Finalize();
            return false;
        }
        PlaceParts();
        ConfigPanel()->AllCreate();
        for (const TConfigSliderRow& row : kSliderRows)
            if (row.number != cNone)
                PanelAt<TXeRGBNum>(row.number)->SetColumn(row.kind == skTime ? kTimeColumns : kNumberColumns);
        Refresh();
        FCreated = true;
        return true;
    } catch (...) {
        Finalize();
        throw;
    }
}

// Every control takes its part's picture and place; the table's size then wins, since the sliders
// and numbers are wider than their parts. Sliders draw only their knob, through their draw event.
void TConfigMenu::PlaceParts()
{
    for (std::size_t i = 0; i < std::size(kLayout); ++i) {
        const TConfigRow& row = kLayout[i];
        if (row.part == kNoPart)
            continue;
        TXeRGBPanel* panel = FPanels[i];
        SetupPartsPanel(panel, FParts, TPartsPlacement{row.part, row.panel.x, row.panel.y});
        panel->SetSizeX(row.panel.width);
        panel->SetSizeY(row.panel.height);
        if (row.part == kKnob)
            panel->SetMaskMode(mmNone);
    }
}

void TConfigMenu::Finalize()
{
    ConfigPanel()->AllRelease();
    if (FParts != nullptr && MemMan != nullptr)
        MemMan->Delete(FParts);
    FParts = nullptr;
    FCreated = false;
}

void TConfigMenu::PanelCreate(TXeRGBPanel* panel)
{
    LoadPanelImage(panel, panel->GetText(), FFiles);
    // The sample draws its picture itself, at the message window's level.
    if (panel == FPanels[cMesBoxSample])
        panel->SetMaskMode(mmNone);
}

void TConfigMenu::PanelRelease(TXeRGBPanel* panel) { FreePanelImage(panel); }

std::int32_t TConfigMenu::Get(TConfigSetting setting) const
{
    switch (setting) {
    case csBGMVolume: return FServices.Volume(vkBGM);
    case csVoiceVolume: return FServices.Volume(vkVoice);
    case csSEVolume: return FServices.Volume(vkSE);
    case csRearVolume: return FServices.Volume(vkRear);
    case csFPSMode: return FServices.FPSMode();
    case csUserTextSpeed: return FConfig.UserTextSpeed;
    case csMesBoxTrans: return FConfig.MesBoxTrans;
    case csAutoSkipWait: return FConfig.AutoSkipWait;
    case csSimpleDisplay: return FConfig.SimpleDisplay;
    case csShowPlaceName: return FConfig.ShowPlaceName;
    case csVolumeMainPlay: return FConfig.VolumeMainPlay;
    case csVolumeKeyboard: return FConfig.VolumeKeyboard;
    case csAvgAutoMode: return FConfig.AvgAutoMode;
    case csMusicAutoMode: return FConfig.MusicAutoMode;
    case csMusicRankMode: return FConfig.MusicRankMode;
    case csMusicWordMode: return FConfig.MusicWordMode;
    case csMusicAnime: return FConfig.MusicAnime;
    case csMusicTimingMode: return FConfig.MusicTimingMode;
    }
    return 0;
}

void TConfigMenu::Set(TConfigSetting setting, std::int32_t value)
{
    const auto flag = static_cast<std::uint8_t>(value);
    switch (setting) {
    case csBGMVolume: FServices.SetVolume(vkBGM, value); break;
    case csVoiceVolume: FServices.SetVolume(vkVoice, value); break;
    case csSEVolume: FServices.SetVolume(vkSE, value); break;
    case csRearVolume: FServices.SetVolume(vkRear, value); break;
    case csFPSMode: FServices.SetFPSMode(flag); break;
    case csUserTextSpeed: FConfig.UserTextSpeed = value; break;
    case csMesBoxTrans: FConfig.MesBoxTrans = value; break;
    case csAutoSkipWait: FConfig.AutoSkipWait = value; break;
    case csSimpleDisplay: FConfig.SimpleDisplay = flag; break;
    case csShowPlaceName: FConfig.ShowPlaceName = flag; break;
    case csVolumeMainPlay: FConfig.VolumeMainPlay = value; break;
    case csVolumeKeyboard: FConfig.VolumeKeyboard = value; break;
    case csAvgAutoMode: FConfig.AvgAutoMode = flag; break;
    case csMusicAutoMode: FConfig.MusicAutoMode = flag; break;
    case csMusicRankMode: FConfig.MusicRankMode = flag; break;
    case csMusicWordMode: FConfig.MusicWordMode = flag; break;
    case csMusicAnime: FConfig.MusicAnime = flag; break;
    case csMusicTimingMode: FConfig.MusicTimingMode = flag; break;
    }
}

void TConfigMenu::Refresh()
{
    for (const TConfigSliderRow& row : kSliderRows)
        ShowRow(row);
    for (const TConfigOptionGroup& group : kOptionGroups)
        ShowOptions(group);
    ShowDisplayButtons();
}

// The slider keeps the value it shows in its Tag; its draw event places the knob from there.
void TConfigMenu::ShowRow(const TConfigSliderRow& row)
{
    const std::int32_t value = Get(row.setting);
    TXeRGBPanel* slider = FPanels[row.slider];
    slider->Tag = Shown(row.kind, value);
    slider->SetModify();
    if (row.number != cNone)
        PanelAt<TXeRGBNum>(row.number)->SetNumber(value);
    if (row.setting == csMesBoxTrans)
        FPanels[cMesBoxSample]->SetModify();
}

void TConfigMenu::ShowOptions(const TConfigOptionGroup& group)
{
    const std::int32_t value = Get(group.setting);
    for (std::size_t i = 0; i < group.buttons.size() && group.buttons[i] != cNone; ++i)
        PanelAt<TXeRGBBtn>(group.buttons[i])->SetSelected(group.values[i] == value);
}

void TConfigMenu::ShowDisplayButtons()
{
    const bool window = FServices.WindowMode();
    PanelAt<TXeRGBBtn>(cDispFullBtn)->SetSelected(!window);
    PanelAt<TXeRGBBtn>(cDispWindowBtn)->SetSelected(window);
}

void TConfigMenu::ArrowClick(const TConfigSliderRow& row, bool right)
{
    const std::int32_t value = Get(row.setting);
    const std::int32_t next = Step(row.kind, value, right);
    if (next != value)
        Set(row.setting, next);
    ShowRow(row);
}

void TConfigMenu::SliderMouse(const TConfigSliderRow& row, int x)
{
    Set(row.setting, FromSlider(row.kind, x));
    ShowRow(row);
}

// The knob: the first pattern of the slider's picture, placed by the shown value, which is clamped
// to the track so that a stored value out of range still draws inside it.
bool TConfigMenu::SliderDraw(const TConfigSliderRow& row, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)
{
    const TXeRGBPanel* slider = FPanels[row.slider];
    const int max = ShownMax(row.kind);
    const int knobX = std::clamp(slider->Tag, 0, max) * kKnobTravel / max;
    DrawPicturePart({dest, x, y, sx, sy, dx, dy}, slider->Image(), slider->Alpha(), RectAt(knobX, 0, kKnobWidth, kKnobHeight));
    return true;
}

// The sample shows the message-window picture as the message window will be drawn.
bool TConfigMenu::MesBoxSampleDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)
{
    const TXeRGBPanel* sample = FPanels[cMesBoxSample];
    const int level = std::clamp((kPercentMax - FConfig.MesBoxTrans) * kFullLevel / kPercentMax, 0, kFullLevel);
    if (TXeRGBBits* picture = sample->Image())
        DrawPicturePart({dest, x, y, sx, sy, dx, dy}, picture, nullptr, RectAt(0, 0, picture->Width(), picture->Height()), level);
    return true;
}

void TConfigMenu::OptionClick(const TConfigOptionGroup& group, std::int32_t value)
{
    FServices.PlaySystemSE(kOptionSound);
    Set(group.setting, value);
    ShowOptions(group);
}

// A request only for a change: the switch itself happens on the UI thread, and the next frame's
// animation step shows the new mode.
void TConfigMenu::DisplayClick(bool toWindow)
{
    if (FServices.WindowMode() != toWindow)
        FServices.RequestWindowMode(toWindow);
}

void TConfigMenu::StandardClick(int which)
{
    FServices.PlaySystemSE(kStandardSound);
    for (const TSettingValue& s : kStandards[which])
        Set(s.setting, s.value);
    Refresh();
}

void TConfigMenu::BtnExitClick()
{
    FServices.PlaySystemSE(kStandardSound);
    const TCloseEvent onClose = FOnClose;
    if (onClose)
        onClose(kClosed);
}

#include "scenario/windows/TSubWinUnit.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "scenario/windows/SubWinHost.h"
#include "shell/helpers/PictureLoading.h"

#include <algorithm>
#include <array>

namespace {

constexpr ButtonLook WaitLook{7, 0, 0, 0, 0, 3, batWraparound};
constexpr ButtonLook HideLook{1, 1, 0, 1, 1, 1, batWraparound};
constexpr ButtonLook ModeLook{1, 1, 3, 1, 1, 3, batRoundtrip};
constexpr ButtonLook LogLook{1, 1, 0, 1, 1, 3, batRoundtrip};
constexpr ButtonLook MesMenuLook{1, 1, 0, 1, 0, 3, batRoundtrip};
// The backlog's close button has no picture; its three blocks are normal, focus and down.
constexpr ButtonLook CloseLook{1, 1, 0, 1, 0, 1, batWraparound};
constexpr ButtonLook SideLook{1, 3, 0, 0, 1, 4, batWraparound};

constexpr PanelKind P = PanelKind::Panel;
constexpr PanelKind B = PanelKind::Button;

// Every window's panels. Roots have no parent: the adventure screen attaches them. Digit panels
// without a picture show the first digit panel's picture.
const PanelRow Rows[] = {
    {"MesWin", P, nullptr, 25, 303, 601, 177, nullptr},
    {"MesBack", P, "MesWin", 0, 0, 601, 177, "MesBack.png"},
    {"MesFrame", P, "MesWin", 0, 0, 601, 177, "MesFrame.png"},
    {"MesText", P, "MesBack", 56, 31, 468, 114, nullptr, 1, {}, false},
    {"MesWait", B, nullptr, 552, 405, 20, 20, "MesWait.png", 1, WaitLook, false},
    {"MesLook", B, "MesFrame", 552, 27, 17, 17, "MesHide.png", 1, HideLook},
    {"MesAuto", B, "MesFrame", 552, 91, 17, 17, "MesAuto.png", 1, ModeLook},
    {"MesSkip", B, "MesFrame", 552, 114, 17, 17, "MesSkip.png", 1, ModeLook},
    {"MesLog", B, "MesFrame", 0, 0, 17, 17, nullptr, 1, LogLook, true, false},
    {"MesSave", B, "MesFrame", 47, 178, 65, 17, nullptr, 1, MesMenuLook, true, false},
    {"MesLoad", B, "MesFrame", 114, 178, 65, 17, nullptr, 1, MesMenuLook, true, false},
    {"MesConfig", B, "MesFrame", 197, 184, 95, 17, nullptr, 1, MesMenuLook, true, false},
    {"NovelWin", P, nullptr, 0, 0, 640, 480, nullptr},
    {"NovelText", P, "NovelWin", 60, 48, 520, 380, nullptr, 1, {}, false},
    {"NovelWait", B, "NovelWin", 0, 0, 20, 20, "MesWait.png", 1, WaitLook, false},
    {"LogWin", P, nullptr, 0, 0, 640, 480, nullptr},
    {"LogBack", P, "LogWin", 0, 0, 640, 480, nullptr},
    {"LogText", P, "LogBack", 60, 48, 520, 380, nullptr, 1, {}, false},
    {"LogFrame", P, "LogWin", 0, 0, 640, 480, nullptr},
    {"LogClose", B, "LogFrame", 0, 0, 15, 15, nullptr, 1, CloseLook, true, false},
    {"LogBar", P, "LogFrame", 584, 68, 20, 340, "BacklogBar.png", 1, {}, true, false},
    {"LogPos", B, "LogBar", 1, 0, 18, 18, "BacklogPos.png", 1, {}, false},
    {"LogUp", B, "LogFrame", 584, 48, 20, 20, "BacklogUp.png", 1, {}, true, false},
    {"LogDown", B, "LogFrame", 584, 408, 20, 20, "BacklogDown.png", 1, {}, true, false},
    {"SelWin", P, nullptr, 50, 180, 540, 120, "SelWindow.png"},
    {"SelCur", P, "SelWin", 10, 14, 520, 20, "SelCursor.png", 1, {}, false},
    {"SelText", P, "SelWin", 10, 14, 520, 92, nullptr},
    {"DateWin", P, nullptr, 0, 0, 83, 40, nullptr, 1, {}, false},
    {"Month1", P, "DateWin", 0, 1, 26, 24, "CalDateNum.png", 10, {}, false},
    {"Month2", P, "DateWin", 16, 1, 26, 24, nullptr, 10, {}, false},
    {"DateSep", P, "DateWin", 32, 0, 19, 26, "CalSlash.png", 1, {}, false},
    {"Day1", P, "DateWin", 41, 1, 26, 24, nullptr, 10, {}, false},
    {"Day2", P, "DateWin", 57, 1, 26, 24, nullptr, 10, {}, false},
    {"TimeWin", P, nullptr, 0, 0, 81, 26, nullptr, 1, {}, false},
    {"Hour1", P, "TimeWin", 0, 0, 22, 26, "CalTimeNum.png", 10, {}, false},
    {"Hour2", P, "TimeWin", 10, 0, 22, 26, nullptr, 10, {}, false},
    {"TimeSep", P, "TimeWin", 35, 2, 11, 21, "CalColon.png", 1, {}, false},
    {"Min1", P, "TimeWin", 43, 0, 22, 26, nullptr, 10, {}, false},
    {"Min2", P, "TimeWin", 59, 0, 22, 26, nullptr, 10, {}, false},
    {"PlaceWin", P, nullptr, 0, PlacePlate::Top, 1, 1, nullptr, 1, {}, false},
    {"MenuWin", P, nullptr, 0, 0, 640, 480, nullptr},
    {"MenuBtn1", B, "MenuWin", SideMenu::HiddenX, 100, 180, 24, "Menu01.png", 1, SideLook},
    {"MenuBtn2", B, "MenuWin", SideMenu::HiddenX, 132, 180, 24, "Menu02.png", 1, SideLook},
    {"MenuBtn3", B, "MenuWin", SideMenu::HiddenX, 164, 180, 24, "Menu03.png", 1, SideLook},
    {"MenuBtn4", B, "MenuWin", SideMenu::HiddenX, 196, 180, 24, "Menu04.png", 1, SideLook},
    {"MenuBtn5", B, "MenuWin", SideMenu::HiddenX, 228, 180, 24, "Menu05.png", 1, SideLook},
    {"MenuBtn6", B, "MenuWin", SideMenu::HiddenX, 260, 180, 24, "Menu06.png", 1, SideLook},
    {"MenuBtn7", B, "MenuWin", SideMenu::HiddenX, 292, 180, 24, "Menu07.png", 1, SideLook},
    {"MenuBtn8", B, "MenuWin", SideMenu::HiddenX, 324, 180, 24, "Menu08.png", 1, SideLook},
    {"MenuBtn9", B, "MenuWin", SideMenu::HiddenX, 356, 180, 24, "Menu09.png", 1, SideLook},
};

// The roots whose trees Initialize creates and Finalize releases.
constexpr std::array<const char*, 9> Roots = {"MesWin", "MesWait", "NovelWin", "LogWin", "DateWin", "TimeWin",
                                              "SelWin", "PlaceWin", "MenuWin"};

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t PaleBlue = 0xD0D0FF;

} // namespace

TSubWinUnit::TSubWinUnit(const TGameState& state, SubWinHost& host)
    : state_(state), owner_(std::make_unique<TComponent>(nullptr)),
      layout_(owner_.get(), Rows, [this](TObject* sender) { PanelCreate(sender); },
              [this](TObject* sender) { PanelRelease(sender); }),
      renderer_(owner_.get()), mes_(5, RowKind::Message, renderer_), novel_(16, RowKind::Novel, renderer_),
      log_(renderer_), sel_(renderer_), menu_(host)
{
    mes_.SetPanels({layout_["MesWin"], layout_["MesText"], layout_["MesWait"],
                    {layout_["MesLook"], layout_["MesAuto"], layout_["MesSkip"]},
                    {layout_["MesLog"], layout_["MesSave"], layout_["MesLoad"], layout_["MesConfig"]}});
    novel_.SetPanels({layout_["NovelWin"], layout_["NovelText"], layout_["NovelWait"], {}, {}});
    log_.SetPanels({layout_["LogWin"], layout_["LogText"], layout_["LogClose"], layout_["LogBar"], layout_["LogPos"],
                    layout_["LogUp"], layout_["LogDown"]});
    sel_.SetPanels({layout_["SelWin"], layout_["SelCur"], layout_["SelText"]});
    clock_.SetPanels(layout_["DateWin"], layout_["TimeWin"],
                     {{layout_["Month1"], layout_["Month2"], layout_["Day1"], layout_["Day2"]},
                      {layout_["Hour1"], layout_["Hour2"], layout_["Min1"], layout_["Min2"]},
                      layout_["TimeSep"]});
    place_.SetPanel(layout_["PlaceWin"]);
    std::array<TXeRGBBtn*, SideMenu::ButtonCount> buttons{};
    for (int i = 0; i < SideMenu::ButtonCount; ++i) {
        buttons[static_cast<std::size_t>(i)] = layout_.Button("MenuBtn" + std::to_string(i + 1));
        buttons[static_cast<std::size_t>(i)]->Tag = i;
    }
    menu_.SetPanels(layout_["MenuWin"], buttons);
    WireEvents();
}

TSubWinUnit::~TSubWinUnit()
{
    if (initialized_)
        Finalize();
}

void TSubWinUnit::PanelCreate(TObject* sender)
{
    auto* panel = static_cast<TXeRGBPanel*>(sender);
    LoadPanelImage(panel, panel->GetText(), files_);
}

void TSubWinUnit::PanelRelease(TObject* sender) { FreePanelImage(static_cast<TXeRGBPanel*>(sender)); }

bool TSubWinUnit::Initialize(TFileMan* files)
{
    files_ = files;
    menu_.SetFiles(files);
    if (!renderer_.CreateBuffers()) {
        Finalize();
        return false;
    }
    for (const char* root : Roots)
        layout_[root]->AllCreate();
    // These draw their pictures themselves (levels, unrolling), never as plain images.
    for (const char* name : {"MesBack", "MesFrame", "SelWin"})
        layout_[name]->SetMaskMode(mmNone);
    for (const char* name : {"Month2", "Day1", "Day2"})
        AssignPanelImage(layout_[name], layout_["Month1"]);
    for (const char* name : {"Hour2", "Min1", "Min2"})
        AssignPanelImage(layout_[name], layout_["Hour1"]);
    if (!CreateLayers()) {
        // What was made so far (pictures, layers) goes back to the registry at once.
        Finalize();
        return false;
    }
    initialized_ = true;
    return true;
}

bool TSubWinUnit::CreateLayers()
{
    if (!mes_.CreatePlanes(White) || !novel_.CreatePlanes(White))
        return false;
    for (auto [name, colour] : {std::pair{"LogText", PaleBlue}, std::pair{"SelText", White}}) {
        TXeRGBPanel* text = layout_[name];
        if (!RecreatePanelImage(text, mmAlpha))
            return false;
        TXeRGBBits* bits = text->Image();
        bits->BoxFill(0, 0, bits->Width() - 1, bits->Height() - 1, bits->TXeRGBtoPixel(XeRGB(colour)));
        text->Alpha()->Fill(0);
    }
    return true;
}

void TSubWinUnit::Finalize()
{
    mes_.FreePlanes();
    novel_.FreePlanes();
    for (const char* name : {"LogText", "SelText"})
        FreePanelImage(layout_[name]);
    place_.Close();
    for (const char* root : Roots)
        layout_[root]->AllRelease();
    renderer_.ReleaseBuffers();
    initialized_ = false;
}

// TTitleMenu: the title screen's panel table, buttons, keys, idle count, exit question and title call.
#include "shell/menus/TTitleMenu.h"

#include "base/memory/TMemMan.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBText.h"
#include "platform/font/LogicalFont.h"
#include "shell/GameGlobals.h"
#include "shell/config/TUserConfig.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/menus/ShellServices.h"
#include "shell/menus/TDlgUnit.h"
#include "shell/menus/TitleCallHost.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr std::uint16_t kKeyEnter = 13;
constexpr std::uint16_t kKeySpace = 32;
constexpr std::uint16_t kKeyUp = 38;
constexpr std::uint16_t kKeyDown = 40;
// The keys put the mouse this far inside a button's top-right corner.
constexpr int kMouseInset = 8;
constexpr const char* kClickSound = "SysSEClick01";
constexpr const char* kHoverSound = "SysSEClick02";
constexpr const char* kPageSound = "SysSEPage";
constexpr const char* kSecondLogo = "TitleCall02.png";
constexpr const char* kFirstVoice = "TitleVoice01";
constexpr const char* kSecondVoice = "TitleVoice02";
// Every transition of the title call is the plain cross-fade.
constexpr int kCallTransition = 2;
constexpr std::uint32_t kWhite = 0xFFFFFF;
// A button takes its picture's size; this one stands until the picture is loaded.
constexpr int kButtonWidth = 160;
constexpr int kButtonHeight = 26;
// Each strip: normal, focus and pressed, one block each, the focus block held 8 frames.
constexpr ButtonLook kButtonLook{1, 1, 0, 1, 0, 8};
// The information texts: 16-pixel fixed-pitch Shift-JIS text, never shown. Their places are
// nowhere stated; these keep them at the foot of the screen.
constexpr int kInfoFontSize = 16;
constexpr const char* kInfoFace = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e"; // MS Gothic in CP932
constexpr int kInfoX = 472;
constexpr int kExeTimeY = 440;
constexpr int kScrTimeY = 458;

constexpr PanelRow Button(const char* name, int y, const char* picture)
{
    return {name, PanelKind::Button, "TitleMenu", 65, y, kButtonWidth, kButtonHeight, picture, 1, kButtonLook};
}
constexpr PanelRow InfoText(const char* name, const char* parent, int x, int y, int width, const char* text)
{
    return {name, PanelKind::Text, parent, x, y, width, 16, text, 1, {}, false, false};
}

// The buttons come in key order; the rows of a text panel hold its text where a picture would be.
constexpr PanelRow kLayout[] = {
    {"TitleMenuPanel", PanelKind::Panel, nullptr, 0, 0, kScreenWidth, kScreenHeight, nullptr},
    {"TitleMenu", PanelKind::Panel, "TitleMenuPanel", 0, 0, kScreenWidth, kScreenHeight, "TitleBase.png"},
    Button("BtnStart", 28, "TitleStart.png"),
    Button("BtnLoad", 58, "TitleLoad.png"),
    Button("BtnAlbum", 103, "TitleAlbum.png"),
    Button("BtnSound", 133, "TitleSound.png"),
    Button("BtnFreePlay", 183, "TitleFreePlay.png"),
    Button("BtnScore", 232, "TitleScore.png"),
    Button("BtnRanking", 262, "TitleNetRanking.png"),
    Button("BtnConfig", 308, "TitleConfig.png"),
    Button("BtnExit", 358, "TitleExit.png"),
    InfoText("ExeTimeText", "TitleMenu", kInfoX, kExeTimeY, 160, "EXE 2003/01/01 00:00"),
    InfoText("ScrTimeText", "TitleMenu", kInfoX, kScrTimeY, 160, "SCR 2003/01/01 00:00"),
    {"TitleCallPanel", PanelKind::Panel, nullptr, 0, 0, kScreenWidth, kScreenHeight, "TitleCall01.png"},
    InfoText("PubIDText", "TitleCallPanel", 16, 448, 320, ""),
};
constexpr int kFirstButtonRow = 2;
constexpr const char* kInfoTexts[] = {"ExeTimeText", "ScrTimeText", "PubIDText"};

// Results of the buttons in key order.
constexpr std::int32_t kButtonResults[TTitleMenu::kButtons] = {
    TTitleMenu::kResultStart,    TTitleMenu::kResultLoad,  TTitleMenu::kResultAlbum,
    TTitleMenu::kResultSound,    TTitleMenu::kResultFreePlay, TTitleMenu::kResultScore,
    TTitleMenu::kResultRanking,  TTitleMenu::kResultConfig, TTitleMenu::kResultExit,
};

bool IsShown(const TXeRGBPanel* panel) { return panel != nullptr && panel->Visible(); }

} // namespace

TTitleMenu::TTitleMenu(TComponent* owner, ShellServices& services, TitleCallHost& host, const TUserConfig& config,
                       TDlgUnit& dialog)
    : TComponent(owner), FServices(services), FHost(host), FConfig(config), FDialog(dialog),
      FLayout(this, kLayout, [this](TObject* sender) { PanelCreate(static_cast<TXeRGBPanel*>(sender)); },
              [this](TObject* sender) { PanelRelease(static_cast<TXeRGBPanel*>(sender)); }),
      FTitleMenuPanel(FLayout["TitleMenuPanel"]), FTitleCallPanel(FLayout["TitleCallPanel"])
{
    FTitleMenuPanel->SetKeyControl(true);
    for (int i = 0; i < kButtons; ++i) {
        FButtons[static_cast<std::size_t>(i)] = static_cast<TXeRGBBtn*>(FLayout.Row(kFirstButtonRow + i));
        FButtons[static_cast<std::size_t>(i)]->SetAutoSize(true);
    }
    for (const char* name : kInfoTexts) {
        auto* text = static_cast<TXeRGBText*>(FLayout[name]);
        TFont font;
        font.Name = kInfoFace;
        font.Height = -kInfoFontSize;
        font.Charset = SHIFTJIS_CHARSET;
        font.Pitch = fpFixed;
        text->SetFont(font);
        text->SetFontSize(kInfoFontSize);
        text->OnCreate = [this](TObject* sender) { InfoTextCreate(static_cast<TXeRGBPanel*>(sender)); };
        text->OnRelease = [this](TObject* sender) { InfoTextRelease(static_cast<TXeRGBPanel*>(sender)); };
    }
    WireEvents();
}

TTitleMenu::~TTitleMenu()
{
    if (FCreated)
        Finalize();
    else
        TakeDownDialog();
    Release();
}

void TTitleMenu::WireEvents()
{
    for (int i = 0; i < kButtons; ++i) {
        TXeRGBBtn* button = FButtons[static_cast<std::size_t>(i)];
        button->OnMouseEnter = [this, i](TObject*) {
            FServices.PlaySystemSE(kHoverSound);
            FFocus = i;
        };
        button->OnMouseLeave = [this](TObject*) { FFocus = -1; };
        const std::int32_t result = kButtonResults[i];
        if (i == tbExit)
            button->OnClick = [this](TObject*) { BtnExitClick(); };
        else
            button->OnClick = [this, result](TObject*) { ButtonClick(result); };
    }
    FTitleMenuPanel->OnKeyDown = [this](TObject*, std::uint16_t& key, TShiftState) { TitleMenuPanelKeyDown(key); };
    FTitleMenuPanel->OnAnime = [this](TObject*) { TitleMenuPanelAnime(); };
    FTitleCallPanel->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { FCallStep = -1; };
}

bool TTitleMenu::Initialize(TFileMan* files)
{
    try {
        FFiles = files;
        FTitleMenuPanel->AllCreate();
        for (int i = 0; i < kButtons; ++i)
            FButtons[static_cast<std::size_t>(i)]->Tag = i;
        FCreated = true;
        return true;
    } catch (...) {
        Finalize();
        throw;
    }
}

void TTitleMenu::Finalize()
{
    TakeDownDialog();
    if (FCreated)
        FTitleMenuPanel->AllRelease();
    FCreated = false;
}

// The exit question's dialog stays on the title after a yes; it must not outlive the title attached
// to its panel or calling its handler.
void TTitleMenu::TakeDownDialog()
{
    if (FDialog.DlgWin()->Parent() != FTitleMenuPanel)
        return;
    FDialog.SetOnClose({});
    FDialog.Close();
    FDialog.Detach();
}

void TTitleMenu::PanelCreate(TXeRGBPanel* panel) { LoadPanelImage(panel, panel->GetText(), FFiles); }

void TTitleMenu::PanelRelease(TXeRGBPanel* panel) { FreePanelImage(panel); }

void TTitleMenu::InfoTextCreate(TXeRGBPanel* panel)
{
    static_cast<TXeRGBText*>(panel)->MakeBuffer(DisplayBitDepth == bd24 ? pf24_888 : pf32_888);
}

void TTitleMenu::InfoTextRelease(TXeRGBPanel* panel) { static_cast<TXeRGBText*>(panel)->ReleaseBuffer(); }

void TTitleMenu::Show()
{
    FFocus = -1;
    Button(tbRanking)->SetVisible(false);
    Button(tbAlbum)->SetVisible(false);
    Button(tbSound)->SetVisible(false);
    StartIdle();
}

void TTitleMenu::HandOut(std::int32_t result) { FServices.SetThreadResult(result); }

void TTitleMenu::ButtonClick(std::int32_t result)
{
    FServices.PlaySystemSE(kClickSound);
    HandOut(result);
}

void TTitleMenu::BtnExitClick()
{
    if (FConfig.ExitConfirm == 0) {
        HandOut(kResultExit);
        return;
    }
    StopIdle();
    FServices.PlaySystemSE(kPageSound);
    FDialog.SetKind(TDlgUnit::kKindExit);
    FDialog.SetOnClose([this](std::int32_t code) { DialogClose(code); });
    FDialog.Attach(FTitleMenuPanel);
    FDialog.Open();
}

void TTitleMenu::DialogClose(std::int32_t code)
{
    if (code == TDlgUnit::kYes) {
        HandOut(kResultExit);
    } else if (code == TDlgUnit::kNo) {
        StartIdle();
        FServices.PlaySystemSE(kPageSound);
        FDialog.Close();
        FDialog.Detach();
        FDialog.SetOnClose({});
    }
}

void TTitleMenu::TitleMenuPanelKeyDown(std::uint16_t key)
{
    if (key == kKeyUp || key == kKeyDown) {
        StepFocus(key == kKeyUp);
        MoveMouseOnto(FFocus);
    } else if ((key == kKeyEnter || key == kKeySpace) && FFocus >= 0) {
        TXeRGBBtn* button = Button(FFocus);
        if (button->OnClick)
            button->OnClick(button);
    }
}

// The first and last buttons end the walk even when hidden; the others are skipped while hidden.
void TTitleMenu::StepFocus(bool up)
{
    if (FFocus < 0) {
        FFocus = 0;
        return;
    }
    if (up) {
        while (FFocus > 0 && !IsShown(Button(--FFocus)))
            ;
    } else {
        while (FFocus < kButtons - 1 && !IsShown(Button(++FFocus)))
            ;
    }
}

// The hover then follows from the mouse-move the warp brings: the sound plays and the focus is set.
void TTitleMenu::MoveMouseOnto(int index)
{
    const TXeRGBBtn* button = Button(index);
    int x = button->SizeX() - kMouseInset;
    int y = kMouseInset;
    button->ClientToScreen(x, y);
    FServices.SetMousePos(x, y);
}

void TTitleMenu::TitleMenuPanelAnime()
{
    if (FIdle < 0)
        return;
    if (++FIdle >= kIdlePulses) {
        StopIdle();
        HandOut(kResultDemo);
    }
}

// ---- the title call ----

TXeRGBBits* TTitleMenu::PanelPicture()
{
    TXeRGBBits* bits = CreateScreenBits();
    if (bits->Lock()) {
        FTitleCallPanel->Draw(bits);
        bits->Unlock();
    }
    return bits;
}

// A refused start leaves the pictures this menu's, so they are freed here.
bool TTitleMenu::StartCallTransition(TXeRGBBits* from, TXeRGBBits* to)
{
    if (!FHost.StartTransition(kCallTransition, from, to)) {
        MemMan->Delete(from);
        MemMan->Delete(to);
        return false;
    }
    FHost.SetTransitionHooks(true);
    FHooksSet = true;
    FHost.ResetFrameCounters();
    return true;
}

void TTitleMenu::EndCallTransition()
{
    FHost.SetTransitionHooks(false);
    FHooksSet = false;
    FHost.ResetTransition();
}

bool TTitleMenu::TitleCallStart()
{
    FCallStep = -1;
    FTitleCallPanel->AllCreate();
    TXeRGBBits* black = CreateScreenBits();
    black->Cls();
    TXeRGBBits* logo = nullptr;
    try {
        logo = PanelPicture();
    } catch (...) {
        MemMan->Delete(black);
        throw;
    }
    if (!StartCallTransition(black, logo))
        return false;
    FCallStep = 0;
    return true;
}

// Steps 1 and 3: from the picture shown to the second logo, then to white.
void TTitleMenu::StartNextLogo()
{
    TXeRGBBits* from = PanelPicture();
    TXeRGBBits* to = nullptr;
    try {
        if (FCallStep == 1) {
            // Without a first logo the panel has no picture to take the second.
            if (TXeRGBBits* picture = FTitleCallPanel->Image())
                DrawImageFile(picture, nullptr, kSecondLogo, FFiles, 0, 0);
            FTitleCallPanel->SetModify();
            to = PanelPicture();
        } else {
            to = CreateScreenBits();
            to->BoxFill(0, 0, kScreenWidth - 1, kScreenHeight - 1, to->TXeRGBtoPixel(TXeRGB(kWhite)));
        }
    } catch (...) {
        MemMan->Delete(from);
        throw;
    }
    FCallStep = StartCallTransition(from, to) ? FCallStep + 1 : -1;
}

void TTitleMenu::TitleCallStep(int dp)
{
    if (dp <= 0)
        return;
    switch (FCallStep) {
    case 0:
    case 2:
    case 4:
        if (!FHost.IsTransitionDone()) {
            FHost.AdvanceTransition(dp);
            break;
        }
        EndCallTransition();
        if (FCallStep == 0)
            FServices.PlaySystemSE(kFirstVoice);
        else if (FCallStep == 2)
            FServices.PlaySystemSE(kSecondVoice);
        FCallStep = FCallStep == 4 ? -1 : FCallStep + 1;
        break;
    case 1:
    case 3:
        if (!FHost.IsSystemSEPlaying())
            StartNextLogo();
        break;
    default:
        EndCallTransition();
        FCallStep = -1;
        break;
    }
    if (FCallStep < 0)
        HandOut(kResultNone);
}

void TTitleMenu::Release()
{
    if (FHooksSet)
        EndCallTransition();
    FCallStep = -1;
    FreePanelImage(FTitleCallPanel);
    FTitleCallPanel->AllRelease();
}

// TSaveMenu: the save and load menu's panel table, slot list, scrolling and file access.
#include "scenario/menus/TSaveMenu.h"

#include "base/packs/TFileMan.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBText.h"
#include "platform/classes/Format.h"
#include "scenario/records/TGameState.h"
#include "scenario/saves/SaveSlot.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/SceneNames.h"
#include "shell/menus/ShellServices.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <exception>

namespace {

constexpr const char* kLoadScreen = "SaveLoadScreen.png";
constexpr const char* kSaveScreen = "SaveSaveScreen.png";
constexpr const char* kRowSound = "SysSEClick04";
constexpr const char* kButtonSound = "SysSEClick05";
constexpr const char* kOkSound = "SysSEOk";
constexpr const char* kErrorSound = "SysSEErr";

// Rows: 282 x 22 from (168, 102); the tenth moves down to 309 in load mode, where it shows the
// automatic save below a gap.
constexpr int kRowX = 168;
constexpr int kRowY = 102;
constexpr int kRowWidth = 282;
constexpr int kRowHeight = 22;
constexpr int kLastRowLoadY = 309;
constexpr int kLastRowSaveY = 300;
// The highlight: over an entry's row, or over the automatic save's row.
constexpr int kLightTop = 103;
constexpr int kLightAutoY = 310;
// A caption holds at most 23 bytes; a scene without one shows as many hyphens.
constexpr int kCaptionBytes = 23;
// The scroll bar's travel in ScrollBack, and the drag rule's dead zones at both ends.
constexpr int kBarTravel = 91;
constexpr int kDragTop = 45;
constexpr int kDragBottom = 136;
// The buttons' sizes until their pictures give them theirs.
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 22;
// Button strips: normal, focus, pressed and disabled, one block each; the scroll bar: normal and
// pressed (while dragged).
constexpr ButtonLook kButton{1, 1, 0, 1, 1};
constexpr ButtonLook kBar{1, 0, 0, 1, 0};
// Captions in 16-pixel text, dates in 12-pixel text, both black.
constexpr int kCaptionFont = 16;
constexpr int kDateFont = 12;
constexpr std::uint32_t kTextColour = 0x000000;

constexpr const char* kDataNames[] = {"SaveData1", "SaveData2", "SaveData3", "SaveData4", "SaveData5",
                                      "SaveData6", "SaveData7", "SaveData8", "SaveData9", "SaveData10"};
constexpr const char* kInfoNames[] = {"SaveInfo1", "SaveInfo2", "SaveInfo3", "SaveInfo4", "SaveInfo5",
                                      "SaveInfo6", "SaveInfo7", "SaveInfo8", "SaveInfo9", "SaveInfo10"};
constexpr const char* kFileNames[] = {"FileInfo1", "FileInfo2", "FileInfo3", "FileInfo4", "FileInfo5",
                                      "FileInfo6", "FileInfo7", "FileInfo8", "FileInfo9", "FileInfo10"};

enum : int { sWin, sLight, sFirstRow };
constexpr int DataRow(int k) { return sFirstRow + 3 * k; }
constexpr int InfoRow(int k) { return DataRow(k) + 1; }
constexpr int FileRow(int k) { return DataRow(k) + 2; }
enum : int { sUp = DataRow(TSaveMenu::kRows), sDown, sScrollBack, sScrollBar, sSave, sLoad, sClose, sCount };

constexpr std::array<PanelRow, sCount> MakeLayout()
{
    constexpr auto panel = PanelKind::Panel;
    constexpr auto button = PanelKind::Button;
    constexpr auto text = PanelKind::Text;
    std::array<PanelRow, sCount> rows{};
    rows[sWin] = {"SaveMenuWin", panel, nullptr, 0, 0, 640, 480, nullptr};
    rows[sLight] = {"MenuLight", panel, "SaveMenuWin", kRowX, 125, kRowWidth, 20, "SaveSelect.png", 1, {}, false, false};
    for (int k = 0; k < TSaveMenu::kRows; ++k) {
        rows[DataRow(k)] = {kDataNames[k], panel, "SaveMenuWin", kRowX, kRowY + kRowHeight * k, kRowWidth, kRowHeight, nullptr};
        rows[InfoRow(k)] = {kInfoNames[k], text, kDataNames[k], 0, 3, 208, 16, nullptr, 1, {}, false, false};
        rows[FileRow(k)] = {kFileNames[k], text, kDataNames[k], 216, 7, 66, 12, nullptr, 1, {}, false, false};
    }
    rows[sUp] = {"UpButton", button, "SaveMenuWin", 456, 103, 16, 16, "SaveScrollUp.png", 1, kButton};
    rows[sDown] = {"DownButton", button, "SaveMenuWin", 456, 300, 16, 16, "SaveScrollDown.png", 1, kButton};
    rows[sScrollBack] = {"ScrollBack", panel, "SaveMenuWin", 456, 119, 16, 181, nullptr};
    rows[sScrollBar] = {"ScrollBar", button, "ScrollBack", 0, 0, 16, 90, "SaveScrollBar.png", 1, kBar};
    rows[sSave] = {"SaveButton", button, "SaveMenuWin", 327, 330, kButtonWidth, kButtonHeight, "SaveSaveBtn.png", 1, kButton, true, false};
    rows[sLoad] = {"LoadButton", button, "SaveMenuWin", 327, 330, kButtonWidth, kButtonHeight, "SaveLoadBtn.png", 1, kButton, true, false};
    rows[sClose] = {"CloseButton", button, "SaveMenuWin", 388, 330, kButtonWidth, kButtonHeight, "SaveCloseBtn.png", 1, kButton};
    return rows;
}
constexpr std::array<PanelRow, sCount> kLayout = MakeLayout();

// The entry shown in the first row, kept for the whole process so that the list reopens where the
// player left it (logic thread only).
int KeptTop = 0;

// The file's time in local time, in whole seconds.
bool LocalFileTime(const FILETIME& time, std::tm& out)
{
    const std::int64_t ns = UnixNanosecondsFromFileTime(time);
    constexpr std::int64_t perSecond = 1000000000;
    const std::int64_t seconds = ns / perSecond - (ns % perSecond < 0 ? 1 : 0);
    const auto t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &out) != nullptr;
}

} // namespace

TSaveMenu::TSaveMenu(TComponent* owner, ShellServices& services, TScenarioRecords& records)
    : TComponent(owner), FServices(services), FRecords(records),
      FLayout(this, kLayout, [this](TObject* sender) { PanelCreate(static_cast<TXeRGBPanel*>(sender)); },
              [this](TObject* sender) { PanelRelease(static_cast<TXeRGBPanel*>(sender)); }),
      FMenuLight(FLayout["MenuLight"]), FScrollBar(FLayout["ScrollBar"]), FSaveButton(FLayout.Button("SaveButton")),
      FLoadButton(FLayout.Button("LoadButton")), FTop(KeptTop)
{
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        FPanels.push_back(FLayout.Row(i));
    SaveMenuWin()->SetKeyControl(true);
    // The action buttons take their pictures' sizes.
    for (TXeRGBPanel* button : {FPanels[sSave], FPanels[sLoad], FPanels[sClose]})
        button->SetAutoSize(true);
    for (int k = 0; k < kRows; ++k) {
        FSaveData[k] = FPanels[DataRow(k)];
        FSaveData[k]->Tag = k;
        FSaveInfo[k] = static_cast<TXeRGBText*>(FPanels[InfoRow(k)]);
        FFileInfo[k] = static_cast<TXeRGBText*>(FPanels[FileRow(k)]);
        FSaveInfo[k]->SetTextColor(kTextColour);
        FFileInfo[k]->SetTextColor(kTextColour);
        FSaveInfo[k]->SetFontSize(kCaptionFont);
        FFileInfo[k]->SetFontSize(kDateFont);
    }
    WireEvents();
}

TSaveMenu::~TSaveMenu()
{
    KeptTop = FTop;
    if (FCreated)
        Finalize();
}

void TSaveMenu::WireEvents()
{
    for (int k = 0; k < kRows; ++k)
        FSaveData[k]->OnMouseDown = [this](TObject* sender, TMouseButton, TShiftState, int, int) {
            SaveDataMouseDown(static_cast<TXeRGBPanel*>(sender)->Tag);
        };
    SaveMenuWin()->OnMouseWheel = [this](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        SaveMenuMouseWheel(delta, handled);
    };
    FPanels[sUp]->OnClick = [this](TObject*) {
        if (FTop > 0)
            ScrollTo(FTop - 1);
    };
    FPanels[sDown]->OnClick = [this](TObject*) {
        if (FTop < MaxTop())
            ScrollTo(FTop + 1);
    };
    TXeRGBPanel* back = FPanels[sScrollBack];
    back->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int y) { ScrollByBar(y); };
    back->OnMouseMove = [this](TObject*, TShiftState shift, int, int y) {
        if ((shift & ssLeft) != 0)
            ScrollByBar(y);
    };
    FScrollBar->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int y) {
        ScrollByBar(y + FScrollBar->OffsetY());
    };
    FScrollBar->OnMouseMove = [this](TObject*, TShiftState shift, int, int y) {
        if ((shift & ssLeft) != 0)
            ScrollByBar(y + FScrollBar->OffsetY());
    };
    FSaveButton->OnClick = [this](TObject*) { SaveLoadClick(); };
    FLoadButton->OnClick = [this](TObject*) { SaveLoadClick(); };
    FPanels[sClose]->OnClick = [this](TObject*) { CloseButtonClick(); };
}

bool TSaveMenu::Initialize(TFileMan* files)
{
    try {
        FFiles = files;
        FSaveFiles = std::make_unique<TFileMan>(nullptr);
        FSaveFiles->InitDir(FServices.ProgramFolder());
        SaveMenuWin()->AllCreate();
        FCreated = true;
        return true;
    } catch (...) {
        Finalize();
        throw;
    }
}

void TSaveMenu::Finalize()
{
    Close();
    SaveMenuWin()->AllRelease();
    FSaveFiles.reset();
    FCreated = false;
}

void TSaveMenu::PanelCreate(TXeRGBPanel* panel) { LoadPanelImage(panel, panel->GetText(), FFiles); }

void TSaveMenu::PanelRelease(TXeRGBPanel* panel) { FreePanelImage(panel); }

bool TSaveMenu::Open(std::int32_t mode)
{
    Close();
    const bool load = mode != kModeSave;
    FMode = load ? kModeLoad : kModeSave;
    LoadPanelImage(SaveMenuWin(), load ? kLoadScreen : kSaveScreen, FFiles);
    FSaveButton->SetVisible(!load);
    FLoadButton->SetVisible(load);
    FSaveButton->SetEnabled(false);
    FLoadButton->SetEnabled(false);
    FSaveData[kRows - 1]->SetOffsetY(load ? kLastRowLoadY : kLastRowSaveY);
    FScrollRows = load ? kRows - 1 : kRows;
    const TPixFormat format = DisplayBitDepth == bd24 ? pf24_888 : pf32_888;
    for (int k = 0; k < kRows; ++k) {
        FSaveInfo[k]->MakeBuffer(format);
        FFileInfo[k]->MakeBuffer(format);
    }
    FSelected = -1;
    FSlots.fill(TSaveSlotInfo{});
    ShowSlots();
    return true;
}

void TSaveMenu::Close()
{
    FreePanelImage(SaveMenuWin());
    for (int k = 0; k < kRows; ++k) {
        FSaveInfo[k]->ReleaseBuffer();
        FFileInfo[k]->ReleaseBuffer();
    }
}

// A slot that is missing, unreadable or throws on the way is an empty entry.
void TSaveMenu::ReadSlotInfo(int entry)
{
    if (entry < 0 || entry >= kEntries)
        return;
    TSaveSlotInfo& slot = FSlots[static_cast<std::size_t>(entry)];
    slot = TSaveSlotInfo{};
    slot.read = 1;
    try {
        const int file = FileNumber(entry);
        FILETIME time;
        std::tm local{};
        if (!FSaveFiles || !FSaveFiles->GetFileTime(SaveSlotName(file), &time) || !LocalFileTime(time, local))
            return;
        auto scratch = std::make_unique<TGameState>();
        std::size_t extraLength = 0;
        if (!ReadSaveSlot(FServices.ProgramFolder(), file, scratch.get(), nullptr, extraLength, {}))
            return;
        slot.caption = GetSceneName(scratch->GetScriptNumber(), kCaptionBytes);
        if (slot.caption.empty())
            slot.caption = AnsiString(kCaptionBytes, '-');
        slot.year = local.tm_year + 1900;
        slot.month = local.tm_mon + 1;
        slot.day = local.tm_mday;
        slot.hour = local.tm_hour;
        slot.minute = local.tm_min;
        slot.exists = 1;
    } catch (const std::exception&) {
        slot = TSaveSlotInfo{};
        slot.read = 1;
    }
}

int TSaveMenu::RowEntry(int row) const
{
    return FMode == kModeLoad && row == kRows - 1 ? kAutoEntry : FTop + row;
}

void TSaveMenu::ShowRow(int row)
{
    const int entry = RowEntry(row);
    TSaveSlotInfo& slot = FSlots[static_cast<std::size_t>(entry)];
    if (!slot.read)
        ReadSlotInfo(entry);
    const AnsiString number = entry == kAutoEntry ? AnsiString("--") : Format("%2d", entry + 1);
    TXeRGBText* info = FSaveInfo[static_cast<std::size_t>(row)];
    TXeRGBText* date = FFileInfo[static_cast<std::size_t>(row)];
    if (slot.exists) {
        info->SetText(number + " " + slot.caption);
        date->SetText(Format("%2d/%2d", slot.month, slot.day) + Format(" %2d:%02d", slot.hour, slot.minute));
        date->SetVisible(true);
    } else {
        info->SetText(number);
        date->SetVisible(false);
    }
    info->SetVisible(true);
}

void TSaveMenu::ShowSlots()
{
    FTop = std::clamp(FTop, 0, MaxTop());
    for (int row = 0; row < kRows; ++row)
        ShowRow(row);
    FScrollBar->SetOffsetY(FTop * kBarTravel / MaxTop());
    Select(FSelected);
}

// Save mode never offers the automatic save, load mode only slots that could be read. An entry
// outside the list clears the selection.
void TSaveMenu::Select(int entry)
{
    const bool inList = entry >= 0 && entry < kEntries;
    if (inList && FMode == kModeSave && entry == kAutoEntry)
        return;
    if (inList && FMode == kModeLoad && !FSlots[static_cast<std::size_t>(entry)].exists)
        return;
    FSelected = inList ? entry : -1;
    if (FSelected == kAutoEntry) {
        FMenuLight->SetOffsetY(kLightAutoY);
        FMenuLight->SetVisible(true);
    } else if (inList && entry >= FTop && entry < FTop + FScrollRows) {
        FMenuLight->SetOffsetY((entry - FTop) * kRowHeight + kLightTop);
        FMenuLight->SetVisible(true);
    } else {
        FMenuLight->SetVisible(false);
    }
    TXeRGBBtn* action = FMode == kModeSave ? FSaveButton : FLoadButton;
    action->SetEnabled(inList);
}

void TSaveMenu::ScrollTo(int top)
{
    FTop = top;
    ShowSlots();
}

void TSaveMenu::ScrollByBar(int y)
{
    const int max = MaxTop();
    int top = max;
    if (y < kDragTop)
        top = 0;
    else if (y < kDragBottom)
        top = (y - kDragTop) * max / kBarTravel;
    top = std::clamp(top, 0, max);
    if (top != FTop)
        ScrollTo(top);
}

void TSaveMenu::SaveDataMouseDown(int row)
{
    FServices.PlaySystemSE(kRowSound);
    Select(RowEntry(row));
}

void TSaveMenu::SaveMenuMouseWheel(int delta, bool& handled)
{
    if (delta >= 0) {
        if (FTop > 0)
            ScrollTo(FTop - 1);
    } else if (FTop < MaxTop()) {
        ScrollTo(FTop + 1);
    }
    handled = true;
}

void TSaveMenu::SaveLoadClick()
{
    FServices.PlaySystemSE(kButtonSound);
    DoSaveLoad();
}

void TSaveMenu::CloseButtonClick()
{
    FServices.PlaySystemSE(kButtonSound);
    FSelected = -1;
    CallOnClose(kClosed);
}

void TSaveMenu::CallOnClose(std::int32_t code)
{
    const TCloseEvent onClose = FOnClose;
    if (onClose)
        onClose(code);
}

bool TSaveMenu::SaveOrLoad(int entry)
{
    try {
        const AnsiString folder = FServices.ProgramFolder();
        const int file = FileNumber(entry);
        return FMode == kModeSave ? SaveGameSlot(folder, file, FRecords) : LoadGameSlot(folder, file, FRecords);
    } catch (const std::exception&) {
        return false;
    }
}

// A save shows its row anew before the opener hears of it, since the opener may take the menu down.
void TSaveMenu::DoSaveLoad()
{
    const int entry = FSelected;
    if (entry < 0 || entry >= kEntries)
        return;
    const bool done = SaveOrLoad(entry);
    FServices.PlaySystemSE(done ? kOkSound : kErrorSound);
    if (FMode == kModeSave) {
        ReadSlotInfo(entry);
        ShowSlots();
    }
    if (done)
        CallOnClose(kDone);
}

// TNameEntryMenu: the name entry's panel table, letters, keys and name drawing.
#include "songgame/menus/TNameEntryMenu.h"

#include "songgame/menus/RankingName.h"

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/menus/ShellServices.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kAlphabetPicture = "NameAlphabet.png";
constexpr const char* kNumberPicture = "NameNum.png";
constexpr const char* kLetterSound = "SysSEClick04";
constexpr const char* kEndSound = "SysSEClick05";
// Every letter button shows the first one's picture; the base picture shows the letters.
constexpr const char* kLetterPicture = "NameBtn.png";
// The letters' texts by number; 45 is the blank.
constexpr std::string_view kLetterTexts = "ABCDEFGHIJKLMNOPQRSTUVWXYZ-#.:/!?0123456789*+ ";
static_assert(kLetterTexts.size() == TNameEntryMenu::kLetters);
// Typed signs and the letters they give.
constexpr std::string_view kTypedSigns = "-#.:/!?";
constexpr int kFirstSign = 26;
constexpr int kFirstDigit = 33;

// The grid: 8 columns x 6 rows of 50 x 50 cells from (200, 69); cells 46 and 47 are backspace and end.
constexpr int kGridX = 200;
constexpr int kGridY = 69;
constexpr int kCell = 50;
constexpr int kColumns = 8;
constexpr int kGridRows = 6;
constexpr int kBackSpaceCell = 46;
constexpr int kEndCell = 47;
// The mouse goes this far inside a cell's top-left corner.
constexpr int kMouseInset = 8;
constexpr int kNameWidth = 68;
constexpr int kNameHeight = 34;
constexpr int kScoreColumns = 9;
// Each letter strip: normal, focus and pressed; the frame and the ornament loop through their blocks.
constexpr ButtonLook kLetterLook{1, 1, 0, 1, 0};
constexpr ButtonLook kFrameLook{4, 0, 0, 0, 0, 4};
constexpr ButtonLook kOrnamentLook{2, 0, 0, 0, 0, 8};
// The ornament's place is nowhere stated: centred above the grid.
constexpr int kOrnamentX = 258;
constexpr int kOrnamentY = 24;

constexpr std::uint16_t kKeyBack = 8;
constexpr std::uint16_t kKeyEnter = 13;
constexpr std::uint16_t kKeyLeft = 37;
constexpr std::uint16_t kKeyUp = 38;
constexpr std::uint16_t kKeyRight = 39;
constexpr std::uint16_t kKeyDown = 40;

int CellX(int cell) { return kGridX + kCell * (cell % kColumns); }
int CellY(int cell) { return kGridY + kCell * (cell / kColumns); }

// The rows: the screen, the 46 letter buttons, backspace and end, the frame, the name, the score
// and the ornament.
const std::vector<PanelRow>& Layout()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (int i = 0; i < TNameEntryMenu::kBlank; ++i)
            n.push_back("Btn" + std::to_string(i));
        n.push_back("BtnSpc");
        return n;
    }();
    static const std::vector<PanelRow> rows = [] {
        std::vector<PanelRow> r;
        r.push_back({"NameEntryPanel", PanelKind::Panel, nullptr, 0, 0, 640, 480, "NameBase.jpg"});
        for (int i = 0; i < TNameEntryMenu::kLetters; ++i)
            r.push_back({names[static_cast<std::size_t>(i)].c_str(), PanelKind::Button, "NameEntryPanel", CellX(i), CellY(i),
                         kCell, kCell, i == 0 ? kLetterPicture : nullptr, 1, kLetterLook});
        r.push_back({"BtnBackSpace", PanelKind::Button, "NameEntryPanel", CellX(kBackSpaceCell), CellY(kBackSpaceCell),
                     kCell, kCell, nullptr, 1, kLetterLook});
        r.push_back({"BtnEnd", PanelKind::Button, "NameEntryPanel", CellX(kEndCell), CellY(kEndCell), kCell, kCell,
                     nullptr, 1, kLetterLook});
        r.push_back({"BtnSelFrame", PanelKind::Button, "NameEntryPanel", kGridX, kGridY, kCell, kCell, "NameFrame.png",
                     1, kFrameLook, false});
        r.push_back({"PanelName0", PanelKind::Panel, "NameEntryPanel", 479, 406, kNameWidth, kNameHeight, nullptr, 1, {},
                     false});
        r.push_back({"NumScore", PanelKind::Number, "NameEntryPanel", 144, 406, 153, 34, nullptr, 1, {}, false});
        r.push_back({"BtnAnime", PanelKind::Button, "NameEntryPanel", kOrnamentX, kOrnamentY, 124, 34, "NameHane.png", 1,
                     kOrnamentLook, false});
        return r;
    }();
    return rows;
}

} // namespace

TNameEntryMenu::TNameEntryMenu(TComponent* owner, ShellServices& services)
    : TComponent(owner), FServices(services),
      FLayout(this, Layout(), [this](TObject* sender) { PanelCreate(static_cast<TXeRGBPanel*>(sender)); },
              [this](TObject* sender) { PanelRelease(static_cast<TXeRGBPanel*>(sender)); }),
      FNameEntryPanel(FLayout["NameEntryPanel"]), FBackSpace(FLayout.Button("BtnBackSpace")), FEnd(FLayout.Button("BtnEnd")),
      FSelFrame(FLayout["BtnSelFrame"]), FPanelName(FLayout["PanelName0"]),
      FNumScore(static_cast<TXeRGBNum*>(FLayout["NumScore"]))
{
    FNameEntryPanel->SetKeyControl(true);
    for (int i = 0; i < kLetters; ++i) {
        FLetterButtons[static_cast<std::size_t>(i)] = static_cast<TXeRGBBtn*>(FLayout.Row(static_cast<std::size_t>(1 + i)));
        FLetterButtons[static_cast<std::size_t>(i)]->Tag = i;
    }
    FNumScore->SetColumn(kScoreColumns);
    WireEvents();
}

TNameEntryMenu::~TNameEntryMenu()
{
    if (FCreated)
        Finalize();
}

char TNameEntryMenu::LetterText(int letter)
{
    return letter >= 0 && letter < kLetters ? kLetterTexts[static_cast<std::size_t>(letter)] : ' ';
}

void TNameEntryMenu::WireEvents()
{
    for (TXeRGBBtn* button : FLetterButtons) {
        button->OnClick = [this](TObject* sender) { AddLetter(static_cast<TXeRGBPanel*>(sender)->Tag); };
        button->OnMouseMove = [this](TObject* sender, TShiftState, int, int) {
            auto* panel = static_cast<TXeRGBPanel*>(sender);
            if (panel->Tag < kLetters)
                SetHover(panel->Tag);
            PutFrameOn(panel);
        };
    }
    for (TXeRGBBtn* button : {FBackSpace, FEnd}) {
        button->OnMouseEnter = [this](TObject*) { SetHover(-1); };
        button->OnMouseMove = [this](TObject* sender, TShiftState, int, int) { PutFrameOn(static_cast<TXeRGBPanel*>(sender)); };
    }
    FBackSpace->OnClick = [this](TObject*) { DeleteLetter(); };
    FEnd->OnClick = [this](TObject*) { EndClick(); };
    FNameEntryPanel->OnShow = [this](TObject*) { MoveMouseInto(FLetterButtons[0]); };
    FNameEntryPanel->OnKeyDown = [this](TObject*, std::uint16_t& key, TShiftState) { NameEntryPanelKeyDown(key); };
    FNameEntryPanel->OnKeyPress = [this](TObject*, char& key) { NameEntryPanelKeyPress(key); };
}

bool TNameEntryMenu::Initialize(TFileMan* files)
{
    FFiles = files;
    FRanking = RankingName::Create(files, kAlphabetPicture);
    if (FRanking == nullptr)
        return false;
    try {
        FNameEntryPanel->AllCreate();
        ShareLetterPicture(true);
        MakePictures();
        FCreated = true;
        return true;
    } catch (...) {
        Finalize();
        throw;
    }
}

void TNameEntryMenu::PanelCreate(TXeRGBPanel* panel) { LoadPanelImage(panel, panel->GetText(), FFiles); }

void TNameEntryMenu::PanelRelease(TXeRGBPanel* panel) { FreePanelImage(panel); }

void TNameEntryMenu::ShareLetterPicture(bool share)
{
    for (std::size_t i = 1; i < FLetterButtons.size(); ++i) {
        if (share) {
            AssignPanelImage(FLetterButtons[i], FLetterButtons[0]);
        } else {
            FLetterButtons[i]->SetImage(nullptr);
            FLetterButtons[i]->SetAlpha(nullptr);
        }
    }
}

// The name's picture holds four cells and starts empty; the score's digits are keyed by the colour
// of their picture's top-left pixel.
void TNameEntryMenu::MakePictures()
{
    if (CreatePanelImage(FPanelName, kNameWidth, kNameHeight, mmAlpha))
        FPanelName->Alpha()->Fill(0);
    FPanelName->SetSizeX(0);
    if (LoadImageFile(&FNumBits, nullptr, kNumberPicture, FFiles)) {
        FNumScore->SetImage(FNumBits);
        FNumScore->SetColorKey(FNumBits->PixeltoTXeRGB(FNumBits->TopLeftGet()));
        FNumScore->SetMaskMode(mmColorKey);
    }
}

void TNameEntryMenu::FreePictures()
{
    ShareLetterPicture(false);
    FreePanelImage(FPanelName);
    FNumScore->SetImage(nullptr);
    if (MemMan != nullptr) {
        MemMan->Delete(FNumBits);
        MemMan->Delete(FRanking);
    }
}

void TNameEntryMenu::Finalize()
{
    FreePictures();
    FNameEntryPanel->AllRelease();
    FCreated = false;
}

bool TNameEntryMenu::Begin(std::int32_t score)
{
    if (!FCreated)
        return false;
    FNumScore->SetNumber(score);
    FName.clear();
    FHovered = -1;
    DrawName();
    return true;
}

void TNameEntryMenu::AddLetter(int letter)
{
    FServices.PlaySystemSE(kLetterSound);
    if (FName.size() >= kMaxName || letter < 0 || letter >= kLetters)
        return;
    FName += LetterText(letter);
    DrawName();
    if (FName.size() == kMaxName) {
        MoveMouseInto(FEnd);
        PutFrameOn(FEnd);
    }
}

void TNameEntryMenu::DeleteLetter()
{
    FServices.PlaySystemSE(kLetterSound);
    if (FName.empty())
        return;
    FName.pop_back();
    DrawName();
}

void TNameEntryMenu::EndClick()
{
    FServices.PlaySystemSE(kEndSound);
    FServices.SetThreadResult(kResultEnd);
}

// The hovered letter follows the name as a preview while there is room for it.
void TNameEntryMenu::DrawName()
{
    AnsiString shown = FName;
    if (FName.size() < kMaxName && FHovered >= 0)
        shown += LetterText(FHovered);
    if (FRanking != nullptr)
        FRanking->Draw(FPanelName, shown);
}

void TNameEntryMenu::SetHover(int letter)
{
    if (letter == FHovered)
        return;
    FHovered = letter;
    DrawName();
}

void TNameEntryMenu::PutFrameOn(const TXeRGBPanel* panel)
{
    FSelFrame->SetOffsetX(panel->OffsetX());
    FSelFrame->SetOffsetY(panel->OffsetY());
}

void TNameEntryMenu::MoveMouseInto(const TXeRGBPanel* panel)
{
    int x = kMouseInset;
    int y = kMouseInset;
    panel->ClientToScreen(x, y);
    FServices.SetMousePos(x, y);
}

void TNameEntryMenu::NameEntryPanelKeyDown(std::uint16_t key)
{
    switch (key) {
    case kKeyLeft: MoveFrame(-1, 0); break;
    case kKeyRight: MoveFrame(1, 0); break;
    case kKeyUp: MoveFrame(0, -1); break;
    case kKeyDown: MoveFrame(0, 1); break;
    case kKeyBack: DeleteLetter(); break;
    case kKeyEnter: PressFrameCell(); break;
    default: break;
    }
}

// The frame follows the mouse, which the keys move to the next cell, wrapping within the grid.
void TNameEntryMenu::MoveFrame(int dx, int dy)
{
    const int column = ((FSelFrame->OffsetX() - kGridX) / kCell + dx + kColumns) % kColumns;
    const int row = ((FSelFrame->OffsetY() - kGridY) / kCell + dy + kGridRows) % kGridRows;
    int x = column * kCell + kGridX + kMouseInset;
    int y = row * kCell + kGridY + kMouseInset;
    FNameEntryPanel->ClientToScreen(x, y);
    FServices.SetMousePos(x, y);
}

void TNameEntryMenu::PressFrameCell()
{
    const int x = FSelFrame->OffsetX() - kGridX;
    const int y = FSelFrame->OffsetY() - kGridY;
    if (x < 0 || y < 0 || x >= kColumns * kCell || y >= kGridRows * kCell)
        return;
    const int cell = x / kCell + y / kCell * kColumns;
    if (cell == kBackSpaceCell)
        DeleteLetter();
    else if (cell == kEndCell)
        EndClick();
    else
        AddLetter(cell);
}

void TNameEntryMenu::NameEntryPanelKeyPress(char key)
{
    int letter = -1;
    if (key >= 'a' && key <= 'z')
        letter = key - 'a';
    else if (key >= 'A' && key <= 'Z')
        letter = key - 'A';
    else if (key >= '0' && key <= '9')
        letter = kFirstDigit + (key - '0');
    else if (key == ' ')
        letter = kBlank;
    else if (const std::size_t sign = kTypedSigns.find(key); sign != std::string_view::npos)
        letter = kFirstSign + static_cast<int>(sign);
    if (letter < 0)
        return;
    AddLetter(letter);
    MoveMouseInto(FEnd);
    PutFrameOn(FEnd);
}

// TSongScoreMenu: the song score screen's panel table, song lists, pages and handlers.
#include "songgame/menus/TSongScoreMenu.h"

#include "songgame/menus/RankingName.h"
#include "songgame/song/SongFolder.h"

#include "scenario/records/TSystemState.h"

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/RegistryHold.h"
#include "shell/menus/ShellServices.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

constexpr const char* kAlphabetPicture = "RankAlphabet.png";
constexpr const char* kBasePicture = "RankBase.png";
constexpr const char* kPagePicture = "RankNum.png";
constexpr const char* kSongNamePicture = "songname.png";
constexpr const char* kPageSound = "SysSEPage";
constexpr const char* kExitSound = "SysSEClick05";

// The score digits are the alphabet's cells "0" to "9", cut out as a strip of ten bands.
constexpr int kFirstDigitCell = 33;
constexpr int kDigitCells = 10;
constexpr int kScoreColumns = 9;
// Page numbers run to 26 (256 songs), hence two places.
constexpr int kPageColumns = 2;
// Nothing states the screen's places; these are ours. The page digits are 17 x 34 each.
constexpr int kPageDigitWidth = 17;
constexpr int kPageDigitHeight = 34;
constexpr int kRowsTop = 60;
constexpr int kRowHeight = 34;
constexpr int kBaseX = 60;
constexpr int kSongX = 68;
constexpr int kSongWidth = 240;
constexpr int kNameX = 320;
constexpr int kScoreX = 410;
constexpr int kFootY = 420;
// Tabs: normal, focus, selected and disabled; the other buttons: normal, focus, pressed and disabled.
constexpr ButtonLook kTabLook{1, 1, 1, 0, 1};
constexpr ButtonLook kPageLook{1, 1, 0, 1, 1};

// The four panels of each row, named stem + row number.
enum TRowPart : int { rpBase, rpSong, rpName, rpScore };
const char* RowName(TRowPart part, int row)
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const char* stem : {"PanelBase", "PanelSong", "PanelName", "NumScore"})
            for (int r = 0; r < TSongScoreMenu::kRows; ++r)
                n.push_back(stem + std::to_string(r));
        return n;
    }();
    return names[static_cast<std::size_t>(part * TSongScoreMenu::kRows + row)].c_str();
}

int RowY(int row) { return kRowsTop + kRowHeight * row; }

const std::vector<PanelRow>& Layout()
{
    static const std::vector<PanelRow> rows = [] {
        std::vector<PanelRow> r;
        r.push_back({"SongScorePanel", PanelKind::Panel, nullptr, 0, 0, 640, 480, "RankBGScore.jpg"});
        r.push_back({"BtnEasy", PanelKind::Button, "SongScorePanel", 40, 16, 80, 24, "RankBtnEasy.png", 1, kTabLook});
        r.push_back({"BtnNormal", PanelKind::Button, "SongScorePanel", 130, 16, 80, 24, "RankBtnNormal.png", 1, kTabLook});
        r.push_back({"BtnHard", PanelKind::Button, "SongScorePanel", 220, 16, 80, 24, "RankBtnHard.png", 1, kTabLook});
        for (int i = 0; i < TSongScoreMenu::kRows; ++i) {
            const int y = RowY(i);
            r.push_back({RowName(rpBase, i), PanelKind::Panel, "SongScorePanel", kBaseX, y, 520, kRowHeight, nullptr, 1,
                         {}, false});
            r.push_back({RowName(rpSong, i), PanelKind::Panel, "SongScorePanel", kSongX, y, kSongWidth, kRowHeight,
                         nullptr, 1, {}, false});
            r.push_back({RowName(rpName, i), PanelKind::Panel, "SongScorePanel", kNameX, y, 68, kRowHeight, nullptr,
                         1, {}, false});
            r.push_back({RowName(rpScore, i), PanelKind::Number, "SongScorePanel", kScoreX, y, 153, kRowHeight,
                         nullptr, 1, {}, false});
        }
        r.push_back({"BtnBack", PanelKind::Button, "SongScorePanel", 180, kFootY, 60, 24, "RankBtnBack.png", 1, kPageLook});
        r.push_back({"NumCurPg", PanelKind::Number, "SongScorePanel", 250, kFootY - 5, kPageDigitWidth * kPageColumns,
                     kPageDigitHeight, nullptr, 1, {}, false});
        r.push_back({"NumMaxPg", PanelKind::Number, "SongScorePanel", 300, kFootY - 5, kPageDigitWidth * kPageColumns,
                     kPageDigitHeight, nullptr, 1, {}, false});
        r.push_back({"BtnFwd", PanelKind::Button, "SongScorePanel", 350, kFootY, 60, 24, "RankBtnNext.png", 1, kPageLook});
        r.push_back({"BtnExit", PanelKind::Button, "SongScorePanel", 540, kFootY, 60, 24, "RankBtnExit.png", 1, kPageLook});
        return r;
    }();
    return rows;
}

// The picture in the panel with its alpha plane (mmAlpha) or without one (mmNormal).
void Give(TXeRGBPanel* panel, TXeRGBBits* bits, TXeAlpha* alpha)
{
    panel->SetImage(bits);
    panel->SetAlpha(alpha);
    panel->SetMaskMode(alpha != nullptr ? mmAlpha : mmNormal);
}

} // namespace

TSongScoreMenu::TSongScoreMenu(TComponent* owner, ShellServices& services, const TSystemState& system)
    : TComponent(owner), FServices(services), FSystem(system),
      FLayout(this, Layout(), [this](TObject* sender) { PanelCreate(static_cast<TXeRGBPanel*>(sender)); },
              [this](TObject* sender) { PanelRelease(static_cast<TXeRGBPanel*>(sender)); }),
      FSongScorePanel(FLayout["SongScorePanel"]), FBtnNormal(FLayout.Button("BtnNormal")), FBtnHard(FLayout.Button("BtnHard")),
      FBtnEasy(FLayout.Button("BtnEasy")), FBtnBack(FLayout.Button("BtnBack")), FBtnFwd(FLayout.Button("BtnFwd")),
      FNumCurPg(static_cast<TXeRGBNum*>(FLayout["NumCurPg"])), FNumMaxPg(static_cast<TXeRGBNum*>(FLayout["NumMaxPg"]))
{
    for (int i = 0; i < kRows; ++i) {
        TRowPanels& row = FRows[static_cast<std::size_t>(i)];
        row.base = FLayout[RowName(rpBase, i)];
        row.song = FLayout[RowName(rpSong, i)];
        row.name = FLayout[RowName(rpName, i)];
        row.score = static_cast<TXeRGBNum*>(FLayout[RowName(rpScore, i)]);
        row.score->SetColumn(kScoreColumns);
    }
    FNumCurPg->SetColumn(kPageColumns);
    FNumMaxPg->SetColumn(kPageColumns);
    for (TXeRGBBtn* button : {FBtnEasy, FBtnNormal, FBtnHard, FBtnBack, FBtnFwd, FLayout.Button("BtnExit")})
        button->SetAutoSize(true);
    WireEvents();
}

TSongScoreMenu::~TSongScoreMenu()
{
    if (FCreated)
        Finalize();
}

void TSongScoreMenu::WireEvents()
{
    FBtnNormal->OnClick = [this](TObject*) { TabClick(kNormal); };
    FBtnHard->OnClick = [this](TObject*) { TabClick(kHard); };
    FBtnEasy->OnClick = [this](TObject*) { TabClick(kEasy); };
    FBtnFwd->OnClick = [this](TObject*) { StepPage(1); };
    FBtnBack->OnClick = [this](TObject*) { StepPage(-1); };
    FLayout.Button("BtnExit")->OnClick = [this](TObject*) { ExitClick(); };
}

bool TSongScoreMenu::Initialize(TFileMan* files)
{
    FFiles = files;
    FRanking = RankingName::Create(files, kAlphabetPicture);
    if (FRanking == nullptr)
        return false;
    try {
        FSongScorePanel->AllCreate();
        LoadPictures();
        FCreated = true;
        return true;
    } catch (...) {
        Finalize();
        throw;
    }
}

void TSongScoreMenu::PanelCreate(TXeRGBPanel* panel) { LoadPanelImage(panel, panel->GetText(), FFiles); }

void TSongScoreMenu::PanelRelease(TXeRGBPanel* panel) { FreePanelImage(panel); }

// The shared pictures; one that does not load leaves its panels blank.
void TSongScoreMenu::LoadPictures()
{
    LoadImageFile(&FBaseBits, &FBaseAlpha, kBasePicture, FFiles);
    LoadImageFile(&FPageBits, &FPageAlpha, kPagePicture, FFiles);
    TXeRGBBits* alphabet = FRanking->Bits();
    const int digitsTop = RankingName::kCellHeight * kFirstDigitCell;
    const int digitsHeight = RankingName::kCellHeight * kDigitCells;
    bool digits = alphabet->Height() >= digitsTop + digitsHeight && alphabet->Width() >= RankingName::kCellWidth;
    if (digits) {
        RegistryHold<TXeRGBBits> bits = MakeRegistered<TXeRGBBits>();
        if (bits) {
            bits.get()->SetBitDepth(alphabet->BitDepth());
            if (bits.get()->Resize(RankingName::kCellWidth, digitsHeight) && bits.get()->Create() &&
                bits.get()->Draw(0, 0, alphabet, 0, digitsTop, RankingName::kCellWidth, digitsHeight))
                FDigitBits = bits.release();
        }
        digits = FDigitBits != nullptr;
    }
    if (digits && FRanking->Alpha() != nullptr) {
        RegistryHold<TXeAlpha> alpha = MakeRegistered<TXeAlpha>();
        TXeAlpha* source = FRanking->Alpha();
        if (alpha && alpha.get()->Resize(RankingName::kCellWidth, digitsHeight) && alpha.get()->Create() &&
            source->Height() >= digitsTop + digitsHeight &&
            alpha.get()->Draw(0, 0, source, 0, digitsTop, RankingName::kCellWidth, digitsHeight))
            FDigitAlpha = alpha.release();
    }
    for (const TRowPanels& row : FRows) {
        Give(row.base, FBaseBits, FBaseAlpha);
        Give(row.score, FDigitBits, FDigitAlpha);
        if (CreatePanelImage(row.name, RankingName::kCellWidth * 4, RankingName::kCellHeight, mmAlpha))
            row.name->Alpha()->Fill(0);
    }
    Give(FNumCurPg, FPageBits, FPageAlpha);
    Give(FNumMaxPg, FPageBits, FPageAlpha);
}

void TSongScoreMenu::FreePictures()
{
    for (const TRowPanels& row : FRows) {
        Give(row.base, nullptr, nullptr);
        Give(row.score, nullptr, nullptr);
        FreePanelImage(row.name);
        FreePanelImage(row.song);
    }
    Give(FNumCurPg, nullptr, nullptr);
    Give(FNumMaxPg, nullptr, nullptr);
    if (MemMan == nullptr)
        return;
    MemMan->Delete(FBaseBits);
    MemMan->Delete(FBaseAlpha);
    MemMan->Delete(FDigitBits);
    MemMan->Delete(FDigitAlpha);
    MemMan->Delete(FPageBits);
    MemMan->Delete(FPageAlpha);
    MemMan->Delete(FRanking);
}

void TSongScoreMenu::Finalize()
{
    FreePictures();
    FSongScorePanel->AllRelease();
    FCreated = false;
}

template <typename Visit> void TSongScoreMenu::ForListed(std::uint8_t difficulty, Visit&& visit) const
{
    for (int i = 0; i < TSystemState::SongCount; ++i) {
        const TSongID code = FSystem.GetSongCode(i);
        if (code.IsEmpty())
            continue;
        const std::uint32_t score = FSystem.GetScoreValue(difficulty, code);
        // The score first: it spares a cleared-less song the folder check.
        if (score == 0 || !ReadSongId(code, false))
            continue;
        if (!visit(TListedSong{code, score}))
            return;
    }
}

int TSongScoreMenu::ReadSongList() const
{
    int listed = 0;
    ForListed(FDifficulty, [&listed](const TListedSong&) {
        ++listed;
        return true;
    });
    return (listed + kRows - 1) / kRows;
}

bool TSongScoreMenu::GetListedSong(int page, TPageRows& rows) const
{
    rows.fill(TListedSong{});
    const long long skip = static_cast<long long>(page) * kRows;
    long long seen = 0;
    int filled = 0;
    ForListed(FDifficulty, [&](const TListedSong& song) {
        if (seen++ < skip)
            return true;
        rows[static_cast<std::size_t>(filled++)] = song;
        return filled < kRows;
    });
    return filled > 0;
}

bool TSongScoreMenu::HasScores(std::uint8_t difficulty) const
{
    bool found = false;
    ForListed(difficulty, [&found](const TListedSong&) {
        found = true;
        return false;
    });
    return found;
}

bool TSongScoreMenu::Open(std::uint8_t difficulty)
{
    if (!FCreated || difficulty >= TSystemState::RankModeCount)
        return false;
    FDifficulty = difficulty;
    FPageCount = ReadSongList();
    ShowPage(0);
    for (std::uint8_t d : {kNormal, kHard, kEasy})
        Tab(d)->SetEnabled(HasScores(d));
    ShowTabs();
    return true;
}

bool TSongScoreMenu::ShowPage(int page)
{
    if (page < 0 || static_cast<long long>(page) * kRows >= TSystemState::SongCount)
        return false;
    ShowTabs();
    ShowRows(page);
    ShowPaging(page);
    return true;
}

TXeRGBBtn* TSongScoreMenu::Tab(std::uint8_t difficulty) const
{
    switch (difficulty) {
    case kHard: return FBtnHard;
    case kEasy: return FBtnEasy;
    default: return FBtnNormal;
    }
}

void TSongScoreMenu::ShowTabs()
{
    for (std::uint8_t d : {kNormal, kHard, kEasy})
        Tab(d)->SetSelected(d == FDifficulty);
}

void TSongScoreMenu::ShowRows(int page)
{
    TPageRows songs;
    GetListedSong(page, songs);
    for (std::size_t r = 0; r < FRows.size(); ++r)
        ShowRow(FRows[r], songs[r]);
}

// A row whose song-name picture does not load is hidden like an empty one, so that nothing of an
// earlier page stays in it.
void TSongScoreMenu::ShowRow(const TRowPanels& row, const TListedSong& song)
{
    const bool shown = !song.code.IsEmpty() && LoadSongName(row.song, kSongNamePicture, song.code);
    if (shown) {
        const AnsiString name = FSystem.GetScoreName(FDifficulty, song.code).substr(0, 4);
        FRanking->Draw(row.name, name);
        row.score->SetNumber(static_cast<int>(std::min<std::int64_t>(song.score, INT_MAX)));
    }
    for (TXeRGBPanel* panel : {row.name, row.base, row.song, static_cast<TXeRGBPanel*>(row.score)})
        panel->SetVisible(shown);
}

void TSongScoreMenu::ShowPaging(int page)
{
    if (FPageCount < 1) {
        FPage = 0;
        FNumCurPg->SetNumber(0);
        FNumMaxPg->SetNumber(0);
        FBtnBack->SetEnabled(false);
        FBtnFwd->SetEnabled(false);
        return;
    }
    FPage = page;
    FNumCurPg->SetNumber(page + 1);
    FNumMaxPg->SetNumber(FPageCount);
    FBtnBack->SetEnabled(page != 0);
    FBtnFwd->SetEnabled(page != FPageCount - 1);
}

void TSongScoreMenu::TabClick(std::uint8_t difficulty)
{
    if (difficulty == FDifficulty)
        return;
    FServices.PlaySystemSE(kPageSound);
    FDifficulty = difficulty;
    FPageCount = ReadSongList();
    ShowPage(0);
}

void TSongScoreMenu::StepPage(int step)
{
    const int next = FPage + step;
    if (next < 0 || next > FPageCount - 1)
        return;
    FServices.PlaySystemSE(kPageSound);
    ShowPage(next);
}

void TSongScoreMenu::ExitClick()
{
    FServices.PlaySystemSE(kExitSound);
    FServices.SetThreadResult(kResultExit);
}

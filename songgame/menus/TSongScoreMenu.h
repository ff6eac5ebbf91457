// TSongScoreMenu: the song score screen: per difficulty, the best score and ranking name of every
// cleared song whose folder is present, ten songs a page, with difficulty tabs, page buttons and the
// page numbers.
#pragma once

#include "scenario/records/TSongID.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <array>
#include <cstdint>

class RankingName;
class ShellServices;
class TFileMan;
class TSystemState;
class TXeAlpha;
class TXeRGBBits;
class TXeRGBBtn;
class TXeRGBNum;

// One row of a page: no code (empty) and score -1 when the row is unused.
struct TListedSong {
    TSongID code{};
    std::int64_t score = -1;
};

// Logic thread: the handlers run inside frames, from the form's input replay.
class TSongScoreMenu : public TComponent {
public:
    static constexpr int kRows = 10;
    // The difficulties, as the score table's rank modes.
    static constexpr std::uint8_t kNormal = 0;
    static constexpr std::uint8_t kHard = 1;
    static constexpr std::uint8_t kEasy = 2;
    // The one thread result, from BtnExit.
    static constexpr std::int32_t kResultExit = 0;

    using TPageRows = std::array<TListedSong, kRows>;

    // The services and the system record must outlive the menu.
    TSongScoreMenu(TComponent* owner, ShellServices& services, const TSystemState& system);
    // Finalizes when created.
    ~TSongScoreMenu() override;

    // Creates the panel tree, loads the shared pictures (a missing one leaves its panels blank) and
    // the ranking alphabet ("RankAlphabet.png"); false, with nothing left made, when the alphabet
    // does not load.
    bool Initialize(TFileMan* files);
    // Frees every picture and releases the panel tree.
    void Finalize();
    // Starts on a difficulty: its page count, page 0, each tab enabled only when its difficulty
    // lists a song, the current tab selected. False when not set up or the difficulty is not 0 to 2.
    bool Open(std::uint8_t difficulty);
    // False for a negative page or one past the table's 256 songs; otherwise shows the page's rows
    // and the page numbers and buttons, and true.
    bool ShowPage(int page);
    // The current difficulty's page count: (listed songs + 9) / 10.
    int ReadSongList() const;
    // The up to ten listed songs of the page of the current difficulty; true when at least one.
    bool GetListedSong(int page, TPageRows& rows) const;
    // Whether the difficulty lists at least one song.
    bool HasScores(std::uint8_t difficulty) const;

    bool Created() const { return FCreated; }
    std::uint8_t Difficulty() const { return FDifficulty; }
    int Page() const { return FPage; }
    int PageCount() const { return FPageCount; }
    // The 640 x 480 panel the opener attaches.
    TXeRGBPanel* SongScorePanel() const { return FSongScorePanel; }
    // The panel of that name; std::out_of_range for a name not in the table.
    TXeRGBPanel* FindPanel(const AnsiString& name) const { return FLayout[name]; }
    const RankingName* Ranking() const { return FRanking; }

private:
    struct TRowPanels {
        TXeRGBPanel* base;
        TXeRGBPanel* song;
        TXeRGBPanel* name;
        TXeRGBNum* score;
    };

    void WireEvents();
    void PanelCreate(TXeRGBPanel* panel);
    void PanelRelease(TXeRGBPanel* panel);
    void LoadPictures();
    void FreePictures();
    void ShareRowPictures();
    // Calls `visit` with each listed song of the difficulty, in table order, until it returns false.
    template <typename Visit> void ForListed(std::uint8_t difficulty, Visit&& visit) const;
    void ShowRows(int page);
    void ShowRow(const TRowPanels& row, const TListedSong& song);
    void ShowPaging(int page);
    void ShowTabs();
    void TabClick(std::uint8_t difficulty);
    void StepPage(int step);
    void ExitClick();
    TXeRGBBtn* Tab(std::uint8_t difficulty) const;

    ShellServices& FServices;
    const TSystemState& FSystem;
    PanelLayout FLayout;
    TXeRGBPanel* FSongScorePanel;
    std::array<TRowPanels, kRows> FRows{};
    TXeRGBBtn* FBtnNormal;
    TXeRGBBtn* FBtnHard;
    TXeRGBBtn* FBtnEasy;
    TXeRGBBtn* FBtnBack;
    TXeRGBBtn* FBtnFwd;
    TXeRGBNum* FNumCurPg;
    TXeRGBNum* FNumMaxPg;
    bool FCreated = false;
    TFileMan* FFiles = nullptr;
    std::uint8_t FDifficulty = kNormal;
    int FPageCount = 0;
    int FPage = 0;
    RankingName* FRanking = nullptr;
    TXeRGBBits* FBaseBits = nullptr;
    TXeAlpha* FBaseAlpha = nullptr;
    TXeRGBBits* FDigitBits = nullptr;
    TXeAlpha* FDigitAlpha = nullptr;
    TXeRGBBits* FPageBits = nullptr;
    TXeAlpha* FPageAlpha = nullptr;
};

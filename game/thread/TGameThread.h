// TGameThread: the game's logic thread and its main program: the title menu, then what the player
// chose there (a new game, a loaded game, free play of a song with its best score recorded under
// an entered name, the song scores, the attract-mode demo, or the end of the game), the system
// save, and the title menu again, until the thread is terminated.
#pragma once

#include "game/thread/TCommonThread.h"

#include <cstdint>
#include <memory>

class TGameThread : public TCommonThread {
public:
    // What the title menu hands back.
    enum : int {
        trNothing = 0,
        trStart = 1,
        trLoad = 2,
        trFreePlay = 3,
        trScores = 4,
        trConfig = 8,
        trDemo = 9,
        trExit = 10,
    };

    // Reads the user settings and the system save "TVQESys.sav" of the form's program folder.
    TGameThread(TGameForm& form, const MakerFactory& makeScreens);
    // The game's logic thread on its real screens; the main form's show handler starts it.
    static std::unique_ptr<TMainThread> Start(TGameForm& form);

    // The title flow; leaves the chosen code in the thread result.
    void RunTitleMenu();
    void NewGame(const AnsiString& scene);
    void LoadGame();
    void PlayFreeSong(const TSongID& code);
    void RecordFreePlayScore(std::int32_t score, const TSongID& code);
    void RunNameEntry(std::int32_t score, AnsiString& name);
    void RunSongScoreMenu();
    void MakeSongID(std::int32_t number, std::uint8_t rankMode, std::uint8_t autoMode);
    void RunSong(const AnsiString& code, std::uint8_t rankMode, std::uint8_t autoMode);
    // True until the first title menu of the run has been shown.
    bool FirstTitle() const { return firstTitle_; }

protected:
    void GameMain() override;

private:
    // The title flow's parts, on the title's three screens.
    void TitleCall(TitleScreen& title);
    void VisitConfigMenu(TitleScreen& title, ConfigScreen& config);
    void VisitLoadMenu(SaveScreen& save);
    // A new scenario record carrying the system flags and values.
    void ClearGameState();
    // Runs the adventure that `open` begins on freshly made screens, and releases them.
    template <typename Opening> void PlayAdventure(Opening open);

    bool firstTitle_ = true;
};

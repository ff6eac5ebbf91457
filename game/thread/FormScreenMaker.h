// FormScreenMaker: the game's screens for the logic thread: each real screen made through the memory
// registry, wrapped in the narrow interface the thread drives, and deleted through the registry.
//
// The adventure screen is made with the configuration, save and movie screens it works with: the
// thread asks for the adventure first, and the next requests for those three hand over the ones
// made with it (further requests, as the title flow's, make new ones).
#pragma once

#include "game/thread/GameScreens.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/movie/GameFormMovieHost.h"
#include "shell/menus/ShellServices.h"
#include "shell/menus/TitleCallHost.h"

class TDlgUnit;
class TGameForm;
class TMusicUnit;
class TSongScoreMenu;
struct GameRecords;

// Logic thread only. The form and the records outlive the maker and every screen it makes.
class FormScreenMaker final : public ScreenMaker {
public:
    FormScreenMaker(TGameForm& form, GameRecords& records);
    ~FormScreenMaker() override;

    std::unique_ptr<DialogScreen> MakeDialog() override;
    std::unique_ptr<AdventureScreen> MakeAdventure() override;
    std::unique_ptr<ConfigScreen> MakeConfigMenu() override;
    std::unique_ptr<SaveScreen> MakeSaveMenu() override;
    std::unique_ptr<MovieScreen> MakeMovie() override;
    std::unique_ptr<MusicScreen> MakeMusic() override;
    std::unique_ptr<TitleScreen> MakeTitle() override;
    std::unique_ptr<NameEntryScreen> MakeNameEntry() override;
    std::unique_ptr<ScoreScreen> MakeScoreMenu() override;

    // The song screen while one exists (null otherwise): a player at the keys reads its chart and
    // clock.
    TMusicUnit* Music() const { return music_; }
    // The song score screen while one exists (null otherwise).
    TSongScoreMenu* Scores() const { return scores_; }

private:
    GameRecords& records_;
    FormShellServices services_;
    GameFormMovieHost movieHost_;
    FormAvgHost avgHost_;
    FormTitleCallHost titleHost_;
    // The game's one dialog while it exists (the title's and the adventure's questions).
    TDlgUnit* dialog_ = nullptr;
    TMusicUnit* music_ = nullptr;
    TSongScoreMenu* scores_ = nullptr;
    // The adventure's companions, made with it and not yet handed over.
    std::unique_ptr<ConfigScreen> pendingConfig_;
    std::unique_ptr<SaveScreen> pendingSave_;
    std::unique_ptr<MovieScreen> pendingMovie_;
};

// FormScreenMaker: the game's screens for the logic thread: each real screen made through the memory
// registry, wrapped in the narrow interface the thread drives, and deleted through the registry.
#pragma once

#include "game/thread/GameScreens.h"
#include "scenario/movie/GameFormMovieHost.h"
#include "shell/menus/ShellServices.h"

class TGameForm;
struct GameRecords;

// Logic thread only. The form and the records outlive the maker and every screen it makes.
class FormScreenMaker final : public ScreenMaker {
public:
    FormScreenMaker(TGameForm& form, GameRecords& records);

    std::unique_ptr<DialogScreen> MakeDialog() override;
    std::unique_ptr<AdventureScreen> MakeAdventure() override;
    std::unique_ptr<ConfigScreen> MakeConfigMenu() override;
    std::unique_ptr<SaveScreen> MakeSaveMenu() override;
    std::unique_ptr<MovieScreen> MakeMovie() override;
    std::unique_ptr<MusicScreen> MakeMusic() override;
    std::unique_ptr<TitleScreen> MakeTitle() override;
    std::unique_ptr<NameEntryScreen> MakeNameEntry() override;
    std::unique_ptr<ScoreScreen> MakeScoreMenu() override;

private:
    TGameForm& form_;
    GameRecords& records_;
    FormShellServices services_;
    GameFormMovieHost movieHost_;
};

// TCommonThread: the middle layer of the logic thread: the top of the thread (the yes/no dialog, the
// game's main program, the saves at the end), the adventure part (the four screens of a running
// scenario and the loop that acts on the adventure screen's requests) and the song part (one song
// on the song screen with its options and results).
#pragma once

#include "game/thread/GameRecords.h"
#include "game/thread/GameScreens.h"
#include "shell/thread/TMainThread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// Logic thread only, with the state lock held except inside TMainThread's waits, fades and state
// entries. The per-frame step is set here and called by whichever thread runs the frame (the wait
// thread too, in the loading states), so it is guarded by its own lock.
class TCommonThread : public TMainThread {
public:
    // Makes the screen maker once the records exist (the real screens hold references to them).
    using MakerFactory = std::function<std::unique_ptr<ScreenMaker>(TGameForm& form, GameRecords& records)>;

    // Adventure requests: what RunAdventure does next.
    enum : std::int8_t { arRun = 0, arSong = 1, arRebuildBlack = 2, arRebuildWhite = 3, arLoaded = 4 };

    // Made suspended; reads the user settings from the form's settings file.
    TCommonThread(TGameForm& form, const MakerFactory& makeScreens);
    ~TCommonThread() override;

    GameRecords& Records() { return *records_; }
    // "TV%02d" of a song number as a code.
    static TSongID MakeTag4(const AnsiString& text) { return StringToTag4(text); }
    // "TV%02d": the text of a song's code from its number.
    static AnsiString SongText(std::int32_t number);

    void CreateScreens();
    void ReleaseScreens();
    bool ScreensMade() const { return screensMade_; }
    // Runs the scenario the caller started on the adventure screen until it ends or the thread stops.
    void RunAdventure();
    void AdventureLoop();
    // Turns the thread result into the next request, or ends the adventure.
    void EndAdventure();
    void StopAllSounds();
    std::int8_t Request() const { return request_; }
    bool AdventureFinished() const { return adventureFinished_; }
    void SetAdventureFinished(bool finished) { adventureFinished_ = finished; }

    // One song; the gauge and score go to the outputs given.
    void RunMusic(std::uint8_t rankMode, std::uint8_t autoMode, std::int32_t* gauge, std::int32_t* score,
                  std::int32_t pack, const TSongID& code);
    // The song the scenario asked for by its number: song = n mod 100 from pack n div 100 + 1.
    virtual void RunMusicByNumber();

protected:
    void Execute() override;
    // The game's main program.
    virtual void GameMain() = 0;

    ScreenMaker& Screens() { return *screens_; }
    AdventureScreen* Adventure() const { return adventure_.get(); }
    // The per-frame step (empty: none), guarded for the frame threads.
    void SetStep(THandler step);
    // The player's settings file, written after the configuration menu and at the end, and the
    // system save "TVQESys.sav" (virtual: tests count the writes).
    virtual void SaveSettings();
    virtual void SaveSystem();

private:
    void RunStep(int dp);
    void ReleaseDialog();
    void ReleaseMusic();
    // Request 2 or 3: the screens made again through black or white.
    void RebuildScreens(bool white);
    // The adventure screens made again after a song or a rebuild, the scenario resumed.
    void ResumeAdventure();

    std::unique_ptr<GameRecords> records_;
    std::unique_ptr<ScreenMaker> screens_;
    std::mutex stepLock_;
    std::unique_ptr<DialogScreen> dialog_;
    std::unique_ptr<AdventureScreen> adventure_;
    std::unique_ptr<ConfigScreen> config_;
    std::unique_ptr<SaveScreen> save_;
    std::unique_ptr<MovieScreen> movie_;
    std::unique_ptr<MusicScreen> music_;
    bool screensMade_ = false;
    std::int8_t request_ = arRun;
    bool adventureFinished_ = false;
};

// GameScreens: what the logic thread asks of the screens it makes, shows and releases (the yes/no
// dialog, the adventure screen with its configuration, save and movie screens, the song screen, the
// title menu, the ranking-name entry and the song score screen), and the maker that makes them.
// The game's maker wraps the real screens (FormScreenMaker); tests hand the thread recording ones.
//
// Logic thread only: the thread makes, drives and deletes every screen, and the per-frame steps run
// inside its frame waits.
#pragma once

#include "platform/classes/AnsiString.h"
#include "scenario/records/TSongID.h"

#include <cstdint>
#include <functional>
#include <memory>

class TFileMan;
class TXeRGBPanel;

// The life every screen shares: prepared with the data files (false: it cannot run), undone by
// Finalize, deleted by the thread (through the memory registry for the real ones).
class GameScreen {
public:
    virtual ~GameScreen() = default;
    virtual bool Initialize(TFileMan* files) = 0;
    virtual void Finalize() = 0;
};

// The close method of a menu, called with its close code (5 done, 6 closed).
using ScreenCloseEvent = std::function<void(std::int32_t code)>;

class DialogScreen : public GameScreen {};

class MovieScreen : public GameScreen {};

class AdventureScreen : public GameScreen {
public:
    virtual void StartScenario(const AnsiString& scene) = 0;
    virtual void LoadResume() = 0;
    virtual void Resume() = 0;
    virtual bool IsRunning() const = 0;
    // The per-frame step, with the pulses elapsed.
    virtual void Update(int elapsed) = 0;
    virtual TXeRGBPanel* Panel() const = 0;
    // The adventure's own close methods for the configuration and save menus.
    virtual void OnConfigMenuClose(std::int32_t code) = 0;
    virtual void OnSaveMenuClose(std::int32_t code) = 0;
};

class ConfigScreen : public GameScreen {
public:
    virtual void Refresh() = 0;
    virtual void SetOnClose(ScreenCloseEvent onClose) = 0;
    virtual TXeRGBPanel* Panel() const = 0;
};

class SaveScreen : public GameScreen {
public:
    static constexpr std::int32_t kModeLoad = 1;
    virtual bool Open(std::int32_t mode) = 0;
    virtual void Close() = 0;
    virtual void SetOnClose(ScreenCloseEvent onClose) = 0;
    virtual TXeRGBPanel* Panel() const = 0;
};

// The song screen's options, in the order they are handed over.
struct MusicOptions {
    std::uint8_t timingMode = 1;
    std::int32_t musicVolume = 100;
    std::int32_t keyVolume = 100;
    std::uint8_t rankMode = 0;
    std::uint8_t wordMode = 1;
    std::uint8_t anime = 1; // character and stage animation alike
    std::uint8_t autoMode = 0;
    std::uint8_t memorySave = 0;
    std::int32_t pack = 0;
    bool operator==(const MusicOptions&) const = default;
};

class MusicScreen {
public:
    virtual ~MusicScreen() = default;
    virtual void SetOptions(const MusicOptions& options) = 0;
    virtual bool Setup(TFileMan* files, const TSongID& code) = 0;
    virtual void Start() = 0;
    // The per-frame step, with the pulses elapsed.
    virtual void Step(int elapsed) = 0;
    virtual void Stop() = 0;
    virtual void Release() = 0;
    // 0 to 59.
    virtual int GetGauge() const = 0;
    virtual int GetScore() const = 0;
    virtual TXeRGBPanel* Panel() const = 0;
};

class TitleScreen : public GameScreen {
public:
    // The opening logo sequence: false when it cannot start (it has then ended with result 0).
    virtual bool TitleCallStart() = 0;
    // The title call's per-frame step; hands out 0 when the call has ended.
    virtual void TitleCallStep(int elapsed) = 0;
    // Frees the title call's picture and panels.
    virtual void Release() = 0;
    virtual TXeRGBPanel* TitleCallPanel() const = 0;
    virtual void Show() = 0;
    virtual TXeRGBPanel* Panel() const = 0;
    // The idle counter that ends in the demo: started at 0 around each wait, stopped (-1) after it.
    virtual void StartIdle() = 0;
    virtual void StopIdle() = 0;
};

class NameEntryScreen : public GameScreen {
public:
    // Prepares the entry for a new best score; true when it can be shown.
    virtual bool Begin(std::int32_t score) = 0;
    virtual AnsiString Name() const = 0;
    virtual TXeRGBPanel* Panel() const = 0;
};

class ScoreScreen : public GameScreen {
public:
    virtual bool Open(std::uint8_t rankMode) = 0;
    virtual TXeRGBPanel* Panel() const = 0;
};

// Makes one screen of each kind; null when it cannot be made.
class ScreenMaker {
public:
    virtual ~ScreenMaker() = default;
    virtual std::unique_ptr<DialogScreen> MakeDialog() = 0;
    virtual std::unique_ptr<AdventureScreen> MakeAdventure() = 0;
    virtual std::unique_ptr<ConfigScreen> MakeConfigMenu() = 0;
    virtual std::unique_ptr<SaveScreen> MakeSaveMenu() = 0;
    virtual std::unique_ptr<MovieScreen> MakeMovie() = 0;
    virtual std::unique_ptr<MusicScreen> MakeMusic() = 0;
    virtual std::unique_ptr<TitleScreen> MakeTitle() = 0;
    virtual std::unique_ptr<NameEntryScreen> MakeNameEntry() = 0;
    virtual std::unique_ptr<ScoreScreen> MakeScoreMenu() = 0;
};

// Recording screens for the logic thread's tests: every screen writes what the thread asks of it
// into one shared log ("music Setup TV05", "dialog delete", ...), answers as the test sets, and
// shows a plain panel of its own. What a screen does while it waits (a choice on the title, a close
// code of a menu, a result of the adventure or the song) comes from the test's scripts, which the
// fixture runs once per frame for the screen whose panel is on the root panel.
#pragma once

#include "game/thread/GameScreens.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace GameTest {

using Log = std::vector<std::string>;

// The part every recording screen shares: its name in the log, its panel, its Initialize answer.
class Recorder {
public:
    Recorder(Log& log, std::string name, bool initializes) : log_(log), name_(std::move(name)), initializes_(initializes) {}
    virtual ~Recorder()
    {
        if (onGone)
            onGone();
        Note("delete");
    }

    void Note(const std::string& what) { log_.push_back(name_ + " " + what); }
    bool Init()
    {
        Note("Initialize");
        return initializes_;
    }
    TXeRGBPanel* OwnPanel() const { return panel_.get(); }
    bool OnRoot(const TXeRGBPanel* root) const { return panel_->Parent() == root; }

    // Told when the screen is deleted.
    std::function<void()> onGone;

private:
    Log& log_;
    std::string name_;
    bool initializes_;
    std::unique_ptr<TXeRGBPanel> panel_ = std::make_unique<TXeRGBPanel>(nullptr);
};

class RecordingMaker;

class FakeDialog final : public DialogScreen, public Recorder {
public:
    using Recorder::Recorder;
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
};

class FakeMovie final : public MovieScreen, public Recorder {
public:
    using Recorder::Recorder;
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
};

class FakeAdventure final : public AdventureScreen, public Recorder {
public:
    FakeAdventure(Log& log, bool initializes, RecordingMaker& maker) : Recorder(log, "adventure", initializes), maker_(maker) {}
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
    void StartScenario(const AnsiString& scene) override;
    void LoadResume() override;
    void Resume() override;
    bool IsRunning() const override { return running; }
    void Update(int elapsed) override;
    TXeRGBPanel* Panel() const override { return OwnPanel(); }
    void OnConfigMenuClose(std::int32_t code) override { Note("OnConfigMenuClose " + std::to_string(code)); }
    void OnSaveMenuClose(std::int32_t code) override { Note("OnSaveMenuClose " + std::to_string(code)); }

    bool running = false;

private:
    RecordingMaker& maker_;
};

// A menu with a close method: config and save.
template <typename Screen> class FakeMenu : public Screen, public Recorder {
public:
    using Recorder::Recorder;
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
    void SetOnClose(ScreenCloseEvent onClose) override
    {
        Note(onClose ? "SetOnClose" : "ClearOnClose");
        onClose_ = std::move(onClose);
    }
    TXeRGBPanel* Panel() const override { return OwnPanel(); }
    void CloseWith(std::int32_t code)
    {
        if (onClose_)
            onClose_(code);
    }
    bool HasOnClose() const { return static_cast<bool>(onClose_); }

private:
    ScreenCloseEvent onClose_;
};

class FakeConfig final : public FakeMenu<ConfigScreen> {
public:
    using FakeMenu::FakeMenu;
    void Refresh() override { Note("Refresh"); }
};

class FakeSave final : public FakeMenu<SaveScreen> {
public:
    using FakeMenu::FakeMenu;
    bool Open(std::int32_t mode) override
    {
        Note("Open " + std::to_string(mode));
        return true;
    }
    void Close() override { Note("Close"); }
};

class FakeMusic final : public MusicScreen, public Recorder {
public:
    FakeMusic(Log& log, RecordingMaker& maker) : Recorder(log, "music", true), maker_(maker) {}
    void SetOptions(const MusicOptions& options) override;
    bool Setup(TFileMan*, const TSongID& code) override;
    void Start() override { Note("Start"); }
    void Step(int elapsed) override;
    void Stop() override { Note("Stop"); }
    void Release() override { Note("Release"); }
    int GetGauge() const override;
    int GetScore() const override;
    TXeRGBPanel* Panel() const override { return OwnPanel(); }

private:
    RecordingMaker& maker_;
};

class FakeTitle final : public TitleScreen, public Recorder {
public:
    FakeTitle(Log& log, bool initializes, RecordingMaker& maker) : Recorder(log, "title", initializes), maker_(maker) {}
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
    bool TitleCallStart() override
    {
        Note("TitleCallStart");
        return true;
    }
    // Ends the call on its first step, as a click would (or runs the maker's title-call script).
    void TitleCallStep(int elapsed) override;
    void Release() override { Note("Release"); }
    TXeRGBPanel* TitleCallPanel() const override { return callPanel_.get(); }
    void Show() override { Note("Show"); }
    TXeRGBPanel* Panel() const override { return OwnPanel(); }
    void StartIdle() override { idle = true; }
    void StopIdle() override { idle = false; }

    bool idle = false;

private:
    RecordingMaker& maker_;
    std::unique_ptr<TXeRGBPanel> callPanel_ = std::make_unique<TXeRGBPanel>(nullptr);
};

class FakeNameEntry final : public NameEntryScreen, public Recorder {
public:
    FakeNameEntry(Log& log, RecordingMaker& maker) : Recorder(log, "name", true), maker_(maker) {}
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
    bool Begin(std::int32_t score) override;
    AnsiString Name() const override;
    TXeRGBPanel* Panel() const override { return OwnPanel(); }

private:
    RecordingMaker& maker_;
};

class FakeScores final : public ScoreScreen, public Recorder {
public:
    FakeScores(Log& log, bool initializes) : Recorder(log, "scores", initializes) {}
    bool Initialize(TFileMan*) override { return Init(); }
    void Finalize() override { Note("Finalize"); }
    bool Open(std::uint8_t rankMode) override
    {
        Note("Open " + std::to_string(rankMode));
        return true;
    }
    TXeRGBPanel* Panel() const override { return OwnPanel(); }
};

// Makes the recording screens; a name in `missing` makes null, one in `failing` fails to initialize
// ("dialog", "adventure", "config", "save", "movie", "music", "title", "name", "scores").
class RecordingMaker final : public ScreenMaker {
public:
    explicit RecordingMaker(Log& log) : log_(log) {}

    std::unique_ptr<DialogScreen> MakeDialog() override;
    std::unique_ptr<AdventureScreen> MakeAdventure() override;
    std::unique_ptr<ConfigScreen> MakeConfigMenu() override;
    std::unique_ptr<SaveScreen> MakeSaveMenu() override;
    std::unique_ptr<MovieScreen> MakeMovie() override;
    std::unique_ptr<MusicScreen> MakeMusic() override;
    std::unique_ptr<TitleScreen> MakeTitle() override;
    std::unique_ptr<NameEntryScreen> MakeNameEntry() override;
    std::unique_ptr<ScoreScreen> MakeScoreMenu() override;

    // Runs the script of the screen whose panel is on the root panel while the form waits in a
    // menu (state 2): the title hands out its next choice, the load menu its next close code, the
    // configuration menu closes, the name entry and the score screen end.
    void OnMenuFrame(const TXeRGBPanel* root);

    std::set<std::string> missing;
    std::set<std::string> failing;

    // The title's choices in order; an empty queue hands out the exit (10).
    std::deque<int> titleChoices;
    // The load menu's close codes in order (5 loaded, 6 closed).
    std::deque<int> loadCodes;

    // Whether the adventure runs after a start, a load or a resume, and its per-frame script.
    bool adventureRuns = true;
    std::function<void(FakeAdventure&)> adventureStep;

    // The song: set-up answer, result handed out on its first step (or the step script), gauge, score.
    bool musicSetup = true;
    int musicResult = 0;
    std::function<void()> musicStep;
    int gauge = 40;
    int score = 1234;
    MusicOptions options;

    // The title call's step instead of its end at the first step.
    std::function<void()> titleCallStep;

    bool nameBegins = true;
    AnsiString name = "ABCD";

    // The screens alive now (null when none).
    FakeTitle* title = nullptr;
    FakeConfig* config = nullptr;
    FakeSave* save = nullptr;
    FakeNameEntry* nameEntry = nullptr;
    FakeScores* scores = nullptr;
    FakeAdventure* adventure = nullptr;

private:
    // Null when `name` is missing; otherwise the fake, tracked in `live` while it exists.
    template <typename Fake> std::unique_ptr<Fake> Track(const char* name, Fake*& live, std::unique_ptr<Fake> fake);
    bool Initializes(const char* name) const { return !failing.contains(name); }

    Log& log_;
};

} // namespace GameTest

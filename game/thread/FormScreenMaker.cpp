#include "game/thread/FormScreenMaker.h"

#include "base/memory/TMemMan.h"
#include "game/thread/GameRecords.h"
#include "scenario/adventure/TAvgUnit.h"
#include "scenario/menus/TSaveMenu.h"
#include "scenario/movie/TMovieUnit.h"
#include "shell/GameGlobals.h"
#include "shell/menus/TConfigMenu.h"
#include "shell/menus/TDlgUnit.h"
#include "shell/menus/TTitleMenu.h"
#include "songgame/menus/TNameEntryMenu.h"
#include "songgame/menus/TSongScoreMenu.h"
#include "songgame/screen/TMusicUnit.h"

namespace {

// A screen made through the registry, deleted through it.
template <typename T> class Registered {
public:
    explicit Registered(T* object) : object_(object) {}
    ~Registered()
    {
        if (MemMan != nullptr)
            MemMan->Delete(object_);
    }
    Registered(const Registered&) = delete;
    Registered& operator=(const Registered&) = delete;

    T& Object() const { return *object_; }

private:
    T* object_;
};

// A new T from its constructor's arguments, recorded in the registry; null without a registry.
template <typename T, typename... Args> T* MakeRecorded(Args&&... args)
{
    if (MemMan == nullptr)
        return nullptr;
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    MemMan->AddPtr(object.get());
    return object.release();
}

// A component of the registry's owner with further constructor arguments.
template <typename T, typename... Args> T* MakeOwned(Args&... args)
{
    return MemMan != nullptr ? MakeRecorded<T>(MemMan->Owner(), args...) : nullptr;
}

template <typename T> T* MakeVCL()
{
    return MemMan != nullptr ? MemMan->CreateVCL<T>() : nullptr;
}

// The made object wrapped in `Screen`, or null when none was made.
template <typename Screen, typename T, typename... Args> std::unique_ptr<Screen> Wrap(T* object, Args&... args)
{
    if (object == nullptr)
        return nullptr;
    return std::make_unique<Screen>(object, args...);
}

// Names the object in `published` while it lives.
template <typename T> class Published {
public:
    Published(T* object, T*& published) : published_(published) { published_ = object; }
    ~Published() { published_ = nullptr; }
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

private:
    T*& published_;
};

// The dialog is published for the title and the adventure, which ask their questions on it.
class DialogAdapter final : public DialogScreen, public Registered<TDlgUnit>, Published<TDlgUnit> {
public:
    DialogAdapter(TDlgUnit* dialog, TDlgUnit*& published) : Registered(dialog), Published(dialog, published) {}
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
};

class ConfigAdapter final : public ConfigScreen, public Registered<TConfigMenu> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    void Refresh() override { Object().Refresh(); }
    void SetOnClose(ScreenCloseEvent onClose) override { Object().SetOnClose(std::move(onClose)); }
    TXeRGBPanel* Panel() const override { return Object().ConfigPanel(); }
};

class SaveAdapter final : public SaveScreen, public Registered<TSaveMenu> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    bool Open(std::int32_t mode) override { return Object().Open(mode); }
    void Close() override { Object().Close(); }
    void SetOnClose(ScreenCloseEvent onClose) override { Object().SetOnClose(std::move(onClose)); }
    TXeRGBPanel* Panel() const override { return Object().SaveMenuWin(); }
};

class MovieAdapter final : public MovieScreen, public Registered<TMovieUnit> {
public:
    MovieAdapter(TMovieUnit* movie, MovieHost& host) : Registered(movie), host_(host) {}
    // Surface mode; a finished movie hands no result of its own.
    bool Initialize(TFileMan* files) override { return Object().Initialize(host_, files, true, -1); }
    void Finalize() override { Object().Finalize(); }

private:
    MovieHost& host_;
};

class AdventureAdapter final : public AdventureScreen, public Registered<TAvgUnit> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    void StartScenario(const AnsiString& scene) override { Object().StartScenario(scene); }
    void LoadResume() override { Object().LoadResume(); }
    void Resume() override { Object().Resume(); }
    bool IsRunning() const override { return Object().IsRunning(); }
    void Update(int elapsed) override { Object().Update(elapsed); }
    TXeRGBPanel* Panel() const override { return Object().AvgPanel(); }
    void OnConfigMenuClose(std::int32_t code) override { Object().OnConfigMenuClose(code); }
    void OnSaveMenuClose(std::int32_t code) override { Object().OnSaveMenuClose(code); }
};

class MusicAdapter final : public MusicScreen, public Registered<TMusicUnit>, Published<TMusicUnit> {
public:
    MusicAdapter(TMusicUnit* music, TMusicUnit*& published) : Registered(music), Published(music, published) {}
    void SetOptions(const MusicOptions& o) override
    {
        TMusicUnit& music = Object();
        music.SetTimingMode(o.timingMode);
        music.SetVolume(o.musicVolume, o.keyVolume);
        music.SetRankMode(o.rankMode);
        music.SetWordMode(o.wordMode);
        music.SetCharaAnime(o.anime);
        music.SetStageAnime(o.anime);
        music.SetAutoMode(o.autoMode);
        music.SetMemorySave(o.memorySave);
        music.SetEventPack(o.pack);
    }
    bool Setup(TFileMan* files, const TSongID& code) override { return Object().Setup(files, code); }
    void Start() override { Object().Start(); }
    void Step(int elapsed) override { Object().Step(elapsed); }
    void Stop() override { Object().Stop(); }
    void Release() override { Object().Release(); }
    int GetGauge() const override { return Object().GetGauge(); }
    int GetScore() const override { return Object().GetScore(); }
    TXeRGBPanel* Panel() const override { return Object().MusicPanel(); }
};

class TitleAdapter final : public TitleScreen, public Registered<TTitleMenu> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    bool TitleCallStart() override { return Object().TitleCallStart(); }
    void TitleCallStep(int elapsed) override { Object().TitleCallStep(elapsed); }
    void Release() override { Object().Release(); }
    TXeRGBPanel* TitleCallPanel() const override { return Object().TitleCallPanel(); }
    void Show() override { Object().Show(); }
    TXeRGBPanel* Panel() const override { return Object().TitleMenuPanel(); }
    void StartIdle() override { Object().StartIdle(); }
    void StopIdle() override { Object().StopIdle(); }
};

class NameEntryAdapter final : public NameEntryScreen, public Registered<TNameEntryMenu> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    bool Begin(std::int32_t score) override { return Object().Begin(score); }
    AnsiString Name() const override { return Object().Name(); }
    TXeRGBPanel* Panel() const override { return Object().NameEntryPanel(); }
};

class ScoreAdapter final : public ScoreScreen, public Registered<TSongScoreMenu>, Published<TSongScoreMenu> {
public:
    ScoreAdapter(TSongScoreMenu* scores, TSongScoreMenu*& published) : Registered(scores), Published(scores, published) {}
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    bool Open(std::uint8_t rankMode) override { return Object().Open(rankMode); }
    TXeRGBPanel* Panel() const override { return Object().SongScorePanel(); }
};

// The object a screen made by this file wraps.
template <typename T> T* ObjectOf(GameScreen* screen)
{
    auto* registered = dynamic_cast<Registered<T>*>(screen);
    return registered != nullptr ? &registered->Object() : nullptr;
}

} // namespace

FormScreenMaker::FormScreenMaker(TGameForm& form, GameRecords& records)
    : records_(records), services_(form), movieHost_(form), titleHost_(form)
{
}

FormScreenMaker::~FormScreenMaker() = default;

std::unique_ptr<DialogScreen> FormScreenMaker::MakeDialog()
{
    return Wrap<DialogAdapter>(MakeVCL<TDlgUnit>(), dialog_);
}

std::unique_ptr<AdventureScreen> FormScreenMaker::MakeAdventure()
{
    if (pendingConfig_ == nullptr)
        pendingConfig_ = Wrap<ConfigAdapter>(MakeOwned<TConfigMenu>(services_, records_.config));
    if (pendingSave_ == nullptr)
        pendingSave_ = Wrap<SaveAdapter>(MakeOwned<TSaveMenu>(services_, records_.scenario));
    if (pendingMovie_ == nullptr)
        pendingMovie_ = Wrap<MovieAdapter>(MakeVCL<TMovieUnit>(), movieHost_);
    if (ScriptFileMan == nullptr)
        return nullptr;
    TAvgUnit::Context context{records_.scenario, records_.system, records_.readMes, records_.config, *ScriptFileMan,
                              avgHost_, SharedRandom()};
    context.movie = ObjectOf<TMovieUnit>(pendingMovie_.get());
    context.dialog = dialog_;
    context.configMenu = ObjectOf<TConfigMenu>(pendingConfig_.get());
    context.saveMenu = ObjectOf<TSaveMenu>(pendingSave_.get());
    context.dialog = dialog_;
    context.configMenu = ObjectOf<TConfigMenu>(pendingConfig_.get());
    context.saveMenu = ObjectOf<TSaveMenu>(pendingSave_.get());
    return Wrap<AdventureAdapter>(MakeRecorded<TAvgUnit>(context));
}

std::unique_ptr<ConfigScreen> FormScreenMaker::MakeConfigMenu()
{
    if (pendingConfig_ != nullptr)
        return std::move(pendingConfig_);
    return Wrap<ConfigAdapter>(MakeOwned<TConfigMenu>(services_, records_.config));
}

std::unique_ptr<SaveScreen> FormScreenMaker::MakeSaveMenu()
{
    if (pendingSave_ != nullptr)
        return std::move(pendingSave_);
    return Wrap<SaveAdapter>(MakeOwned<TSaveMenu>(services_, records_.scenario));
}

std::unique_ptr<MovieScreen> FormScreenMaker::MakeMovie()
{
    if (pendingMovie_ != nullptr)
        return std::move(pendingMovie_);
    return Wrap<MovieAdapter>(MakeVCL<TMovieUnit>(), movieHost_);
}

std::unique_ptr<MusicScreen> FormScreenMaker::MakeMusic()
{
    return Wrap<MusicAdapter>(MakeVCL<TMusicUnit>(), music_);
}

std::unique_ptr<TitleScreen> FormScreenMaker::MakeTitle()
{
    if (dialog_ == nullptr)
        return nullptr;
    return Wrap<TitleAdapter>(MakeOwned<TTitleMenu>(services_, titleHost_, records_.config, *dialog_));
}

std::unique_ptr<NameEntryScreen> FormScreenMaker::MakeNameEntry()
{
    return Wrap<NameEntryAdapter>(MakeOwned<TNameEntryMenu>(services_));
}

std::unique_ptr<ScoreScreen> FormScreenMaker::MakeScoreMenu()
{
    return Wrap<ScoreAdapter>(MakeOwned<TSongScoreMenu>(services_, records_.system), scores_);
}

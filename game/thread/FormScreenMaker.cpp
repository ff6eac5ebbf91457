#include "game/thread/FormScreenMaker.h"

#include "base/memory/TMemMan.h"
#include "game/thread/GameRecords.h"
#include "scenario/menus/TSaveMenu.h"
#include "scenario/movie/TMovieUnit.h"
#include "shell/GameGlobals.h"
#include "shell/menus/TConfigMenu.h"
#include "shell/menus/TDlgUnit.h"
#include "songgame/screen/TMusicUnit.h"

namespace {

// A screen made through the registry (owned by the registry's owner), deleted through it.
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

protected:
    T& Object() const { return *object_; }

private:
    T* object_;
};

// A screen whose constructor takes more than its owner, recorded in the registry once made.
template <typename T, typename... Args> T* MakeRegisteredWith(Args&... args)
{
    if (MemMan == nullptr)
        return nullptr;
    auto object = std::make_unique<T>(MemMan->Owner(), args...);
    MemMan->AddPtr(object.get());
    return object.release();
}

// Wraps the made object in `Screen`, or gives null when none was made.
template <typename Screen, typename Base, typename T> std::unique_ptr<Base> Wrap(T* object)
{
    if (object == nullptr)
        return nullptr;
    return std::make_unique<Screen>(object);
}

class DialogAdapter final : public DialogScreen, Registered<TDlgUnit> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
};

class ConfigAdapter final : public ConfigScreen, Registered<TConfigMenu> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    void Refresh() override { Object().Refresh(); }
    void SetOnClose(ScreenCloseEvent onClose) override { Object().SetOnClose(std::move(onClose)); }
    TXeRGBPanel* Panel() const override { return Object().ConfigPanel(); }
};

class SaveAdapter final : public SaveScreen, Registered<TSaveMenu> {
public:
    using Registered::Registered;
    bool Initialize(TFileMan* files) override { return Object().Initialize(files); }
    void Finalize() override { Object().Finalize(); }
    bool Open(std::int32_t mode) override { return Object().Open(mode); }
    void Close() override { Object().Close(); }
    void SetOnClose(ScreenCloseEvent onClose) override { Object().SetOnClose(std::move(onClose)); }
    TXeRGBPanel* Panel() const override { return Object().SaveMenuWin(); }
};

class MovieAdapter final : public MovieScreen, Registered<TMovieUnit> {
public:
    MovieAdapter(TMovieUnit* movie, MovieHost& host) : Registered(movie), host_(host) {}
    // Surface mode; a finished movie hands no result of its own.
    bool Initialize(TFileMan* files) override { return Object().Initialize(host_, files, true, -1); }
    void Finalize() override { Object().Finalize(); }

private:
    MovieHost& host_;
};

class MusicAdapter final : public MusicScreen, Registered<TMusicUnit> {
public:
    using Registered::Registered;
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

} // namespace

FormScreenMaker::FormScreenMaker(TGameForm& form, GameRecords& records)
    : form_(form), records_(records), services_(form), movieHost_(form)
{
}

std::unique_ptr<DialogScreen> FormScreenMaker::MakeDialog()
{
    return Wrap<DialogAdapter, DialogScreen>(MemMan != nullptr ? MemMan->CreateVCL<TDlgUnit>() : nullptr);
}

std::unique_ptr<AdventureScreen> FormScreenMaker::MakeAdventure()
{
    return nullptr;
}

std::unique_ptr<ConfigScreen> FormScreenMaker::MakeConfigMenu()
{
    return Wrap<ConfigAdapter, ConfigScreen>(MakeRegisteredWith<TConfigMenu>(services_, records_.config));
}

std::unique_ptr<SaveScreen> FormScreenMaker::MakeSaveMenu()
{
    return Wrap<SaveAdapter, SaveScreen>(MakeRegisteredWith<TSaveMenu>(services_, records_.scenario));
}

std::unique_ptr<MovieScreen> FormScreenMaker::MakeMovie()
{
    TMovieUnit* movie = MemMan != nullptr ? MemMan->CreateVCL<TMovieUnit>() : nullptr;
    if (movie == nullptr)
        return nullptr;
    return std::make_unique<MovieAdapter>(movie, movieHost_);
}

std::unique_ptr<MusicScreen> FormScreenMaker::MakeMusic()
{
    return Wrap<MusicAdapter, MusicScreen>(MemMan != nullptr ? MemMan->CreateVCL<TMusicUnit>() : nullptr);
}

std::unique_ptr<TitleScreen> FormScreenMaker::MakeTitle()
{
    return nullptr;
}

std::unique_ptr<NameEntryScreen> FormScreenMaker::MakeNameEntry()
{
    return nullptr;
}

std::unique_ptr<ScoreScreen> FormScreenMaker::MakeScoreMenu()
{
    return nullptr;
}

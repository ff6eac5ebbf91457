#include "tests/game/thread/RecordingScreens.h"

#include "shell/thread/TMainThread.h"

namespace GameTest {

void FakeAdventure::StartScenario(const AnsiString& scene)
{
    Note("StartScenario " + scene);
    running = maker_.adventureRuns;
}

void FakeAdventure::LoadResume()
{
    Note("LoadResume");
    running = maker_.adventureRuns;
}

void FakeAdventure::Resume()
{
    Note("Resume");
    running = maker_.adventureRuns;
}

void FakeAdventure::Update(int elapsed)
{
    if (elapsed > 0 && maker_.adventureStep)
        maker_.adventureStep(*this);
}

void FakeMusic::SetOptions(const MusicOptions& options)
{
    Note("SetOptions");
    maker_.options = options;
}

bool FakeMusic::Setup(TFileMan*, const TSongID& code)
{
    Note("Setup " + std::string(code.FCode, 4) + " pack " + std::to_string(maker_.options.pack));
    return maker_.musicSetup;
}

void FakeMusic::Step(int elapsed)
{
    if (elapsed == 0)
        return;
    if (maker_.musicStep)
        maker_.musicStep();
    else
        SetThreadResult(maker_.musicResult);
}

int FakeMusic::GetGauge() const
{
    return maker_.gauge;
}

int FakeMusic::GetScore() const
{
    return maker_.score;
}

void FakeTitle::TitleCallStep(int elapsed)
{
    if (elapsed == 0)
        return;
    Note("TitleCallStep");
    if (maker_.titleCallStep)
        maker_.titleCallStep();
    else
        SetThreadResult(0);
}

bool FakeNameEntry::Begin(std::int32_t score)
{
    Note("Begin " + std::to_string(score));
    return maker_.nameBegins;
}

AnsiString FakeNameEntry::Name() const
{
    return maker_.name;
}

template <typename Fake> std::unique_ptr<Fake> RecordingMaker::Track(const char* name, Fake*& live, std::unique_ptr<Fake> fake)
{
    if (missing.contains(name))
        return nullptr;
    live = fake.get();
    fake->onGone = [&live] { live = nullptr; };
    return fake;
}

std::unique_ptr<DialogScreen> RecordingMaker::MakeDialog()
{
    if (missing.contains("dialog"))
        return nullptr;
    return std::make_unique<FakeDialog>(log_, "dialog", Initializes("dialog"));
}

std::unique_ptr<AdventureScreen> RecordingMaker::MakeAdventure()
{
    return Track("adventure", adventure, std::make_unique<FakeAdventure>(log_, Initializes("adventure"), *this));
}

std::unique_ptr<ConfigScreen> RecordingMaker::MakeConfigMenu()
{
    return Track("config", config, std::make_unique<FakeConfig>(log_, "config", Initializes("config")));
}

std::unique_ptr<SaveScreen> RecordingMaker::MakeSaveMenu()
{
    return Track("save", save, std::make_unique<FakeSave>(log_, "save", Initializes("save")));
}

std::unique_ptr<MovieScreen> RecordingMaker::MakeMovie()
{
    if (missing.contains("movie"))
        return nullptr;
    return std::make_unique<FakeMovie>(log_, "movie", Initializes("movie"));
}

std::unique_ptr<MusicScreen> RecordingMaker::MakeMusic()
{
    if (missing.contains("music"))
        return nullptr;
    return std::make_unique<FakeMusic>(log_, *this);
}

std::unique_ptr<TitleScreen> RecordingMaker::MakeTitle()
{
    return Track("title", title, std::make_unique<FakeTitle>(log_, Initializes("title"), *this));
}

std::unique_ptr<NameEntryScreen> RecordingMaker::MakeNameEntry()
{
    return Track("name", nameEntry, std::make_unique<FakeNameEntry>(log_, *this));
}

std::unique_ptr<ScoreScreen> RecordingMaker::MakeScoreMenu()
{
    return Track("scores", scores, std::make_unique<FakeScores>(log_, Initializes("scores")));
}

void RecordingMaker::OnMenuFrame(const TXeRGBPanel* root)
{
    if (save != nullptr && save->OnRoot(root)) {
        const int code = loadCodes.empty() ? 6 : loadCodes.front();
        if (!loadCodes.empty())
            loadCodes.pop_front();
        save->CloseWith(code);
    } else if (config != nullptr && config->OnRoot(root)) {
        config->CloseWith(6);
    } else if ((nameEntry != nullptr && nameEntry->OnRoot(root)) || (scores != nullptr && scores->OnRoot(root))) {
        SetThreadResult(0);
    } else if (title != nullptr && title->OnRoot(root) && title->idle) {
        const int choice = titleChoices.empty() ? 10 : titleChoices.front();
        if (!titleChoices.empty())
            titleChoices.pop_front();
        log_.push_back("choice " + std::to_string(choice));
        SetThreadResult(choice);
    }
}

} // namespace GameTest

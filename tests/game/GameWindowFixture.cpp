#include "tests/game/GameWindowFixture.h"

#include "shell/GameGlobals.h"

namespace GameTest {

using host::WindowEvent;

GameWindowFixture::GameWindowFixture()
{
    // Nothing listens to the mixed sound: kept, it would grow with every turn of a long run.
    audioBack->settings.keepOutput = false;
    audio::SetDefaultBackEnd(audioBack);
    timer::SetDefaultBackEnd(timerBack);
    savedHook_ = Application().OnMessageBox;
    Application().OnMessageBox = [this](const std::string& text, const std::string&, int) {
        questions.push_back(text);
        return answer;
    };
    WindowMode = 1;
}

GameWindowFixture::~GameWindowFixture()
{
    window.reset();
    Application().OnMessageBox = savedHook_;
    timer::SetDefaultBackEnd(nullptr);
    audio::SetDefaultBackEnd(nullptr);
    WindowMode = 1;
}

void GameWindowFixture::Open(TGameForm::TLogicThreadFactory logic)
{
    window = std::make_unique<GameWindow>(
        host, [this](FormServices& s) { s.programFolder = folder.GameName(); }, std::move(logic));
}

bool GameWindowFixture::Turn()
{
    const bool running = host.Step();
    timerBack->Advance(std::chrono::milliseconds(10));
    audioBack->Advance(441);
    return running;
}

bool GameWindowFixture::RunUntil(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (!Turn() || std::chrono::steady_clock::now() > deadline)
            return false;
    }
    return true;
}

bool GameWindowFixture::RunToEnd(std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Turn())
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    return true;
}

std::uint8_t GameWindowFixture::State() const
{
    return window != nullptr && window->Form() != nullptr ? window->Form()->GetState() : std::uint8_t{fsNone};
}

void GameWindowFixture::Click(int x, int y)
{
    for (const WindowEvent::Kind kind : {WindowEvent::Kind::MouseMove, WindowEvent::Kind::MouseDown, WindowEvent::Kind::MouseUp}) {
        WindowEvent e;
        e.kind = kind;
        e.button = mbLeft;
        e.x = x;
        e.y = y;
        host.Queue(e);
    }
}

void GameWindowFixture::Key(std::uint16_t key)
{
    Queue(WindowEvent::Kind::KeyDown, key);
    Queue(WindowEvent::Kind::KeyUp, key);
}

void GameWindowFixture::Queue(WindowEvent::Kind kind, std::uint16_t key, TShiftState shift)
{
    WindowEvent e;
    e.kind = kind;
    e.key = key;
    e.shift = shift;
    host.Queue(e);
}

} // namespace GameTest

#include "tests/game/thread/ThreadFixture.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "shell/transition/FadeKinds.h"
#include "support/BmpFile.h"

#include <algorithm>
#include <fstream>

namespace GameTest {

void ThreadFixture::SetUp()
{
    PrepareFolder();
    // The masks of the fades into the song, the title and its menus, the name entry and the scores.
    const std::filesystem::path data = folder.Path() / "Game_Pak";
    std::filesystem::create_directories(data);
    const std::vector<std::uint8_t> mask =
        TestSupport::GreyBmp(640, 480, [](int x, int y) { return static_cast<std::uint8_t>((x + y) & 0xFF); });
    for (int kind : {20, 23, 24, 27, 29})
        std::ofstream(data / kFadeMaskFiles[static_cast<std::size_t>(kind - kFirstMaskFade)], std::ios::binary)
            .write(reinterpret_cast<const char*>(mask.data()), static_cast<std::streamsize>(mask.size()));
    FormServices services = Services();
    services.sleep = [this](unsigned) { FrameSleep(); };
    form = std::make_unique<TGameForm>(nullptr, "Script", "Game", services, window.get());
    form->FormCreate();
    ASSERT_TRUE(form->Complete());
    EnableDisplay(false, true);
    form->RootPanel()->SetCreated(true); // as the form's show handler does
    form->SetState(fsRunning);
}

void ThreadFixture::TearDown()
{
    MainThread = nullptr;
}

void ThreadFixture::FrameSleep()
{
    clock += 10;
    while (!form->Pulse().Tick(10)) {
    }
    if (++frames > kFrameLimit && MainThread != nullptr)
        MainThread.load()->Terminate(); // a wait that never ends fails instead of hanging
    if (maker != nullptr && form->GetState() == fsMenu)
        maker->OnMenuFrame(form->RootPanel());
    if (onFrame)
        onFrame();
}

bool ThreadFixture::Logged_(const std::string& line) const
{
    return Find(line) != std::string::npos;
}

std::size_t ThreadFixture::Count(const std::string& line) const
{
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), line));
}

std::size_t ThreadFixture::Find(const std::string& line, std::size_t from) const
{
    for (std::size_t i = from; i < log.size(); ++i)
        if (log[i] == line)
            return i;
    return std::string::npos;
}

} // namespace GameTest

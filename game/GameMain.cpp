// GameMain: the process from start to end.
#include "game/GameMain.h"

#include "game/GameWindow.h"
#include "game/SplashPicture.h"
#include "game/thread/TGameThread.h"
#include "platform/classes/Application.h"
#include "platform/fs/FileSystem.h"
#include "platform/host/Host.h"
#include "platform/system/InstanceLock.h"
#include "shell/startup/StartupSettings.h"

#include <exception>

namespace {

// The lock file in the program folder that keeps a second copy from starting.
constexpr const char* kLockFile = "TVQUINDLE.lock";

} // namespace

int GameMain(std::span<const std::string> arguments)
{
    const AnsiString folder = FileSystem::ProgramFolder();
    FileSystem::SetCurrentFolder(folder);
    // Declared first, released last: after the settings have been written.
    const std::unique_ptr<InstanceLock> lock = InstanceLock::Acquire(FileSystem::NativePath(folder + kLockFile));
    if (lock == nullptr)
        return 0;
    try {
        Startup::ReadStartupSettings(folder);
        Startup::ApplySwitches(arguments);
        Application().Title = Startup::kApplicationTitle;
        const std::unique_ptr<host::Host> host =
            host::CreateHost(Startup::kApplicationTitle, {TGameForm::kScreenWidth, TGameForm::kScreenHeight});
        if (host == nullptr)
            return 0;
        host->InstallMessageBoxes();
        // The start-up picture stays up while the main form sets up its devices; the window hides
        // it once the form is shown.
        host->ShowSplash({SplashPicture::kWidth, SplashPicture::kHeight}, SplashPicture::Make());
        GameWindow window(*host, {}, TGameThread::Start);
        host->Run();
        Startup::WriteWindowMode(folder);
    } catch (const std::exception&) {
        // Dropped without a message, as any failure at this level.
    }
    return 0;
}

// Opening a document with the program the desktop associates with it.
#include "platform/system/DocumentLauncher.h"

#include <cerrno>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

std::mutex launcherMutex;
DocumentLauncher customLauncher;

int SpawnOpener(const std::filesystem::path& file, const std::filesystem::path& workingFolder)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return std::filesystem::is_directory(file.parent_path().empty() ? "." : file.parent_path(), error) ? 2 : 3;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    std::string program = "xdg-open";
    std::string argument = file.string();
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc == ENOENT)
        return 31;
    if (rc != 0)
        return 0;
    // Reap the opener when it ends so that it leaves no zombie behind.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return kLaunchStarted;
}

} // namespace

int OpenDocument(const std::filesystem::path& file, const std::filesystem::path& workingFolder)
{
    DocumentLauncher launcher;
    {
        std::lock_guard lock(launcherMutex);
        launcher = customLauncher;
    }
    return launcher ? launcher(file, workingFolder) : SpawnOpener(file, workingFolder);
}

void SetDocumentLauncher(DocumentLauncher launcher)
{
    std::lock_guard lock(launcherMutex);
    customLauncher = std::move(launcher);
}

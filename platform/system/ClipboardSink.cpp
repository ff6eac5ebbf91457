// The clipboard sink: a PNG picture piped to the desktop's clipboard tool.
#include "platform/system/ClipboardSink.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::mutex sinkMutex;
ClipboardSink customSink;

// The tool's command line for the desktop in use; empty without one.
std::vector<std::string> ClipboardCommand()
{
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0')
        return {"wl-copy", "--type", "image/png"};
    if (const char* x = std::getenv("DISPLAY"); x != nullptr && *x != '\0')
        return {"xclip", "-selection", "clipboard", "-t", "image/png", "-i"};
    return {};
}

// Sends everything to the tool's input; a socket rather than a pipe, so that a tool that ends
// early gives an error instead of SIGPIPE.
bool SendAll(int fd, std::span<const std::uint8_t> data)
{
    while (!data.empty()) {
        const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data = data.subspan(static_cast<std::size_t>(sent));
    }
    return true;
}

bool PipeToTool(std::span<const std::uint8_t> png)
{
    std::vector<std::string> command = ClipboardCommand();
    if (command.empty())
        return false;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    bool sent = false;
    if (rc == 0) {
        sent = SendAll(fds[0], png);
        shutdown(fds[0], SHUT_WR);
    }
    close(fds[0]);
    if (rc != 0)
        return false;
    // Both tools leave a child behind to serve the clipboard and end once they have read it all.
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return sent && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool CopyPngToClipboard(std::span<const std::uint8_t> png)
{
    ClipboardSink sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = customSink;
    }
    return sink ? sink(png) : PipeToTool(png);
}

void SetClipboardSink(ClipboardSink sink)
{
    std::lock_guard lock(sinkMutex);
    customSink = std::move(sink);
}

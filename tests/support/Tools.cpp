// Outside tools for tests: running a command, temporary folders, cached encoder output.
#include "support/Tools.h"

#include <cstdlib>
#include <functional>
#include <random>
#include <unistd.h>

namespace TestSupport {

bool RunTool(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

bool HaveTool(const std::string& program) { return RunTool("command -v " + program); }

std::string Quoted(const std::filesystem::path& path)
{
    std::string quoted = "'";
    for (char c : path.string())
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TempFolder::TempFolder()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("xe-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::optional<std::filesystem::path> CachedFile(const std::string& name, const std::string& make)
{
    const std::filesystem::path folder = XE_TEST_CACHE;
    // The command's hash in the name makes a changed command make a new file.
    const std::filesystem::path path = folder / (std::to_string(std::hash<std::string>{}(make) % 1000000007u) + "-" + name);
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    // The partial name keeps the extension, which tells encoders the format to write.
    const std::filesystem::path partial =
        folder / (path.stem().string() + ".part-" + std::to_string(::getpid()) + path.extension().string());
    const std::string target = Quoted(partial);
    std::string command = make;
    for (auto at = command.find("{}"); at != std::string::npos; at = command.find("{}", at + target.size()))
        command.replace(at, 2, target);
    if (!RunTool(command)) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return std::nullopt;
    }
    std::filesystem::rename(partial, path);
    return path;
}

} // namespace TestSupport

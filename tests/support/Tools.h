// Outside tools for tests: running a command, temporary folders, and files made by an encoder
// (sox, ffmpeg) kept in the build folder so each is made once, not in every test process.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace TestSupport {

// Runs a shell command with its output discarded; true when it exits with 0.
bool RunTool(const std::string& command);
// True when the program is on the PATH.
bool HaveTool(const std::string& program);
// Quotes `path` for a shell command.
std::string Quoted(const std::filesystem::path& path);

// A fresh temporary folder, removed with everything in it by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The file `name` in the build folder's cache of made files, made first when it is not there
// yet: `make` is a shell command in which "{}" stands for the (quoted) file to write. The command
// writes a temporary name that is renamed into place, so test processes running at once never see
// half a file. Nullopt when the command fails.
std::optional<std::filesystem::path> CachedFile(const std::string& name, const std::string& make);

} // namespace TestSupport

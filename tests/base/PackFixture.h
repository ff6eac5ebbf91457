// Fixtures for the pack archive and file manager tests: a scratch folder, files in it, archives
// built with TXePack, and a capture of the application's message boxes and exception displays.
#pragma once

#include "base/packs/TXePack.h"
#include "platform/classes/Application.h"
#include "platform/fs/FileSystem.h"
#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace PackFixture {

using Bytes = std::vector<unsigned char>;

// A folder of its own for one test process, removed afterwards. Paths come in both forms: native
// for the test's own checks, backslash ANSI names for the code under test.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("xe_pack_" + std::to_string(::getpid()) + "_" + (test != nullptr ? test->name() : "x"));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(root_); }

    const std::filesystem::path& Native() const { return root_; }
    // The backslash name of a path inside the folder ("" for the folder itself, with a final "\").
    AnsiString Name(const std::string& relative = "") const { return FileSystem::FromNative(root_) + "\\" + relative; }

    void Write(const std::string& relative, const Bytes& bytes) const
    {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        FileSystem::NoteChanged(path);
    }
    Bytes Read(const std::string& relative) const
    {
        std::ifstream in(root_ / relative, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path root_;
};

// The contents of a stream from its start.
inline Bytes Contents(TStream& stream)
{
    Bytes bytes(static_cast<std::size_t>(stream.GetSize()));
    stream.SetPosition(0);
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

// Message boxes and exception displays while it lives, in UTF-8.
using Messages = TestSupport::CapturedApplication;

struct Entry {
    std::string name;
    Bytes bytes;
};

// Writes each entry's bytes to a file of `folder`'s "src" subfolder and packs them under the entries'
// names with one method.
inline bool BuildPack(const ScratchFolder& folder, const AnsiString& pack, const std::vector<Entry>& entries, int method,
                      bool keepSmaller = true)
{
    TXePack writer(nullptr);
    writer.SetReadOnly(false);
    if (!writer.NewPack(pack.c_str()))
        return false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string source = "source" + std::to_string(i);
        folder.Write("src/" + source, entries[i].bytes);
        if (!writer.AddFile(entries[i].name.c_str(), folder.Name("src\\" + source).c_str(), method, keepSmaller))
            return false;
    }
    return writer.EndPack();
}

} // namespace PackFixture

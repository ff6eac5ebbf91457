// scriptdis: prints compiled scenario scripts and the scene table as script text (format in
// scenario/script/ScriptAssembler.h), and checks that the text assembles back to the same bytes.
//
//   scriptdis FILE|FOLDER...
#include "scenario/script/ScriptAssembler.h"
#include "scenario/script/ScriptBytes.h"
#include "scenario/script/ScriptDisassembler.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void Usage(std::FILE* out)
{
    std::fputs("usage: scriptdis FILE|FOLDER...\n"
               "Prints compiled scripts (\"scr%05d.dvo\") and the scene table (\"Scene.tbl\") as script\n"
               "text that scriptasm turns back into the same files; a folder stands for its scene table\n"
               "and every script in it. Fails when the text would not give back the same bytes.\n",
               out);
}

std::optional<Bytes> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool IsSceneTable(const Bytes& bytes) { return bytes.size() >= 4 && std::memcmp(bytes.data(), "TVQE", 4) == 0; }

// The files named on the command line, folders opened into their scene table and scripts.
bool Collect(const fs::path& path, std::optional<Bytes>& scenes, std::vector<std::pair<std::string, Bytes>>& scripts)
{
    std::vector<fs::path> files;
    std::error_code error;
    if (fs::is_directory(path, error)) {
        for (const auto& entry : fs::directory_iterator(path, error)) {
            const std::string name = entry.path().filename().string();
            if (name == "Scene.tbl" || (name.starts_with("scr") && name.ends_with(".dvo")))
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(path);
    }
    for (const fs::path& file : files) {
        auto bytes = ReadFile(file);
        if (!bytes) {
            std::fprintf(stderr, "scriptdis: cannot read %s\n", file.c_str());
            return false;
        }
        if (IsSceneTable(*bytes))
            scenes = std::move(bytes);
        else
            scripts.emplace_back(file.string(), std::move(*bytes));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<Bytes> scenes;
    std::vector<std::pair<std::string, Bytes>> scripts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
        if (!Collect(argv[i], scenes, scripts))
            return 1;
    }
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    std::vector<Bytes> files;
    for (const auto& [name, bytes] : scripts)
        files.push_back(bytes);
    std::string text;
    try {
        text = ScriptDisassembler::PrintScenario(files, scenes ? &*scenes : nullptr);
    } catch (const ScriptDisassembler::Error& e) {
        std::fprintf(stderr, "scriptdis: %s\n", e.what());
        return 1;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    // Whatever the file held that the text cannot say (unread bytes, gaps between sections) is
    // reported, so nobody takes the text for the whole file.
    try {
        const ScriptAssembler::Source source{"disassembly", text};
        const auto again = ScriptAssembler::Assemble(std::span(&source, 1));
        bool same = !scenes || again.sceneTable == *scenes;
        for (const auto& [name, bytes] : scripts) {
            const auto it = again.scripts.find(static_cast<std::int32_t>(ScriptBytes::U32(bytes, 8)));
            if (it == again.scripts.end() || it->second != bytes) {
                std::fprintf(stderr, "scriptdis: %s: the text does not assemble to the same bytes\n", name.c_str());
                same = false;
            }
        }
        if (scenes && again.sceneTable != *scenes)
            std::fprintf(stderr, "scriptdis: the scene lines do not assemble to the same table\n");
        return same ? 0 : 1;
    } catch (const ScriptAssembler::Error& e) {
        std::fprintf(stderr, "scriptdis: the text does not assemble again: %s\n", e.what());
        return 1;
    }
}

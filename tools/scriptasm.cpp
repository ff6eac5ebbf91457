// scriptasm: assembles scenario script texts (format in scenario/script/ScriptAssembler.h) into the
// compiled scripts "scr%05d.dvo" and, when any text has scene lines, the scene table "Scene.tbl".
//
//   scriptasm [-o DIR] FILE...
#include "scenario/script/ScriptAssembler.h"
#include "scenario/script/ScriptFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

void Usage(std::FILE* out)
{
    std::fputs("usage: scriptasm [-o DIR] FILE...\n"
               "Assembles the script texts together into DIR (default: the current folder): one\n"
               "\"scr%05d.dvo\" per script, and \"Scene.tbl\" of all scene lines when there are any.\n",
               out);
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        std::fprintf(stderr, "scriptasm: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path folder = ".";
    std::vector<ScriptAssembler::Source> sources;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            folder = argv[++i];
            continue;
        }
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "scriptasm: cannot read %s\n", argv[i]);
            return 1;
        }
        sources.push_back({argv[i], std::string(std::istreambuf_iterator<char>(in), {})});
    }
    if (sources.empty()) {
        Usage(stderr);
        return 2;
    }
    ScriptAssembler::Scenario scenario;
    try {
        scenario = ScriptAssembler::Assemble(sources);
    } catch (const ScriptAssembler::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    bool written = true;
    for (const auto& [number, bytes] : scenario.scripts)
        written = WriteFile(folder / ScriptFile::FileName(number), bytes) && written;
    if (scenario.sceneCount > 0)
        written = WriteFile(folder / "Scene.tbl", scenario.sceneTable) && written;
    return written ? 0 : 1;
}

#include "tools/samplegen/ScenarioWriter.h"

#include "platform/codepage/CodePage.h"
#include "scenario/script/ScriptFile.h"
#include "tools/samplegen/SoundSet.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace samplegen {

namespace {

constexpr int kGbk = 936;

std::string ReadSource(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::string ScriptTextInGbk(std::string_view utf8) { return CodePage::FromUtf8(utf8, kGbk); }

ScriptAssembler::Scenario AssembleStory(const std::filesystem::path& sources)
{
    const std::filesystem::path story = sources / "scenario" / "story.txt";
    const ScriptAssembler::Source source{story.string(), ScriptTextInGbk(ReadSource(story))};
    return ScriptAssembler::Assemble({&source, 1});
}

bool WriteScenario(const SampleStaging& staging, const std::filesystem::path& sources)
{
    try {
        const ScriptAssembler::Scenario scenario = AssembleStory(sources);
        WriteFile(staging.File(SampleStore::Script, "Scene.tbl"), scenario.sceneTable);
        for (const auto& [number, bytes] : scenario.scripts)
            WriteFile(staging.File(SampleStore::Script, ScriptFile::FileName(number)), bytes);
        const std::string speakers = ReadSource(sources / "scenario" / "SpeakTbl.csv");
        WriteFile(staging.File(SampleStore::GameData, "SpeakTbl.csv"), {speakers.begin(), speakers.end()});
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "samplegen: %s\n", e.what());
        return false;
    }
}

} // namespace samplegen

// ScenarioWriter: the sample game's scenario: the story in sample/scenario/story.txt (the script
// assembler's text in UTF-8) converted to GBK and assembled into the scene table "Scene.tbl" and
// the compiled scripts "scr%05d.dvo", and the speaker table "SpeakTbl.csv".
#pragma once

#include "scenario/script/ScriptAssembler.h"
#include "tools/samplegen/SampleGenerator.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace samplegen {

// The GBK bytes of UTF-8 script text, as the assembler reads them.
std::string ScriptTextInGbk(std::string_view utf8);
// The scenario assembled from the sources folder (the repository's sample/); throws
// std::runtime_error (or the assembler's error, with the line) when it cannot.
ScriptAssembler::Scenario AssembleStory(const std::filesystem::path& sources);
// Writes the scene table and the scripts into the script store and the speaker table into the
// game data; false, with a message on stderr, when the story does not assemble or a file cannot
// be written.
bool WriteScenario(const SampleStaging& staging, const std::filesystem::path& sources);

} // namespace samplegen

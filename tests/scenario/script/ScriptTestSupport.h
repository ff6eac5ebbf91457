// Helpers of the script tests: scripts assembled from text (each checked to print back to the same
// bytes), compiled scripts and scene tables built as bytes by hand, and a recording adventure screen.
#pragma once

#include "scenario/script/ScriptAssembler.h"
#include "base/util/TRandom.h"
#include "scenario/records/TGameState.h"
#include "scenario/script/ScriptScreen.h"

#include <cstdint>
#include <map>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace ScriptTest {

using Bytes = std::vector<unsigned char>;

// Assembles script text and checks that the disassembler's text of every script and the scene table
// assembles to the same bytes, so every script a test assembles is a round-trip case too.
ScriptAssembler::Scenario AssembleScenario(const std::string& text);
// The one script of the text, checked the same way.
Bytes Assemble(const std::string& text);

void Put16(Bytes& out, std::uint32_t value);
void Put32(Bytes& out, std::uint32_t value);
void Set32(Bytes& out, std::size_t offset, std::uint32_t value);

// A compiled script made block by block; Build lays it out as a file.
class ScriptBuilder {
public:
    explicit ScriptBuilder(std::int32_t number, std::uint32_t stamp = 7) : number_(number), stamp_(stamp) {}

    // Starts a labelled block; later instructions go into it.
    ScriptBuilder& Label(const std::string& name);
    ScriptBuilder& Op(std::uint16_t opcode);
    ScriptBuilder& Op(std::uint16_t opcode, std::int32_t operand);
    // A "push" of a target record's offset followed by opcode 6 (call).
    ScriptBuilder& Call(std::int32_t target);
    // The code offset the next instruction will take.
    std::uint32_t Here() const;
    // The block offset and entry pc of a label made so far.
    std::uint32_t BlockOf(const std::string& label) const { return blocks_.at(label); }
    std::uint32_t EntryOf(const std::string& label) const;

    // Returns the string's number.
    std::int32_t String(const std::string& text);
    // Target records; each returns its offset in the table.
    std::int32_t TargetBlock(std::uint32_t block, std::uint16_t kind = 1);
    std::int32_t TargetText(const std::string& text, std::uint16_t kind = 2);

    Bytes Build() const;

private:
    std::int32_t number_;
    std::uint32_t stamp_;
    Bytes code_;
    std::size_t blockStart_ = 0;
    std::uint32_t labelCount_ = 0;
    std::map<std::string, std::uint32_t> blocks_;
    Bytes targets_;
    Bytes strings_;
    std::uint32_t stringCount_ = 0;
};

struct SceneRow {
    std::uint32_t script;
    std::uint32_t block;
    std::string name;
    std::uint16_t startDate = 0, startTime = 0, limitDate = 0, limitTime = 0;
};
Bytes SceneTableBytes(const std::vector<SceneRow>& rows);

// Records every operation the engine asks for as text, such as "StageChange 2" or "VoicePlay 7 1 2".
class RecordingScreen : public ScriptScreen {
public:
    void RebuildFromRecord() override { ++rebuilds; }
    bool HasMessageText() override { return false; }
    bool PrintMessagePiece(TScriptEngine&) override { return true; }
    void MarkMessageRead() override { ++messagesRead; }
    void WriteAutoSave() override { ++autoSaves; }

    void TextNewLine() override { Log("TextNewLine"); }
    void TextClear() override { Log("TextClear"); }
    void WaitText() override { Log("WaitText"); }
    void TextReprint() override { Log("TextReprint"); }
    void TextReset() override { Log("TextReset"); }
    void Wait(std::int64_t milliseconds) override { Log("Wait", {milliseconds}); }
    void WaitClick() override { Log("WaitClick"); }
    void BgmPlay(std::int32_t track, bool loop, bool fade) override { Log("BgmPlay", {track, loop, fade}); }
    void BgmStop(bool fade) override { Log("BgmStop", {fade}); }
    void BgmSetVolume() override { Log("BgmSetVolume"); }
    void VoicePlay(std::int32_t number, std::int32_t a, std::int32_t b) override { Log("VoicePlay", {number, a, b}); }
    void VoiceSetVolume() override { Log("VoiceSetVolume"); }
    void SePlay(std::int32_t number, std::int32_t a, std::int32_t b) override { Log("SePlay", {number, a, b}); }
    void SeStop() override { Log("SeStop"); }
    void SeSetVolume() override { Log("SeSetVolume"); }
    void Se2Play(std::int32_t number, bool fadeIn, std::int32_t a, std::int32_t b) override { Log("Se2Play", {number, fadeIn, a, b}); }
    void Se2Stop(bool fade) override { Log("Se2Stop", {fade}); }
    void Se2SetVolume() override { Log("Se2SetVolume"); }
    void SoundSetLevel() override { Log("SoundSetLevel"); }
    void SoundQuery() override { Log("SoundQuery"); }
    void StageChange(std::int32_t kind) override { Log("StageChange", {kind}, true); }
    void StageRefresh() override { Log("StageRefresh", {}, true); }
    void StageEffect(std::int32_t effect) override { Log("StageEffect", {effect}); }
    void TalkStart(std::int32_t milliseconds) override { Log("TalkStart", {milliseconds}); }
    void TalkStop() override { Log("TalkStop"); }
    void UpdateCursor() override { Log("UpdateCursor"); }
    void TimeWindow(bool open, bool atOnce) override { Log("TimeWindow", {open, atOnce}); }
    void DateWindow(bool open, bool atOnce) override { Log("DateWindow", {open, atOnce}); }
    void ClockRefresh() override { Log("ClockRefresh"); }
    void PlaceName() override { Log("PlaceName"); }
    void ChoiceShow() override { Log("ChoiceShow"); }
    void ExSelShow() override { Log("ExSelShow"); }
    void PlayOpeningMovie() override { Log("PlayOpeningMovie"); }
    void PlayEndingMovie() override { Log("PlayEndingMovie"); }
    void PlayMovie(std::int32_t number) override { Log("PlayMovie", {number}); }
    void EndGame() override { Log("EndGame"); }
    TRandom& Random() override { return random; }
    void SetMusicRankMode(std::int32_t mode) override { Log("SetMusicRankMode", {mode}); }

    // The operations asked for since the last call, emptied.
    std::vector<std::string> Take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    TRandom random;
    // When set, stage changes and refreshes also log the record's character-change mode ("mode=2").
    const TGameState* record = nullptr;
    int rebuilds = 0;
    int messagesRead = 0;
    int autoSaves = 0;

private:
    void Log(const std::string& name, std::initializer_list<std::int64_t> values = {}, bool stage = false);
};

} // namespace ScriptTest

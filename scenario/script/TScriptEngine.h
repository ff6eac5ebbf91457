// TScriptEngine: the interpreter of the compiled scenario scripts: scene starts, the run loop, one
// instruction at a time, calls and returns across scripts, and restoring a saved position.
#pragma once

#include "platform/classes/AnsiString.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/SceneTable.h"
#include "scenario/script/ScriptFile.h"
#include "scenario/script/SpeakerTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class ScriptScreen;
class TFileMan;
class TGameState;
class TReadMesTable;
class TSystemState;

// Everything a saved game restores lives in the current record (value stack, frames, script number
// and stamp, pc, halt and stop); the engine holds only what it read from the scenario data.
// Logic thread only.
class TScriptEngine {
public:
    // Where the engine finds its files and the records and screen its instructions act on.
    struct Context {
        TFileMan& scripts;       // "Scene.tbl" and "scr%05d.dvo"
        TFileMan& data;          // "SpeakTbl.csv"
        TGameState& state;       // the current record
        TGameState& sceneStart;  // the snapshot taken at every scene start
        TSystemState& system;
        TReadMesTable& readMes;
        ScriptScreen& screen;
    };

    // Instructions one Run executes at most before it gives the frame back, so a script that never
    // yields cannot hold the logic thread.
    static constexpr int StepBound = 1'000'000;

    explicit TScriptEngine(const Context& context);

    // Raises Exception with the scene table's texts; the speaker table is read too.
    bool LoadSceneTable();
    bool LoadScript(std::int32_t number);
    // The stamp in script `number`'s header; none when the file is missing, short or names another.
    std::optional<std::uint32_t> GetScriptStamp(std::int32_t number);

    // False when the table is not loaded, the name is 64 bytes or longer (refused before anything
    // changes), no scene has it, or its script does not load.
    bool StartScene(std::string_view name);
    bool RestoreState();
    bool Resume();
    // True when the script has halted.
    bool Run();
    void Step();
    void SetChoice(std::int32_t value);

    // Raise EGameErr when no script is loaded or the value does not lie wholly inside the code.
    std::uint16_t ReadCodeWord(std::uint32_t offset) const;
    std::int32_t ReadCodeLong(std::uint32_t offset) const;
    // 0: the empty text; bit 31 set: that name text of the record; else string 1 to the count.
    // Raises EGameErr for a number past the last or when no script is loaded.
    AnsiString GetStringOperand(std::int32_t value) const;
    std::optional<std::uint32_t> FindLabel(std::string_view label) const { return script_.FindLabel(label); }
    std::uint32_t LabelEntry(std::uint32_t block) const { return script_.LabelEntry(block); }
    // Splits "scrN::label" (script part in any case, N in 0 to 65535); "::label" names `current`.
    static bool ResolveCallTarget(std::string_view target, std::int32_t current, std::int32_t& script, std::string& label);
    int SpeakerOf(int picture) const { return speakers_.SpeakerOf(picture); }
    std::int32_t LoadedScript() const { return script_.Number(); }
    // A message's text with "%r", "%vN" and "%sN" replaced by frame register 1, variable N and name
    // text N, single-byte white space removed and a lone lead byte at the end dropped.
    AnsiString ExpandText(std::string_view text) const;

    // For the instructions.
    TGameState& State() const { return context_.state; }
    TSystemState& System() const { return context_.system; }
    void Yield() { yield_ = true; }
    // Whether the last Run ended by a yield (not by its step bound, a halt or a stop).
    bool Yielded() const { return yield_; }
    void RequestAutoSave() { autoSave_ = true; }

private:
    void Execute(std::uint16_t opcode, OpcodeGroup group);
    void RunCore(std::uint16_t opcode);
    // Runs at most `limit` plain instructions (stack, arithmetic, comparisons, jumps) from the
    // record's pc, up to the first other one or one the stack does not hold or has no room for,
    // which is left for Step. Returns how many ran. None of them changes the message text or
    // the halt, stop, yield or auto-save flags.
    int RunPlain(int limit);
    void RunCommand(std::uint16_t opcode);
    void Halt();
    void Call();
    void Return();
    void CallTarget(const ScriptFile::Target& target);
    void StartSceneAt(std::uint32_t offset);

    Context context_;
    SceneTable scenes_;
    SpeakerTable speakers_;
    ScriptFile script_;
    bool yield_ = false;
    bool autoSave_ = false;
    std::uint32_t nextPc_ = 0;
};

// ScriptScreen: what the script engine asks of the adventure screen: the command instructions, the
// picture rebuilt after a scene start, message pieces, and the automatic save.
#pragma once

#include <cstdint>

class TScriptEngine;

class ScriptScreen {
public:
    virtual ~ScriptScreen() = default;

    // Runs command `opcode` (64 to 166) against the engine's record; it may yield or stop the engine.
    virtual void RunCommand(std::uint16_t opcode, TScriptEngine& engine) = 0;
    // A script started a scene: rebuild stage, windows, clock and sounds from the record.
    virtual void RebuildFromRecord() = 0;
    // Whether the record holds message text not yet handed to the window.
    virtual bool HasMessageText() = 0;
    // Hands the next piece of the current message to the window; true when the message is used up.
    virtual bool PrintMessagePiece(TScriptEngine& engine) = 0;
    // Records the current message as read.
    virtual void MarkMessageRead() = 0;
    // Writes the game to the automatic save slot.
    virtual void WriteAutoSave() = 0;
};

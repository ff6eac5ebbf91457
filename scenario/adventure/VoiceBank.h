// VoiceBank: the voice file manager of the adventure screen, bound to the pack that holds the
// voice being played ("Voice\ev%05d.pak", one pack per 100,000 voice numbers).
#pragma once

#include "base/packs/TFileMan.h"
#include "platform/classes/AnsiString.h"

#include <cstdint>
#include <optional>

class VoiceBank {
public:
    // `root` is the game folder the "Voice" folder lies in ("" for the current folder, else ending
    // in a backslash).
    explicit VoiceBank(AnsiString root = "") : root_(std::move(root)) {}

    static std::int32_t PackOf(std::int32_t voice) { return voice / 100000; }
    static AnsiString PackName(std::int32_t pack);
    static AnsiString FileName(std::int32_t voice);

    // The name of the voice's file in its pack, binding the pack first when it is not the bound one;
    // none when the pack file or the voice in it is missing. Voices are read from pack files only.
    std::optional<AnsiString> Find(std::int32_t voice);
    TFileMan& Files() { return files_; }
    // Times a pack was bound.
    int Binds() const { return binds_; }

private:
    AnsiString root_;
    TFileMan files_{nullptr};
    std::optional<std::int32_t> pack_;
    int binds_ = 0;
};

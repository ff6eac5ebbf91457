#include "shell/GameGlobals.h"

#include "base/util/TRandom.h"

TGameForm* GameForm = nullptr;

TMemMan* MemMan = nullptr;
TFileMan* DataFileMan = nullptr;
TFileMan* BGMFileMan = nullptr;
TFileMan* ScriptFileMan = nullptr;
TBitDepth GameBitDepth = bd24;
TBitDepth DisplayBitDepth = bdNone;

// The game starts in a window unless the settings file says otherwise.
std::atomic<std::uint8_t> WindowMode{1};
std::atomic<std::uint8_t> ShowFPS{0};
std::atomic<std::uint8_t> CapEnable{0};
std::atomic<std::uint8_t> MusicMemorySave{0};
std::atomic<std::uint8_t> MusicForceAuto{0};

TRandom& SharedRandom()
{
    static TRandom random;
    return random;
}

void StepSharedRandom(std::uint32_t n)
{
    for (std::uint32_t i = 0; i < n; ++i)
        SharedRandom().Rnd();
}

// StageResources: what a song's stage script declares in its [Load] section (tempo, background
// pictures and animations, characters' picture sequences, sound effects), owned by the song screen
// from the song load until the song is freed.
//
// Background pictures stay as open streams of the song-data file manager and are decoded when shown;
// character pictures are decoded at once into bitmaps made through the memory registry.
#pragma once

#include "songgame/sound/SongSoundDevice.h"

#include <array>
#include <cstdint>
#include <memory>

class TFileMan;
class TStream;
class TXeAlpha;
class TXeRGBBits;

inline constexpr int BackgroundSlots = 32;
inline constexpr int AnimationSlots = 8;
inline constexpr int AnimationFrames = 8;
inline constexpr int StageCharacters = 4;
inline constexpr int CharacterEntries = 32;
inline constexpr int EntryFrames = 24;
inline constexpr int EffectSlots = 8;
inline constexpr int DefaultTempo = 120;

// A background picture kept for decoding: the open stream and its format.
enum StagePictureFormat : std::int32_t { spfBmp = 0, spfJpeg = 1, spfPng = 2 };
struct StagePicture {
    TStream* stream = nullptr;
    std::int32_t format = spfBmp;
};

struct BackgroundAnimation {
    std::int32_t frameCount = 0;
    std::array<StagePicture, AnimationFrames> frames{};
    std::array<std::int32_t, AnimationFrames> durations{}; // in frames
};

// How a character's sequence runs (the run's stage display reads it).
enum PictureEntryPlay : std::int32_t { pepOff = 0, pepTurn = 1, pepPlain = 2, pepRound = 3 };

// One picture sequence of a character: cells of one picture, each shown for a number of frames.
struct PictureEntry {
    std::int32_t frameCount = 0;
    std::int32_t cellWidth = 0;
    std::int32_t cellHeight = 0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t playMode = pepOff;
    TXeRGBBits* picture = nullptr;
    TXeAlpha* mask = nullptr;
    std::array<std::int32_t, EntryFrames> cells{};
    std::array<std::int32_t, EntryFrames> durations{};
};

struct StageCharacter {
    std::array<PictureEntry, CharacterEntries> entries{};
    PictureEntry miss{};
};

class StageResources {
public:
    StageResources() = default;
    ~StageResources();
    StageResources(const StageResources&) = delete;
    StageResources& operator=(const StageResources&) = delete;

    // Closes every kept stream through `files` (its manager), deletes every picture through the
    // registry and every sound effect, and sets the tempo back to 120.
    void Free(TFileMan& files);
    // Frees one entry's pictures and clears it.
    static void FreeEntry(PictureEntry& entry);
    static void ClosePicture(TFileMan& files, StagePicture& picture);

    std::int32_t tempo = DefaultTempo;
    std::array<StagePicture, BackgroundSlots> backgrounds{};
    std::array<BackgroundAnimation, AnimationSlots> animations{};
    std::array<StageCharacter, StageCharacters> characters{};
    std::array<std::unique_ptr<SongSound>, EffectSlots> effects{};
};

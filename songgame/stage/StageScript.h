// StageScript: the compiled timed entries of a song's stage script "Anime.txt", with the reader
// that loads the script's [Load] resources and compiles its [Init], [Before], [Perform] and [After]
// sections, and the walk that carries the entries out through the stage's actions.
//
// An entry in the pool, word by word: its size (3..7), its time in milliseconds (0 in [Init]), its
// kind (StageEntryKind) and the kind's values. The read fails (false) for a missing file, a header
// out of order, an [After] never reached, the pool full or a number that does not convert in a
// [Load] line (at once); and, at its end, for every resource that failed and every unknown timed
// command or bad timed value met on the way.
#pragma once

#include "songgame/stage/StageResources.h"

#include <array>
#include <cstdint>
#include <span>

class TFileMan;
class TStringList;
class SongSoundDevice;

inline constexpr int StagePoolWords = 16384;

enum StageEntryKind : std::int32_t {
    sekUnknown = 0,
    sekBackground = 1, // slot, second number
    sekAnimation = 2,  // slot, second number
    sekCharacter = 3,  // character, picture entry
    sekSecondPicture = 4,
    sekPosition = 5, // character, x, y, move time
    sekEffect = 6,   // sound-effect slot
    sekEnd = 7,
};

enum StageSection : int { ssInit = 0, ssBefore = 1, ssPerform = 2, ssAfter = 3 };

// What the walk asks of the stage (the song run's display does it); indexes are checked before.
class StageActions {
public:
    virtual ~StageActions() = default;
    virtual void ChangeBackground(int slot, int number) = 0;
    virtual void StartAnimation(int slot, int number) = 0;
    virtual void SetCharacterPicture(int character, int entry) = 0;
    virtual void SetCharacterSecondPicture(int character, int entry) = 0;
    // moveTime 0 places at once.
    virtual void PlaceCharacter(int character, int x, int y, int moveTime) = 0;
    virtual void PlayEffect(int slot) = 0;
};

// The options and the phase that decide which entries act.
struct StageConditions {
    bool stageAnime = true; // background entries run during the performance
    bool charaAnime = true; // character entries run during the performance
    bool performing = false;
};

// What [Load] lines need: the song data, the sound device for effects and the key volume.
struct StageLoadContext {
    TFileMan& songFiles;
    SongSoundDevice* sounds = nullptr; // none: every WAVE line fails
    std::int32_t keyVolume = 100;
};

class StageScript {
public:
    StageScript() = default;
    explicit StageScript(std::span<std::int32_t> pool) { SetPool(pool); }
    // The pool of StagePoolWords words (allocated by the song screen; a smaller one fails every
    // read); the entries are forgotten.
    void SetPool(std::span<std::int32_t> pool);

    bool Read(StageLoadContext& context, StageResources& resources);
    bool ReadLines(const TStringList& lines, StageLoadContext& context, StageResources& resources);

    // The pointer to section n's first entry, or -1 when the section is empty or n is outside 0..3.
    void SetSection(int n);
    // The current entry's time (ms), or 0 without one.
    std::int32_t EntryTime() const;
    // Carries out the current entry of section n and moves on (to -1 at the section's end or "END").
    void DoAnimeEntry(int n, const StageConditions& conditions, StageActions& actions);

    std::int32_t Pointer() const { return pointer_; }
    std::int32_t WriteIndex() const { return write_; }
    // The words of the entry at `index`, for reading back.
    std::span<const std::int32_t> EntryAt(std::int32_t index) const;
    std::int32_t SectionStart(int n) const { return starts_[static_cast<std::size_t>(n)]; }
    std::int32_t SectionEnd(int n) const;

private:
    friend class StageReader;

    std::span<std::int32_t> pool_;
    std::int32_t write_ = 0;
    std::array<std::int32_t, 4> starts_{}; // [Init] at 0
    std::int32_t end_ = 0;
    std::int32_t pointer_ = -1;
};

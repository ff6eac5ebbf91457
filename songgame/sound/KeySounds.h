// KeySounds: the song's key sounds: the names listed from the key location (the chart refers to
// them by index), and their sounds, either all made at once (preload) or made on demand into a
// cache of 16 slots from the key files kept open (memory-save mode).
//
// Logic thread only.
#pragma once

#include "songgame/sound/SongSoundDevice.h"

#include "platform/classes/AnsiString.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TFileMan;
class TStream;

class KeySounds {
public:
    static constexpr int MaxKeys = 512;
    // A stored name is shorter than this (a 26-byte field with its zero).
    static constexpr std::size_t NameField = 26;
    static constexpr int CacheSlots = 16;

    KeySounds();
    ~KeySounds();
    KeySounds(const KeySounds&) = delete;
    KeySounds& operator=(const KeySounds&) = delete;

    // Lists the key location: every name that is not empty and shorter than 26 characters, upper-
    // cased, in listing order, up to 512.
    void List(TFileMan& keyFiles);
    // For each listed name: preload makes its sound (volume from keyVolume) and closes its file;
    // memory-save keeps the file open. False at the first file that does not open, or (preload)
    // whose sound cannot be made.
    bool Load(TFileMan& keyFiles, SongSoundDevice* device, bool memorySave, std::int32_t keyVolume);
    // Plays key sound `index`; in memory-save mode through the cache, most recently played first.
    void Play(int index);
    // Deletes every sound, closes every kept file and forgets the names.
    void Free(TFileMan* keyFiles);

    std::span<const AnsiString> Names() const { return names_; }
    int Count() const { return static_cast<int>(names_.size()); }
    // Memory-save mode: the slot numbers, most recently used first, and the key each slot holds.
    const std::array<int, CacheSlots>& CacheOrder() const { return order_; }
    int SlotHolds(int slot) const { return holds_[static_cast<std::size_t>(slot)]; }
    bool HasSound(int index) const;

private:
    int CacheSlotFor(int index);

    std::vector<AnsiString> names_;
    std::vector<SongSoundKind> kinds_;
    std::vector<std::unique_ptr<SongSound>> sounds_; // preload: one per name; memory-save: per slot
    std::vector<TStream*> kept_;                     // memory-save: the open key files
    SongSoundDevice* device_ = nullptr;
    std::int32_t keyVolume_ = 100;
    bool memorySave_ = false;
    std::array<int, CacheSlots> holds_{};
    std::array<int, CacheSlots> order_{};
};

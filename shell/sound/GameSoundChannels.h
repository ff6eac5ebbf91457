// GameSoundChannels: the game's sound outside the song game's own: background music in two slots
// that cross-fade, one voice, one sound effect, one looping ambient sound with fades, a second
// ambient channel that keeps only its level, one system sound for menus, and the silence buffer.
//
// Each channel plays at the player's volume for its kind scaled by a per-scene level (both 0 to
// 100; a setter ignores a value outside that range). A voice, sound effect or ambient sound is
// identified by its name and the caller's pair (first value, rear value); a rear value above 0
// makes it a rear sound, played at the ambient volume instead of its channel's own. Volumes reach
// the device through VolumeToAttenuation.
//
// Without a device every play returns true and plays nothing, every stop does nothing, every
// query is false and the setters only store their value.
//
// Threads: the logic thread plays, stops and queries; GlideVolumes runs on whichever thread runs
// the frame (the logic thread or the loading-time frame thread). The sound lock (re-entrant, so
// nested calls take it again) is held for each whole operation and guards every field, except
// the volumes and levels, which are atomic: their getters and the level setters of BGM, ambient
// and second ambient take no lock. The device's notification threads never take it. Sounds are
// made and deleted only on the thread that asks for sounds (the one that last played or stopped
// one): the device's buffers belong to its component tree, which is not made for two threads. A
// glide on another thread that ends a fade stops the sound and leaves its deletion (and the
// closing of its file) to that thread's next sound operation or frame.
#pragma once

#include "platform/classes/AnsiString.h"
#include "shell/sound/GameSoundDevice.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class TFileMan;
class TMemMan;
class TStream;

class GameSoundChannels {
public:
    // The registry and the BGM file manager (the "BGM" folder) must outlive the channels.
    GameSoundChannels(TMemMan* registry, TFileMan* bgmFiles);
    // Releases every sound still held.
    ~GameSoundChannels();
    GameSoundChannels(const GameSoundChannels&) = delete;
    GameSoundChannels& operator=(const GameSoundChannels&) = delete;

    std::recursive_mutex& SoundLock() { return soundLock_; }

    // Attaches the device (making the one-second silence buffer) or, with null, releases every
    // buffer and stream and detaches it (shut-down, before the device is disabled). The device
    // must outlive its attachment.
    void SetDevice(GameSoundDevice* device);

    // ---- background music: "Track%02d.bgm" from the BGM file manager, streamed ----
    bool PlayBGM(std::int32_t track, bool loop, bool fade);
    void StopBGM(bool fade);
    bool IsBGMPlaying();
    bool OpenBGMTrack(int slot, std::int32_t track, bool loop, std::int32_t volume);
    // Always true.
    bool ReleaseBGM(int slot);
    void SetBGMVolume(std::int32_t volume);
    std::int32_t GetBGMVolume() const { return bgmVolume_; }
    // Reached by the per-frame glide.
    void SetBGMLevel(std::int32_t level);

    // ---- voice: the name as given ----
    bool PlayVoice(const AnsiString& fileName, TFileMan* files, std::int32_t first, std::int32_t rear);
    void StopVoice();
    bool IsVoicePlaying();
    void SetVoiceVolume(std::int32_t volume);
    std::int32_t GetVoiceVolume() const { return voiceVolume_; }
    void SetVoiceLevel(std::int32_t level);

    // ---- sound effect: name + ".ogg" ----
    bool PlaySE(const AnsiString& name, TFileMan* files, std::int32_t first, std::int32_t rear);
    void StopSE();
    bool IsSEPlaying();
    void SetSEVolume(std::int32_t volume);
    std::int32_t GetSEVolume() const { return seVolume_; }
    void SetSELevel(std::int32_t level);

    // ---- ambient: name + ".ogg", looping ----
    bool PlayRear(const AnsiString& name, TFileMan* files, bool fadeIn, std::int32_t first, std::int32_t rear);
    void StopRear(bool fade);
    // False while fading out.
    bool IsRearPlaying();
    // The ambient volume ("VolumeRear"), also the volume of rear voices and sound effects.
    void SetRearVolume(std::int32_t volume);
    std::int32_t GetRearVolume() const { return rearVolume_; }
    // Reached by the per-frame glide.
    void SetRearLevel(std::int32_t level);

    // ---- second ambient: only its level is kept ----
    void SetRear2Level(std::int32_t level);
    bool PlayRear2() { return true; }
    void StopRear2() {}
    bool IsRear2Playing() { return false; }

    // ---- system sound: name + ".ogg", identified by its name alone ----
    bool PlaySystemSE(const AnsiString& name, TFileMan* files);
    void ReleaseSystemSE();
    bool IsSystemSEPlaying();

    // Plays the silence buffer once.
    void PlayMute();

    // One frame's glide of the BGM and ambient volumes toward their targets, 2 points a pulse, and
    // of a fading BGM track out; nothing for 0 pulses.
    void GlideVolumes(int pulses);

private:
    // The caller's pair that is part of a sound's identity.
    struct Pair {
        std::int32_t first = 0;
        std::int32_t rear = 0;
        bool operator==(const Pair&) const = default;
        bool IsRear() const { return rear > 0; }
    };
    // A whole sound with the name and pair it was made for.
    struct Channel {
        GameSound* sound = nullptr;
        AnsiString name;
        Pair pair;
    };
    // A streamed track and the file it reads.
    struct BGMSlot {
        GameSound* stream = nullptr;
        TStream* file = nullptr;
    };

    void ReleaseAll();
    // Called by every operation that makes or releases sounds on request: that thread becomes
    // the sound thread, and what a glide elsewhere stopped is released now.
    void EnterSoundThread();
    // Stops a sound a glide ended off the sound thread and keeps it (with its file) for later.
    void Retire(GameSound*& sound, TStream*& file);
    void ReleaseRetired();
    // Registers a new sound with the registry; null stays null.
    GameSound* Adopt(std::unique_ptr<GameSound> sound);
    // Plays the silence buffer, stops and deletes the sound.
    void ReleaseSound(GameSound*& sound);
    void ReleaseChannel(Channel& channel);
    // Decodes `fileName` from the file manager into a new whole sound (the file is closed again).
    GameSound* LoadWhole(const AnsiString& fileName, TFileMan* files);
    // A voice, sound-effect or system-sound play: the same sound again replays its buffer (the
    // system sound matches by name alone), another one replaces it and plays once at the
    // attenuation the channel's member function gives for it.
    using Attenuation = std::int32_t (GameSoundChannels::*)() const;
    bool PlayChannel(Channel& channel, const AnsiString& name, const AnsiString& fileName, TFileMan* files, Pair pair,
                     bool nameOnly, Attenuation attenuation);
    // Moves the playing track to the other slot, fading it out or releasing it at once.
    void RetireCurrentBGM(bool fade);

    static bool InRange(std::int32_t value) { return value >= 0 && value <= 100; }
    std::int32_t BGMTarget() const;
    std::int32_t VoiceAttenuation() const;
    std::int32_t SEAttenuation() const;
    std::int32_t SystemSEAttenuation() const;
    // The effective ambient volume (a volume, not an attenuation).
    std::int32_t RearTarget() const;

    TMemMan* registry_;
    TFileMan* bgmFiles_;
    std::recursive_mutex soundLock_;

    // Guarded by the sound lock.
    GameSoundDevice* device_ = nullptr;
    GameSound* mute_ = nullptr;
    std::array<BGMSlot, 2> bgm_{};
    int bgmCurrent_ = 0;
    std::int32_t bgmTrack_ = 0;
    bool bgmLoop_ = false;
    std::int32_t bgmCurrentVolume_ = 0;
    std::int32_t bgmFadeOutVolume_ = 0;
    Channel voice_;
    Channel se_;
    Channel rear_;
    std::int32_t rearCurrentVolume_ = 0;
    bool rearFadingOut_ = false;
    Channel systemSE_;
    std::thread::id soundThread_;
    std::vector<BGMSlot> retired_; // stopped sounds (and BGM files) waiting for the sound thread

    // Volumes and levels, 0 to 100 (defaults of a new form).
    std::atomic<std::int32_t> bgmVolume_{70};
    std::atomic<std::int32_t> bgmLevel_{100};
    std::atomic<std::int32_t> voiceVolume_{100};
    std::atomic<std::int32_t> voiceLevel_{100};
    std::atomic<std::int32_t> seVolume_{100};
    std::atomic<std::int32_t> seLevel_{100};
    std::atomic<std::int32_t> rearLevel_{100};
    std::atomic<std::int32_t> rear2Level_{100};
    std::atomic<std::int32_t> rearVolume_{90};
};

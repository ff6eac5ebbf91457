// TUserConfig: the player's settings (message window look and speed, auto and skip behaviour,
// confirmations, the song game's options and volumes) and their nineteen keys in section "Game"
// of the settings file "Tvqe.ini" in the program's folder.
//
// Reading keeps what the file cannot say: a missing file, key or unknown word leaves the field as
// it was; a number that is not one, or lies outside its range, gives the field's default. Writing
// puts every key in the order of the fields. A settings file that cannot be read or written is
// passed over in silence (the ini file's own rule); it never ends the game.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>

class TUserConfig {
public:
    // Every field at its default.
    TUserConfig();

    std::int32_t MesBoxTrans;     // message window transparency, percent: 0..100, default 25
    std::int32_t UserTextSpeed;   // message printing speed: 0..200, default 100
    std::int32_t AutoSkipWait;    // auto-mode wait after a page, ms: 0..5000, default 2000
    std::uint8_t SimpleDisplay;   // simplified stage effects: 0 or 1, default 0
    std::uint8_t ShowPlaceName;   // place-name plate shown: default 0
    std::uint8_t AllTextSkip;     // skip mode covers all text: default 0
    std::uint8_t EffectCanSkip;   // stage effects may be skipped: default 1
    std::int32_t RightClickType;  // what the right button does in the adventure: 0..4, default 0
    std::uint8_t ExitConfirm;     // leaving asks first: default 1
    std::uint8_t SaveConfirm;     // kept in the file only: default 1
    std::uint8_t LoadConfirm;     // kept in the file only: default 1
    std::uint8_t AvgAutoMode;     // adventure auto mode: 0 NoAuto, 1 Auto; default 0
    std::int32_t VolumeMainPlay;  // song music volume, percent: 0..100, default 100
    std::int32_t VolumeKeyboard;  // key-sound volume, percent: 0..100, default 100
    std::uint8_t MusicRankMode;   // song difficulty: 0 Normal, 1 Hard, 2 Easy; default 0
    std::uint8_t MusicAutoMode;   // auto play in free play: 0 NoAuto, 1 Auto; default 0
    std::uint8_t MusicWordMode;   // lyrics: 0 Nothing, 1 Normal, 2 HighQuality; default 1
    std::uint8_t MusicAnime;      // stage and character animation in songs: default 1
    std::uint8_t MusicTimingMode; // song clock: 1 Wave (the music stream), 0 Timer; default 1
};

// The settings file: the program's folder followed by "Tvqe.ini".
AnsiString UserConfigPath();

// Reads the settings file (UserConfigPath, or the given one) into the record; without a file the
// record keeps its values.
void LoadUserConfig(TUserConfig& config);
void LoadUserConfig(TUserConfig& config, const AnsiString& path);
// Writes every key, creating the file when it is missing. A code field holding a value without a
// word writes nothing for its key, so the file keeps its old line.
void SaveUserConfig(const TUserConfig& config);
void SaveUserConfig(const TUserConfig& config, const AnsiString& path);

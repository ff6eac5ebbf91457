// TMusicUnit: the song screen: its panel tree, its options, the set-up that loads every picture,
// the lyric surfaces and font, the input devices and the song (data and key locations, key sounds,
// chart, stage script, music), and the release that gives all of it back. It keeps the stage display
// (characters and background, which the stage entries drive from the song load on) and draws the
// stage, the sheet and the lyric line through their panels' drawing hooks.
//
// Life: construct (options at their defaults), set the options, Setup once (false: everything is
// released again and the object can be deleted), run the song, Release (the destructor releases
// too). Everything the set-up and the song load make goes through the memory registry (MemMan) or
// is owned here, and is freed by Release; a failed Setup leaves the registry as it found it.
//
// Logic thread only (the frame threads see the panels through the form's locks).
#pragma once

#include "songgame/chart/ChartReader.h"
#include "songgame/display/CharacterDisplay.h"
#include "songgame/display/LyricLine.h"
#include "songgame/display/RectSink.h"
#include "songgame/display/StageBackground.h"
#include "songgame/run/PlayState.h"
#include "songgame/screen/SongDevices.h"
#include "songgame/sound/KeySounds.h"
#include "songgame/stage/StageResources.h"
#include "songgame/stage/StageScript.h"
#include "songgame/stage/StageState.h"

#include "scenario/records/TSongID.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "shell/helpers/PanelLayout.h"
#include "platform/classes/Component.h"
#include "platform/font/LogicalFont.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

class MusicRun;
class TFileMan;
class TXeAlpha;
class TXeAlphaDib;
class TXeRGBBits;
class TXeRGBDib;

// A picture and its mask made through the registry.
struct MusicPicture {
    TXeRGBBits* bits = nullptr;
    TXeAlpha* alpha = nullptr;
};

class TMusicUnit : public TComponent, private StageActions {
public:
    static constexpr int CurtainStrips = 19;
    static constexpr int BigPops = 5;
    static constexpr int SmallPops = 10;
    static constexpr int ScoreDigits = 9;

    explicit TMusicUnit(TComponent* owner);
    ~TMusicUnit() override;

    // ---- options: ignored once set up, except the pack number ----
    void SetTimingMode(std::uint8_t mode);
    void SetVolume(std::int32_t music, std::int32_t key);
    void SetRankMode(std::uint8_t mode);
    void SetAutoMode(std::uint8_t mode);
    void SetWordMode(std::uint8_t mode);
    void SetCharaAnime(std::uint8_t on);
    void SetStageAnime(std::uint8_t on);
    void SetMemorySave(std::uint8_t on);
    void SetEventPack(std::int32_t pack);
    // The machine's devices; the main form's by default.
    void SetDevices(const SongDevices& devices);

    // ---- set-up and release ----
    bool Setup(TFileMan* gameData, const TSongID& code);
    void Release();
    bool InitInput();
    void FreeInput();
    void ResetPlayState();

    // ---- the song ----
    bool LoadSong();
    void FreeSong();
    void PlayKeySound(int index);
    bool ReadChart();
    bool ReadAnime();
    void SetSection(int n);
    void DoAnimeEntry(int n);
    // Phase 1 (curtain opening) from its start.
    void Start();
    // Stops the music when it plays (then the silence buffer once) and goes idle.
    void Stop();

    // ---- state read by the run and by tests ----
    std::uint8_t IsSetup() const { return FIsSetup; }
    std::uint8_t TimingMode() const { return FTimingMode; }
    std::int32_t MusicVolume() const { return FMusicVolume; }
    std::int32_t KeyVolume() const { return FKeyVolume; }
    std::uint8_t RankMode() const { return FRankMode; }
    std::uint8_t AutoMode() const { return FAutoMode; }
    std::uint8_t WordMode() const { return FWordMode; }
    std::uint8_t CharaAnime() const { return FCharaAnime; }
    std::uint8_t StageAnime() const { return FStageAnime; }
    std::uint8_t MemorySave() const { return FMemorySave; }
    std::int32_t PackNumber() const { return FPackNumber; }
    std::int32_t SongVersion() const { return FSongVersion; }
    const TSongID& SongID() const { return FSongID; }
    std::uint8_t Phase() const { return FPhase; }
    // Shows a lyric line (nothing in word mode 0; an empty text hides the line).
    void DrawLyrics(std::string_view text);
    int LyricLength() const { return FLyricLength; }
    LyricSurfaces Lyrics() const;
    // The stage script's tempo (120 until a script sets another).
    std::int32_t Tempo() const { return FStage.tempo; }

    // A panel of the screen by name; std::out_of_range for another name.
    TXeRGBPanel* Panel(std::string_view name) const;
    TXeRGBPanel* MusicPanel() const { return FMusicPanel; }
    const MusicPicture& NotePicture() const { return FNotePicture; }
    const MusicPicture& AlphabetPicture() const { return FAlphabetPicture; }
    const MusicPicture& ClefPicture() const { return FClefPicture; }
    TXeRGBBits* LyricBits(int i) const { return FLyricBits[static_cast<std::size_t>(i)]; }
    TXeAlphaDib* LyricAlpha() const { return FLyricAlpha; }
    TXeAlpha* LyricMask() const { return FLyricMask; }
    const LogicalFont* LyricFont() const { return FLyricFont.get(); }

    const KeySounds& Keys() const { return FKeys; }
    const ChartStore& Chart() const { return FChart; }
    const StageScript& Script() const { return FScript; }
    const StageResources& Stage() const { return FStage; }
    const StageState& StageNow() const { return FStageState; }
    const StageBackground& Background() const { return FBackground; }
    const CharacterDisplay& Characters() const { return FCharacters; }
    SongSound* Music() const { return FMusic.get(); }
    bool HasJoystick() const { return FJoystick; }

    // The play state; the caller reads the gauge (0..59) and the score after the run.
    int GetGauge() const { return FPlay.gauge; }
    int GetScore() const { return static_cast<int>(FPlay.score); }
    const PlayState& Play() const { return FPlay; }
    // One frame of the run Start made (nothing before); elapsed frame ticks since the previous one.
    void Step(int elapsed);
    MusicRun* Run() const { return FRun.get(); }

private:
    // Setup's steps; each false ends it.
    bool CreateFileManagers();
    bool Allocate();
    bool SetupTree();
    bool SetupCurtainAndTitle();
    bool SetupSheetAndScore();
    bool SetupFrames();
    bool SetupLyrics();
    bool SetupCaption();
    // Release's parts.
    void FreePictures();
    void FreeLyrics();
    void FreeAllocations();
    void ShareImage(TXeRGBPanel* const* panels, int count);

    bool LoadKeySounds();
    void ShowTitle();
    bool OpenMusic();

    // The stage entries' actions (the run's stage display completes them).
    void ChangeBackground(int slot, int number) override;
    void StartAnimation(int slot, int number) override;
    void SetCharacterPicture(int character, int entry) override;
    void SetCharacterSecondPicture(int character, int entry) override;
    void PlaceCharacter(int character, int x, int y, int moveTime) override;
    void PlayEffect(int slot) override;

    void BuildPanels();
    // The drawing hooks of the stage, the sheet and the lyric line: true when they drew the part.
    bool BGPanelDraw(TXeRGBBits* dest, int x, int y, const TXeRect& part);
    bool SheetPDraw(TXeRGBBits* dest, int x, int y, const TXeRect& part);
    bool WordPDraw(TXeRGBBits* dest, int x, int y, const TXeRect& part);

    std::uint8_t FIsSetup = 0;
    TFileMan* FGameData = nullptr;
    TFileMan* FKeyFiles = nullptr;
    TFileMan* FSongFiles = nullptr;
    std::uint8_t FTimingMode = 1;
    std::int32_t FMusicVolume = 100;
    std::int32_t FKeyVolume = 100;
    std::uint8_t FRankMode = 0;
    std::uint8_t FAutoMode = 0;
    std::uint8_t FWordMode = 1;
    std::uint8_t FCharaAnime = 1;
    std::uint8_t FStageAnime = 1;
    TSongID FSongID{};
    std::int32_t FSongVersion = 100;
    std::uint8_t FMemorySave = 0;
    std::int32_t FPackNumber = 0;

    SongDevices FDevices;
    std::unique_ptr<SongSoundDevice> FOwnSounds;
    bool FInputAcquired = false;
    bool FJoystick = false;

    // The panel tree (the form): owned as components of this module.
    TXeRGBPanel* FMusicPanel = nullptr;
    std::unique_ptr<PanelLayout> FLayout;
    std::array<TXeRGBPanel*, CurtainStrips> FCurtains{};
    std::array<TXeRGBPanel*, BigPops> FPopBig{};
    std::array<TXeRGBPanel*, SmallPops> FPopSmall{};
    std::array<TXeRGBPanel*, ScoreDigits> FScoreDigits{};

    MusicPicture FNotePicture;
    MusicPicture FAlphabetPicture;
    MusicPicture FClefPicture;
    std::array<TXeRGBBits*, 2> FLyricBits{};
    TXeAlphaDib* FLyricAlpha = nullptr;
    TXeAlpha* FLyricMask = nullptr;
    TXeRGBDib* FLyricDib = nullptr;
    FontHandle FLyricFont;
    int FLyricLength = 0;

    // The four allocations (key names are kept by FKeys).
    TMusicNote* FNotes = nullptr;
    char* FTextPool = nullptr;
    std::int32_t* FStagePool = nullptr;

    KeySounds FKeys;
    ChartStore FChart;
    StageScript FScript;
    StageResources FStage;
    StageState FStageState;
    // The stage display: characters and background, flagged on the stage panel.
    PanelRectSink FStageFlags;
    CharacterDisplay FCharacters{FStageState, FStage, FStageFlags};
    StageBackground FBackground{FStageState, FStage};
    TStream* FMusicFile = nullptr;
    std::unique_ptr<SongSound> FMusic;

    // The run: its phase (kept by the run), play state and the run itself.
    friend class MusicRun;
    std::uint8_t FPhase = 0;
    PlayState FPlay;
    std::unique_ptr<MusicRun> FRun;
};

// TStageUnit: the picture layer of the adventure screen: one background, up to three characters
// (left, center, right) with their animations, weather behind and in front of the characters,
// shakes and a white flash, and the change of all of it through a screen transition (stage
// changes) or a sliding and fading motion (character changes).
//
// Only StagePanel joins the screen's panel tree. BGPanel (the current scene) and BGPanel2 (the scene
// being left while a two-scene transition runs) are detached trees that the stage renders into
// StagePanel's own 640 x 480 picture: each frame only the rectangles BGPanel flagged, or the
// whole stage while a transition or the flash runs.
//
// The adventure screen hands over the stage values of the play-through record (time band, stage
// mode, weather level, background, characters), then starts a change or an effect, steps the stage
// once a frame with Update and waits while IsChanging. Nothing here is saved: the record holds all
// a load needs. Logic thread only, inside the frame wait.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "scenario/stage/BackgroundChoice.h"
#include "scenario/stage/StageBlocks.h"
#include "scenario/stage/StageShake.h"
#include "scenario/stage/StageTransitions.h"
#include "scenario/stage/StageWeather.h"
#include "shell/helpers/RegistryHold.h"
#include "shell/transition/TScreenTransition.h"

#include <array>
#include <functional>
#include <memory>

class TFileMan;
class TRandom;
class TSystemState;
class TUserConfig;

class TStageUnit : public TComponent {
public:
    // Receives 1, 2 or 3 for a left, right or middle click on the stage.
    using TClickEvent = std::function<void(int code)>;

    // States.
    static constexpr int stNone = 0;
    static constexpr int stIdle = 1;
    static constexpr int stTransition = 2;
    static constexpr int stMotion = 3;
    static constexpr int stEffect = 4;
    // Character numbers: none, and the invisible placeholder that occupies a slot.
    static constexpr int kNoCharacter = -1;
    static constexpr int kPlaceholder = 999;

    // `random` moves weather and blinks, `config` says whether the stage is simplified
    // (SimpleDisplay), and `system` takes the seen bits of backgrounds 500 to 799.
    TStageUnit(TComponent* owner, TRandom& random, const TUserConfig& config, TSystemState& system);
    ~TStageUnit() override;
    TStageUnit(const TStageUnit&) = delete;
    TStageUnit& operator=(const TStageUnit&) = delete;

    // Opens the packs "EvBG" and "EvCG" (or their folders), makes the stage picture and background
    // block 0 and loads "Snow.bmp" through the data files; false (with everything released) when
    // the stage picture or the snow cannot be made.
    bool Initialize(TFileMan* dataFiles);
    void Finalize();
    void Attach(TXeRGBPanel* parent);
    void Detach();
    void SetOwner(TClickEvent onClick) { FOnClick = std::move(onClick); }
    // The empty black stage.
    void Reset();

    void SetTimeBand(int band) { FTimeBand = band; }
    void SetStageMode(int mode) { FStageMode = mode; }
    // Ignored outside 0..4.
    void SetWeatherLevel(int level);
    void SetBackground(int number) { FReqBG = number; }
    void SetCharacters(int left, int center, int right, int arrangement);

    // Background and characters from the requested values, through the transition the change code
    // names (0: none, the new scene is shown at once) at `speed` percent. A change or effect still
    // running is ended first. Each returns IsChanging.
    bool ChangeStage(int code, int speed);
    bool ShowStage(int code) { return ChangeStage(code, 100); }
    // The characters only, moving in and out by the arrangement.
    bool ChangeCharacters();
    // Shakes 0..3 and the white flash 4; other kinds do nothing.
    bool StartEffect(int kind);
    // Starts or stops the mouth of the current character in slot 0..2.
    void SetTalking(int slot, bool talking);
    // Motions cleared; every current character's body and extra layer run, eyes and mouth stop.
    void ResetCharacterStates();
    // One frame step of `frames` elapsed frames; `skip` ends transitions, motions and effects.
    bool Update(int frames, bool skip);
    bool IsChanging() const { return FState != stIdle; }

    // What the screen and tests read.
    int State() const { return FState; }
    TXeRGBPanel* StagePanel() const { return Panel(pnStage); }
    TXeRGBPanel* BGPanel() const { return Panel(pnBG); }
    TXeRGBPanel* BGPanel2() const { return Panel(pnBG2); }
    // Row 0 current, 1 outgoing, 2 second-scene characters; slot 0 left, 1 center, 2 right.
    TXeRGBPanel* CharPanel(int row, int slot) const;
    TXeRGBPanel* WeatherPanel(bool front, bool secondScene) const;
    const TBGStat& Background(int block) const { return FBG[static_cast<std::size_t>(block)]; }
    const TCharStat& Character(int set, int slot) const { return FChr[static_cast<std::size_t>(set)][static_cast<std::size_t>(slot)]; }
    int CurChar(int slot) const { return FCurChar[static_cast<std::size_t>(slot)]; }
    int ReqChar(int slot) const { return FReqChar[static_cast<std::size_t>(slot)]; }
    int Opacity(int slot) const { return FOpacity[static_cast<std::size_t>(slot)]; }
    int OutOpacity(int slot) const { return FOutOpacity[static_cast<std::size_t>(slot)]; }
    int InMotion(int slot) const { return FInMotion[static_cast<std::size_t>(slot)]; }
    int OutMotion(int slot) const { return FOutMotion[static_cast<std::size_t>(slot)]; }
    int MotionStep() const { return FMotionStep; }
    int TransitionKind() const { return FTransKind; }
    const TScreenTransition& Transition() const { return FTransition; }
    TShakeOffset Shake() const { return FShake; }
    int CurrentPicture() const { return FCurBG; }
    int CurrentSuffix() const { return FCurSuffix; }
    int LastBackground() const { return FLastBG; }
    int Tone() const { return FTone; }
    int WeatherLevel() const { return FWeatherLevel; }
    int StageMode() const { return FStageMode; }
    int TimeBand() const { return FTimeBand; }
    int Scene2BG() const { return FScene2BG; }
    int Scene2Char(int slot) const { return FScene2Char[static_cast<std::size_t>(slot)]; }
    bool BGShared() const { return FBGShared; }

private:
    // Panels of the stage's layout table (TStageUnit.cpp), in paint order within each tree.
    enum TPanelId : int {
        pnStage,
        pnBG,
        pnWeatherBack,
        pnMaskTop,
        pnMaskBtm,
        pnOutCharRight,
        pnOutCharLeft,
        pnOutCharCenter,
        pnCharRight,
        pnCharLeft,
        pnCharCenter,
        pnWeatherFront,
        pnBG2,
        pnWeatherBack2,
        pnMaskTop2,
        pnMaskBtm2,
        pnCharRight2,
        pnCharLeft2,
        pnCharCenter2,
        pnWeatherFront2,
        pnCount
    };
    // Character sets: current, leaving scene, outgoing.
    static constexpr int kSetCurrent = 0;
    static constexpr int kSetScene2 = 1;
    static constexpr int kSetOutgoing = 2;

    // TStageUnit.cpp: the panel tree, redrawing, clicks.
    TXeRGBPanel* Panel(int id) const { return panels_[static_cast<std::size_t>(id)].get(); }
    void BuildPanels();
    void RedrawAll();
    void RedrawModified();
    void RenderScene(TXeRGBPanel* scene, TXeRGBBits* into);
    void StageMouseDown(TMouseButton button);

    // TStageUnitBlocks.cpp: the picture blocks and what fills them.
    void BGStatCreate(int block, int pages);
    void BGStatRelease(int block);
    void BGStatMove(int from, int to);
    void BGStatShare();
    void CharStatCreate(int set, int slot);
    void CharStatRelease(int set, int slot);
    void CharStatMove(int fromSet, int fromSlot, int toSet, int toSlot);
    void ReleaseCharacterSet(int set);
    void BuildBackground(bool twoScene);
    void DrawBackgroundPicture(int picture, const AnsiString& file);
    bool HasAlphaChannel(const AnsiString& file);
    void LoadCharacter(int slot, bool twoScene);
    void MakePlaceholder(TCharStat& block);
    bool LoadCharacterSheet(TCharStat& block, int number);
    void LoadAnimDefinition(TCharStat& block, const AnsiString& fileName);
    void ApplyTone(TXeRGBBits* picture);
    void PlaceAtHome(TXeRGBPanel* panel, int slot);
    void FlagEntry(int set, int slot, const TXeRect& r);

    // TStageUnitChange.cpp: stage and character changes.
    void EndRunningChange();
    void StartChangeTransition(int code, int speed);
    void EndTransition();
    void ReleaseEffectData();
    void EndStageTransition();
    void MoveOut(int slot);
    void Slide(int from, int to);
    void ShiftCharacters(const std::array<int, 3>& order, int motion);
    void LoadArranged(int slot, int motion);
    void UpdateCharacterPanels();
    void PlaceMoving(TXeRGBPanel* panel, int slot, int kind, int offsetSteps);
    void CopyPlacement(TXeRGBPanel* to, const TXeRGBPanel* from);

    // TStageUnitEffects.cpp: per-frame animation, weather, shakes, the flash, the drawing events.
    void StepAnimations(int frames);
    void StepBackground(int block, int frames);
    void StepCharacterSet(int set, int slot);
    void ShowWeatherPanels(int kind, TXeRGBPanel* back, TXeRGBPanel* front);
    void FlagWeather(int block, const TWeatherChange& change);
    void UpdateShake(bool skip);
    void UpdateFlash(int frames, bool skip);
    bool StartFlashHalf(bool backToStage);
    void MakeTransitionPictures();
    bool DrawBackground(int block, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h);
    bool DrawCharacter(int row, int slot, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h);
    bool DrawStage(TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h);
    void AssignDrawEvents();

    TRandom& random_;
    const TUserConfig& config_;
    TSystemState& system_;
    std::array<std::unique_ptr<TXeRGBPanel>, pnCount> panels_;

    bool FInitialized = false;
    int FState = stNone;
    TFileMan* FDataFiles = nullptr;
    RegistryHold<TFileMan> FBGFiles{nullptr};
    RegistryHold<TFileMan> FCharFiles{nullptr};
    TClickEvent FOnClick;
    int FLastBG = kBlackPicture;
    int FCurBG = kBlackPicture;
    int FCurSuffix = kPlainPicture;
    int FReqBG = kBlackPicture;
    std::array<int, 3> FCurChar{kNoCharacter, kNoCharacter, kNoCharacter};
    std::array<int, 3> FReqChar{kNoCharacter, kNoCharacter, kNoCharacter};
    int FArrangement = 0;
    int FTransKind = kNoTransition;
    bool FSimpleSnap = false;
    TXeRGBBits* FFrom = nullptr;
    TXeRGBBits* FTo = nullptr;
    std::array<int, 3> FInMotion{};
    std::array<int, 3> FOutMotion{};
    std::array<int, 3> FOpacity{128, 128, 128};
    std::array<int, 3> FOutOpacity{128, 128, 128};
    int FMotionStep = 0;
    TScreenTransition FTransition;
    int FEffectKind = 0;
    int FEffectCounter = 0;
    TShakeOffset FShake;
    int FTimeBand = 0;
    int FStageMode = 0;
    int FTone = 0;
    TXeRGBBits* FSnow = nullptr;
    int FWeatherLevel = 4;
    std::array<TBGStat, 2> FBG{};
    bool FBGShared = false;
    std::array<std::array<TCharStat, 3>, 3> FChr{};
    int FScene2BG = 0;
    std::array<int, 3> FScene2Char{};
};

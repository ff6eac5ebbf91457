#include "songgame/screen/TMusicUnit.h"

#include "songgame/screen/JoystickButtons.h"
#include "songgame/screen/MusicRun.h"

#include "songgame/song/SongFolder.h"
#include "songgame/sound/DSoundSongDevice.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "base/util/FontUtils.h"
#include "graphics/bitmaps/TXeAlphaDib.h"
#include "graphics/bitmaps/TXeRGBDib.h"
#include "platform/font/DeviceContext.h"
#include "shell/GameGlobals.h"
#include "shell/config/TUserConfig.h"
#include "shell/form/TGameForm.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/RegistryHold.h"
#include "shell/sound/GameSoundChannels.h"
#include "shell/thread/TMainThread.h"

namespace {

constexpr int LyricTop = 258;
constexpr int LyricFontHigh = -48;
constexpr int LyricFontNormal = -24;
constexpr int WordModeHigh = 2;
// The lyric line's transparent colour.
constexpr TXeRGB LyricKey = 0x00FF00;
constexpr const char* LyricFace = "DFMaruMoji-W9";

template <typename T> void Delete(T*& object)
{
    if (MemMan != nullptr)
        MemMan->Delete(object);
}

template <typename T> void FreeBlock(T*& block)
{
    if (MemMan != nullptr)
        MemMan->Free(block);
}

void FreePicture(MusicPicture& picture)
{
    Delete(picture.bits);
    Delete(picture.alpha);
}

bool LoadPicture(MusicPicture& picture, const char* name, TFileMan* files)
{
    return LoadImageFile(&picture.bits, &picture.alpha, name, files);
}

// A registry-made object sized and created, or null.
template <typename T> T* MakeSurface(int width, int height, TBitDepth depth)
{
    RegistryHold<T> made = MakeRegistered<T>();
    if (!made)
        return nullptr;
    if constexpr (std::is_base_of_v<TXeRGBBits, T>)
        made.get()->SetBitDepth(depth);
    if (!made.get()->Resize(width, height) || !made.get()->Create())
        return nullptr;
    return made.release();
}

} // namespace

SongDevices GameFormSongDevices(std::unique_ptr<SongSoundDevice>& owned)
{
    SongDevices devices;
    devices.input = &input::ProcessSongInput();
    devices.settingsFile = UserConfigPath();
    if (GameForm == nullptr)
        return devices;
    if (GameForm->SoundDevice() != nullptr) {
        owned = std::make_unique<DSoundSongDevice>(GameForm->SoundDevice());
        devices.sounds = owned.get();
    }
    devices.playMute = [] {
        if (GameForm != nullptr && GameForm->SoundChannels() != nullptr)
            GameForm->SoundChannels()->PlayMute();
    };
    devices.musicMs = [] { return GameForm != nullptr ? static_cast<std::uint32_t>(GameForm->Pulse().MusicMs()) : 0u; };
    devices.playSystemSound = [](const char* name) {
        if (GameForm != nullptr && GameForm->SoundChannels() != nullptr)
            GameForm->SoundChannels()->PlaySystemSE(name, DataFileMan);
    };
    devices.systemSoundPlaying = [] {
        return GameForm != nullptr && GameForm->SoundChannels() != nullptr &&
               GameForm->SoundChannels()->IsSystemSEPlaying();
    };
    devices.takeSnapshot = [] {
        if (GameForm != nullptr)
            GameForm->TakeSnapshot(false);
    };
    devices.setResult = [](int result) { SetThreadResult(result); };
    return devices;
}

TMusicUnit::TMusicUnit(TComponent* owner) : TComponent(owner)
{
    FDevices = GameFormSongDevices(FOwnSounds);
    BuildPanels();
}

TMusicUnit::~TMusicUnit()
{
    if (FIsSetup == 1)
        Release();
}

// ---- options ----

void TMusicUnit::SetTimingMode(std::uint8_t mode)
{
    if (FIsSetup != 1)
        FTimingMode = mode;
}

void TMusicUnit::SetVolume(std::int32_t music, std::int32_t key)
{
    if (FIsSetup == 1)
        return;
    FMusicVolume = music;
    FKeyVolume = key;
}

void TMusicUnit::SetRankMode(std::uint8_t mode)
{
    if (FIsSetup != 1)
        FRankMode = mode;
}

void TMusicUnit::SetAutoMode(std::uint8_t mode)
{
    if (FIsSetup != 1)
        FAutoMode = mode;
}

void TMusicUnit::SetWordMode(std::uint8_t mode)
{
    if (FIsSetup != 1)
        FWordMode = mode;
}

void TMusicUnit::SetCharaAnime(std::uint8_t on)
{
    if (FIsSetup != 1)
        FCharaAnime = on;
}

void TMusicUnit::SetStageAnime(std::uint8_t on)
{
    if (FIsSetup != 1)
        FStageAnime = on;
}

void TMusicUnit::SetMemorySave(std::uint8_t on)
{
    if (FIsSetup != 1)
        FMemorySave = on;
}

void TMusicUnit::SetEventPack(std::int32_t pack) { FPackNumber = pack; }

void TMusicUnit::SetDevices(const SongDevices& devices)
{
    FDevices = devices;
    FOwnSounds.reset();
}

void TMusicUnit::ResetPlayState()
{
    FPlay.Reset();
    if (FRun)
        FRun->ResetPlay();
}

// ---- set-up ----

bool TMusicUnit::Setup(TFileMan* gameData, const TSongID& code)
{
    FGameData = gameData;
    FSongID = code;
    const bool ok = MemMan != nullptr && gameData != nullptr && ReadSongId(code, true) && CreateFileManagers() &&
                    Allocate() && SetupTree() && SetupCurtainAndTitle() && SetupSheetAndScore() && SetupFrames() &&
                    SetupLyrics() && SetupCaption() && InitInput() && LoadSong();
    if (!ok) {
        Release();
        return false;
    }
    for (TXeRGBPanel* strip : FCurtains)
        strip->SetBlockIndex(0);
    FIsSetup = 1;
    return true;
}

bool TMusicUnit::CreateFileManagers()
{
    FKeyFiles = MemMan->CreateVCL<TFileMan>();
    FSongFiles = MemMan->CreateVCL<TFileMan>();
    return FKeyFiles != nullptr && FSongFiles != nullptr;
}

bool TMusicUnit::Allocate()
{
    FNotes = MemMan->Alloc<TMusicNote>(MaxNotes);
    FTextPool = MemMan->Alloc<char>(TextPoolSize);
    FStagePool = MemMan->Alloc<std::int32_t>(StagePoolWords);
    if (FNotes == nullptr || FTextPool == nullptr || FStagePool == nullptr)
        return false;
    FChart = ChartStore{std::span<TMusicNote>(FNotes, MaxNotes), std::span<char>(FTextPool, TextPoolSize)};
    FScript.SetPool(std::span<std::int32_t>(FStagePool, StagePoolWords));
    return true;
}

bool TMusicUnit::SetupTree()
{
    TXeRGBPanel* stage = Panel("BGPanel");
    if (!FMusicPanel->AllCreate() || !RecreatePanelImage(stage, mmNormal))
        return false;
    FBackground.SetTarget(stage->Image(), &FStageFlags);
    return true;
}

void TMusicUnit::ShareImage(TXeRGBPanel* const* panels, int count)
{
    for (int k = 1; k < count; ++k)
        AssignPanelImage(panels[k], panels[0]);
}

bool TMusicUnit::SetupCurtainAndTitle()
{
    if (!LoadPanelImage(FCurtains[0], "SongCurtain.png", FGameData))
        return false;
    for (int k = 1; k < CurtainStrips; ++k)
        FCurtains[static_cast<std::size_t>(k)]->SetOffsetY(16 * k);
    ShareImage(FCurtains.data(), CurtainStrips);
    return RecreatePanelImage(Panel("TitleP"), mmAlpha);
}

bool TMusicUnit::SetupSheetAndScore()
{
    if (!LoadPanelImage(Panel("SheetP"), "SongSheet.bmp", FGameData) || !LoadPicture(FNotePicture, "SongNote.png", FGameData) ||
        !LoadPicture(FAlphabetPicture, "SongAlphabet.png", FGameData) ||
        !LoadPanelImage(Panel("ScoreFrameP"), "SongScoreFrame.bmp", FGameData) ||
        !LoadPanelImage(FPopBig[0], "SongPopLarge.bmp", FGameData))
        return false;
    ShareImage(FPopBig.data(), BigPops);
    if (!LoadPanelImage(FPopSmall[0], "SongPopSmall.bmp", FGameData))
        return false;
    ShareImage(FPopSmall.data(), SmallPops);
    if (!LoadPanelImage(FScoreDigits[0], "SongScore.bmp", FGameData))
        return false;
    ShareImage(FScoreDigits.data(), ScoreDigits);
    return true;
}

bool TMusicUnit::SetupFrames()
{
    struct Frame {
        const char* panel;
        const char* picture;
    };
    constexpr Frame Frames[] = {{"FrameBottom", "SongFrameBottom.png"},
                                {"FrameLeft", "SongFrameLeft.png"},
                                {"FrameRight", "SongFrameRight.png"},
                                {"FrameTop", "SongFrameTop.png"}};
    for (const Frame& frame : Frames) {
        TXeRGBPanel* panel = Panel(frame.panel);
        panel->SetVisible(false);
        if (!FGameData->FileIsExist(frame.picture))
            continue;
        if (!LoadPanelImage(panel, frame.picture, FGameData))
            return false;
        panel->SetSizeX(panel->Image()->Width());
        panel->SetSizeY(panel->Image()->Height());
        panel->SetVisible(true);
    }
    TXeRGBPanel* bottom = Panel("FrameBottom");
    TXeRGBPanel* left = Panel("FrameLeft");
    TXeRGBPanel* right = Panel("FrameRight");
    TXeRGBPanel* top = Panel("FrameTop");
    if (bottom->Visible())
        bottom->SetOffsetY(300 - bottom->SizeY());
    const int inner = left->Visible() ? left->SizeX() : 0;
    for (TXeRGBPanel* across : {bottom, top})
        if (across->Visible())
            across->SetOffsetX(inner);
    if (right->Visible())
        right->SetOffsetX(640 - right->SizeX());
    return LoadPanelImage(Panel("HitLamp"), "SongHitLamp.bmp", FGameData) && RecreatePanelImage(Panel("GClef"), mmAlpha) &&
           LoadPicture(FClefPicture, "SongGclef.png", FGameData);
}

bool TMusicUnit::SetupLyrics()
{
    if (FWordMode == 0)
        return true;
    TXeRGBPanel* word = Panel("WordP");
    const int width = word->SizeX();
    const int height = word->SizeY();
    const bool high = FWordMode == WordModeHigh;
    if (high) {
        for (TXeRGBBits*& bits : FLyricBits)
            if ((bits = MakeSurface<TXeRGBBits>(width, height, GameBitDepth)) == nullptr)
                return false;
        if ((FLyricAlpha = MakeSurface<TXeAlphaDib>(width * 2, height * 2, GameBitDepth)) == nullptr ||
            (FLyricMask = MakeSurface<TXeAlpha>(width, height, GameBitDepth)) == nullptr)
            return false;
    }
    if ((FLyricDib = MakeSurface<TXeRGBDib>(width, height, DisplayBitDepth)) == nullptr)
        return false;
    word->SetImage(FLyricDib);
    word->SetMaskMode(mmColorKey);
    word->SetColorKey(LyricKey);
    word->SetOffsetY(LyricTop);

    // The face is asked for by its name; the rasteriser's matching gives the fixed-pitch CJK face of
    // the ANSI code page the lyrics are written in when that face is not installed.
    TFont font;
    font.Name = LyricFace;
    font.Pitch = fpFixed;
    font.Height = high ? LyricFontHigh : LyricFontNormal;
    FLyricFont = GetAntiAliasedFont(&font);
    if (!FLyricFont)
        return false;
    // One blank drawn at once makes the face ready before the song runs.
    const auto drawBlank = [this](auto* surface) {
        void* dc = nullptr;
        if (!surface->GetDC(&dc))
            return false;
        auto* context = static_cast<DeviceContext*>(dc);
        context->SelectFont(FLyricFont.get());
        context->SetBkMode(TRANSPARENT);
        context->SetTextColor(RGB(255, 255, 255));
        context->TextOutA(0, 0, " ", 1);
        context->SelectFont(nullptr);
        return surface->ReleaseDC(dc);
    };
    return high ? drawBlank(FLyricAlpha) : drawBlank(FLyricDib);
}

bool TMusicUnit::SetupCaption()
{
    const char* picture = FAutoMode == 1 ? "SongCapAuto.png" : FAutoMode == 2 ? "SongCapDemo.png" : nullptr;
    if (picture == nullptr)
        return true;
    TXeRGBPanel* caption = Panel("CaptionPanel");
    if (!LoadPanelImage(caption, picture, FGameData))
        return false;
    caption->SetVisible(true);
    return true;
}

bool TMusicUnit::InitInput()
{
    if (FDevices.input == nullptr)
        return false;
    // Without the focus the device is acquired again by the first read that has it.
    FDevices.input->AcquireKeyboard();
    FInputAcquired = true;
    FJoystick = FDevices.input->JoystickAttached();
    FDevices.input->SetButtonTable(ReadJoystickButtons(FDevices.settingsFile));
    return true;
}

void TMusicUnit::FreeInput()
{
    if (FInputAcquired && FDevices.input != nullptr)
        FDevices.input->UnacquireKeyboard();
    FInputAcquired = false;
    FJoystick = false;
}

// ---- release ----

void TMusicUnit::Release()
{
    FRun.reset();
    FreeSong();
    FBackground.SetTarget(nullptr, nullptr);
    FreeInput();
    FreePictures();
    FreeLyrics();
    FMusicPanel->AllRelease();
    FreeAllocations();
    Delete(FKeyFiles);
    Delete(FSongFiles);
    FIsSetup = 0;
}

void TMusicUnit::FreePictures()
{
    // Sharers first let go of the picture, then each owner frees its own.
    const auto unshare = [](auto& panels) {
        for (std::size_t k = 1; k < panels.size(); ++k) {
            panels[k]->SetImage(nullptr);
            panels[k]->SetAlpha(nullptr);
        }
        FreePanelImage(panels[0]);
    };
    unshare(FCurtains);
    unshare(FPopBig);
    unshare(FPopSmall);
    unshare(FScoreDigits);
    for (const char* name : {"BGPanel", "TitleP", "SheetP", "ScoreFrameP", "FrameBottom", "FrameLeft", "FrameRight",
                             "FrameTop", "HitLamp", "GClef", "CaptionPanel"})
        FreePanelImage(Panel(name));
    FreePicture(FNotePicture);
    FreePicture(FAlphabetPicture);
    FreePicture(FClefPicture);
}

void TMusicUnit::FreeLyrics()
{
    TXeRGBPanel* word = Panel("WordP");
    if (word->Image() == FLyricDib)
        word->SetImage(nullptr);
    Delete(FLyricDib);
    Delete(FLyricAlpha);
    Delete(FLyricMask);
    for (TXeRGBBits*& bits : FLyricBits)
        Delete(bits);
    FLyricFont.reset();
}

void TMusicUnit::FreeAllocations()
{
    FChart = ChartStore{};
    FScript.SetPool({});
    FreeBlock(FNotes);
    FreeBlock(FTextPool);
    FreeBlock(FStagePool);
}

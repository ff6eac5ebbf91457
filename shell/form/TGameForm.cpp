// TGameForm: construction, the devices made by FormCreate and freed by FormDestroy, the display
// check and the form's settings keys.
#include "shell/form/TGameForm.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "base/util/FontUtils.h"
#include "base/util/TXeCriticalSection.h"
#include "base/util/TXeTimer.h"
#include "graphics/bitmaps/TXeRGBDib.h"
#include "graphics/display/GetDXVersion.h"
#include "graphics/display/TDDraw.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Application.h"
#include "platform/classes/Event.h"
#include "platform/classes/IniFile.h"
#include "platform/codepage/CodePage.h"
#include "platform/font/LogicalFont.h"
#include "platform/fs/FileSystem.h"
#include "shell/form/FormSettings.h"
#include "shell/sound/DSoundGameDevice.h"
#include "shell/sound/GameSoundChannels.h"
#include "shell/thread/TMainThread.h"
#include "shell/thread/TWaitThread.h"
#include "shell/GameGlobals.h"
#include "sound/TDSound.h"

#include <vector>

namespace {

// Failure texts (Shift-JIS in the original, shown as such) and captions.
constexpr const char* kNoMmx = "CPUがMMXに対応していません。";
constexpr const char* kInitFailed = "初期化に失敗しました。";
constexpr const char* kNeedDirectX7 = "DirectX7以上が必要です。";
constexpr const char* kNeedMode = "640x480,16bitカラー以上の環境が必要です。";
constexpr const char* kGameError = "Game Error";
constexpr const char* kError = "Error";

constexpr unsigned long kDirectX7 = 0x700;
constexpr unsigned kFrameTimerMs = 10;
constexpr unsigned kRandomWarmMask = 4095;
// The form's font: "ＭＳ Ｐゴシック" in the Shift-JIS character set; the copies' heights.
constexpr const char* kFormFontFace = "ＭＳ Ｐゴシック";
constexpr int kFormFontHeight = -12;
constexpr int kSmallFontHeight = -16;
constexpr int kLargeFontHeight = -24;

} // namespace

TGameForm::TGameForm(TComponent* owner, const AnsiString& scriptStem, const AnsiString& dataStem,
                     FormServices services, video::VideoWindow* window)
    : TWinControl(owner, window), FServices(std::move(services)), FDataStem(dataStem), FScriptStem(scriptStem),
      FFont(std::make_unique<TFont>())
{
    InitDefaults();
}

TGameForm* TGameForm::Create(TComponent* owner, video::VideoWindow* window)
{
    return new TGameForm(owner, "Script", "Game", FormServices::Machine(), window);
}

TGameForm::~TGameForm()
{
    FormDestroy();
}

void TGameForm::InitDefaults()
{
    FFont->Name = CodePage::FromUtf8(kFormFontFace, CodePage::ShiftJis);
    FFont->Charset = SHIFTJIS_CHARSET;
    FFont->Height = kFormFontHeight;
    FState = fsNone;
    FFPSMode = fpsFull;
    FTimerPeriod = kFrameTimerMs;
    FCursorKind = -1;
    FCursorDepth = 0;
    FBgmVolume = kDefaultBgmVolume;
    FVoiceVolume = kDefaultVoiceVolume;
    FSeVolume = kDefaultSeVolume;
    FAmbientVolume = kDefaultAmbientVolume;
    LoadIni();
}

AnsiString TGameForm::SettingsPath() const
{
    return FServices.programFolder + FormSettings::kSettingsFile;
}

void TGameForm::LoadIni()
{
    const AnsiString path = SettingsPath();
    if (!FileSystem::IsFile(path))
        return;
    const TIniFile ini(path);
    using namespace FormSettings;
    FFPSMode = ReadFPSMode(ini.ReadString(kSection, "FPSMode", ""), FFPSMode);
    FBgmVolume = ReadVolume(ini.ReadString(kSection, "VolumeBGM", ""), FBgmVolume, kDefaultBgmVolume);
    FVoiceVolume = ReadVolume(ini.ReadString(kSection, "VolumeVoice", ""), FVoiceVolume, kDefaultVoiceVolume);
    FSeVolume = ReadVolume(ini.ReadString(kSection, "VolumeSE", ""), FSeVolume, kDefaultSeVolume);
    FAmbientVolume = ReadVolume(ini.ReadString(kSection, "VolumeRear", ""), FAmbientVolume, kDefaultAmbientVolume);
}

void TGameForm::SaveIni()
{
    // The settings file class creates the file when it is missing; a write that cannot be made is
    // dropped without ending the game.
    TIniFile ini(SettingsPath());
    using namespace FormSettings;
    ini.WriteString(kSection, "WindowMode", WindowMode == 1 ? "ON" : "OFF");
    if (const AnsiString mode = FPSModeText(FFPSMode); !mode.empty())
        ini.WriteString(kSection, "FPSMode", mode);
    ini.WriteString(kSection, "VolumeBGM", IntToStr(BgmVolume()));
    ini.WriteString(kSection, "VolumeVoice", IntToStr(VoiceVolume()));
    ini.WriteString(kSection, "VolumeSE", IntToStr(SeVolume()));
    ini.WriteString(kSection, "VolumeRear", IntToStr(AmbientVolume()));
}

int TGameForm::BgmVolume() const
{
    return FSoundChannels != nullptr ? FSoundChannels->GetBGMVolume() : FBgmVolume;
}

int TGameForm::VoiceVolume() const
{
    return FSoundChannels != nullptr ? FSoundChannels->GetVoiceVolume() : FVoiceVolume;
}

int TGameForm::SeVolume() const
{
    return FSoundChannels != nullptr ? FSoundChannels->GetSEVolume() : FSeVolume;
}

int TGameForm::AmbientVolume() const
{
    return FSoundChannels != nullptr ? FSoundChannels->GetRearVolume() : FAmbientVolume;
}

void TGameForm::Fail(const char* textUtf8, const char* caption)
{
    Application().MessageBox(CodePage::FromUtf8(textUtf8, CodePage::ShiftJis), caption, mbOK, CodePage::ShiftJis);
}

void TGameForm::FailInit()
{
    Fail(kInitFailed, kGameError);
    QuitMessageLoop();
}

void TGameForm::FormCreate()
{
    if (!FServices.mmxSupported()) {
        Fail(kNoMmx, kGameError);
        QuitMessageLoop();
        return;
    }
    // The hot keys and the message hook come with the snapshot and screen-switch handling.
    FFrameEvent = std::make_unique<TEvent>(false, false);
    // A window is centred by its host; the program's folder is the current folder again.
    FileSystem::SetCurrentFolder(FServices.programFolder);
    if (!CreateRegistryAndFiles() || !CreateTimerAndSound())
        return;
    if (!CheckDisplayCaps()) {
        FailInit();
        return;
    }
    if (!CreateRootPanel())
        return;
    CreateLocksAndFonts();
    WarmRandom();
    FComplete = true;
}

bool TGameForm::CreateRegistryAndFiles()
{
    FMemMan = std::make_unique<TMemMan>(this);
    FDataFileMan = std::make_unique<TFileMan>(this);
    FBGMFileMan = std::make_unique<TFileMan>(this);
    FScriptFileMan = std::make_unique<TFileMan>(this);
    MemMan = FMemMan.get();
    DataFileMan = FDataFileMan.get();
    BGMFileMan = FBGMFileMan.get();
    ScriptFileMan = FScriptFileMan.get();
    if (!DataFileMan->InitPack(FDataStem + ".pak"))
        DataFileMan->InitDir(FDataStem + "_Pak");
    BGMFileMan->InitDir("BGM");
    if (!FScriptStem.empty() && !ScriptFileMan->InitPack(FScriptStem + ".pak"))
        ScriptFileMan->InitDir(FScriptStem + "_Pak");
    // The sound channels take the volumes read from the settings; the device comes when the form
    // is shown.
    FSoundChannels = std::make_unique<GameSoundChannels>(MemMan, BGMFileMan);
    FSoundChannels->SetBGMVolume(FBgmVolume);
    FSoundChannels->SetVoiceVolume(FVoiceVolume);
    FSoundChannels->SetSEVolume(FSeVolume);
    FSoundChannels->SetRearVolume(FAmbientVolume);
    return true;
}

bool TGameForm::CreateTimerAndSound()
{
    FTimer = MemMan->CreateVCL<TXeTimer>();
    if (FTimer == nullptr) {
        FailInit();
        return false;
    }
    FTimer->SetInterval(kFrameTimerMs);
    FTimer->SetOnTimer([this](TObject* sender) { GameTimerTimer(sender); });
    FSound = MemMan->CreateVCL<DirectX::TDSound>();
    if (FSound == nullptr) {
        FailInit();
        return false;
    }
    FSound->SetSamplesPerSec(44100);
    FSound->SetBitsPerSample(16);
    FSound->SetUse3D(true);
    return true;
}

bool TGameForm::CheckDisplayCaps()
{
    FDisplay = MemMan->CreateVCL<DirectX::TDDraw>();
    if (FDisplay == nullptr)
        return false;
    const unsigned long version = Handle() != nullptr ? GetDXVersion(Handle()->Back()) : GetDXVersion();
    if (version < kDirectX7) {
        Fail(kNeedDirectX7, kError);
        return false;
    }
    std::vector<DirectX::TDisplayMode> modes;
    FDisplay->ENumDisplayModes(&modes, false);
    DisplayBitDepth = bdNone;
    for (const DirectX::TDisplayMode& mode : modes)
        if (mode.ScreenSize == ss640x480 && mode.PixFormat != pfNone &&
            (mode.BitDepth == bd16 || mode.BitDepth == bd24 || mode.BitDepth == bd32) &&
            mode.BitDepth > DisplayBitDepth)
            DisplayBitDepth = mode.BitDepth;
    GameBitDepth = bd24;
    if (DisplayBitDepth == bd32) {
        TXeRGBDib* probe = MemMan->CreateVCL<TXeRGBDib>();
        if (probe != nullptr) {
            probe->SetBitDepth(bd32);
            if (probe->Create())
                GameBitDepth = bd32;
            MemMan->Delete(probe);
        }
    }
    if (DisplayBitDepth == bdNone) {
        Fail(kNeedMode, kError);
        return false;
    }
    return true;
}

bool TGameForm::CreateRootPanel()
{
    FRootPanel = MemMan->CreateVCL<TXeRGBPanel>();
    if (FRootPanel == nullptr) {
        FailInit();
        return false;
    }
    FRootPanel->SetSizeX(kScreenWidth);
    FRootPanel->SetSizeY(kScreenHeight);
    return true;
}

void TGameForm::CreateLocksAndFonts()
{
    FStateLock = MemMan->Create<TCriticalSection>();
    FDisplayLock = MemMan->Create<TCriticalSection>();
    FFrameLock = MemMan->Create<TCriticalSection>();
    FDrawGuard = MemMan->Create<TXeCriticalSection>();
    FSmallFont = MemMan->Create<TFont>();
    FLargeFont = MemMan->Create<TFont>();
    for (auto [font, height] : {std::pair{FSmallFont, kSmallFontHeight}, std::pair{FLargeFont, kLargeFontHeight}})
        if (font != nullptr) {
            font->Name = FFont->Name;
            font->Style = FFont->Style;
            font->Charset = FFont->Charset;
            font->Pitch = FFont->Pitch;
            font->Color = FFont->Color;
            font->Height = height;
        }
    FCounterFont = GetNonAntiAliasedFont(FLargeFont);
}

void TGameForm::WarmRandom()
{
    StepSharedRandom((FServices.tickCount() & kRandomWarmMask) + 1);
}

void TGameForm::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    FormHide();
    SaveIni();
    if (FSoundChannels != nullptr) {
        FSoundChannels->StopBGM(false);
        FSoundChannels.reset(); // releases its sounds through the registry, which goes below
    }
    if (MemMan != nullptr) {
        ReleaseTransitionData();
        // Each only when FormCreate made it: a failed creation left the rest null.
        FCounterFont.reset();
        MemMan->Delete(FSmallFont);
        MemMan->Delete(FLargeFont);
        MemMan->Delete(FStateLock);
        MemMan->Delete(FDisplayLock);
        MemMan->Delete(FFrameLock);
        MemMan->Delete(FDrawGuard);
        MemMan->Delete(FRootPanel);
        MemMan->Delete(FSound);
        MemMan->Delete(FDisplay);
        MemMan->Delete(FTimer);
    }
    FMemMan.reset();
    MemMan = nullptr;
    FDataFileMan.reset();
    DataFileMan = nullptr;
    FBGMFileMan.reset();
    BGMFileMan = nullptr;
    FScriptFileMan.reset();
    ScriptFileMan = nullptr;
    FFrameEvent.reset();
}

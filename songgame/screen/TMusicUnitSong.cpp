// The song screen's song: loading it (locations, key sounds, title, chart, stage script, music,
// [Init] entries), its sounds, starting and stopping, and freeing it.
#include "songgame/screen/TMusicUnit.h"

#include "songgame/screen/MusicRun.h"
#include "songgame/song/SongFolder.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"
#include "platform/fs/FileSystem.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/VolumeCurve.h"

namespace {

constexpr int TitleX = 82;
constexpr int TitleWidth = 480;
// From this identity version on the music may be Ogg Vorbis.
constexpr int OggMusicVersion = 200;
constexpr int PhaseIdle = 0;
constexpr int PhaseOpening = 1;

struct MusicFile {
    const char* ext;
    SongSoundKind kind;
    bool needsOggVersion;
};
constexpr MusicFile MusicFiles[] = {
    {".ogg", SongSoundKind::Ogg, true},
    {".adp", SongSoundKind::Adpcm, false},
    {".wav", SongSoundKind::Wave, false},
};

} // namespace

bool TMusicUnit::LoadSong()
{
    if (FSongFiles == nullptr || FKeyFiles == nullptr || !OpenSongLocation(*FSongFiles, SongDataLocation(FSongID, FPackNumber)))
        return false;
    FSongVersion = 100;
    if (!ReadSongVersion(*FSongFiles, FSongVersion) || !LoadKeySounds())
        return false;
    // From here a failure is noted and the remaining steps still run.
    ShowTitle();
    bool ok = ReadChart();
    ok = ReadAnime() && ok;
    ResetPlayState();
    FBackground.Free();
    FStageState.Reset();
    TXeRGBPanel* background = Panel("BGPanel");
    if (background->Image() != nullptr)
        background->Image()->Cls();
    background->SetModify();
    ok = OpenMusic() && ok;
    SetSection(ssInit);
    for (int guard = 0; FScript.Pointer() >= 0 && guard < StagePoolWords; ++guard)
        DoAnimeEntry(ssInit);
    return ok;
}

bool TMusicUnit::LoadKeySounds()
{
    if (!OpenSongLocation(*FKeyFiles, SongKeyLocation(FSongID)))
        return false;
    FKeys.List(*FKeyFiles);
    return FKeys.Load(*FKeyFiles, FDevices.sounds, FMemorySave != 0, FKeyVolume);
}

void TMusicUnit::ShowTitle()
{
    TXeRGBPanel* title = Panel("TitleP");
    title->SetOffsetX(TitleX);
    title->SetSizeX(TitleWidth);
    if (title->Image() != nullptr)
        DrawImageFile(title->Image(), title->Alpha(), "curtain.png", FSongFiles, 0, 0);
    title->SetModify();
    title->SetVisible(true);
}

bool TMusicUnit::OpenMusic()
{
    const AnsiString base = SongMusicBase(FSongID);
    for (const MusicFile& file : MusicFiles) {
        if (FMusicFile != nullptr)
            break;
        if ((file.needsOggVersion && FSongVersion < OggMusicVersion) || !FileSystem::IsFile(base + file.ext))
            continue;
        try {
            auto stream = std::make_unique<TFileStream>(base + file.ext, fmOpenRead | fmShareDenyWrite);
            MemMan->AddPtr(stream.get());
            FMusicFile = stream.release();
        } catch (const Exception&) {
            return false;
        }
        FMusic = FDevices.sounds != nullptr ? FDevices.sounds->CreateStream(file.kind, FMusicFile) : nullptr;
        if (FMusic)
            FMusic->SetVolume(VolumeToAttenuation(FMusicVolume));
    }
    return FMusic != nullptr;
}

void TMusicUnit::FreeSong()
{
    FBackground.Free();
    FKeys.Free(FKeyFiles);
    if (FSongFiles != nullptr)
        FStage.Free(*FSongFiles);
    if (FKeyFiles != nullptr)
        FKeyFiles->Finish();
    if (FSongFiles != nullptr)
        FSongFiles->Finish();
    if (FMusic)
        FMusic->Stop();
    FMusic.reset();
    if (FMusicFile != nullptr && MemMan != nullptr)
        MemMan->Delete(FMusicFile);
}

void TMusicUnit::PlayKeySound(int index) { FKeys.Play(index); }

bool TMusicUnit::ReadChart()
{
    const ChartOptions options{FKeys.Names(), FRankMode, FAutoMode, FSongVersion};
    return FSongFiles != nullptr && ::ReadChart(*FSongFiles, options, FChart);
}

bool TMusicUnit::ReadAnime()
{
    if (FSongFiles == nullptr)
        return false;
    StageLoadContext context{*FSongFiles, FDevices.sounds, FKeyVolume};
    return FScript.Read(context, FStage);
}

void TMusicUnit::SetSection(int n) { FScript.SetSection(n); }

void TMusicUnit::DoAnimeEntry(int n)
{
    const StageConditions conditions{FStageAnime == 1, FCharaAnime == 1, FPhase == 3};
    FScript.DoAnimeEntry(n, conditions, *this);
}

void TMusicUnit::Start()
{
    FRun = std::make_unique<MusicRun>(*this, FPlay);
    FPhase = PhaseOpening;
    FRun->Start();
}

void TMusicUnit::Step(int elapsed)
{
    if (FRun)
        FRun->Step(elapsed);
}

void TMusicUnit::Stop()
{
    if (FMusic && FMusic->IsPlay()) {
        FMusic->Stop();
        if (FDevices.playMute)
            FDevices.playMute();
    }
    FPhase = PhaseIdle;
}

// ---- stage entries: the stage display does them ----

void TMusicUnit::ChangeBackground(int slot, int fade) { FBackground.ShowPicture(slot, fade, FStageAnime == 1); }

void TMusicUnit::StartAnimation(int slot, int fade) { FBackground.ShowAnimation(slot, fade, FStageAnime == 1); }

void TMusicUnit::SetCharacterPicture(int character, int entry) { FCharacters.SetPicture(character, entry); }

void TMusicUnit::SetCharacterSecondPicture(int character, int entry) { FCharacters.SetOverlay(character, entry); }

void TMusicUnit::PlaceCharacter(int character, int x, int y, int moveTime)
{
    FCharacters.SetPosition(character, x, y, moveTime, FCharaAnime == 1);
}

void TMusicUnit::PlayEffect(int slot)
{
    if (SongSound* effect = FStage.effects[static_cast<std::size_t>(slot)].get())
        effect->Play(false);
}

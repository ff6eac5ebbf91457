// TAvgUnit: the script's sound operations on the game's sound channels.
#include "scenario/adventure/TAvgUnit.h"

#include "platform/classes/Format.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/adventure/VoiceBank.h"
#include "scenario/records/TGameState.h"
#include "shell/sound/GameSoundChannels.h"

namespace {

AnsiString EffectName(std::int32_t number) { return Format("se%03d", number); }

} // namespace

void TAvgUnit::BgmPlay(std::int32_t track, bool loop, bool fade)
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->PlayBGM(track, loop, fade);
}

void TAvgUnit::BgmStop(bool fade)
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->StopBGM(fade);
}

void TAvgUnit::BgmSetVolume()
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->SetBGMLevel(State().GetBgmLevel());
}

void TAvgUnit::VoicePlay(std::int32_t number, std::int32_t a, std::int32_t b)
{
    GameSoundChannels* sound = context_.host.Sound();
    if (sound == nullptr || Skipping())
        return;
    const std::optional<AnsiString> name = voices_->Find(number);
    if (!name || !sound->PlayVoice(*name, &voices_->Files(), a, b))
        return;
    talking_.Start(0);
    UpdateTalking();
}

void TAvgUnit::VoiceSetVolume()
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->SetVoiceLevel(State().GetVoiceLevel());
}

void TAvgUnit::SePlay(std::int32_t number, std::int32_t a, std::int32_t b)
{
    GameSoundChannels* sound = context_.host.Sound();
    if (sound != nullptr && !Skipping())
        sound->PlaySE(EffectName(number), seFiles_.get(), a, b);
}

void TAvgUnit::SeStop()
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->StopSE();
}

void TAvgUnit::SeSetVolume()
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->SetSELevel(State().GetSeLevel());
}

void TAvgUnit::Se2Play(std::int32_t number, bool fadeIn, std::int32_t a, std::int32_t b)
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->PlayRear(EffectName(number), seFiles_.get(), fadeIn, a, b);
}

void TAvgUnit::Se2Stop(bool fade)
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->StopRear(fade);
}

void TAvgUnit::Se2SetVolume()
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->SetRearLevel(State().GetAmbientLevel());
}

void TAvgUnit::SoundSetLevel()
{
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->SetRear2Level(State().GetAmbientParam());
}

void TAvgUnit::SoundQuery()
{
    // The second ambient channel keeps no sound: the announcement has no audible effect.
    if (GameSoundChannels* sound = context_.host.Sound())
        State().GetAmbientSelection() >= 0 ? static_cast<void>(sound->PlayRear2()) : sound->StopRear2();
}

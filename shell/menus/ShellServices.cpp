// FormShellServices: the shell services over the main form.
#include "shell/menus/ShellServices.h"

#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/sound/GameSoundChannels.h"
#include "shell/thread/TMainThread.h"

void FormShellServices::PlaySystemSE(const AnsiString& name)
{
    if (GameSoundChannels* channels = form_.SoundChannels())
        channels->PlaySystemSE(name, DataFileMan);
}

void FormShellServices::SetMousePos(int x, int y) { form_.SetMousePos(x, y); }

void FormShellServices::SetThreadResult(int value) { ::SetThreadResult(value); }

std::int32_t FormShellServices::Volume(TVolumeKind kind) const
{
    const GameSoundChannels* channels = form_.SoundChannels();
    switch (kind) {
    case vkBGM: return channels ? channels->GetBGMVolume() : form_.BgmVolume();
    case vkVoice: return channels ? channels->GetVoiceVolume() : form_.VoiceVolume();
    case vkSE: return channels ? channels->GetSEVolume() : form_.SeVolume();
    default: return channels ? channels->GetRearVolume() : form_.AmbientVolume();
    }
}

void FormShellServices::SetVolume(TVolumeKind kind, std::int32_t volume)
{
    GameSoundChannels* channels = form_.SoundChannels();
    if (channels == nullptr)
        return;
    switch (kind) {
    case vkBGM: channels->SetBGMVolume(volume); break;
    case vkVoice: channels->SetVoiceVolume(volume); break;
    case vkSE: channels->SetSEVolume(volume); break;
    default: channels->SetRearVolume(volume); break;
    }
}

std::uint8_t FormShellServices::FPSMode() const { return form_.GetFPSMode(); }

void FormShellServices::SetFPSMode(std::uint8_t mode) { form_.SetFPSMode(mode); }

bool FormShellServices::WindowMode() const { return ::WindowMode != 0; }

void FormShellServices::RequestWindowMode(bool toWindow) { form_.RequestDisplayMode(toWindow ? 1 : 0); }

AnsiString FormShellServices::ProgramFolder() const { return form_.Services().programFolder; }

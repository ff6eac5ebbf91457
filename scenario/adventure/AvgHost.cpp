#include "scenario/adventure/AvgHost.h"

#include "shell/GameGlobals.h"
#include "shell/config/TUserConfig.h"
#include "shell/form/TGameForm.h"
#include "shell/thread/TMainThread.h"

void FormAvgHost::PlaySystemSE(const AnsiString& name, TFileMan* files) { GameFormSubWinHost().PlaySystemSE(name, files); }

void FormAvgHost::SetMousePos(int x, int y) { GameFormSubWinHost().SetMousePos(x, y); }

GameSoundChannels* FormAvgHost::Sound() { return GameForm != nullptr ? GameForm->SoundChannels() : nullptr; }

void FormAvgHost::SetThreadResult(int value) { ::SetThreadResult(value); }

void FormAvgHost::AttachPanel(TXeRGBPanel* panel)
{
    if (GameForm != nullptr)
        GameForm->AttachPanel(panel);
}

void FormAvgHost::DetachPanel(TXeRGBPanel* panel)
{
    if (GameForm != nullptr)
        GameForm->DetachPanel(panel);
}

void FormAvgHost::SetCursorKind(int kind)
{
    if (GameForm != nullptr)
        GameForm->SetCursorKind(kind);
}

void FormAvgHost::ResetFrameCounters()
{
    if (GameForm != nullptr)
        GameForm->ResetFrameCounters();
}

AnsiString FormAvgHost::SaveFolder() const { return GameForm != nullptr ? GameForm->Services().programFolder : AnsiString(); }

TGameForm* FormAvgHost::Form() { return GameForm; }

void FormAvgHost::SaveConfig(const TUserConfig& config) { SaveUserConfig(config); }

// FormTitleCallHost: the title call's host over the main form.
#include "shell/menus/TitleCallHost.h"

#include "shell/form/TGameForm.h"
#include "shell/sound/GameSoundChannels.h"

bool FormTitleCallHost::StartTransition(int kind, TXeRGBBits* from, TXeRGBBits* to)
{
    return form_.StartTransitionDefault(kind, from, to);
}

void FormTitleCallHost::AdvanceTransition(int dp) { form_.AdvanceTransition(dp); }

bool FormTitleCallHost::IsTransitionDone() const { return form_.IsTransitionDone(); }

void FormTitleCallHost::ResetTransition() { form_.ResetTransition(); }

void FormTitleCallHost::SetTransitionHooks(bool on)
{
    if (!on) {
        form_.SetOnRedraw({});
        form_.SetOnDraw({});
        return;
    }
    TGameForm& form = form_;
    form_.SetOnRedraw([&form](TXeRGBBits* target) { form.DrawTransition(target, nullptr); });
    form_.SetOnDraw([&form](TXeRGBBits* target, TXeRectSet* set) { form.DrawTransition(target, set); });
}

void FormTitleCallHost::ResetFrameCounters() { form_.ResetFrameCounters(); }

bool FormTitleCallHost::IsSystemSEPlaying()
{
    GameSoundChannels* channels = form_.SoundChannels();
    return channels != nullptr && channels->IsSystemSEPlaying();
}

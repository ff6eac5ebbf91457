// TMainThread: the fades, screen transitions from the picture now shown to a new one, run by the
// form in state 8 while the logic thread waits frames.
#include "shell/thread/TMainThread.h"

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/RegistryHold.h"
#include "shell/transition/FadeKinds.h"

namespace {

// Loads and releases the effect data a fade needs.
void LoadFadeData(TGameForm& form, const TFadePlan& plan)
{
    switch (plan.data) {
    case TFadeData::Water: form.LoadWaterEffect(); break;
    case TFadeData::Halo: form.LoadHaloEffect(); break;
    case TFadeData::Mask: form.LoadMaskEffect(plan.maskFile); break;
    case TFadeData::None: break;
    }
}

void ReleaseFadeData(TGameForm& form, const TFadePlan& plan)
{
    switch (plan.data) {
    case TFadeData::Water: form.ReleaseWaterEffect(); break;
    case TFadeData::Halo: form.ReleaseHaloEffect(); break;
    case TFadeData::Mask: form.ReleaseMaskEffect(); break;
    case TFadeData::None: break;
    }
}

void DeletePictures(TXeRGBBits* from, TXeRGBBits* to)
{
    if (MemMan == nullptr)
        return;
    if (to != from)
        MemMan->Delete(to);
    MemMan->Delete(from);
}

} // namespace

void TMainThread::Fade(std::int8_t kind, TXeRGBBits* from, TXeRGBBits* to)
{
    const int kept = resultValue_;
    const TFadePlan plan = FadePlanOf(kind);
    try {
        LoadFadeData(form_, plan);
    } catch (...) {
        // Missing effect data ends the screen; the pictures go with it.
        DeletePictures(from, to);
        throw;
    }
    if (form_.BeginTransition(plan.transition, from, to, fadeSpeed_))
        WaitFrame();
    else
        DeletePictures(from, to);
    ReleaseFadeData(form_, plan);
    resultValue_ = kept;
    fadeSpeed_ = 100;
}

namespace {

// The two screen pictures of a fade: the first holds the picture now shown.
struct FadePictures {
    RegistryHold<TXeRGBBits> from;
    RegistryHold<TXeRGBBits> to;
};

FadePictures MakeFadePictures(TGameForm& form)
{
    FadePictures pictures{RegistryHold<TXeRGBBits>(CreateScreenBits()), RegistryHold<TXeRGBBits>(nullptr)};
    pictures.to = RegistryHold<TXeRGBBits>(CreateScreenBits());
    form.CopyScreen(pictures.from.get());
    return pictures;
}

void FillScreen(TXeRGBBits* bits, TXeRGB colour)
{
    bits->BoxFill(0, 0, TGameForm::kScreenWidth - 1, TGameForm::kScreenHeight - 1, bits->TXeRGBtoPixel(colour));
}

} // namespace

void TMainThread::FadeToScreen(std::int8_t kind)
{
    FadePictures pictures = MakeFadePictures(form_);
    form_.DrawWaitScreenTo(pictures.to.get());
    Fade(kind, pictures.from.release(), pictures.to.release());
}

void TMainThread::FadeToPanel(std::int8_t kind, TXeRGBPanel* panel)
{
    FadePictures pictures = MakeFadePictures(form_);
    TXeRGBBits* to = pictures.to.get();
    if (panel != nullptr && to->Lock()) {
        panel->Draw(to);
        to->Unlock();
    }
    Fade(kind, pictures.from.release(), pictures.to.release());
}

void TMainThread::FadeToWhite(std::int8_t kind)
{
    FadePictures pictures = MakeFadePictures(form_);
    FillScreen(pictures.to.get(), XeRGB(255, 255, 255));
    Fade(kind, pictures.from.release(), pictures.to.release());
}

void TMainThread::FadeToBlack(std::int8_t kind)
{
    FadePictures pictures = MakeFadePictures(form_);
    FillScreen(pictures.to.get(), XeRGB(0, 0, 0));
    Fade(kind, pictures.from.release(), pictures.to.release());
}

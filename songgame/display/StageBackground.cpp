#include "songgame/display/StageBackground.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"

#include <algorithm>

namespace {

constexpr TXeRect StageRect{0, 0, StageWidth, StageHeight};
constexpr int LevelPerStep = 8;

} // namespace

bool DrawPictureStream(TXeRGBBits* bitmap, const StagePicture& picture)
{
    if (bitmap == nullptr || picture.stream == nullptr)
        return false;
    try {
        picture.stream->SetPosition(0);
        switch (picture.format) {
        case spfBmp: return bitmap->DrawBmpStream(picture.stream, 0, 0);
        case spfJpeg: return bitmap->DrawJpegStream(picture.stream, 0, 0);
        case spfPng: return bitmap->DrawPngStream(picture.stream, 0, 0);
        default: return false;
        }
    } catch (const Exception&) {
        return false;
    }
}

StageBackground::StageBackground(StageState& state, const StageResources& resources)
    : state_(state), resources_(resources)
{
}

StageBackground::~StageBackground() = default;

void StageBackground::SetTarget(TXeRGBBits* target, RectSink* sink)
{
    target_ = target;
    sink_ = sink;
}

void StageBackground::FreeBitmaps(Bitmaps& bitmaps, int& count)
{
    for (auto& bitmap : bitmaps)
        bitmap.reset();
    count = 0;
}

void StageBackground::Free()
{
    FreeBitmaps(current_, currentCount_);
    FreeBitmaps(previous_, previousCount_);
    state_.current = {};
    state_.previous = {};
    state_.fadeStep = 0;
    state_.fadeTime = 0;
}

std::unique_ptr<TXeRGBBits> StageBackground::MakeBitmap() const
{
    auto bitmap = std::make_unique<TXeRGBBits>(nullptr);
    bitmap->SetBitDepth(target_->BitDepth());
    bitmap->SetPixFormat(target_->PixFormat());
    if (!bitmap->Resize(StageWidth, StageHeight) || !bitmap->Create())
        return nullptr;
    return bitmap;
}

void StageBackground::Flag()
{
    if (sink_ != nullptr)
        sink_->Flag(StageRect);
}

void StageBackground::Clear()
{
    Free();
    if (target_ != nullptr)
        target_->Cls();
    Flag();
}

bool StageBackground::BeginChange(int fade, bool stageAnime)
{
    FreeBitmaps(previous_, previousCount_);
    if (!stageAnime || fade <= 0 || target_ == nullptr) {
        Free();
        return false;
    }
    if (state_.current.kind == 2 && currentCount_ > 0) {
        previous_.swap(current_);
        previousCount_ = currentCount_;
        currentCount_ = 0;
        state_.previous = state_.current;
    } else {
        // What the stage shows now, a blend included, fades out from a copy of it.
        FreeBitmaps(current_, currentCount_);
        std::unique_ptr<TXeRGBBits> shown = MakeBitmap();
        if (!shown || !shown->Draw(0, 0, target_, 0, 0, StageWidth, StageHeight)) {
            Free();
            return false;
        }
        previous_[0] = std::move(shown);
        previousCount_ = 1;
        state_.previous = {1, state_.current.slot, 0, 0};
    }
    state_.fadeStep = std::min(fade, MaxStepTicks);
    state_.fadeTime = 0;
    return true;
}

void StageBackground::ShowPicture(int slot, int fade, bool stageAnime)
{
    const bool held = slot >= 0 && slot < BackgroundSlots &&
                      resources_.backgrounds[static_cast<std::size_t>(slot)].stream != nullptr;
    if (!held || target_ == nullptr) {
        Clear();
        return;
    }
    const StagePicture& picture = resources_.backgrounds[static_cast<std::size_t>(slot)];
    const bool fading = BeginChange(fade, stageAnime);
    state_.current = {1, slot, 0, 0};
    if (fading) {
        current_[0] = MakeBitmap();
        currentCount_ = 1;
        if (current_[0]) {
            DrawPictureStream(current_[0].get(), picture);
            return;
        }
        EndFade(); // without a bitmap to fade into, the picture shows at once
    }
    target_->Cls();
    DrawPictureStream(target_, picture);
    Flag();
}

void StageBackground::ShowAnimation(int slot, int fade, bool stageAnime)
{
    const BackgroundAnimation* animation =
        slot >= 0 && slot < AnimationSlots ? &resources_.animations[static_cast<std::size_t>(slot)] : nullptr;
    const int frames = animation != nullptr ? std::clamp(animation->frameCount, 0, AnimationFrames) : 0;
    if (frames == 0 || target_ == nullptr) {
        Clear();
        return;
    }
    const bool fading = BeginChange(fade, stageAnime);
    FreeBitmaps(current_, currentCount_);
    state_.current = {2, slot, 0, 0};
    for (int i = 0; i < frames; ++i) {
        auto& bitmap = current_[static_cast<std::size_t>(i)];
        bitmap = MakeBitmap();
        DrawPictureStream(bitmap.get(), animation->frames[static_cast<std::size_t>(i)]);
    }
    currentCount_ = frames;
    if (!fading)
        Redraw(0);
}

bool StageBackground::StepAnimation(StageBackgroundState& background, int elapsed) const
{
    if (background.kind != 2)
        return false;
    const BackgroundAnimation& animation = resources_.animations[static_cast<std::size_t>(background.slot)];
    const int frames = std::clamp(animation.frameCount, 0, AnimationFrames);
    if (frames < 2)
        return false;
    background.frameTime += elapsed;
    bool changed = false;
    for (;;) {
        const int duration = std::max(0, animation.durations[static_cast<std::size_t>(background.frame)]);
        if (duration == 0)
            --background.frameTime;
        if (background.frameTime < duration)
            return changed;
        background.frameTime -= duration;
        background.frame = (background.frame + 1) % frames;
        changed = true;
    }
}

TXeRGBBits* StageBackground::Shown(const StageBackgroundState& background, const Bitmaps& bitmaps, int count) const
{
    const int index = background.kind == 2 ? background.frame : 0;
    return index < count ? bitmaps[static_cast<std::size_t>(index)].get() : nullptr;
}

void StageBackground::Redraw(int step)
{
    TXeRGBBits* current = Shown(state_.current, current_, currentCount_);
    if (target_ == nullptr || current == nullptr)
        return;
    const int w = std::min(target_->Width(), StageWidth);
    const int h = std::min(target_->Height(), StageHeight);
    TXeRGBBits* previous = Fading() ? Shown(state_.previous, previous_, previousCount_) : nullptr;
    if (previous != nullptr)
        target_->AlphaBlend(0, 0, previous, 0, 0, current, 0, 0, w, h, LevelPerStep * step);
    else
        target_->Draw(0, 0, current, 0, 0, w, h);
    Flag();
}

void StageBackground::EndFade()
{
    FreeBitmaps(previous_, previousCount_);
    state_.previous = {};
    state_.fadeStep = 0;
    state_.fadeTime = 0;
    // A single picture now lives in the stage's bitmap.
    if (state_.current.kind == 1)
        FreeBitmaps(current_, currentCount_);
}

void StageBackground::Step(int elapsed)
{
    bool redraw = StepAnimation(state_.current, elapsed);
    if (!Fading()) {
        if (redraw)
            Redraw(0);
        return;
    }
    redraw = StepAnimation(state_.previous, elapsed) || redraw;
    const int before = state_.fadeTime / state_.fadeStep;
    state_.fadeTime += elapsed;
    const int step = std::min(FadeSteps, state_.fadeTime / state_.fadeStep);
    if (redraw || step != before)
        Redraw(step);
    if (step >= FadeSteps)
        EndFade();
}

// StageBackground: the stage's background while a song is loaded: the stage script's pictures and
// animations decoded from their kept streams, animations stepping through their frames, and the
// cross-fade from the previous background to a new one over 16 steps of up to 8 ticks each.
//
// Everything ends up in the stage panel's bitmap (the target), whose changes go to a RectSink. A
// picture shown without a fade is decoded straight into it; with a fade, and for animations, the
// pictures are kept in 640 x 300 bitmaps of the target's format: one per frame for the current
// background and as many for the previous one while it fades out.
//
// Logic thread only.
#pragma once

#include "songgame/display/RectSink.h"
#include "songgame/stage/StageResources.h"
#include "songgame/stage/StageState.h"

#include <array>
#include <memory>

class TXeRGBBits;

// Decodes a kept picture stream into the bitmap at (0, 0) by its format, from the stream's start;
// false when there is nothing to decode or it does not decode.
bool DrawPictureStream(TXeRGBBits* bitmap, const StagePicture& picture);

class StageBackground {
public:
    static constexpr int FadeSteps = 16;
    static constexpr int MaxStepTicks = 8;

    StageBackground(StageState& state, const StageResources& resources);
    ~StageBackground();
    StageBackground(const StageBackground&) = delete;
    StageBackground& operator=(const StageBackground&) = delete;

    // The stage panel's bitmap and where its changes are flagged; without a target nothing shows.
    void SetTarget(TXeRGBBits* target, RectSink* sink);

    // Picture slot 0..31; an empty slot clears the stage. With `fade` above 0 and `stageAnime` the
    // previous background fades into it, `fade` ticks a step (at most 8).
    void ShowPicture(int slot, int fade, bool stageAnime);
    // Animation slot 0..7; one without frames clears the stage.
    void ShowAnimation(int slot, int fade, bool stageAnime);
    // Animations step (looping) and a running fade moves on by elapsed ticks.
    void Step(int elapsed);
    // No background, every bitmap freed, no fade (the target keeps what it shows).
    void Free();

    bool Fading() const { return previousCount_ > 0 && state_.fadeStep > 0; }
    int CurrentBitmaps() const { return currentCount_; }
    int PreviousBitmaps() const { return previousCount_; }

private:
    using Bitmaps = std::array<std::unique_ptr<TXeRGBBits>, AnimationFrames>;

    // Hands the current background over to the previous one; false (and everything freed) when
    // there is no fade.
    bool BeginChange(int fade, bool stageAnime);
    void Clear();
    void EndFade();
    std::unique_ptr<TXeRGBBits> MakeBitmap() const;
    bool StepAnimation(StageBackgroundState& background, int elapsed) const;
    TXeRGBBits* Shown(const StageBackgroundState& background, const Bitmaps& bitmaps, int count) const;
    void Redraw(int step);
    void Flag();
    static void FreeBitmaps(Bitmaps& bitmaps, int& count);

    StageState& state_;
    const StageResources& resources_;
    TXeRGBBits* target_ = nullptr;
    RectSink* sink_ = nullptr;
    Bitmaps current_{};
    Bitmaps previous_{};
    int currentCount_ = 0;
    int previousCount_ = 0;
};

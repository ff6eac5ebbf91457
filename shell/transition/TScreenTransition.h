// TScreenTransition: turns one 640 x 480 picture into another over a number of frames, in one of 15
// kinds (three cross-fades, four push slides, four zooms with trails, a water ripple, a halo burst and
// two mask wipes), with the water, mask and halo effects it owns.
//
// The owner starts a transition with the two pictures (which it keeps alive and frees itself),
// advances it by the frame pulses that elapsed, lets it draw the current frame into a 640 x 480
// destination, and stops when it reports done. Progress is elapsed x speed / 100. Time-paced kinds
// (0 to 6, 13, 14) draw the picture of the current progress; frame-paced kinds (7 to 12) move one step
// per drawn frame in which the progress changed. Kinds 7 to 12 use the source as their work picture
// and leave it changed. Logic thread only, under the owner's lock.
#pragma once

#include "shell/transition/THaloEffect.h"
#include "shell/transition/TMaskEffect.h"
#include "shell/transition/TWaterEffect.h"

#include <cstdint>

class TXeRGBBits;
class TXeRectSet;

class TScreenTransition {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr int kKindCount = 15;
    static constexpr int kDefaultSpeed = 100;

    TScreenTransition();
    TScreenTransition(const TScreenTransition&) = delete;
    TScreenTransition& operator=(const TScreenTransition&) = delete;

    // No pictures, no transition; the pictures are not freed.
    void Reset();
    // Refuses (false, nothing changed) unless both pictures exist with pixels and are 640 x 480.
    // Otherwise stores them, the kind and the speed (a speed <= 0 counts as 100, so a transition
    // always ends), and starts from progress 0. A kind outside 0..14 other than -1 shows the target
    // at its first drawing and ends.
    bool Start(int kind, TXeRGBBits* source, TXeRGBBits* target, int speed);
    bool StartDefault(int kind, TXeRGBBits* source, TXeRGBBits* target);
    // Elapsed pulses += pulses and the progress follows; nothing when no transition runs.
    void Advance(int pulses);
    // True when no transition runs (never started, finished or reset).
    bool IsDone() const { return FKind == -1; }
    // Draws the frame of the current progress into the destination (a 640 x 480 bitmap) and adds
    // the whole screen to the set when one is given. The end frame shows the target whole and makes
    // the transition done.
    void Draw(TXeRGBBits* dest, TXeRectSet* set);

    TXeRGBBits* Source() const { return FSource; }
    TXeRGBBits* Target() const { return FTarget; }
    int Kind() const { return FKind; }
    int Speed() const { return FSpeed; }
    int Elapsed() const { return FElapsed; }
    int Progress() const { return FProgress; }
    int LastDrawn() const { return FLastDrawn; }
    int StepCount() const { return FStepCount; }
    TWaterEffect& WaterEffect() { return FWaterEffect; }
    TMaskEffect& MaskEffect() { return FMaskEffect; }
    THaloEffect& HaloEffect() { return FHaloEffect; }

private:
    // The steppers of the two pacings; Finish ends the transition on the target.
    void StepTimed(TXeRGBBits* dest, int endProgress);
    void StepFramed(TXeRGBBits* dest, int stepTotal);
    void Finish(TXeRGBBits* dest);
    bool PicturesPresent() const;

    // One picture of a kind for a value (a progress-derived value or a step); 0 is the source whole.
    // False when the routine ended the transition by itself (missing data, another depth).
    bool DrawValue(TXeRGBBits* dest, int value);
    bool DrawCrossFade(TXeRGBBits* dest, int level);
    bool DrawPush(TXeRGBBits* dest, int value);
    bool DrawZoom(TXeRGBBits* dest, int step);
    bool DrawWater(TXeRGBBits* dest, int step);
    bool DrawHalo(TXeRGBBits* dest, int step);
    bool DrawMask(TXeRGBBits* dest, int value);
    // The zoom and water kinds work on raw pixels of one size (3 or 4 bytes) in all three pictures.
    bool RawPixelsAgree(TXeRGBBits* dest) const;

    TXeRGBBits* FSource = nullptr;
    TXeRGBBits* FTarget = nullptr;
    int FKind = -1;
    int FSpeed = kDefaultSpeed;
    int FElapsed = 0;
    int FProgress = 0;
    int FLastDrawn = -1;
    int FStepCount = 0;
    TWaterEffect FWaterEffect;
    TMaskEffect FMaskEffect;
    THaloEffect FHaloEffect;
};

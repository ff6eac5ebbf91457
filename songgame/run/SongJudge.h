// SongJudge: the judgement of one performance frame over the chart's notes: notes the game plays by
// itself, lyric lines falling due, the note each lane's press would strike, misses of notes that
// went by, and the presses themselves; the play state it moves is a PlayState.
//
// Logic thread only. Times are song-clock units (88,200 a second).
#pragma once

#include "songgame/chart/TMusicNote.h"
#include "songgame/run/PlayState.h"

#include <array>
#include <cstdint>
#include <span>

// What a judgement makes happen outside the play state.
class JudgeActions {
public:
    virtual void PlayKeySound(int sound) = 0;
    // Shows the lyric at this offset of the text pool.
    virtual void ShowLyric(int text) = 0;
    virtual void ShakeCharacters() = 0;

protected:
    ~JudgeActions() = default;
};

class SongJudge {
public:
    static constexpr int Lanes = 30;
    static constexpr std::uint32_t BestWindow = 1764;  // 20 ms
    static constexpr std::uint32_t GoodWindow = 7056;  // 80 ms
    static constexpr std::uint32_t PoorWindow = 14112; // 160 ms
    static constexpr std::int32_t StruckState = 5;
    static constexpr std::int32_t HitLampLength = 3;

    SongJudge(std::span<TMusicNote> notes, PlayState& play, JudgeActions& actions);

    // The judgement of a note at distance d from the clock.
    static int JudgementAt(std::uint32_t d);
    // The distance between note time t and the clock (now, with prev the previous step's clock):
    // 0 when the note falls due in this frame.
    static std::uint32_t Distance(std::uint32_t t, std::uint32_t now, std::uint32_t prev);

    // A new performance from the first note (both note pointers cleared).
    void Restart();
    // Clears this frame's lanes and scans the notes in reach of the clock.
    void Scan(std::uint32_t now, std::uint32_t prev);
    // A press on a lane (0..29; anything else is ignored); one press per lane and frame counts.
    void HitLane(int lane);
    // Whether HitLamp is lit this frame; each lit frame uses one of its frames up.
    bool StepHitLamp();

    void SetShakeOnMiss(bool on) { shakeOnMiss_ = on; }
    std::int32_t LastSound() const { return lastSound_; }
    void ResetLastSound() { lastSound_ = -1; }
    std::int32_t Candidate(int lane) const { return candidate_[static_cast<std::size_t>(lane)]; }
    std::int32_t FirstPending() const { return firstPending_; }
    std::span<TMusicNote> Notes() const { return notes_; }

    // The first note still on the sheet; the sheet moves it on as notes leave.
    std::int32_t firstDrawn = 0;

private:
    void ScanNote(int i, std::uint32_t d, bool& allFinished);
    void Miss(TMusicNote& note);
    void Judged(int judgement);

    std::span<TMusicNote> notes_;
    PlayState& play_;
    JudgeActions& actions_;
    bool shakeOnMiss_ = true;
    std::int32_t firstPending_ = 0;
    std::int32_t lastSound_ = -1;
    std::int32_t hitLamp_ = 0;
    std::array<std::int32_t, Lanes> candidate_{};
    std::array<std::int32_t, Lanes> best_{};
};

// The lane a key (scan code) strikes on this difficulty (0 normal, 1 hard, 2 easy), or -1.
int KeyPressLane(std::uint32_t scanCode, int rankMode);
// Whether a press on the lane counts on this difficulty: hard takes all 30, normal 0..7, easy 2..5.
bool LaneAllowed(int lane, int rankMode);

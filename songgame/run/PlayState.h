// PlayState: what a performance has earned so far (reaction level, gauge, combo, score) and how each
// judgement moves it, with the blocks the gauge and score panels show for it.
#pragma once

#include <cstdint>

// Judgements of a press or a note that went by.
inline constexpr int JudgeMiss = 0;
inline constexpr int JudgePoor = 1;
inline constexpr int JudgeGood = 2;
inline constexpr int JudgeBest = 3;

struct PlayState {
    static constexpr std::int32_t NeutralReaction = 2;
    static constexpr std::int32_t StartGauge = 20;
    static constexpr std::int32_t MaxGauge = 59;
    static constexpr std::int32_t ClearGauge = 40;
    static constexpr std::int32_t MaxCombo = 10;
    static constexpr std::uint32_t MaxScore = 999'999'999;

    std::int32_t reaction = NeutralReaction; // 0..6, shown by the G clef's size
    std::int32_t driftTicks = 0;             // ticks towards the next drift step
    std::int32_t gauge = StartGauge;         // 0..59
    std::uint32_t score = 0;
    std::int32_t combo = 0;                  // 0..10

    void Reset() { *this = PlayState{}; }
    // Reaction level = 2 x judgement; a change restarts the drift.
    void SetReaction(int judgement);
    // One step towards neutral every 4 ticks.
    void DriftReaction(int elapsed);
    // Below good takes one off, best adds one; held within 0..59.
    void AddGauge(int judgement);
    // Runs before AddGauge for the same note: the full-gauge bonus sees the gauge before it.
    void AddScore(int judgement);
};

// The block of large gauge segment i (0..4): unlit i, lit i + 5 below 40, from 40 up i + 5 x the
// glow step of glow phase 0..3 (1, 2, 3, 2).
int BigPopBlock(int gauge, int glowPhase, int i);
// The block of small gauge segment i (0..9): unlit i, lit (i <= gauge mod 10) i + 10.
int SmallPopBlock(int gauge, int i);
// Digit k (0 ones .. 8) of the score: its block, and whether it shows (no leading zeros).
struct ScoreDigitLook {
    int block;
    bool visible;
};
ScoreDigitLook ScoreDigit(std::uint32_t score, int k);

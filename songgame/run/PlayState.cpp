#include "songgame/run/PlayState.h"

#include <algorithm>

void PlayState::SetReaction(int judgement)
{
    const std::int32_t level = 2 * judgement;
    if (level != reaction) {
        reaction = level;
        driftTicks = 0;
    }
}

void PlayState::DriftReaction(int elapsed)
{
    for (int tick = 0; tick < elapsed && reaction != NeutralReaction; ++tick) {
        if (++driftTicks < 4)
            continue;
        driftTicks = 0;
        reaction += reaction < NeutralReaction ? 1 : -1;
    }
}

void PlayState::AddGauge(int judgement)
{
    if (judgement < JudgeGood)
        --gauge;
    else if (judgement == JudgeBest)
        ++gauge;
    gauge = std::clamp(gauge, 0, MaxGauge);
}

void PlayState::AddScore(int judgement)
{
    std::uint32_t points = 0;
    if (judgement == JudgeBest) {
        combo = std::min(combo + 1, MaxCombo);
        points = static_cast<std::uint32_t>(20 * combo + (gauge == MaxGauge ? 111 : 15));
    } else {
        combo = 0;
        if (judgement == JudgeGood)
            points = 8;
    }
    score += std::min(points, MaxScore - std::min(score, MaxScore));
}

int BigPopBlock(int gauge, int glowPhase, int i)
{
    if (i >= gauge / 10)
        return i;
    if (gauge < PlayState::ClearGauge)
        return i + 5;
    static constexpr int glowStep[4] = {1, 2, 3, 2};
    return i + 5 * glowStep[glowPhase & 3];
}

int SmallPopBlock(int gauge, int i)
{
    return i <= gauge % 10 ? i + 10 : i;
}

ScoreDigitLook ScoreDigit(std::uint32_t score, int k)
{
    std::uint32_t high = score;
    for (int n = 0; n < k; ++n)
        high /= 10;
    return {static_cast<int>(high % 10), k == 0 || high != 0};
}

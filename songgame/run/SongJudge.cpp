#include "songgame/run/SongJudge.h"

#include "songgame/chart/ChartReader.h"

SongJudge::SongJudge(std::span<TMusicNote> notes, PlayState& play, JudgeActions& actions)
    : notes_(notes), play_(play), actions_(actions)
{
    candidate_.fill(-1);
}

int SongJudge::JudgementAt(std::uint32_t d)
{
    if (d <= BestWindow)
        return JudgeBest;
    if (d <= GoodWindow)
        return JudgeGood;
    return d <= PoorWindow ? JudgePoor : JudgeMiss;
}

std::uint32_t SongJudge::Distance(std::uint32_t t, std::uint32_t now, std::uint32_t prev)
{
    if (t > prev)
        return t <= now ? 0 : t - now;
    return prev - t + 1;
}

void SongJudge::Restart()
{
    firstDrawn = 0;
    firstPending_ = 0;
    hitLamp_ = 0;
}

void SongJudge::Scan(std::uint32_t now, std::uint32_t prev)
{
    candidate_.fill(-1);
    best_.fill(0);
    bool allFinished = true;
    for (int i = firstDrawn; i < static_cast<int>(notes_.size()); ++i) {
        const TMusicNote& note = notes_[static_cast<std::size_t>(i)];
        if (i > firstPending_ && allFinished)
            firstPending_ = i;
        const std::uint32_t d = Distance(note.time, now, prev);
        if (note.sound >= 0 && d <= BestWindow)
            hitLamp_ = HitLampLength;
        if (i < firstPending_)
            continue;
        if (d > PoorWindow && note.time > now)
            break;
        ScanNote(i, d, allFinished);
    }
}

void SongJudge::ScanNote(int i, std::uint32_t d, bool& allFinished)
{
    TMusicNote& note = notes_[static_cast<std::size_t>(i)];
    // Only a pending note falls due, so a clock read twice never plays or shows it twice.
    if (d == 0 && note.state == 0) {
        if (note.sound >= 0 && note.autoPlay) {
            actions_.PlayKeySound(note.sound);
            lastSound_ = note.sound;
            play_.AddGauge(JudgeBest);
            note.state = StruckState;
        }
        // A lyric finishes its note when due, even a playable one: the lyric marks the line, and
        // such a note is neither struck nor missed afterwards.
        if (note.text >= 0) {
            actions_.ShowLyric(note.text);
            note.state = 1;
        }
    }
    if (note.sound >= 0 && !note.autoPlay && note.state == 0) {
        const int judgement = JudgementAt(d);
        if (judgement == JudgeMiss) {
            Miss(note);
        } else if (note.lane >= 0 && note.lane < Lanes) {
            const auto lane = static_cast<std::size_t>(note.lane);
            if (judgement > best_[lane]) {
                best_[lane] = judgement;
                candidate_[lane] = i;
            }
        }
    }
    if (note.state == 0)
        allFinished = false;
}

void SongJudge::Miss(TMusicNote& note)
{
    play_.SetReaction(0);
    play_.AddScore(JudgeMiss);
    play_.AddGauge(JudgeMiss);
    lastSound_ = note.sound;
    if (shakeOnMiss_)
        actions_.ShakeCharacters();
    note.state = 1;
}

void SongJudge::HitLane(int lane)
{
    if (lane < 0 || lane >= Lanes)
        return;
    const auto l = static_cast<std::size_t>(lane);
    if (best_[l] < 0)
        return;
    if (candidate_[l] >= 0) {
        TMusicNote& note = notes_[static_cast<std::size_t>(candidate_[l])];
        if (note.sound >= 0) {
            actions_.PlayKeySound(note.sound);
            lastSound_ = note.sound;
        }
        note.state = StruckState;
    } else if (lastSound_ >= 0) {
        actions_.PlayKeySound(lastSound_);
    }
    Judged(best_[l]);
    best_[l] = -1;
}

void SongJudge::Judged(int judgement)
{
    play_.SetReaction(judgement >= JudgeGood ? judgement : 0);
    play_.AddScore(judgement);
    play_.AddGauge(judgement);
    if (judgement < JudgeGood && shakeOnMiss_)
        actions_.ShakeCharacters();
}

bool SongJudge::StepHitLamp()
{
    if (hitLamp_ <= 0)
        return false;
    --hitLamp_;
    return true;
}

int KeyPressLane(std::uint32_t scanCode, int rankMode)
{
    static constexpr int rowLanes[10] = {0, 1, 2, 3, 8, 9, 4, 5, 6, 7};
    int lane = -1;
    if (scanCode >= 0x1E && scanCode <= 0x27)
        lane = rowLanes[scanCode - 0x1E];
    else if (scanCode >= 0x10 && scanCode <= 0x19)
        lane = rowLanes[scanCode - 0x10] + 10;
    else if (scanCode >= 0x2C && scanCode <= 0x35)
        lane = rowLanes[scanCode - 0x2C] + 20;
    return lane >= 0 && LaneAllowed(lane, rankMode) ? lane : -1;
}

bool LaneAllowed(int lane, int rankMode)
{
    if (rankMode == RankHard)
        return lane >= 0 && lane < SongJudge::Lanes;
    if (rankMode == RankEasy)
        return lane >= 2 && lane <= 5;
    return lane >= 0 && lane < 8;
}

// SongRun: the phases of one song run, stepped once a frame: the title and opening curtain, the
// stage's [Before] section, the performance, the [After] section, the continue prompt after a
// failed song and the closing curtain; Escape held (or any key in the demonstration) aborts. The
// screen it runs on is a SongRunHost, so that the phases run on the song screen or on a script.
//
// Logic thread only.
#pragma once

#include <cstdint>

// Results handed over at the end of a run.
inline constexpr int SongCleared = 0;
inline constexpr int SongFailed = 1;
inline constexpr int SongAborted = 2;

// What the phases drive.
class SongRunHost {
public:
    // Reads the keyboard state; whether Escape is down in it.
    virtual bool ReadEscapeDown() = 0;
    // Drains the buffered keyboard; whether a key went down (the demonstration's abort).
    virtual bool DrainKeysForAbort() = 0;

    // A curtain strip (0..18) shows a block, or hides with -1.
    virtual void SetCurtain(int strip, int block) = 0;
    // The title's vertical offset; -1 hides it.
    virtual void SetTitleOffset(int y) = 0;
    virtual void SetCaptionBlink() = 0;

    // A new phase: the millisecond counter's base and the stored clock start again at 0.
    virtual void PhaseChanged() = 0;
    virtual void SetSection(int section) = 0;
    // Carries out the [Before] (1) or [After] (3) entries now due; true once the section is done.
    virtual bool RunEntries(int section) = 0;

    // The music from its start, once; whether it still plays; Stop stops it (then the silence
    // buffer once) when it plays.
    virtual void StartMusic() = 0;
    virtual bool MusicPlaying() = 0;
    virtual void StopMusic() = 0;

    // The performance: input flushed and note pointers cleared; one judged frame.
    virtual void BeginPerformance() = 0;
    virtual void DriftReaction(int elapsed) = 0;
    virtual void Judge(int elapsed) = 0;
    virtual void SetReaction(int judgement) = 0;
    virtual int Gauge() = 0;

    // The display steps.
    virtual void AnimateCharacters(int elapsed) = 0;
    virtual void StepDisplay(int elapsed) = 0;
    virtual void StepBackground(int elapsed) = 0;
    virtual void HideLyrics() = 0;
    // After an abort: the sheet redrawn without notes, the lyric hidden.
    virtual void ClearSheet() = 0;

    // The continue prompt: shown (with the page sound), its step (-1, 0 no, 1 yes), closed, and the
    // play state reset for a new go.
    virtual void ShowContinue() = 0;
    virtual int StepContinue(int elapsed) = 0;
    virtual void CloseContinue() = 0;
    virtual void ResetForContinue() = 0;

    virtual void SetResult(int result) = 0;

protected:
    ~SongRunHost() = default;
};

struct SongRunOptions {
    std::uint8_t autoMode = 0; // 0 play, 1 automatic, 2 demonstration
    bool charaAnime = true;
    bool stageAnime = true;
};

class SongRun {
public:
    enum Phase : std::uint8_t { Idle, Opening, Before, Perform, After, Closing, Continue };
    static constexpr int CurtainStrips = 19;
    static constexpr int TitleTicks = 60;
    static constexpr int CurtainTicks = 21;
    static constexpr int EscapeTicks = 30;
    static constexpr int TitleOffset = 56;
    static constexpr int CaptionTicks = 15;

    SongRun(SongRunHost& host, SongRunOptions options) : host_(host), options_(options) {}

    void Start();
    // The stage goes idle (the music stopped when it plays).
    void Stop();
    // One frame; elapsed frame ticks since the previous one (may be 0).
    void Step(int elapsed);

    Phase CurrentPhase() const { return phase_; }
    int SubState() const { return subState_; }
    int TickCount() const { return tickCount_; }
    bool Aborted() const { return aborted_ != 0; }

private:
    void Enter(Phase phase);
    bool AbortRequested(int elapsed);
    void Abort();
    void StepPhase(int elapsed);
    void StepOpening();
    void StepClosing();
    void StepContinue(int elapsed);
    void SetStrip(int strip, int block);

    SongRunHost& host_;
    SongRunOptions options_;
    Phase phase_ = Idle;
    int subState_ = 0;
    int tickCount_ = 0;
    int escapeTime_ = 0;
    std::uint8_t aborted_ = 0;
    int captionTime_ = 0;
};

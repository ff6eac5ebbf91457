// TMainThread: the base of the logic thread that runs the game as sequential code: the frame wait, the
// thread result, the end of the game code by EGameEnd, and the state changes made with the state lock
// released.
#pragma once

#include "platform/classes/Thread.h"

#include <atomic>
#include <cstdint>
#include <functional>

class TGameForm;
class TXeRGBBits;
class TXeRGBPanel;

// Game code holds the form's state lock whenever it runs and gives it up only inside the operations
// here, each of which takes it back before it returns or throws.
//
// Threads: everything runs on the logic thread except Terminate (any thread). The result is set
// from inside a frame (on the frame's thread, under the frame lock) and read between frames, so the
// value and the ready flag are atomics, the value written first.
class TMainThread : public TThread {
public:
    // The running screen's per-frame step, called with the frame's pulses.
    using THandler = std::function<void(int dp)>;

    // Made suspended; steps the shared random generator by (tick count AND 4095).
    explicit TMainThread(TGameForm& form);

    void SetResult(int value);
    int ResultValue() const { return resultValue_; }
    void SetResultValue(int value) { resultValue_ = value; }
    bool ResultReady() const { return resultReady_; }

    // Runs frames with the state lock released until a result arrives after the call began or the
    // thread is terminated; raises EGameEnd when it was terminated (termination wins over a result
    // of the same frame). Refused from inside a frame.
    void WaitFrame();
    // Runs frames while the voice plays (the result is neither cleared nor tested), or sleeps in
    // steps of 100 ms while it plays without running frames; both end like WaitFrame when terminated.
    void WaitVoice();
    void SleepWhileVoice();
    void CheckTerminated();
    // Terminates this thread and raises EGameEnd.
    [[noreturn]] void Abort();
    [[noreturn]] void AbortGame();

    void SetHandler(THandler handler) { handler_ = std::move(handler); }
    const THandler& GetHandler() const { return handler_; }
    int FadeSpeed() const { return fadeSpeed_; }

    // The sound channels' BGM calls with the state lock released.
    bool PlayBGM(std::int32_t track, bool loop, bool fade);
    void StopBGM(bool fade);

    // The form's state entries with the state lock released.
    void EnterStartState();
    void EnterState7();
    void EnterState2();
    void EnterMusicState();
    void EnterAdventureState();

    // One fade between two 640 x 480 pictures made through the registry: the effect data of the
    // kind is loaded, the form runs the transition in state 8 while this thread waits frames, and
    // the data is released. The pictures belong to the form from the start on; pictures the form
    // refuses are deleted here and no frame is waited. The result value set before the fade is
    // kept; the fade speed is 100 again afterwards.
    void Fade(std::int8_t kind, TXeRGBBits* from, TXeRGBBits* to);
    // Fades from the picture now shown to the loading picture, to the panel drawn by itself, to
    // white or to black.
    void FadeToScreen(std::int8_t kind);
    void FadeToPanel(std::int8_t kind, TXeRGBPanel* panel);
    void FadeToWhite(std::int8_t kind);
    void FadeToBlack(std::int8_t kind);

protected:
    // The base body: state 6, then frames until terminated; then the form closes.
    void Execute() override;
    TGameForm& Form() const { return form_; }

private:
    // Runs `step` with the state lock released, taking it back however the step ends.
    template <typename Step> void Unlocked(Step&& step);
    bool VoicePlaying() const;

    TGameForm& form_;
    std::atomic<int> resultValue_{0};
    std::atomic<bool> resultReady_{false};
    THandler handler_;
    int fadeSpeed_ = 100;
};

// The running logic thread, null when none runs; set and cleared by the form's show and hide.
extern std::atomic<TMainThread*> MainThread;

// Hands a result to the running logic thread; nothing when none runs.
void SetThreadResult(int value);
[[noreturn]] void RaiseGameEnd();

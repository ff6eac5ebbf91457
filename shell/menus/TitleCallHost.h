// TitleCallHost: what the title call asks of the main form: its screen transition between two
// pictures with the hooks that draw it, the frame counters and whether a system sound plays, so
// that the title call is tested with a scripted fake and no display or audio.
#pragma once

class TGameForm;
class TXeRGBBits;

// Logic thread, with the state lock held (the title call's start and its per-frame step).
class TitleCallHost {
public:
    virtual ~TitleCallHost() = default;

    // Starts a transition of the kind from one 640 x 480 picture to another at the default speed.
    // On true both pictures belong to the form; on false they stay the caller's.
    virtual bool StartTransition(int kind, TXeRGBBits* from, TXeRGBBits* to) = 0;
    // Advances the running transition by the elapsed pulses.
    virtual void AdvanceTransition(int dp) = 0;
    // True when no transition runs: never started, reset, or its end frame has been drawn.
    virtual bool IsTransitionDone() const = 0;
    // Stops the transition and frees its pictures.
    virtual void ResetTransition() = 0;
    // On: the form's redraw and draw hooks draw the running transition; off: both hooks cleared.
    virtual void SetTransitionHooks(bool on) = 0;
    virtual void ResetFrameCounters() = 0;
    virtual bool IsSystemSEPlaying() = 0;
};

// The title call's host over the main form and its sound channels.
class FormTitleCallHost final : public TitleCallHost {
public:
    explicit FormTitleCallHost(TGameForm& form) : form_(form) {}

    bool StartTransition(int kind, TXeRGBBits* from, TXeRGBBits* to) override;
    void AdvanceTransition(int dp) override;
    bool IsTransitionDone() const override;
    void ResetTransition() override;
    void SetTransitionHooks(bool on) override;
    void ResetFrameCounters() override;
    bool IsSystemSEPlaying() override;

private:
    TGameForm& form_;
};

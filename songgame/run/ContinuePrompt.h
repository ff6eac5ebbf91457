// ContinuePrompt: the offer to play a failed song again: keys answer yes or no while a count-down
// picture runs through its blocks, and silence to its end answers no.
#pragma once

#include "platform/input/SongInput.h"

#include <cstdint>
#include <span>

// What the prompt shows and hears.
class ContinuePromptView {
public:
    virtual void ShowCountBlock(int block) = 0;
    virtual void PlayCountSound() = 0; // the click that starts the count
    virtual bool SystemSoundPlaying() = 0;

protected:
    ~ContinuePromptView() = default;
};

class ContinuePrompt {
public:
    static constexpr int Waiting = -1;
    static constexpr int No = 0;
    static constexpr int Yes = 1;
    static constexpr int LastBlock = 11;

    // The answer a key gives (Yes, No, or Waiting for a key that does not answer).
    static int AnswerOfKey(std::uint32_t scanCode);

    void Restart()
    {
        step_ = 0;
        ticks_ = 0;
    }
    // One step with the key records read in it: Yes, No, or Waiting.
    int Step(int elapsed, std::span<const input::KeyRecord> records, ContinuePromptView& view);
    // The step's two halves: the answer of some of its records (the last answering key; none once
    // the last block shows), then the count when no key answered.
    int Answer(std::span<const input::KeyRecord> records) const;
    int Count(int elapsed, ContinuePromptView& view);
    int CountStep() const { return step_; }

private:
    int step_ = 0;  // 0 before the count, 1..11 the block shown
    int ticks_ = 0;
};

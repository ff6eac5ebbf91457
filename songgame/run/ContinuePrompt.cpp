#include "songgame/run/ContinuePrompt.h"

namespace {

constexpr std::uint32_t KeyDown = 0x80;
constexpr int WaitTicks = 60;  // before the count and after its last block
constexpr int BlockTicks = 30; // one block of the count

} // namespace

int ContinuePrompt::AnswerOfKey(std::uint32_t scanCode)
{
    switch (scanCode) {
    case 0x15: // Y
    case 0x1C: // Enter
    case 0x39: // Space
        return Yes;
    case 0x31: // N
    case 0x01: // Escape
        return No;
    default:
        return Waiting;
    }
}

int ContinuePrompt::Step(int elapsed, std::span<const input::KeyRecord> records,
                         ContinuePromptView& view)
{
    const int answer = Answer(records);
    return answer != Waiting ? answer : Count(elapsed, view);
}

int ContinuePrompt::Answer(std::span<const input::KeyRecord> records) const
{
    int answer = Waiting;
    if (step_ >= LastBlock)
        return answer;
    for (const input::KeyRecord& record : records) {
        const int key = (record.data & KeyDown) != 0 ? AnswerOfKey(record.offset) : Waiting;
        if (key != Waiting)
            answer = key; // the last answering key of the step decides
    }
    return answer;
}

int ContinuePrompt::Count(int elapsed, ContinuePromptView& view)
{
    ticks_ += elapsed;
    if (step_ == 0) {
        if (ticks_ >= WaitTicks && !view.SystemSoundPlaying()) {
            ticks_ = 0;
            step_ = 1;
            view.ShowCountBlock(1);
            view.PlayCountSound();
        }
    } else if (step_ < LastBlock) {
        if (ticks_ >= BlockTicks) {
            ticks_ -= BlockTicks;
            view.ShowCountBlock(++step_);
        }
    } else if (ticks_ >= WaitTicks && !view.SystemSoundPlaying()) {
        return No;
    }
    return Waiting;
}

#include "songgame/run/ContinuePrompt.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ScriptedView : ContinuePromptView {
    std::vector<int> blocks;
    int clicks = 0;
    bool soundPlaying = false;
    void ShowCountBlock(int block) override { blocks.push_back(block); }
    void PlayCountSound() override { ++clicks; }
    bool SystemSoundPlaying() override { return soundPlaying; }
};

input::KeyRecord Down(std::uint32_t code) { return {code, 0x80, 0, 0}; }
input::KeyRecord Up(std::uint32_t code) { return {code, 0, 0, 0}; }

} // namespace

TEST(ContinuePrompt, KeysAnswerAndTheLastKeyWins)
{
    struct Case {
        std::vector<input::KeyRecord> keys;
        int want;
    };
    const Case cases[] = {
        {{Down(0x15)}, ContinuePrompt::Yes},
        {{Down(0x1C)}, ContinuePrompt::Yes},
        {{Down(0x39)}, ContinuePrompt::Yes},
        {{Down(0x31)}, ContinuePrompt::No},
        {{Down(0x01)}, ContinuePrompt::No},
        {{Down(0x1E)}, ContinuePrompt::Waiting},
        {{Up(0x15)}, ContinuePrompt::Waiting},
        {{Down(0x15), Down(0x31)}, ContinuePrompt::No},
        {{Down(0x31), Down(0x15), Down(0x1E)}, ContinuePrompt::Yes},
    };
    for (const Case& c : cases) {
        ContinuePrompt prompt;
        ScriptedView view;
        EXPECT_EQ(prompt.Step(1, c.keys, view), c.want) << c.keys.front().offset;
    }
}

TEST(ContinuePrompt, CountsAfterThePageSoundAndEndsWithNo)
{
    ContinuePrompt prompt;
    ScriptedView view;
    view.soundPlaying = true;
    for (int tick = 0; tick < 70; ++tick)
        ASSERT_EQ(prompt.Step(1, {}, view), ContinuePrompt::Waiting);
    EXPECT_EQ(prompt.CountStep(), 0); // the page sound still plays
    view.soundPlaying = false;
    prompt.Step(0, {}, view);
    EXPECT_EQ(prompt.CountStep(), 1);
    EXPECT_EQ(view.clicks, 1);

    prompt.Step(29, {}, view);
    EXPECT_EQ(prompt.CountStep(), 1);
    prompt.Step(61, {}, view); // one block a step, the rest carried
    EXPECT_EQ(prompt.CountStep(), 2);
    prompt.Step(0, {}, view);
    prompt.Step(0, {}, view);
    EXPECT_EQ(prompt.CountStep(), 4);
    for (int tick = 0; tick < 7 * 30 - 1; ++tick)
        prompt.Step(1, {}, view);
    EXPECT_EQ(prompt.CountStep(), 10);
    const input::KeyRecord yes[] = {Down(0x15)};
    prompt.Step(1, {}, view);
    EXPECT_EQ(prompt.CountStep(), 11);
    EXPECT_EQ(view.blocks, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(prompt.Step(1, yes, view), ContinuePrompt::Waiting); // too late to answer
    for (int tick = 2; tick < 60; ++tick)
        ASSERT_EQ(prompt.Step(1, {}, view), ContinuePrompt::Waiting);
    view.soundPlaying = true;
    EXPECT_EQ(prompt.Step(1, {}, view), ContinuePrompt::Waiting);
    view.soundPlaying = false;
    EXPECT_EQ(prompt.Step(0, {}, view), ContinuePrompt::No);
}

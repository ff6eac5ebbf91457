// TGameState's message text: the current message's cut and read flag, recording it as read, and
// the window and backlog lines cut without splitting a character.
#include "scenario/records/TGameState.h"

#include "scenario/records/TReadMesTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Zhong = "\xD6\xD0";

class TGameStateMessage : public ::testing::Test {
protected:
    TGameStateMessage()
    {
        state_.SetScript(4, 1);
        readMes_.SetScriptStamp(4, 1);
        readMes_.SetTextRead(4 * 65536 + 20);
    }
    TGameState state_;
    TReadMesTable readMes_;
};

} // namespace

TEST_F(TGameStateMessage, KeepsTheFirst255BytesOr254BeforeALeadByte)
{
    state_.SetCurrentMessage(std::string(300, 'a'), 1, readMes_);
    EXPECT_EQ(state_.GetCurrentMessage(), std::string(255, 'a'));
    std::string doubles;
    for (int i = 0; i < 150; ++i)
        doubles += Zhong;
    state_.SetCurrentMessage(doubles, 1, readMes_);
    EXPECT_EQ(state_.GetCurrentMessage(), doubles.substr(0, 254));
    state_.SetCurrentMessage("a" + doubles, 1, readMes_);
    EXPECT_EQ(state_.GetCurrentMessage(), ("a" + doubles).substr(0, 255));
}

TEST_F(TGameStateMessage, ReadFlagNeedsANumberAndScriptInRangeAndTheMap)
{
    struct Case {
        std::int32_t script;
        std::int32_t number;
        bool read;
    };
    const Case cases[] = {{4, 20, true}, {4, 21, false}, {4, 0, false}, {4, -1, false}, {4, 65536 + 20, false}, {-1, 20, false}};
    for (const Case& c : cases) {
        state_.SetScript(c.script, 1);
        state_.SetCurrentMessage("x", c.number, readMes_);
        EXPECT_EQ(state_.GetReadFlag(), c.read) << c.script << ":" << c.number;
        EXPECT_EQ(state_.GetMessageNumber(), c.number);
    }
}

TEST_F(TGameStateMessage, RecordingAsReadAddsUnreadMessagesOnce)
{
    state_.SetCurrentMessage("x", 30, readMes_);
    state_.SetMessageRead(readMes_);
    EXPECT_TRUE(readMes_.IsTextRead(4 * 65536 + 30));
    EXPECT_EQ(state_.GetMessageNumber(), -1);

    state_.SetCurrentMessage("x", 20, readMes_); // read before: nothing to add, the number stays
    state_.SetMessageRead(readMes_);
    EXPECT_EQ(state_.GetMessageNumber(), 20);

    state_.SetCurrentMessage("x", 70000, readMes_); // beyond the map's numbers
    state_.SetMessageRead(readMes_);
    EXPECT_EQ(state_.GetMessageNumber(), -1);
    EXPECT_FALSE(readMes_.IsTextRead(4 * 65536 + (70000 & 0xFFFF)));
}

TEST_F(TGameStateMessage, LinesAreCutWithoutSplittingACharacter)
{
    std::string doubles;
    for (int i = 0; i < 30; ++i)
        doubles += Zhong;
    state_.AppendWindowLine("a");
    state_.AppendWindowLine(doubles);
    EXPECT_EQ(state_.GetWindowLine(0), "a" + doubles.substr(0, 50));
    state_.AppendBacklogLine("a" + doubles);
    EXPECT_EQ(state_.GetBacklogLine(state_.GetBacklogCount() - 1), "a" + doubles.substr(0, 50));
    state_.SetChoiceText(1, "a" + doubles);
    EXPECT_EQ(state_.GetChoiceText(1), "a" + doubles.substr(0, 50));
}

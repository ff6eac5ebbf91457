// TGameState: stored layout, start values, calendar clock, meter, texts, stack, frames, backlog
// and the sanity check.
#include "scenario/records/TGameState.h"

#include "scenario/records/TSystemState.h"
#include "shell/GameExceptions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

std::uint32_t Read32(const TGameState& state, std::size_t offset)
{
    std::uint32_t value;
    std::memcpy(&value, state.Bytes().data() + offset, sizeof value);
    return value;
}

std::uint8_t Byte(const TGameState& state, std::size_t offset) { return state.Bytes()[offset]; }

// The record with `count` bytes from `offset` on set to `value`.
std::unique_ptr<TGameState> WithBytes(const TGameState& state, std::size_t offset, std::size_t count, unsigned char value)
{
    auto bytes = std::vector<unsigned char>(state.Bytes().begin(), state.Bytes().end());
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, value);
    auto changed = std::make_unique<TGameState>();
    changed->AssignBytes(bytes);
    return changed;
}

} // namespace

TEST(TGameState, FieldsLandAtTheirStoredOffsets)
{
    auto state = std::make_unique<TGameState>();
    state->SetGameMode(3);
    state->SetFlag(9, true);
    state->SetVar(63, 0x11223344);
    state->SetNameText(15, "Zed");
    state->SetFrameWord2(-2);
    state->SetExtraWord(0x5A5A);
    state->SetDate(1231);
    state->SetTime(1742);
    state->SetLimitDate(1225);
    state->SetMeter(77);
    state->SetSceneName("S");
    state->PushValue(0x0BADF00D);
    state->SetScript(12, 0xCAFEu);
    state->SetPc(0x1234);
    state->PushFrame({5, 6, 7, 0, 1, 8, 9});
    state->SetChoiceText(3, "C");

    EXPECT_EQ(Byte(*state, 0), 3);
    EXPECT_EQ(Byte(*state, 1 + 1), 0x02); // flag 9: bit 1 of byte 1
    EXPECT_EQ(Read32(*state, 76 + 63 * 4), 0x11223344u);
    EXPECT_EQ(Byte(*state, 364 + 15 * 128), 'Z');
    EXPECT_EQ(Read32(*state, 2416), 0xFFFFFFFEu);
    EXPECT_EQ(Read32(*state, 2420), 0x5A5Au);
    EXPECT_EQ(Read32(*state, 2424), 0x2A11'1F0Cu); // 12, 31, 17, 42
    EXPECT_EQ(Read32(*state, 2432), 1u);          // evening
    EXPECT_EQ(Byte(*state, 2436), 12);
    EXPECT_EQ(Byte(*state, 2437), 25);
    EXPECT_EQ(Read32(*state, 2440), 77u);
    EXPECT_EQ(Byte(*state, 2444), 'S');
    EXPECT_EQ(Read32(*state, 2508), 0x0BADF00Du);
    EXPECT_EQ(Read32(*state, 3536), 1u);
    EXPECT_EQ(Read32(*state, 3540), 12u);
    EXPECT_EQ(Read32(*state, 3544), 0xCAFEu);
    EXPECT_EQ(Read32(*state, 3548), 0x1234u);
    EXPECT_EQ(Read32(*state, 3556), 5u);
    EXPECT_EQ(Read32(*state, 3556 + 24), 9u);
    EXPECT_EQ(Read32(*state, 5348), 1u);
    EXPECT_EQ(Byte(*state, 59540 + 3 * 53), 'C');
}

TEST(TGameState, ClearGivesTheStartValues)
{
    auto state = std::make_unique<TGameState>();
    state->SetMeter(3);
    state->AddDays(40);
    state->Clear();
    EXPECT_EQ(state->GetMonth(), 1);
    EXPECT_EQ(state->GetDay(), 1);
    EXPECT_EQ(state->GetHour(), 10);
    EXPECT_EQ(state->GetTimeOfDay(), 0);
    EXPECT_FALSE(state->HasLimit());
    EXPECT_EQ(state->GetMeter(), 100);
    EXPECT_TRUE(state->GetHalt());
    EXPECT_EQ(state->GetShownBackground(), TGameState::NoBackground);
    EXPECT_EQ(state->GetShownCharacter(1), TGameState::NoPicture);
    EXPECT_EQ(state->GetMessageSpeed(), 100);
    EXPECT_EQ(state->GetMovie(), -1);
    EXPECT_EQ(state->GetBgm(), -1);
    EXPECT_EQ(state->GetBgmLevel(), 100);
    EXPECT_EQ(state->GetAmbient(), -1);
    EXPECT_EQ(Byte(*state, 5404), 1);
    EXPECT_EQ(Byte(*state, 5405), 1);
    EXPECT_EQ(Byte(*state, 5406), 1); // cursor flag
    EXPECT_EQ(Read32(*state, 5668), 0xFFFFFFFFu);
    EXPECT_EQ(state->GetBacklogCount(), 1);
    EXPECT_TRUE(state->IsSane());
}

struct ClockCase {
    const char* name;
    int date, time;       // start
    int limitDate, limitTime; // 0: no limit
    int addDays, addMinutes;
    int month, day, hour, minute;
};

TEST(TGameState, CalendarClock)
{
    const ClockCase cases[] = {
        {"year end", 1231, 1200, 0, 0, 1, 0, 1, 1, 12, 0},
        {"back over February", 301, 1200, 0, 0, -1, 0, 2, 28, 12, 0},
        {"month end", 430, 800, 0, 0, 1, 0, 5, 1, 8, 0},
        {"whole years", 615, 800, 0, 0, 365 * 3 + 2, 0, 6, 17, 8, 0},
        {"limit stops days", 428, 900, 430, 1800, 5, 0, 4, 30, 18, 0},
        {"limit stops minutes", 430, 1700, 430, 1800, 0, 90, 4, 30, 18, 0},
        {"minutes carry over midnight", 1231, 2350, 0, 0, 0, 20, 1, 1, 0, 10},
        {"minutes back over midnight", 101, 10, 0, 0, 0, -20, 12, 31, 23, 50},
        {"limit reached exactly", 430, 1700, 430, 1800, 0, 60, 4, 30, 18, 0},
        {"before a limit in the same hour", 430, 1700, 430, 1745, 0, 30, 4, 30, 17, 30},
    };
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto state = std::make_unique<TGameState>();
        state->SetDate(c.date);
        state->SetTime(c.time);
        if (c.limitDate != 0) {
            state->SetLimitDate(c.limitDate);
            state->SetLimitTime(c.limitTime);
        }
        state->AddDays(c.addDays);
        state->AddMinutes(c.addMinutes);
        EXPECT_EQ(state->GetMonth(), c.month);
        EXPECT_EQ(state->GetDay(), c.day);
        EXPECT_EQ(state->GetHour(), c.hour);
        EXPECT_EQ(state->GetMinute(), c.minute);
    }
}

TEST(TGameState, ClockAtItsLimitStaysThere)
{
    auto state = std::make_unique<TGameState>();
    state->SetDate(428);
    state->SetTime(900);
    state->SetLimitDate(430);
    state->SetLimitTime(1800);
    state->AddDays(5);
    for (int n : {1, 30, 365})
        state->AddDays(n);
    state->AddMinutes(600);
    EXPECT_EQ(state->GetMonth(), 4);
    EXPECT_EQ(state->GetDay(), 30);
    EXPECT_EQ(state->GetHour(), 18);
    EXPECT_EQ(state->GetSubMinute(), 0u);
}

TEST(TGameState, OutOfRangePartsOfDatesAndTimesAreIgnored)
{
    auto state = std::make_unique<TGameState>();
    state->SetDate(315);
    state->SetDate(1332); // month 13, day 32: both ignored
    EXPECT_EQ(state->GetMonth(), 3);
    EXPECT_EQ(state->GetDay(), 15);
    state->SetDate(20431); // remainder 431: April has no day 31
    EXPECT_EQ(state->GetMonth(), 4);
    EXPECT_EQ(state->GetDay(), 15);
    state->SetTime(2475); // hour 24 and minute 75 ignored
    EXPECT_EQ(state->GetHour(), 10);
    EXPECT_EQ(state->GetMinute(), 0);
}

TEST(TGameState, WeekdayAndTimeOfDay)
{
    const struct {
        int date, weekday;
    } weekdays[] = {{101, 0}, {108, 0}, {201, 3}, {1231, 0}, {102, 1}};
    auto state = std::make_unique<TGameState>();
    for (const auto& w : weekdays) {
        state->SetDate(w.date);
        EXPECT_EQ(state->GetWeekday(), w.weekday) << w.date;
    }
    const struct {
        int hour, timeOfDay;
    } hours[] = {{5, 2}, {6, 3}, {9, 3}, {10, 0}, {16, 0}, {17, 1}, {18, 1}, {19, 2}, {0, 2}};
    for (const auto& h : hours) {
        state->SetTime(h.hour * 100);
        EXPECT_EQ(state->GetTimeOfDay(), h.timeOfDay) << h.hour;
    }
}

TEST(TGameState, MeterIsClampedAndLevelled)
{
    const struct {
        int set, meter, level;
    } cases[] = {{300, 255, 4}, {-4, 0, 0}, {49, 49, 0}, {50, 50, 1}, {199, 199, 3}, {200, 200, 4}, {255, 255, 4}};
    auto state = std::make_unique<TGameState>();
    for (const auto& c : cases) {
        state->SetMeter(c.set);
        EXPECT_EQ(state->GetMeter(), c.meter) << c.set;
        EXPECT_EQ(state->GetMeterLevel(), c.level) << c.set;
    }
}

TEST(TGameState, TextLengthLimits)
{
    auto state = std::make_unique<TGameState>();
    state->SetNameText(0, std::string(127, 'a'));
    EXPECT_EQ(state->GetNameText(0).size(), 127u);
    EXPECT_THROW(state->SetNameText(0, std::string(128, 'b')), EGameErr);
    EXPECT_EQ(state->GetNameText(0), std::string(127, 'a'));
    state->SetSceneName(std::string(63, 's'));
    EXPECT_THROW(state->SetSceneName(std::string(64, 's')), EGameErr);
    EXPECT_EQ(state->GetSceneName().size(), 63u);
    state->SetChoiceText(2, std::string(60, 'c'));
    EXPECT_EQ(state->GetChoiceText(2).size(), 52u);
    state->SetNameText(16, "ignored");
    EXPECT_EQ(state->GetNameText(16), "");
}

TEST(TGameState, IndexesOutsideTheirRangeAreIgnored)
{
    auto state = std::make_unique<TGameState>();
    state->SetFlag(512, true);
    state->SetFlag(-1, true);
    state->SetVar(64, 5);
    state->SetModeIndex(6);
    EXPECT_FALSE(state->GetFlag(512));
    EXPECT_EQ(state->GetVar(64), 0);
    EXPECT_EQ(state->GetModeIndex(), 0);
    auto clean = std::make_unique<TGameState>();
    EXPECT_EQ(std::memcmp(state->Bytes().data(), clean->Bytes().data(), sizeof(TGameState)), 0);
}

TEST(TGameState, SystemFlagsAndValuesAreCopied)
{
    TSystemState system;
    system.SetSystemFlag(63, true);
    system.SetSystemValue(7, -9);
    auto state = std::make_unique<TGameState>();
    state->CopySystemFlagsFrom(system);
    state->CopySystemValuesFrom(system);
    EXPECT_TRUE(state->GetLocalFlag(63));
    EXPECT_FALSE(state->GetLocalFlag(62));
    EXPECT_EQ(state->GetSubVar(7), -9);
}

TEST(TGameState, ValueStackAndFrames)
{
    auto state = std::make_unique<TGameState>();
    for (int i = 0; i < TGameState::StackSize; ++i)
        state->PushValue(i);
    EXPECT_THROW(state->PushValue(0), EGameErr);
    state->SetValueBase(254);
    EXPECT_EQ(state->PopValue(), 255);
    EXPECT_EQ(state->PeekValue(), 254);
    EXPECT_EQ(state->PopValue(), 254);
    EXPECT_THROW(state->PopValue(), EGameErr);
    EXPECT_THROW(state->PeekValue(), EGameErr);

    for (int i = 0; i < TGameState::FrameSize; ++i)
        state->PushFrame({i, 0, 0, 0, 0, 0, 0});
    EXPECT_THROW(state->PushFrame({}), EGameErr);
    EXPECT_EQ(state->GetFrame(63).FScriptNumber, 63);
    EXPECT_EQ(state->PopFrame().FScriptNumber, 63);
    state->ClearStack();
    EXPECT_EQ(state->GetFrameCount(), 0);
    EXPECT_EQ(state->GetValueCount(), 0);
    EXPECT_THROW(state->PopFrame(), EGameErr);
}

TEST(TGameState, BacklogRingDropsTheOldestLine)
{
    auto state = std::make_unique<TGameState>();
    for (int i = 0; i < 1001; ++i) {
        state->AppendBacklogLine("line" + std::to_string(i));
        state->AdvanceBacklog();
    }
    EXPECT_EQ(state->GetBacklogCount(), 1000);
    EXPECT_EQ(state->GetBacklogLine(0), "line2");
    EXPECT_EQ(state->GetBacklogLine(998), "line1000");
    EXPECT_EQ(state->GetBacklogLine(999), "");
    state->AppendBacklogLine(std::string(40, 'x'));
    state->AppendBacklogLine(std::string(40, 'y'));
    EXPECT_EQ(state->GetBacklogLine(999), std::string(40, 'x') + std::string(12, 'y'));
    EXPECT_TRUE(state->IsSane());
    state->ClearBacklog();
    EXPECT_EQ(state->GetBacklogCount(), 1);
    EXPECT_EQ(state->GetBacklogLine(0), "");
}

TEST(TGameState, SanityCheckRefusesBrokenRecords)
{
    auto state = std::make_unique<TGameState>();
    state->PushValue(1);
    ASSERT_TRUE(state->IsSane());
    const struct {
        const char* what;
        std::size_t offset, count;
        unsigned char value;
    } broken[] = {
        {"game mode", 0, 1, 5},
        {"month", 2424, 1, 13},
        {"day past the month", 2425, 1, 32},
        {"hour", 2426, 1, 24},
        {"stack count", 3536 + 1, 1, 0x01}, // 257
        {"stack base above count", 3532, 1, 2},
        {"negative base", 3532 + 3, 1, 0x80},
        {"program counter", 3548 + 3, 1, 0x80},
        {"frame count", 5348, 1, 65},
        {"mode index", 5352, 1, 6},
        {"window line", 6524, 1, 16},
        {"backlog first", 59532 + 1, 1, 0x04}, // 1024
        {"backlog last", 59536 + 3, 1, 0xFF},
        {"unterminated name text", 364 + 5 * 128, 128, 'x'},
        {"unterminated scene name", 2444, 64, 'x'},
        {"unterminated message", 5412, 256, 'x'},
        {"unterminated window line", 5673 + 53 * 3, 53, 'x'},
        {"unterminated backlog line", 6532 + 53 * 999, 53, 'x'},
        {"unterminated choice", 59540 + 53 * 3, 53, 'x'},
    };
    for (const auto& b : broken)
        EXPECT_FALSE(WithBytes(*state, b.offset, b.count, b.value)->IsSane()) << b.what;
    EXPECT_TRUE(WithBytes(*state, 364 + 5 * 128, 127, 'x')->IsSane()); // a full-length name
    EXPECT_TRUE(WithBytes(*state, 3548, 1, 0x10)->IsSane());           // another program counter
    state->SetPc(TGameState::NoEntry);
    EXPECT_TRUE(state->IsSane());
}

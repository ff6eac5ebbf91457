// TGameState's calendar clock: setting the date and time, the limit, and day and minute arithmetic
// that stops at the limit.
#include "scenario/records/GameCalendar.h"
#include "scenario/records/TGameState.h"

#include <array>
#include <cstdint>
#include <tuple>

namespace {

constexpr std::array<int, 12> MonthLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::array<int, 13> MonthStarts = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int MinutesPerDay = 24 * 60;

bool IsMonth(int month) { return month >= 1 && month <= 12; }

// A date or time value split into its two parts, taken by its remainder by 10000.
std::pair<int, int> SplitClockValue(std::int32_t value)
{
    const std::int32_t rest = value % 10000;
    return {rest / 100, rest % 100};
}

// Months below 1 count as twelve more when clock and limit are compared.
int ComparableMonth(int month) { return month < 1 ? month + 12 : month; }

} // namespace

int DaysInMonth(int month) { return IsMonth(month) ? MonthLengths[month - 1] : 0; }

int DaysBeforeMonth(int month) { return IsMonth(month) ? MonthStarts[month - 1] : 0; }

int TGameState::GetWeekday() const { return (DaysBeforeMonth(FMonth) + FDay - 1) % 7; }

void TGameState::UpdateTimeOfDay()
{
    if (FHour == 17 || FHour == 18)
        FTimeOfDay = 1;
    else if (FHour >= 6 && FHour <= 9)
        FTimeOfDay = 3;
    else if (FHour >= 10 && FHour <= 16)
        FTimeOfDay = 0;
    else
        FTimeOfDay = 2;
}

void TGameState::SetDate(std::int32_t monthDay)
{
    const auto [month, day] = SplitClockValue(monthDay);
    if (IsMonth(month))
        FMonth = static_cast<std::int8_t>(month);
    if (day >= 1 && day <= DaysInMonth(FMonth))
        FDay = static_cast<std::int8_t>(day);
    else if (FDay > DaysInMonth(FMonth))
        FDay = static_cast<std::int8_t>(DaysInMonth(FMonth)); // a new month shorter than the old day
}

void TGameState::SetTime(std::int32_t hourMinute)
{
    const auto [hour, minute] = SplitClockValue(hourMinute);
    if (hour >= 0 && hour <= 23)
        FHour = static_cast<std::int8_t>(hour);
    if (minute >= 0 && minute <= 59)
        FMinute = static_cast<std::int8_t>(minute);
    FSubMinute = 0;
    UpdateTimeOfDay();
}

void TGameState::SetLimitDate(std::int32_t monthDay)
{
    const auto [month, day] = SplitClockValue(monthDay);
    if (IsMonth(month))
        FLimitMonth = static_cast<std::uint8_t>(month);
    if (day >= 1 && day <= (IsMonth(FLimitMonth) ? DaysInMonth(FLimitMonth) : 31))
        FLimitDay = static_cast<std::uint8_t>(day);
}

void TGameState::SetLimitTime(std::int32_t hourMinute)
{
    const auto [hour, minute] = SplitClockValue(hourMinute);
    if (hour >= 0 && hour <= 23)
        FLimitHour = static_cast<std::uint8_t>(hour);
    if (minute >= 0 && minute <= 59)
        FLimitMinute = static_cast<std::uint8_t>(minute);
}

void TGameState::ClearLimit() { FLimitMonth = FLimitDay = FLimitHour = FLimitMinute = 0; }

// Reaching the limit itself still counts as before it.
bool TGameState::BeforeLimit() const
{
    if (!HasLimit())
        return true;
    return std::tuple(ComparableMonth(FMonth), FDay, FHour, FMinute) <=
           std::tuple(ComparableMonth(FLimitMonth), int(FLimitDay), int(FLimitHour), int(FLimitMinute));
}

void TGameState::ClampToLimit()
{
    if (BeforeLimit())
        return;
    FMonth = static_cast<std::int8_t>(FLimitMonth);
    FDay = static_cast<std::int8_t>(FLimitDay);
    FHour = static_cast<std::int8_t>(FLimitHour);
    FMinute = static_cast<std::int8_t>(FLimitMinute);
    FSubMinute = 0;
    UpdateTimeOfDay();
}

// Whole years change nothing in a calendar without leap years, so only the rest is stepped.
void TGameState::StepDays(std::int32_t days)
{
    const int dayOfYear = DaysBeforeMonth(FMonth) + FDay - 1;
    const int moved = ((dayOfYear + days % DaysInYear) % DaysInYear + DaysInYear) % DaysInYear;
    int month = 1;
    while (MonthStarts[month] <= moved)
        ++month;
    FMonth = static_cast<std::int8_t>(month);
    FDay = static_cast<std::int8_t>(moved - MonthStarts[month - 1] + 1);
}

void TGameState::AddDays(std::int32_t days)
{
    if (!BeforeLimit())
        return;
    StepDays(days);
    ClampToLimit();
}

void TGameState::AddMinutes(std::int32_t minutes)
{
    if (!BeforeLimit())
        return;
    const std::int64_t total = std::int64_t{FHour} * 60 + FMinute + minutes;
    std::int64_t days = total / MinutesPerDay;
    std::int64_t rest = total % MinutesPerDay;
    if (rest < 0) {
        rest += MinutesPerDay;
        --days;
    }
    FHour = static_cast<std::int8_t>(rest / 60);
    FMinute = static_cast<std::int8_t>(rest % 60);
    StepDays(static_cast<std::int32_t>(days % DaysInYear));
    UpdateTimeOfDay();
    ClampToLimit();
}

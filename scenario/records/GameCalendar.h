// The game's calendar: twelve months of fixed length, no leap years, 1 January a weekday 0.
#pragma once

inline constexpr int DaysInYear = 365;

// Days of month 1 to 12; 0 for any other month.
int DaysInMonth(int month);
// Days of the year before month 1 to 12; 0 for any other month.
int DaysBeforeMonth(int month);

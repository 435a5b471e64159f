#pragma once

#include <cstdint>

// Today's local calendar date, as the age needs it.
struct CalendarDate {
    int year;
    int month;  // 1 to 12
    int day;    // 1 to 31
};

// Whole years from the birth date to today; the birthday itself counts as
// reached. A birth date after today gives 0. No calendar check: 31
// February is accepted, and a month of 13 is never reached.
[[nodiscard]] std::uint32_t ComputeAge(const CalendarDate& today, std::uint32_t birthYear, std::uint32_t birthMonth,
                                       std::uint32_t birthDay) noexcept;

// The local clock's date.
[[nodiscard]] CalendarDate LocalToday();

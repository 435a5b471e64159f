#include "Age.h"

#include <ctime>

std::uint32_t ComputeAge(const CalendarDate& today, std::uint32_t birthYear, std::uint32_t birthMonth,
                         std::uint32_t birthDay) noexcept
{
    std::int64_t age = std::int64_t{today.year} - std::int64_t{birthYear};
    const auto month = static_cast<std::uint32_t>(today.month);
    const auto day = static_cast<std::uint32_t>(today.day);
    if (month < birthMonth || (month == birthMonth && day < birthDay))
        --age;
    // Not born yet: an age below zero would show as a ten-digit number and
    // fail every later check of the age field.
    return age < 0 ? 0 : static_cast<std::uint32_t>(age);
}

CalendarDate LocalToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

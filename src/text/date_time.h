#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chengxi::text {

// A local date and time of day, whole seconds.
struct DateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool isMidnight() const { return hour == 0 && minute == 0 && second == 0; }
    DateTime date() const { return {year, month, day, 0, 0, 0}; }
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The program's date-time text: 2015年11月16日, then unless midnight the hour
// with 时, the minutes with 分 when minutes or seconds are not zero, and the
// seconds with 秒 when they are not zero (9时, 9时5分, 9时5分3秒, 9时0分3秒).
std::string formatDateTime(const DateTime& when);

// Reads a date-time text back: a date with 年月日, optionally followed by one
// of the three time forms. Anything else, or an impossible date, gives nothing.
std::optional<DateTime> parseDateTime(std::string_view text);

// Days since 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t dayNumber(int year, int month, int day);
DateTime fromDayNumber(std::int64_t days);

DateTime addDays(const DateTime& when, int days);

// Seconds from `from` to `to`.
std::int64_t secondsBetween(const DateTime& from, const DateTime& to);

bool isValidDate(int year, int month, int day);

} // namespace chengxi::text

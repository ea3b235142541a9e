#include "text/date_time.h"

#include <charconv>

namespace chengxi::text {
namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Reads a decimal number followed by `unit` from the front of `text`.
std::optional<int> takeNumber(std::string_view& text, std::string_view unit) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
    if (!rest.starts_with(unit)) {
        return std::nullopt;
    }
    text = rest.substr(unit.size());
    return value;
}

} // namespace

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

std::string formatDateTime(const DateTime& when) {
    std::string text = std::to_string(when.year) + "年" + std::to_string(when.month) + "月" +
                       std::to_string(when.day) + "日";
    if (when.isMidnight()) {
        return text;
    }
    text += std::to_string(when.hour) + "时";
    if (when.minute != 0 || when.second != 0) {
        text += std::to_string(when.minute) + "分";
    }
    if (when.second != 0) {
        text += std::to_string(when.second) + "秒";
    }
    return text;
}

std::optional<DateTime> parseDateTime(std::string_view text) {
    DateTime when;
    const auto year = takeNumber(text, "年");
    const auto month = year ? takeNumber(text, "月") : std::nullopt;
    const auto day = month ? takeNumber(text, "日") : std::nullopt;
    if (!day || !isValidDate(*year, *month, *day)) {
        return std::nullopt;
    }
    when.year = *year;
    when.month = *month;
    when.day = *day;
    if (!text.empty()) {
        const auto hour = takeNumber(text, "时");
        if (!hour || *hour < 0 || *hour > 23) {
            return std::nullopt;
        }
        when.hour = *hour;
    }
    if (!text.empty()) {
        const auto minute = takeNumber(text, "分");
        if (!minute || *minute < 0 || *minute > 59) {
            return std::nullopt;
        }
        when.minute = *minute;
    }
    if (!text.empty()) {
        const auto second = takeNumber(text, "秒");
        if (!second || *second < 0 || *second > 59) {
            return std::nullopt;
        }
        when.second = *second;
    }
    if (!text.empty()) {
        return std::nullopt;
    }
    return when;
}

// Howard Hinnant's days-from-civil algorithm.
std::int64_t dayNumber(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

DateTime fromDayNumber(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    DateTime when;
    when.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    when.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    when.year = static_cast<int>(yearOfEra + era * 400 + (when.month <= 2 ? 1 : 0));
    return when;
}

DateTime addDays(const DateTime& when, int days) {
    DateTime result = fromDayNumber(dayNumber(when.year, when.month, when.day) + days);
    result.hour = when.hour;
    result.minute = when.minute;
    result.second = when.second;
    return result;
}

std::int64_t secondsBetween(const DateTime& from, const DateTime& to) {
    const auto secondsOf = [](const DateTime& t) {
        return dayNumber(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    };
    return secondsOf(to) - secondsOf(from);
}

} // namespace chengxi::text

#include "xls/cell_text.h"

#include "text/date_time.h"

#include <charconv>
#include <cmath>

namespace chengxi::xls {
namespace {

constexpr std::int64_t kLastSerialDay = 2958465; // 9999-12-31 in the 1900 date system

void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        return;
    }
    if (value == 0) {
        out += '0';
        return;
    }
    char buffer[40];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    if (error != std::errc()) {
        return;
    }
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos) {
        out += text;
        return;
    }
    // to_chars writes at least two exponent digits; the rule wants three.
    out += text.substr(0, e + 2);
    const std::string_view digits = text.substr(e + 2);
    out.append(digits.size() < 3 ? 3 - digits.size() : 0, '0');
    out += digits;
}

} // namespace

std::string numberText(double value) {
    std::string out;
    appendNumber(out, value);
    return out;
}

void appendNumberText(std::string& out, double value) {
    appendNumber(out, value);
}

std::optional<std::string> dateText(double serial, bool dateMode1904) {
    if (!std::isfinite(serial) || serial < 0 || serial >= static_cast<double>(kLastSerialDay + 1)) {
        return std::nullopt;
    }
    std::int64_t days = static_cast<std::int64_t>(std::floor(serial));
    std::int64_t seconds = std::llround((serial - static_cast<double>(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const std::int64_t base =
        dateMode1904 ? text::dayNumber(1904, 1, 1) : text::dayNumber(1899, 12, 30);
    text::DateTime when = text::fromDayNumber(base + days);
    if (when.year > 9999) {
        return std::nullopt;
    }
    when.hour = static_cast<int>(seconds / 3600);
    when.minute = static_cast<int>(seconds / 60 % 60);
    when.second = static_cast<int>(seconds % 60);
    return text::formatDateTime(when);
}

void appendCellText(std::string& out, const Workbook& workbook, const Cell& cell) {
    switch (cell.kind) {
    case CellKind::Text:
        out += workbook.strings.at(cell.value.text);
        return;
    case CellKind::Number:
        if (workbook.isDateStyle(cell.style)) {
            if (auto date = dateText(cell.value.number, workbook.dateMode1904)) {
                out += *date;
                return;
            }
        }
        appendNumber(out, cell.value.number);
        return;
    case CellKind::Boolean:
        out += cell.value.code != 0 ? "真" : "假";
        return;
    case CellKind::Blank:
    case CellKind::Error:
        return;
    }
}

std::string cellText(const Workbook& workbook, const Cell& cell) {
    std::string out;
    appendCellText(out, workbook, cell);
    return out;
}

bool hasText(const Workbook& workbook, const Cell* cell) {
    if (cell == nullptr) {
        return false;
    }
    switch (cell->kind) {
    case CellKind::Text:
        return !workbook.strings.at(cell->value.text).empty();
    case CellKind::Number:
        return std::isfinite(cell->value.number);
    case CellKind::Boolean:
        return true;
    case CellKind::Blank:
    case CellKind::Error:
        return false;
    }
    return false;
}

} // namespace chengxi::xls

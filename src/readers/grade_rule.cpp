#include "readers/grade_rule.h"

#include <array>
#include <optional>

namespace chengxi::readers {
namespace {

constexpr std::array<std::string_view, 9> kChineseDigits = {"一", "二", "三", "四", "五",
                                                            "六", "七", "八", "九"};
constexpr std::array<std::string_view, 9> kWideDigits = {"１", "２", "３", "４", "５",
                                                         "６", "７", "８", "９"};

enum class Numerals { Chinese, Arabic, Wide };

// A grade numeral 1 to 9 at the start of `text`, with how it is written and
// how many bytes it takes.
struct Numeral {
    int value = 0;
    Numerals style = Numerals::Chinese;
    std::size_t length = 0;
};

std::optional<Numeral> leadingNumeral(std::string_view text) {
    for (std::size_t i = 0; i < kChineseDigits.size(); ++i) {
        if (text.starts_with(kChineseDigits[i])) {
            return Numeral{static_cast<int>(i) + 1, Numerals::Chinese, kChineseDigits[i].size()};
        }
        if (text.starts_with(kWideDigits[i])) {
            return Numeral{static_cast<int>(i) + 1, Numerals::Wide, kWideDigits[i].size()};
        }
    }
    if (!text.empty() && text.front() >= '1' && text.front() <= '9') {
        // 12年级 is no grade this rule knows.
        if (text.size() > 1 && text[1] >= '0' && text[1] <= '9') {
            return std::nullopt;
        }
        return Numeral{text.front() - '0', Numerals::Arabic, 1};
    }
    return std::nullopt;
}

std::string written(int value, Numerals style) {
    const auto index = static_cast<std::size_t>(value - 1);
    switch (style) {
    case Numerals::Chinese:
        return std::string(kChineseDigits.at(index));
    case Numerals::Wide:
        return std::string(kWideDigits.at(index));
    case Numerals::Arabic:
        break;
    }
    return std::to_string(value);
}

// 初一 to 初三 and 高一 to 高三: three grades, the third leaves.
std::string nextInStage(std::string_view stage, std::string_view currentClass) {
    const std::string_view rest = currentClass.substr(stage.size());
    const std::optional<Numeral> grade = leadingNumeral(rest);
    if (!grade || grade->value > 3) {
        return {};
    }
    if (grade->value == 3) {
        return std::string(kGraduate);
    }
    return std::string(stage) + written(grade->value + 1, grade->style) +
           std::string(rest.substr(grade->length));
}

// 一年级 to 九年级.
std::string nextYearGrade(std::string_view currentClass, SchoolGrades grades) {
    const std::optional<Numeral> grade = leadingNumeral(currentClass);
    if (!grade || !currentClass.substr(grade->length).starts_with("年级")) {
        return {};
    }
    if (grade->value == 9 || (grade->value == 6 && !grades.hasGradeSeven)) {
        return std::string(kGraduate);
    }
    return written(grade->value + 1, grade->style) +
           std::string(currentClass.substr(grade->length));
}

} // namespace

std::string nextClass(std::string_view currentClass, SchoolGrades grades) {
    for (const std::string_view stage : {std::string_view("初"), std::string_view("高")}) {
        if (currentClass.starts_with(stage)) {
            return nextInStage(stage, currentClass);
        }
    }
    return nextYearGrade(currentClass, grades);
}

bool isGradeSeven(std::string_view currentClass) {
    const std::optional<Numeral> grade = leadingNumeral(currentClass);
    return grade && grade->value == 7 && currentClass.substr(grade->length).starts_with("年级");
}

} // namespace chengxi::readers

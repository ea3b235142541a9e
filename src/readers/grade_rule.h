#pragma once

#include <string>
#include <string_view>

namespace chengxi::readers {

// What the new class of a class is at the end of the school year.
inline constexpr std::string_view kGraduate = "毕业";

// What the school's classes tell about its grades.
struct SchoolGrades {
    // Some class is in grade seven (七年级, 7年级): grade six moves up rather
    // than leaving, as in a nine-year school.
    bool hasGradeSeven = false;
};

// The class one grade up, written as the class is written: 初一(3)班 gives
// 初二(3)班, 三年级1班 四年级1班, 3年级1班 4年级1班, 高1(2)班 高2(2)班. The
// top grade (初三, 高三, 九年级, and 六年级 unless the school has grade
// seven) gives 毕业. A class that starts with no grade this rule knows gives
// the empty text: it is left for the librarian, never guessed.
std::string nextClass(std::string_view currentClass, SchoolGrades grades);

// Whether a class is in grade seven (七年级, 7年级): the school has grade seven.
bool isGradeSeven(std::string_view currentClass);

} // namespace chengxi::readers

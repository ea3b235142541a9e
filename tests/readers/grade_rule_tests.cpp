#include "readers/grade_rule.h"

#include <gtest/gtest.h>

namespace chengxi::readers {
namespace {

struct GradeCase {
    const char* currentClass;
    const char* expected; // "" left for the librarian
    bool hasGradeSeven = false;
};

// Chinese, Arabic and full-width numerals keep their writing; the rest of
// the class name is kept byte for byte; whatever the rule does not know is
// left empty, never guessed.
constexpr GradeCase kCases[] = {
    {"初一(3)班", "初二(3)班"},
    {"初二（3）班", "初三（3）班"},
    {"初三(3)班", "毕业"},
    {"初1(2)班", "初2(2)班"},
    {"初3(2)班", "毕业"},
    {"高一(3)班", "高二(3)班"},
    {"高２班", "高３班"},
    {"高三1班", "毕业"},
    {"三年级1班", "四年级1班"},
    {"3年级1班", "4年级1班"},
    {"５年级２班", "６年级２班"},
    {"一年级", "二年级"},
    {"六年级2班", "毕业"},
    {"六年级2班", "七年级2班", true},
    {"6年级2班", "7年级2班", true},
    {"八年级(1)班", "九年级(1)班"},
    {"九年级(1)班", "毕业", true},
    // Not a pattern the rule knows.
    {"初四(1)班", ""},
    {"初中一班", ""},
    {"高中(1)班", ""},
    {"十年级", ""},
    {"12年级1班", ""},
    {"2019级3班", ""},
    {"1班", ""},
    {"三班", ""},
    {"小学三年级1班", ""},
    {"2016届初三(1)班", ""},
    {"教师", ""},
    {"", ""},
    {"初", ""},
    {"年级", ""},
};

TEST(GradeRule, RaisesTheGradeAsWrittenAndLeavesUnknownClassesEmpty) {
    for (const GradeCase& c : kCases) {
        EXPECT_EQ(nextClass(c.currentClass, {.hasGradeSeven = c.hasGradeSeven}), c.expected)
            << c.currentClass << (c.hasGradeSeven ? " (grade seven present)" : "");
    }
}

TEST(GradeRule, GradeSevenIsFoundInEitherWriting) {
    EXPECT_TRUE(isGradeSeven("七年级(1)班"));
    EXPECT_TRUE(isGradeSeven("7年级1班"));
    EXPECT_FALSE(isGradeSeven("17年级"));
    EXPECT_FALSE(isGradeSeven("七(1)班"));
    EXPECT_FALSE(isGradeSeven("初一(7)班"));
}

} // namespace
} // namespace chengxi::readers

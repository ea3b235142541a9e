// The lent-book marks of the result list: a short list is asked about by its
// numbers, a long one reads every lent book; both must mark the same books.
#include "library/books.h"
#include "store/database.h"

#include <gtest/gtest.h>
#include <string>
#include <unordered_set>
#include <vector>

namespace chengxi::testing {
namespace {

using Numbers = std::unordered_set<std::string>;

class LentOutOf : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(database.connection.open(":memory:", true));
        ASSERT_TRUE(database.connection.execute(
            "CREATE TABLE 借出数据 (图书编号 TEXT(15), 借书证号 TEXT(20))"));
        // In when the card is "0" or empty; X9 is lent but never listed.
        for (const auto& [book, card] : std::vector<std::pair<std::string, std::string>>{
                 {"B1", "C1"}, {"B2", "0"}, {"B3", ""}, {"B450", "C2"}, {"X9", "C3"}}) {
            ASSERT_TRUE(
                database.connection.execute("INSERT INTO 借出数据 VALUES (?, ?)", {book, card}));
        }
    }

    static std::vector<std::string> numbered(int count) {
        std::vector<std::string> numbers;
        for (int i = 0; i < count; ++i) {
            numbers.push_back("B" + std::to_string(i));
        }
        return numbers;
    }

    store::Database database;
};

TEST_F(LentOutOf, ShortAndLongListsMarkOnlyBooksLentToACard) {
    EXPECT_EQ(library::lentOutOf(database, {"B1", "B2", "B3", "B4"}), Numbers({"B1"}));
    // Past 400 numbers the whole table is read: what is lent, listed or not.
    EXPECT_EQ(library::lentOutOf(database, numbered(401)), std::nullopt);
    EXPECT_EQ(library::storedLentNumbers(database), text::TextSet({"B1", "B450", "X9"}));
    EXPECT_FALSE(database.records.isOpen());
}

TEST_F(LentOutOf, AnUnreadableTableGivesNothingAndLeavesNoQueryOpen) {
    ASSERT_TRUE(database.connection.execute("DROP TABLE 借出数据"));
    EXPECT_EQ(library::lentOutOf(database, {"B1"}), std::nullopt);
    EXPECT_EQ(library::storedLentNumbers(database), std::nullopt);
    EXPECT_FALSE(database.records.isOpen());
}

} // namespace
} // namespace chengxi::testing

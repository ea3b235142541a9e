#include "text/list_column.h"

#include <gtest/gtest.h>

using namespace chengxi::text;
using Items = std::vector<std::string>;

TEST(ListColumn, SplitsOneItemPerBar) {
    EXPECT_EQ(splitListColumn("A00001|A00007|"), (Items{"A00001", "A00007"}));
    EXPECT_EQ(splitListColumn("0"), (Items{"0"}));
    EXPECT_EQ(splitListColumn(""), Items{});
    EXPECT_EQ(splitListColumn("A||B|"), (Items{"A", "", "B"}));
    EXPECT_EQ(splitListColumn("A|rest"), (Items{"A", "rest"}));
    EXPECT_EQ(splitListColumn("|"), (Items{""}));
}

// The year of the loan report export is compared as the number it spells,
// as the statement once carried it unquoted.
#include "exchange/exports.h"
#include "exchange_test.h"
#include "library/report.h"
#include "store/value.h"
#include "xls/sheet_text.h"

namespace {

using chengxi::library::reportYear;

TEST(ReportYear, DigitsAreTheirNumberAndAnythingElseCannotBeCompared) {
    EXPECT_EQ(reportYear("2015")->integer(), 2015);
    EXPECT_EQ(reportYear("02015")->integer(), 2015);
    EXPECT_FALSE(reportYear(""));
    EXPECT_FALSE(reportYear("2015a"));
    EXPECT_FALSE(reportYear("-2015"));
    EXPECT_FALSE(reportYear(" 2015"));
    EXPECT_EQ(reportYear("99999999999999999999")->text(), "99999999999999999999");
}

} // namespace

namespace chengxi::testing {
namespace {

using ReportExport = ExchangeTest;

// The box is read-only and stepped by its spin buttons, but whatever it holds
// that is not a number stops the export before a row is written.
TEST_F(ReportExport, AYearThatIsNotANumberCannotBeQueried) {
    ASSERT_TRUE(database().execute("insert into 借阅报表 values(?,?,?,?,?,?)",
                                   {"2015", "A00001", "红楼梦", "1班 张三", "2015年11月16日", ""}));
    for (const char* year : {"", "2015 or 1=1"}) {
        main->control(names::kYear).setText(year);
        clickChoosing(names::kExportReport, inProgramFolder("报表.xls"));
        EXPECT_EQ(main->control(names::kReportExportProgress).text(),
                  "操作失败，可能没有借阅数据！");
        EXPECT_EQ(xls::readFirstSheet(inProgramFolder("报表.xls"))->rows.size(), 1u);
    }
    EXPECT_TRUE(screen.messages().empty());
}

} // namespace
} // namespace chengxi::testing

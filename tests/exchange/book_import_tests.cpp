// What the book import does beyond the rows: the catalogue counts afresh,
// the elapsed time is the clock's, and a failed backup stops it, saying so.
#include "backups/backups.h"
#include "exchange_test.h"
#include "support/unprivileged.h"
#include "xls/test_support.h"

#include <filesystem>

namespace chengxi::testing {
namespace {

// A clock that moves seven seconds every time it is read.
class StridingClock final : public ui::Clock {
public:
    text::DateTime now() override {
        inner_.advanceSeconds(7);
        return inner_.now();
    }
    std::uint32_t ticks() override { return inner_.ticks(); }

private:
    scenario::ScriptedClock inner_;
};

using BookImport = ExchangeTest;

TEST_F(BookImport, TheCatalogueIsCountedAfreshOnlyAfterAnImportRan) {
    program->library().catalogue.bookTotal = 42;
    clickChoosing(names::kChooseBookFile, xls::testing::fixture("books_basic_lo.xls"));
    screen.queueAnswer(ui::Answer::Cancel);
    click(names::kImportBooks);
    EXPECT_EQ(program->library().catalogue.bookTotal, 42);

    screen.queueAnswer(ui::Answer::Ok);
    click(names::kImportBooks);
    EXPECT_EQ(program->library().catalogue.bookTotal, 0);
    EXPECT_EQ(rowsOf("select count(*) from 图书数据"),
              (std::vector<std::vector<std::string>>{{"6"}}));
}

TEST_F(BookImport, AFailedBackupStopsAndSaysSo) {
    // A program folder where nothing new can be made, so no backup either
    // (run unprivileged: the bits do not stop root).
    program.reset();
    runUnprivileged({programFolder.path(), settingsFolder.path()}, [&] {
        main = &openMainWindow();
        std::filesystem::permissions(programFolder.path(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_exec);
        importBooks(xls::testing::fixture("books_basic_lo.xls"));
        std::filesystem::permissions(programFolder.path(), std::filesystem::perms::owner_all);
        ASSERT_EQ(screen.messages().size(), 2u); // the confirmation, then the failure
        EXPECT_EQ(screen.messages().back().message.text,
                  std::string(backups::kBackupFailedMessage) + "图书没有导入。");
        EXPECT_EQ(rowsOf("select count(*) from 图书数据"),
                  (std::vector<std::vector<std::string>>{{"0"}}));
        EXPECT_EQ(main->control(names::kImportStatus).text(), "状态");
        EXPECT_FALSE(main->control(names::kImportBooks).disabled());
    });
}

TEST(BookImportTime, ElapsedSecondsRunFromTheConnectionToTheEnd) {
    scenario::TempFolder programFolder{"chengxi-test-program"};
    scenario::TempFolder settingsFolder{"chengxi-test-settings"};
    scenario::ScriptedScreen screen(programFolder.utf8());
    StridingClock clock;
    app::Program program({programFolder.utf8(), text::joinPath(settingsFolder.utf8(), "mzqk.ini")},
                         screen, clock);
    program.start();
    program.showMainWindow();
    screen.queueFile(xls::testing::fixture("books_basic_lo.xls"));
    program.fire(names::kWindow, names::kChooseBookFile, ui::Event::Clicked);
    screen.queueAnswer(ui::Answer::Ok);
    program.fire(names::kWindow, names::kImportBooks, ui::Event::Clicked);
    // Read once when the import starts and once when it ends.
    EXPECT_EQ(program.window(names::kWindow)->control(names::kImportStatus).text(),
              "导入图书数据结束，耗时 7 秒");
}

} // namespace
} // namespace chengxi::testing

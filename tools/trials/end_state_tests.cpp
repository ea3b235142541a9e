// The trials' checks fed end states that a broken operation could leave:
// each must be caught, and the states a sound operation leaves accepted. The
// states before and after come from the real operations on a small library.
#include "end_state.h"
#include "library/templates.h"
#include "operations.h"
#include "store/connection.h"
#include "text/date_time.h"
#include "text/file_path.h"
#include "trial_run.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace chengxi::trials {
namespace {

namespace fs = std::filesystem;

constexpr LibraryScale kSmall{
    .books = 300, .readers = 50, .reportRows = 100, .importedBooks = 400, .earlierBackup = false};

struct Prepared {
    TrialFolder before;
    TrialFolder after;
    References references;
};

class EndStateChecks : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work_ = fs::temp_directory_path() /
                ("chengxi-end-state-" + std::to_string(std::random_device{}()));
        for (const Operation& operation : operations(kSmall)) {
            for (const char* wanted :
                 {"lend", "return", "book import", "book export", "clear 图书数据"}) {
                if (operation.name.starts_with(wanted)) {
                    const fs::path base = work_ / wanted;
                    const TrialFolder start{base / "start"};
                    operation.prepare(start);
                    Prepared prepared{{base / "before"}, {base / "after"}, {}};
                    prepared.references =
                        takeReferences(operation, start, prepared.before, prepared.after);
                    prepared_.emplace(wanted, std::move(prepared));
                }
            }
        }
    }
    static void TearDownTestSuite() {
        prepared_.clear();
        fs::remove_all(work_);
    }

    static const Prepared& of(const std::string& operation) { return prepared_.at(operation); }

    // The state of a copy of `from`, changed by `spoil`.
    static EndState spoiled(const TrialFolder& from,
                            const std::function<void(const TrialFolder&)>& spoil) {
        const TrialFolder copy{work_ / "spoiled"};
        freshCopy(from, copy);
        spoil(copy);
        return takeEndState(copy.root);
    }

    static Verdict judged(const std::string& operation, const EndState& state) {
        const References& references = of(operation).references;
        return judge(state, references.before, references.after);
    }

    static fs::path work_;
    static std::map<std::string, Prepared> prepared_;
};

fs::path EndStateChecks::work_;
std::map<std::string, Prepared> EndStateChecks::prepared_;

std::function<void(const TrialFolder&)> sql(const std::string& statement) {
    return [statement](const TrialFolder& folder) {
        store::Connection connection;
        ASSERT_TRUE(connection.open(text::fromPath(folder.database()), false));
        ASSERT_TRUE(connection.execute(statement)) << statement;
    };
}

// The backups the operation made are taken away again.
void withoutNewBackups(const TrialFolder& folder, const TrialFolder& before) {
    for (const auto& entry : fs::directory_iterator(folder.program())) {
        const fs::path name = entry.path().filename();
        if (name.extension() == ".sdb" && entry.path() != folder.database() &&
            !fs::exists(before.program() / name)) {
            fs::remove(entry.path());
        }
    }
}

TEST_F(EndStateChecks, AcceptsTheStatesASoundOperationLeaves) {
    for (const auto& [name, prepared] : prepared_) {
        SCOPED_TRACE(name);
        const References& references = prepared.references;
        EXPECT_TRUE(references.usable) << references.fault;
        EXPECT_EQ(references.fault, "");
        const Verdict before = judged(name, references.before);
        EXPECT_EQ(before.fault, "");
        EXPECT_EQ(before.outcome, Outcome::Absent);
        const Verdict after = judged(name, references.after);
        EXPECT_EQ(after.fault, "");
        EXPECT_EQ(after.outcome, Outcome::Complete);
    }
    // Killed between its backup and the clearing: nothing lost.
    const Prepared& clearing = of("clear 图书数据");
    const Verdict backedUp = judged("clear 图书数据", spoiled(clearing.after, [&](const auto& f) {
                                        fs::copy_file(clearing.before.database(), f.database(),
                                                      fs::copy_options::overwrite_existing);
                                    }));
    EXPECT_EQ(backedUp.fault, "");
    EXPECT_EQ(backedUp.outcome, Outcome::BackedUp);
}

TEST_F(EndStateChecks, CatchesEveryWrongEndState) {
    const std::string book = loanBook(kSmall);
    const std::string card = loanCard();
    const std::string today = text::formatDateTime(kSessionTime.date());
    struct Case {
        const char* what;
        const char* operation;
        bool fromAfter;
        std::function<void(const TrialFolder&)> spoil;
        const char* named; // in the fault
    };
    const std::vector<Case> cases = {
        {"a lend whose date and title lists were never written", "lend", true,
         sql("update 读者数据 set 日期编号串='0', 书名串='0' where 借书证号='" + card + "'"),
         "读者数据"},
        {"a lend whose report row has no borrower", "lend", true,
         sql("update 借阅报表 set 借阅者='' where 图书编号='" + book + "' and 还书日期=''"),
         "借阅报表"},
        {"a return that deleted the report row instead of stamping it", "return", true,
         sql("delete from 借阅报表 where 图书编号='" + book + "' and 还书日期='" + today + "'"),
         "借阅报表"},
        {"a return that deleted the lend state", "return", true,
         sql("delete from 借出数据 where 图书编号='" + book + "'"), "借出数据"},
        {"a clearing of 图书数据 that also emptied two other tables", "clear 图书数据", true,
         [](const TrialFolder& folder) {
             sql("delete from 读者数据")(folder);
             sql("delete from 借出数据")(folder);
         },
         "读者数据"},
        {"an import that stored every title empty", "book import", true,
         sql("update 图书数据 set 书名='' where rowid > " + std::to_string(kSmall.importedBooks)),
         "图书数据"},
        {"an earlier export replaced by the bare template", "book export", false,
         [](const TrialFolder& folder) {
             ASSERT_TRUE(library::writeTemplate(library::TemplateKind::Books,
                                                text::fromPath(folder.program() / "export.xls")));
         },
         "export.xls"},
        {"a temporary file left behind", "lend", true,
         [](const TrialFolder& folder) {
             writeBytes(folder.program() / ".chengxi-0123456789abcdef.tmp", "half");
         },
         ".chengxi-0123456789abcdef.tmp"},
        {"a clearing without its backup", "clear 图书数据", true,
         [&](const TrialFolder& folder) { withoutNewBackups(folder, of("clear 图书数据").before); },
         "half done"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Prepared& prepared = of(c.operation);
        const Verdict verdict =
            judged(c.operation, spoiled(c.fromAfter ? prepared.after : prepared.before, c.spoil));
        EXPECT_NE(verdict.fault.find(c.named), std::string::npos) << verdict.fault;
    }
}

TEST_F(EndStateChecks, AnUninterruptedRunKeepsEarlierFiles) {
    const std::set<std::string> mayChange = {"program/数据库.sdb:图书数据"};
    const std::string earlier = "数据库2016年1月1日.sdb";
    // A start with a backup of an older library under the name of the new one.
    const TrialFolder start{work_ / "with earlier backup"};
    freshCopy(of("clear 图书数据").before, start);
    fs::copy_file(start.database(), start.program() / text::toPath(earlier));
    store::Connection older;
    ASSERT_TRUE(older.open(text::fromPath(start.program() / text::toPath(earlier)), false));
    ASSERT_TRUE(older.execute("delete from 读者数据"));
    const EndState before = takeEndState(start.root);

    const auto backUpAndClear = [](const std::string& backup) {
        return [backup](const TrialFolder& folder) {
            fs::copy_file(folder.database(), folder.program() / text::toPath(backup),
                          fs::copy_options::overwrite_existing);
            sql("delete from 图书数据")(folder);
        };
    };
    const EndState replaced = spoiled(start, backUpAndClear(earlier));
    EXPECT_NE(checkUninterruptedRun(before, replaced, mayChange).find(earlier), std::string::npos);
    const EndState kept = spoiled(start, backUpAndClear("数据库2016年1月1日(2).sdb"));
    EXPECT_EQ(checkUninterruptedRun(before, kept, mayChange), "");
    EXPECT_NE(checkUninterruptedRun(before, before, mayChange), "");
}

} // namespace
} // namespace chengxi::trials

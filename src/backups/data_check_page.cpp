#include "backups/data_check_page.h"

#include "backups/backups.h"
#include "backups/data_check.h"
#include "library/templates.h"
#include "store/database.h"
#include "store/transaction.h"
#include "text/file_path.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "xls/file_io.h"
#include "xls/workbook_writer.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace chengxi::backups {
namespace {

namespace names = ui::names::main;

// The findings shown in the report box; the workbook holds them all.
constexpr std::size_t kFindingsShown = 15;
// Rows of one sheet, the header row aside.
constexpr std::size_t kMostReportRows = 65535;

constexpr std::array<FindingKind, 3> kMendableKinds = {
    FindingKind::LoanWithoutLendRow, FindingKind::LendRowWithoutLoan, FindingKind::OpenReportRow};

std::string_view kindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::FileDamaged:
        return "文件损坏";
    case FindingKind::ListsUneven:
        return "借书列表不齐";
    case FindingKind::EmptyBookNumber:
        return "空的图书编号";
    case FindingKind::LoanWithoutLendRow:
        return "借书列表与借出数据不符";
    case FindingKind::LendRowWithoutLoan:
        return "借出数据与借书列表不符";
    case FindingKind::DuplicateCard:
        return "借书证号重复";
    case FindingKind::OpenReportRow:
        return "借阅报表未记还书";
    }
    return {};
}

void tell(const ui::Services& services, std::string text) {
    services.screen.messageBox({std::move(text), "提示"});
}

// Writes every finding (as many as a sheet holds) to the report workbook;
// the path written, or empty when it could not be written.
std::string writeReport(const ui::Services& services, const std::vector<Finding>& findings) {
    constexpr std::array<std::string_view, 5> headers = {"序号", "问题", "涉及", "说明", "可修复"};
    xls::Workbook book = xls::headedWorkbook(headers);
    xls::Sheet& sheet = book.sheets.front();
    const std::size_t rows = std::min(findings.size(), kMostReportRows);
    for (std::size_t i = 0; i < rows; ++i) {
        const Finding& finding = findings[i];
        const auto row = static_cast<std::uint16_t>(i + 1);
        const std::array<xls::Cell, 5> cells = {
            xls::Cell::ofNumber(row, 0, xls::kDefaultCellStyle, static_cast<double>(i + 1)),
            xls::Cell::ofText(row, 1, xls::kDefaultCellStyle,
                              book.strings.intern(kindName(finding.kind))),
            xls::Cell::ofText(row, 2, xls::kDefaultCellStyle, book.strings.intern(finding.subject)),
            xls::Cell::ofText(row, 3, xls::kDefaultCellStyle, book.strings.intern(finding.detail)),
            xls::Cell::ofText(row, 4, xls::kDefaultCellStyle,
                              book.strings.intern(finding.mendable ? "是" : "否")),
        };
        sheet.putRow(row, cells);
    }
    const auto bytes = xls::buildWorkbookFile(book);
    const std::filesystem::path target =
        text::toPath(services.programFolder) / text::toPath(kCheckReportFileName);
    if (!bytes || !xls::replaceFile(target, *bytes)) {
        return {};
    }
    return text::fromPath(target);
}

std::string reportText(const std::vector<Finding>& findings, const std::string& reportPath) {
    std::string text = "检查发现 " + std::to_string(findings.size()) + " 处问题";
    text += reportPath.empty() ? "（检查结果无法写入文件）：\n"
                               : "，全部列在“" + reportPath + "”中：\n";
    for (std::size_t i = 0; i < findings.size() && i < kFindingsShown; ++i) {
        text += "\n" + std::to_string(i + 1) + ". " + std::string(kindName(findings[i].kind)) +
                "　" + findings[i].subject + "：" + findings[i].detail;
    }
    if (findings.size() > kFindingsShown) {
        text += "\n……";
    }
    return text;
}

std::size_t mendableCount(const std::vector<Finding>& findings, FindingKind kind) {
    return static_cast<std::size_t>(
        std::count_if(findings.begin(), findings.end(), [kind](const Finding& finding) {
            return finding.kind == kind && finding.mendable;
        }));
}

void mend(const ui::Services& services, const std::vector<Finding>& findings,
          const std::vector<FindingKind>& chosen, std::size_t count) {
    // What the mending changes stays in the backup.
    if (const BackupResult saved = backup(services); !saved.made) {
        tell(services, std::string(saved.failure) + "没有修复。");
        return;
    }
    store::Connection& connection = services.database.connection;
    store::Transaction transaction(connection);
    if (!transaction.began() || !mendFindings(connection, findings, chosen, services.clock.now()) ||
        !transaction.commit()) {
        transaction.rollback();
        tell(services, "修复失败，数据库没有改动。");
        return;
    }
    tell(services, "已修复 " + std::to_string(count) + " 处问题。修复前的数据在刚做的备份中。");
}

} // namespace

void checkData(const ui::Services& services) {
    store::Database& database = services.database;
    if (!database.connection.isOpen()) {
        tell(services, "数据库没有打开，无法检查。");
        return;
    }
    const DataCheck check = checkLibraryData(database.connection, database.records);
    if (!check.complete) {
        tell(services, "检查数据失败：数据库无法完整读取，可能正被其他程序使用。");
        return;
    }
    if (check.findings.empty()) {
        tell(services, "检查完毕，没有发现问题。");
        return;
    }
    tell(services, reportText(check.findings, writeReport(services, check.findings)));
    if (database.connection.damageFound() || database.connection.isReadOnly()) {
        return;
    }
    std::vector<FindingKind> chosen;
    std::size_t count = 0;
    for (const FindingKind kind : kMendableKinds) {
        const std::size_t found = mendableCount(check.findings, kind);
        if (found == 0) {
            continue;
        }
        const ui::Message question{.text = "要修复“" + std::string(kindName(kind)) + "”的 " +
                                           std::to_string(found) + " 处问题吗？修复方法：" +
                                           mendingOf(kind, services.clock.now()) + "。",
                                   .title = "警告",
                                   .buttons = ui::Buttons::OkCancel,
                                   .defaultButton = ui::Answer::Cancel};
        if (services.screen.messageBox(question) == ui::Answer::Ok) {
            chosen.push_back(kind);
            count += found;
        }
    }
    if (!chosen.empty()) {
        mend(services, check.findings, chosen, count);
    }
}

void bindDataCheck(ui::EventBinder& binder, const ui::Services& services) {
    binder.onClick(names::kWindow, names::kCheckData, [&services] { checkData(services); });
}

} // namespace chengxi::backups

#include "library/schema.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <string_view>

namespace chengxi::ui {
namespace {

using K = ControlKind;
using A = Alignment;
using sv = std::string_view;
namespace n = names::main;

constexpr sv kPageCaptions[] = {"修改密码", "数据操作", "导入图书", "导出表格", "借阅报表",
                                "读者管理", "搜索图书", "借书还书", "统计"};

constexpr ColumnRecord kOverdueColumns[] = {
    {"班别", 80},      {"姓名", 70},        {"借书证号", 90}, {"图书编号", 80}, {"书名", 180},
    {"借书日期", 100}, {"应还书日期", 100}, {"逾期天数", 64}, {"备注", 200}};
constexpr sv kOverviewViews[] = {"逾期一览", "借阅统计"};
constexpr sv kOverdueClasses[] = {"全部班别"};
constexpr sv kOverdueDayPresets[] = {"1 天", "7 天", "30 天", "自定"};

constexpr ColumnRecord kMonthlyColumns[] = {{"月份", 60}, {"借出", 60}, {"归还", 60}};
constexpr ColumnRecord kTopTitleColumns[] = {{"名次", 40}, {"书名", 270}, {"借阅次数", 64}};
constexpr ColumnRecord kClassLoanColumns[] = {{"班别", 100}, {"借阅次数", 64}};
constexpr ColumnRecord kIdleReaderColumns[] = {{"班别", 80}, {"姓名", 70}, {"借书证号", 90}};
constexpr ColumnRecord kLateReturnColumns[] = {
    {"借阅者", 100}, {"书名", 150}, {"借书日期", 100}, {"还书日期", 100}, {"逾期天数", 64}};

constexpr sv kSearchModes[] = {"书名", "图书编号", "条形码", "全部图书"};

constexpr ColumnRecord kReportColumns[] = {{"图书编号", 80},
                                           {"书名", 250},
                                           {"借阅者（班别－姓名）", 150},
                                           {"借书日期", 100},
                                           {"还书日期", 100}};

constexpr ColumnRecord kLoanColumns[] = {
    {"图书编号", 80}, {"书名", 300}, {"借书日期", 100}, {"应还书日期", 100}, {"剩余天数", 80}};

constexpr ColumnRecord kReaderColumns[] = {
    {"序号", 50}, {"班别", 100}, {"姓名", 80}, {"借书证号", 100}, {"未还图书编号", 500}};

constexpr ColumnRecord kSearchColumns[] = {
    {"序号", 50}, {"书名", 350}, {"著译者", 90}, {"图书编号", 80}, {"书架名称", 80}};

constexpr ColumnRecord kSampleColumns[] = {
    {"A", 90, A::Left},   {"B", 60, A::Centre},  {"C", 50, A::Centre}, {"D", 60, A::Centre},
    {"E", 50, A::Centre}, {"F", 195, A::Centre}, {"G", 80, A::Centre}, {"H", 100, A::Centre},
    {"I", 40, A::Centre}, {"J", 40, A::Centre},  {"K", 50, A::Centre}, {"L", 50, A::Centre},
    {"M", 60, A::Centre}, {"N", 60, A::Centre},  {"O", 60, A::Centre}, {"P", 60, A::Centre},
};

constexpr sv kSampleBook[] = {"9787538722314",
                              "A00001",
                              "",
                              "I文学",
                              "1",
                              "纸风筝丛书--彼若盛花（上下册）",
                              "半夏",
                              "时代文艺出版社",
                              "169",
                              "16开",
                              "2008-1",
                              "第一版",
                              "15.00元",
                              "",
                              "",
                              "0"};

// The import page shows the book template's header row above a sample book.
constexpr std::span<const sv> kSampleRows[] = {library::book::kColumns, kSampleBook};

constexpr FontRecord kTitleFont = {.kai = true, .pixelSize = 21, .bold = true};
constexpr FontRecord kTabFont = {.kai = true, .pixelSize = 16, .bold = true};
constexpr FontRecord kComboFont = {.pixelSize = 20};

// One control per row, as the form lists them.
// clang-format off
constexpr ControlRecord kControls[] = {
    // The header strip and the window's own objects.
    {.name = n::kIcon, .kind = K::PictureBox, .left = 2, .top = 2, .width = 32, .height = 32,
     .picture = Picture::Icon},
    {.name = n::kTitle, .kind = K::TransparentLabel, .left = 38, .top = 2, .width = 234,
     .height = 32, .text = "澄溪图书管理系统", .font = kTitleFont},
    {.name = n::kMinimise, .kind = K::PictureButton, .left = 701, .top = 2, .width = 25,
     .height = 16, .picture = Picture::Minimise},
    {.name = n::kOrnament, .kind = K::PictureBox, .left = 728, .top = 2, .width = 24, .height = 16,
     .picture = Picture::HeaderOrnament},
    {.name = n::kClose, .kind = K::PictureButton, .left = 754, .top = 2, .width = 44, .height = 16,
     .picture = Picture::Close},
    {.name = n::kTabs, .kind = K::TabControl, .left = 1, .top = 47, .width = 798, .height = 552,
     .font = kTabFont, .items = kPageCaptions},
    {.name = n::kSpreadsheet, .kind = K::SpreadsheetApplication},
    {.name = n::kWorkbook, .kind = K::Workbook},
    {.name = n::kWorkbookConnection, .kind = K::WorkbookConnection},
    {.name = n::kFileDialog, .kind = K::FileDialog, .filter = "Excel 工作簿|*.xls;*.xlsx",
     .defaultExtension = ".xls"},

    // Page 0, 修改密码
    {.name = n::kNewPasswordCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 0,
     .left = 239, .top = 175, .width = 48, .height = 32, .text = "新密码："},
    {.name = n::kOldPasswordCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 0,
     .left = 239, .top = 135, .width = 48, .height = 24, .text = "旧密码："},
    {.name = n::kUserNameCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 0,
     .left = 239, .top = 88, .width = 48, .height = 32, .text = "用户名："},
    {.name = n::kUserName, .kind = K::EditBox, .parent = n::kTabs, .page = 0, .left = 291,
     .top = 89, .width = 216, .height = 30, .text = "图书管理员", .input = InputMode::ReadOnly},
    {.name = n::kOldPassword, .kind = K::EditBox, .parent = n::kTabs, .page = 0, .left = 291,
     .top = 132, .width = 216, .height = 30, .input = InputMode::Password},
    {.name = n::kNewPassword, .kind = K::EditBox, .parent = n::kTabs, .page = 0, .left = 291,
     .top = 176, .width = 216, .height = 30, .input = InputMode::Password},
    {.name = n::kSavePassword, .kind = K::Button, .parent = n::kTabs, .page = 0, .left = 335,
     .top = 252, .width = 128, .height = 48, .text = "保存登录信息"},

    // Page 1, 数据操作
    {.name = n::kBackupsCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 1,
     .left = 347, .top = 89, .width = 104, .height = 24, .text = "已备份的数据文件"},
    {.name = n::kBackupList, .kind = K::ListBox, .parent = n::kTabs, .page = 1, .left = 3,
     .top = 121, .width = 792, .height = 427},
    {.name = n::kClearLendState, .kind = K::Button, .parent = n::kTabs, .page = 1, .left = 594,
     .top = 46, .width = 128, .height = 35, .text = "清空借出数据"},
    {.name = n::kClearReaders, .kind = K::Button, .parent = n::kTabs, .page = 1, .left = 418,
     .top = 46, .width = 128, .height = 35, .text = "清空读者数据"},
    {.name = n::kClearBooks, .kind = K::Button, .parent = n::kTabs, .page = 1, .left = 242,
     .top = 46, .width = 128, .height = 35, .text = "清空图书数据"},
    {.name = n::kBackup, .kind = K::Button, .parent = n::kTabs, .page = 1, .left = 66, .top = 46,
     .width = 128, .height = 35, .text = "备份数据库"},
    {.name = n::kRestoreBackup, .kind = K::Button, .parent = n::kTabs, .page = 1, .left = 667,
     .top = 85, .width = 128, .height = 32, .text = "恢复选中的备份"},
    {.name = n::kCheckData, .kind = K::Button, .parent = n::kTabs, .page = 1, .left = 3, .top = 85,
     .width = 128, .height = 32, .text = "检查数据"},

    // Page 2, 导入图书
    {.name = n::kImportStatus, .kind = K::Label, .parent = n::kTabs, .page = 2, .left = 3,
     .top = 521, .width = 792, .height = 24, .text = "状态"},
    {.name = n::kPreviewCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 2,
     .left = 3, .top = 225, .width = 116, .height = 16, .text = "文件部分内容预览："},
    {.name = n::kSampleCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 2,
     .left = 3, .top = 41, .width = 300, .height = 40, .text = "Excel文件中的内容参考以下示例（图书编号不能为空）"},
    {.name = n::kImportBooks, .kind = K::Button, .parent = n::kTabs, .page = 2, .left = 696,
     .top = 184, .width = 88, .height = 30, .text = "导入"},
    {.name = n::kSampleList, .kind = K::ListView, .parent = n::kTabs, .page = 2, .left = 3,
     .top = 80, .width = 792, .height = 73, .columns = kSampleColumns, .rows = kSampleRows},
    {.name = n::kChooseBookFile, .kind = K::Button, .parent = n::kTabs, .page = 2, .left = 3,
     .top = 184, .width = 88, .height = 32, .text = "选择Excel文件"},
    {.name = n::kBookFilePath, .kind = K::EditBox, .parent = n::kTabs, .page = 2, .left = 95,
     .top = 185, .width = 585, .height = 30, .disabled = true},
    {.name = n::kPreviewList, .kind = K::ListView, .parent = n::kTabs, .page = 2, .left = 3,
     .top = 248, .width = 792, .height = 257},

    // Page 3, 导出表格
    {.name = n::kProgressCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 3,
     .left = 373, .top = 241, .width = 52, .height = 24, .text = "进度"},
    {.name = n::kReaderExportPathCaption, .kind = K::TransparentLabel, .parent = n::kTabs,
     .page = 3, .left = 39, .top = 131, .width = 32, .height = 32, .text = "路径："},
    {.name = n::kBookExportPathCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 3,
     .left = 39, .top = 63, .width = 32, .height = 32, .text = "路径："},
    {.name = n::kBookExportPath, .kind = K::EditBox, .parent = n::kTabs, .page = 3, .left = 71,
     .top = 64, .width = 561, .height = 30, .disabled = true},
    {.name = n::kExportBooks, .kind = K::Button, .parent = n::kTabs, .page = 3, .left = 656,
     .top = 64, .width = 120, .height = 30, .text = "导出图书数据"},
    {.name = n::kReaderExportPath, .kind = K::EditBox, .parent = n::kTabs, .page = 3, .left = 71,
     .top = 132, .width = 561, .height = 30, .disabled = true},
    {.name = n::kExportReaders, .kind = K::Button, .parent = n::kTabs, .page = 3, .left = 656,
     .top = 132, .width = 120, .height = 30, .text = "导出读者数据"},
    {.name = n::kExportProgress, .kind = K::ProgressBar, .parent = n::kTabs, .page = 3, .left = 27,
     .top = 203, .width = 744, .height = 32},

    // Page 4, 借阅报表
    {.name = n::kReportExportProgress, .kind = K::Label, .parent = n::kTabs, .page = 4, .left = 3,
     .top = 524, .width = 792, .height = 24, .text = "导出进度"},
    {.name = n::kReportList, .kind = K::ListView, .parent = n::kTabs, .page = 4, .left = 3,
     .top = 82, .width = 792, .height = 439, .columns = kReportColumns},
    {.name = n::kYearCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 4, .left = 8,
     .top = 40, .width = 32, .height = 24, .text = "年度"},
    {.name = n::kYear, .kind = K::EditBox, .parent = n::kTabs, .page = 4, .left = 40, .top = 40,
     .width = 120, .height = 24, .text = "2015", .input = InputMode::ReadOnly, .spin = true},
    {.name = n::kShowReport, .kind = K::Button, .parent = n::kTabs, .page = 4, .left = 202,
     .top = 40, .width = 78, .height = 24, .text = "查阅"},
    {.name = n::kExportReport, .kind = K::Button, .parent = n::kTabs, .page = 4, .left = 296,
     .top = 40, .width = 78, .height = 24, .text = "导出"},

    // Page 5, 读者管理
    {.name = n::kReaderCount, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 5,
     .left = 559, .top = 417, .width = 168, .height = 24, .text = "当前读者数量："},
    {.name = n::kLookupCardCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 5,
     .left = 32, .top = 416, .width = 56, .height = 32, .text = "借书证号"},
    {.name = n::kAddCardCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 5,
     .left = 375, .top = 457, .width = 56, .height = 32, .text = "借书证号"},
    {.name = n::kNameCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 5,
     .left = 191, .top = 457, .width = 32, .height = 32, .text = "姓名"},
    {.name = n::kClassCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 5,
     .left = 31, .top = 457, .width = 32, .height = 32, .text = "班别"},
    {.name = n::kReaderList, .kind = K::ListView, .parent = n::kTabs, .page = 5, .left = 3,
     .top = 25, .width = 792, .height = 384, .columns = kReaderColumns},
    {.name = n::kLookupCard, .kind = K::EditBox, .parent = n::kTabs, .page = 5, .left = 86,
     .top = 413, .width = 132, .height = 30},
    {.name = n::kViewReader, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 226,
     .top = 413, .width = 104, .height = 30, .text = "查看读者信息"},
    {.name = n::kDeleteReader, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 336,
     .top = 413, .width = 104, .height = 30, .text = "删除读者"},
    {.name = n::kRefreshReaders, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 447,
     .top = 413, .width = 104, .height = 30, .text = "刷新"},
    {.name = n::kClass, .kind = K::EditBox, .parent = n::kTabs, .page = 5, .left = 58, .top = 458,
     .width = 107, .height = 30},
    {.name = n::kName, .kind = K::EditBox, .parent = n::kTabs, .page = 5, .left = 223, .top = 458,
     .width = 107, .height = 30},
    {.name = n::kAddCard, .kind = K::EditBox, .parent = n::kTabs, .page = 5, .left = 428,
     .top = 458, .width = 107, .height = 30},
    {.name = n::kAddReader, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 559,
     .top = 458, .width = 104, .height = 30, .text = "添加"},
    {.name = n::kChooseReaderFile, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 23,
     .top = 499, .width = 104, .height = 24, .text = "从文件导入"},
    {.name = n::kReaderFilePath, .kind = K::EditBox, .parent = n::kTabs, .page = 5, .left = 135,
     .top = 499, .width = 400, .height = 24, .disabled = true},
    {.name = n::kImportReaders, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 559,
     .top = 496, .width = 104, .height = 30, .text = "导入"},
    {.name = n::kEditReader, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 671,
     .top = 458, .width = 104, .height = 30, .text = "保存修改"},
    {.name = n::kPromote, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 671,
     .top = 496, .width = 104, .height = 30, .text = "年终升级"},
    {.name = n::kCards, .kind = K::Button, .parent = n::kTabs, .page = 5, .left = 731,
     .top = 413, .width = 60, .height = 30, .text = "借书证"},

    // Page 6, 搜索图书
    {.name = n::kSearchStatus, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 6,
     .left = 3, .top = 529, .width = 792, .height = 24, .text = "状态"},
    {.name = n::kRowsPerPageCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 6,
     .left = 463, .top = 35, .width = 48, .height = 32, .text = "每页行数"},
    {.name = n::kSearchMode, .kind = K::ComboBox, .parent = n::kTabs, .page = 6, .left = 8,
     .top = 34, .width = 112, .height = 30, .font = kComboFont, .items = kSearchModes},
    {.name = n::kSearchText, .kind = K::EditBox, .parent = n::kTabs, .page = 6, .left = 127,
     .top = 34, .width = 265, .height = 30, .text = "红楼梦"},
    {.name = n::kSearch, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 400, .top = 34,
     .width = 48, .height = 30, .text = "搜索"},
    {.name = n::kRowsPerPage, .kind = K::EditBox, .parent = n::kTabs, .page = 6, .left = 512,
     .top = 34, .width = 56, .height = 32, .text = "500", .input = InputMode::Integer},
    {.name = n::kPageUp, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 574, .top = 34,
     .width = 40, .height = 30, .text = "上页", .disabled = true},
    {.name = n::kPageDown, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 623, .top = 34,
     .width = 40, .height = 30, .text = "下页", .disabled = true},
    {.name = n::kSelectedBook, .kind = K::EditBox, .parent = n::kTabs, .page = 6, .left = 680,
     .top = 34, .width = 59, .height = 30, .input = InputMode::ReadOnly},
    {.name = n::kCopyBookNumber, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 744,
     .top = 34, .width = 48, .height = 30, .text = "复制"},
    {.name = n::kSearchResults, .kind = K::ListView, .parent = n::kTabs, .page = 6, .left = 3,
     .top = 72, .width = 792, .height = 455, .columns = kSearchColumns},
    // Keeping the catalogue: beside the end of the status line, which the
    // status texts never reach; each opens the book window or withdraws.
    {.name = n::kAddBook, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 548,
     .top = 529, .width = 78, .height = 22, .text = "添加图书"},
    {.name = n::kEditBook, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 631,
     .top = 529, .width = 78, .height = 22, .text = "修改图书"},
    {.name = n::kWithdrawBook, .kind = K::Button, .parent = n::kTabs, .page = 6, .left = 714,
     .top = 529, .width = 78, .height = 22, .text = "下架图书"},

    // Page 7, 借书还书
    {.name = n::kLogGroup, .kind = K::GroupBox, .parent = n::kTabs, .page = 7, .left = 463,
     .top = 83, .width = 328, .height = 80, .text = "操作日志"},
    {.name = n::kBookState, .kind = K::TransparentLabel, .parent = n::kLogGroup, .left = 4,
     .top = 18, .width = 320, .height = 24},
    {.name = n::kBorrower, .kind = K::TransparentLabel, .parent = n::kLogGroup, .left = 8,
     .top = 47, .width = 320, .height = 24},
    {.name = n::kReaderGroup, .kind = K::GroupBox, .parent = n::kTabs, .page = 7, .left = 50,
     .top = 83, .width = 365, .height = 80, .text = "读者信息"},
    {.name = n::kReaderSummary, .kind = K::TransparentLabel, .parent = n::kReaderGroup, .left = 18,
     .top = 28, .width = 328, .height = 24},
    {.name = n::kContact, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 7, .left = 623,
     .top = 521, .width = 168, .height = 24, .text = "澄溪学校图书室 · 1.0 版"},
    {.name = n::kBookNumberCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 7,
     .left = 465, .top = 33, .width = 56, .height = 32, .text = "图书编号："},
    {.name = n::kCardCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 7,
     .left = 55, .top = 33, .width = 64, .height = 32, .text = "借书证号："},
    {.name = n::kLoanCard, .kind = K::EditBox, .parent = n::kTabs, .page = 7, .left = 116,
     .top = 33, .width = 190, .height = 30, .text = "201409001"},
    {.name = n::kShowLoans, .kind = K::Button, .parent = n::kTabs, .page = 7, .left = 311,
     .top = 33, .width = 104, .height = 30, .text = "查询"},
    {.name = n::kLoanBook, .kind = K::EditBox, .parent = n::kTabs, .page = 7, .left = 523,
     .top = 33, .width = 141, .height = 30, .text = "A00001"},
    {.name = n::kLend, .kind = K::Button, .parent = n::kTabs, .page = 7, .left = 677, .top = 32,
     .width = 95, .height = 32, .text = "借书"},
    {.name = n::kLoanList, .kind = K::ListView, .parent = n::kTabs, .page = 7, .left = 3,
     .top = 190, .width = 792, .height = 323, .columns = kLoanColumns},
    {.name = n::kReturn, .kind = K::Button, .parent = n::kTabs, .page = 7, .left = 331, .top = 516,
     .width = 136, .height = 32, .text = "还书"},
    {.name = n::kReturnByBook, .kind = K::Button, .parent = n::kTabs, .page = 7, .left = 476,
     .top = 516, .width = 136, .height = 32, .text = "按书还书"},

    // Page 8, 统计: the overdue overview or the loan statistics, as chosen.
    {.name = n::kOverviewView, .kind = K::ComboBox, .parent = n::kTabs, .page = 8, .left = 8,
     .top = 34, .width = 110, .height = 30, .items = kOverviewViews},
    {.name = n::kOverdueClassCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 124, .top = 38, .width = 32, .height = 24, .text = "班别"},
    {.name = n::kOverdueClass, .kind = K::ComboBox, .parent = n::kTabs, .page = 8, .left = 156,
     .top = 34, .width = 140, .height = 30, .items = kOverdueClasses},
    {.name = n::kOverdueDaysCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 304, .top = 38, .width = 60, .height = 24, .text = "逾期至少"},
    {.name = n::kOverdueDaysPreset, .kind = K::ComboBox, .parent = n::kTabs, .page = 8,
     .left = 364, .top = 34, .width = 80, .height = 30, .items = kOverdueDayPresets},
    {.name = n::kOverdueDays, .kind = K::EditBox, .parent = n::kTabs, .page = 8, .left = 450,
     .top = 34, .width = 50, .height = 30, .text = "1", .input = InputMode::Integer},
    {.name = n::kShowOverdue, .kind = K::Button, .parent = n::kTabs, .page = 8, .left = 510,
     .top = 34, .width = 70, .height = 30, .text = "查询"},
    {.name = n::kPrintOverdue, .kind = K::Button, .parent = n::kTabs, .page = 8, .left = 590,
     .top = 34, .width = 70, .height = 30, .text = "打印"},
    {.name = n::kExportOverdue, .kind = K::Button, .parent = n::kTabs, .page = 8, .left = 670,
     .top = 34, .width = 70, .height = 30, .text = "导出"},
    {.name = n::kOverdueList, .kind = K::ListView, .parent = n::kTabs, .page = 8, .left = 3,
     .top = 72, .width = 792, .height = 447, .columns = kOverdueColumns},
    {.name = n::kOverdueSummary, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 3, .top = 524, .width = 792, .height = 24},
    {.name = n::kStatisticsYearCaption, .kind = K::TransparentLabel, .parent = n::kTabs,
     .page = 8, .left = 124, .top = 38, .width = 32, .height = 24, .text = "年度"},
    {.name = n::kStatisticsYear, .kind = K::EditBox, .parent = n::kTabs, .page = 8, .left = 156,
     .top = 36, .width = 100, .height = 26, .text = "2015", .input = InputMode::ReadOnly,
     .spin = true},
    {.name = n::kShowStatistics, .kind = K::Button, .parent = n::kTabs, .page = 8, .left = 266,
     .top = 34, .width = 70, .height = 30, .text = "统计"},
    {.name = n::kPrintStatistics, .kind = K::Button, .parent = n::kTabs, .page = 8, .left = 346,
     .top = 34, .width = 70, .height = 30, .text = "打印"},
    {.name = n::kExportStatistics, .kind = K::Button, .parent = n::kTabs, .page = 8, .left = 426,
     .top = 34, .width = 70, .height = 30, .text = "导出"},
    {.name = n::kMonthlyCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 3, .top = 68, .width = 200, .height = 20, .text = "每月借出与归还"},
    {.name = n::kMonthlyChart, .kind = K::ListView, .parent = n::kTabs, .page = 8, .left = 3,
     .top = 88, .width = 390, .height = 200, .columns = kMonthlyColumns, .barChart = true},
    {.name = n::kTopTitlesCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 399, .top = 68, .width = 200, .height = 20, .text = "借阅最多的 20 种图书"},
    {.name = n::kTopTitles, .kind = K::ListView, .parent = n::kTabs, .page = 8, .left = 399,
     .top = 88, .width = 396, .height = 200, .columns = kTopTitleColumns},
    {.name = n::kClassLoansCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 3, .top = 292, .width = 190, .height = 20, .text = "各班借阅次数"},
    {.name = n::kClassLoans, .kind = K::ListView, .parent = n::kTabs, .page = 8, .left = 3,
     .top = 312, .width = 190, .height = 208, .columns = kClassLoanColumns},
    {.name = n::kIdleReadersCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 197, .top = 292, .width = 250, .height = 20, .text = "本年度没有借书的读者"},
    {.name = n::kIdleReaders, .kind = K::ListView, .parent = n::kTabs, .page = 8, .left = 197,
     .top = 312, .width = 250, .height = 208, .columns = kIdleReaderColumns},
    {.name = n::kLateReturnsCaption, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 451, .top = 292, .width = 344, .height = 20, .text = "过了应还书日期才归还的图书"},
    {.name = n::kLateReturns, .kind = K::ListView, .parent = n::kTabs, .page = 8, .left = 451,
     .top = 312, .width = 344, .height = 208, .columns = kLateReturnColumns},
    {.name = n::kStatisticsSummary, .kind = K::TransparentLabel, .parent = n::kTabs, .page = 8,
     .left = 3, .top = 524, .width = 792, .height = 24},
};
// clang-format on

constexpr FormRecord kMainForm = {
    .id = n::kWindow,
    .caption = "澄溪图书管理系统",
    .width = 800,
    .height = 600,
    .controls = kControls,
};

} // namespace

const FormRecord& mainForm() {
    return kMainForm;
}

} // namespace chengxi::ui

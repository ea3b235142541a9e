#pragma once

#include "library/schema.h"

#include <string_view>

// The real names of the controls, in one place so that a typo is a compile error.
namespace chengxi::ui::names {

namespace login {
inline constexpr std::string_view kWindow = "login";
inline constexpr std::string_view kOrnament = "图片框1";
inline constexpr std::string_view kMinimise = "图形按钮_最小化";
inline constexpr std::string_view kIcon = "图片框_图标";
inline constexpr std::string_view kClose = "图形按钮_关闭";
inline constexpr std::string_view kTitle = "透明标签4";
inline constexpr std::string_view kCodePanel = "画板1";
inline constexpr std::string_view kCodeCaption = "透明标签3";
inline constexpr std::string_view kPasswordCaption = "透明标签2";
inline constexpr std::string_view kUserNameCaption = "透明标签1";
inline constexpr std::string_view kCode = "编辑框_验证码";
inline constexpr std::string_view kLogIn = "按钮登录系统";
inline constexpr std::string_view kPassword = "编辑框pass";
inline constexpr std::string_view kUserName = "编辑框name";
} // namespace login

namespace main {
inline constexpr std::string_view kWindow = "main";
inline constexpr std::string_view kIcon = "图片框_图标";
inline constexpr std::string_view kTitle = "透明标签1";
inline constexpr std::string_view kMinimise = "图形按钮_最小化";
inline constexpr std::string_view kOrnament = "图片框1";
inline constexpr std::string_view kClose = "图形按钮_关闭";
inline constexpr std::string_view kTabs = "高级选择夹1";
inline constexpr std::string_view kSpreadsheet = "Excel程序1";
inline constexpr std::string_view kWorkbook = "Excel工作簿1";
inline constexpr std::string_view kWorkbookConnection = "外部数据库1";
inline constexpr std::string_view kFileDialog = "通用对话框1";

// Page 0, 修改密码
inline constexpr std::string_view kNewPasswordCaption = "透明标签4";
inline constexpr std::string_view kOldPasswordCaption = "透明标签3";
inline constexpr std::string_view kUserNameCaption = "透明标签2";
inline constexpr std::string_view kUserName = "编辑框_用户名_改密码";
inline constexpr std::string_view kOldPassword = "编辑框_旧密码";
inline constexpr std::string_view kNewPassword = "编辑框_新密码";
inline constexpr std::string_view kSavePassword = "按钮_修改登录信息";

// Page 1, 数据操作
inline constexpr std::string_view kBackupsCaption = "透明标签15";
inline constexpr std::string_view kBackupList = "列表框1";
inline constexpr std::string_view kClearLendState = "按钮_清空借出数据";
inline constexpr std::string_view kClearReaders = "按钮_清空读者数据";
inline constexpr std::string_view kClearBooks = "按钮_清空图书数据";
inline constexpr std::string_view kBackup = "按钮_备份数据库";
inline constexpr std::string_view kRestoreBackup = "按钮_恢复备份";
inline constexpr std::string_view kCheckData = "按钮_检查数据";

// Page 2, 导入图书
inline constexpr std::string_view kImportStatus = "标签_图书导入状态";
inline constexpr std::string_view kPreviewCaption = "透明标签6";
inline constexpr std::string_view kSampleCaption = "透明标签5";
inline constexpr std::string_view kImportBooks = "按钮_导入图书";
inline constexpr std::string_view kSampleList = "超级列表框示例";
inline constexpr std::string_view kChooseBookFile = "按钮_选择图书数据文件";
inline constexpr std::string_view kBookFilePath = "编辑框_图书文件路径";
inline constexpr std::string_view kPreviewList = "超级列表框_图书文件预览";

// Page 3, 导出表格
inline constexpr std::string_view kProgressCaption = "透明标签21";
inline constexpr std::string_view kReaderExportPathCaption = "透明标签20";
inline constexpr std::string_view kBookExportPathCaption = "透明标签19";
inline constexpr std::string_view kBookExportPath = "编辑框_图书数据文件名";
inline constexpr std::string_view kExportBooks = "按钮_导出图书数据";
inline constexpr std::string_view kReaderExportPath = "编辑框_读者数据文件名";
inline constexpr std::string_view kExportReaders = "按钮_导出读者数据";
inline constexpr std::string_view kExportProgress = "进度条1";

// Page 4, 借阅报表
inline constexpr std::string_view kReportExportProgress = "标签_导出借阅报表进度";
inline constexpr std::string_view kReportList = "超级列表框_借阅报表显示";
inline constexpr std::string_view kYearCaption = "透明标签14";
inline constexpr std::string_view kYear = "编辑框1";
inline constexpr std::string_view kShowReport = "按钮_查阅借阅报表";
inline constexpr std::string_view kExportReport = "按钮_导出借阅报表";

// Page 5, 读者管理
inline constexpr std::string_view kReaderCount = "透明标签_当前读者数量";
inline constexpr std::string_view kLookupCardCaption = "透明标签10";
inline constexpr std::string_view kAddCardCaption = "透明标签9";
inline constexpr std::string_view kNameCaption = "透明标签8";
inline constexpr std::string_view kClassCaption = "透明标签7";
inline constexpr std::string_view kReaderList = "超级列表框_显示读者信息";
inline constexpr std::string_view kLookupCard = "编辑框_转到借书证号";
inline constexpr std::string_view kViewReader = "按钮_查看读者信息";
inline constexpr std::string_view kDeleteReader = "按钮_删除选中的读者";
inline constexpr std::string_view kRefreshReaders = "按钮_刷新";
inline constexpr std::string_view kClass = "编辑框_班别";
inline constexpr std::string_view kName = "编辑框_姓名";
inline constexpr std::string_view kAddCard = "编辑框_借书证号_添加";
inline constexpr std::string_view kAddReader = "按钮_添加读者";
inline constexpr std::string_view kChooseReaderFile = "按钮选择读者信息文件";
inline constexpr std::string_view kReaderFilePath = "编辑框读者信息文件路径";
inline constexpr std::string_view kImportReaders = "按钮导入读者";
inline constexpr std::string_view kEditReader = "按钮_修改读者";
inline constexpr std::string_view kPromote = "按钮_年终升级";
inline constexpr std::string_view kCards = "按钮_借书证";

// Page 6, 搜索图书
inline constexpr std::string_view kSearchStatus = "透明标签_显示图书搜索结果";
inline constexpr std::string_view kRowsPerPageCaption = "透明标签11";
inline constexpr std::string_view kSearchMode = "组合框1";
inline constexpr std::string_view kSearchText = "编辑框_要搜索的书名";
inline constexpr std::string_view kSearch = "按钮_搜索图书";
inline constexpr std::string_view kRowsPerPage = "编辑框_每页行数";
inline constexpr std::string_view kPageUp = "按钮_上页";
inline constexpr std::string_view kPageDown = "按钮_下页";
inline constexpr std::string_view kSelectedBook = "编辑框_选中的图书编号";
inline constexpr std::string_view kCopyBookNumber = "按钮_复制图书编号";
inline constexpr std::string_view kSearchResults = "超级列表框_显示图书搜索结果";
inline constexpr std::string_view kAddBook = "按钮_添加图书";
inline constexpr std::string_view kEditBook = "按钮_修改图书";
inline constexpr std::string_view kWithdrawBook = "按钮_下架图书";

// Page 7, 借书还书
inline constexpr std::string_view kBookState = "透明标签_图书是否可借";
inline constexpr std::string_view kBorrower = "透明标签_借阅者";
inline constexpr std::string_view kLogGroup = "分组框_操作日志";
inline constexpr std::string_view kReaderSummary = "透明标签_读者信息";
inline constexpr std::string_view kContact = "透明标签18";
inline constexpr std::string_view kBookNumberCaption = "透明标签13";
inline constexpr std::string_view kCardCaption = "透明标签12";
inline constexpr std::string_view kLoanCard = "编辑框_借书证号_借书还书";
inline constexpr std::string_view kShowLoans = "按钮_查询借书情况";
inline constexpr std::string_view kLoanBook = "编辑框_借书编号";
inline constexpr std::string_view kReaderGroup = "分组框_读者信息";
inline constexpr std::string_view kLend = "按钮_借书";
inline constexpr std::string_view kLoanList = "超级列表框_显示借书情况";
inline constexpr std::string_view kReturn = "按钮_还书";
inline constexpr std::string_view kReturnByBook = "按钮_按书还书";

// Page 8, 统计: the overdue overview and the loan statistics, one at a time
inline constexpr std::string_view kOverviewView = "组合框_统计内容";
inline constexpr std::string_view kOverdueClassCaption = "透明标签_逾期班别";
inline constexpr std::string_view kOverdueClass = "组合框_逾期班别";
inline constexpr std::string_view kOverdueDaysCaption = "透明标签_逾期天数";
inline constexpr std::string_view kOverdueDaysPreset = "组合框_逾期天数";
inline constexpr std::string_view kOverdueDays = "编辑框_逾期天数";
inline constexpr std::string_view kShowOverdue = "按钮_查询逾期";
inline constexpr std::string_view kPrintOverdue = "按钮_打印逾期通知";
inline constexpr std::string_view kExportOverdue = "按钮_导出逾期";
inline constexpr std::string_view kOverdueList = "超级列表框_逾期图书";
inline constexpr std::string_view kOverdueSummary = "透明标签_逾期统计";
inline constexpr std::string_view kStatisticsYearCaption = "透明标签_统计年度";
inline constexpr std::string_view kStatisticsYear = "编辑框_统计年度";
inline constexpr std::string_view kShowStatistics = "按钮_查阅借阅统计";
inline constexpr std::string_view kPrintStatistics = "按钮_打印借阅统计";
inline constexpr std::string_view kExportStatistics = "按钮_导出借阅统计";
inline constexpr std::string_view kStatisticsSummary = "透明标签_借阅统计";
inline constexpr std::string_view kMonthlyCaption = "透明标签_每月借还";
inline constexpr std::string_view kMonthlyChart = "超级列表框_每月借还";
inline constexpr std::string_view kTopTitlesCaption = "透明标签_热门图书";
inline constexpr std::string_view kTopTitles = "超级列表框_热门图书";
inline constexpr std::string_view kClassLoansCaption = "透明标签_班级借阅";
inline constexpr std::string_view kClassLoans = "超级列表框_班级借阅";
inline constexpr std::string_view kIdleReadersCaption = "透明标签_未借书读者";
inline constexpr std::string_view kIdleReaders = "超级列表框_未借书读者";
inline constexpr std::string_view kLateReturnsCaption = "透明标签_逾期归还";
inline constexpr std::string_view kLateReturns = "超级列表框_逾期归还";

// Pages of kTabs by index.
enum Page {
    kPagePassword = 0,
    kPageData = 1,
    kPageImportBooks = 2,
    kPageExport = 3,
    kPageReport = 4,
    kPageReaders = 5,
    kPageSearch = 6,
    kPageLending = 7,
    kPageOverview = 8,
};
} // namespace main

// The book window: one book's 16 columns, to add a book or change one.
namespace book {
inline constexpr std::string_view kWindow = "book";
inline constexpr std::string_view kTitle = "透明标签_标题";
inline constexpr std::string_view kClose = "图形按钮_关闭";
inline constexpr std::string_view kSave = "按钮_保存图书";
inline constexpr std::string_view kCancel = "按钮_取消";
inline constexpr std::string_view kIcon = "图片框_图标";
inline constexpr std::string_view kNote = "透明标签_说明";

struct Field {
    std::string_view column;  // of the book table
    std::string_view box;     // the edit box holding its value
    std::string_view caption; // the label before the box
};

// In the order of the book table's columns.
inline constexpr Field kFields[] = {
    {library::book::kBarcode, "编辑框_条形码", "透明标签_条形码"},
    {library::book::kNumber, "编辑框_图书编号", "透明标签_图书编号"},
    {library::book::kClassNumber, "编辑框_分类号", "透明标签_分类号"},
    {library::book::kCategory, "编辑框_图书类别", "透明标签_图书类别"},
    {library::book::kCopyNumber, "编辑框_复本号", "透明标签_复本号"},
    {library::book::kTitle, "编辑框_书名", "透明标签_书名"},
    {library::book::kAuthor, "编辑框_著译者", "透明标签_著译者"},
    {library::book::kPublisher, "编辑框_出版处", "透明标签_出版处"},
    {library::book::kPages, "编辑框_页数", "透明标签_页数"},
    {library::book::kFormat, "编辑框_开本", "透明标签_开本"},
    {library::book::kIssue, "编辑框_版期", "透明标签_版期"},
    {library::book::kEdition, "编辑框_版次", "透明标签_版次"},
    {library::book::kPrice, "编辑框_单价", "透明标签_单价"},
    {library::book::kShelf, "编辑框_书架名称", "透明标签_书架名称"},
    {library::book::kAddedOn, "编辑框_入库时间", "透明标签_入库时间"},
    {library::book::kLent, "编辑框_是否借出", "透明标签_是否借出"},
};
inline constexpr std::string_view kBookNumber = "编辑框_图书编号";
} // namespace book
// The year-end promotion dialog, opened from the readers page.
namespace promotion {
inline constexpr std::string_view kWindow = "promotion";
inline constexpr std::string_view kTitle = "透明标签_升级标题";
inline constexpr std::string_view kClose = "图形按钮_关闭";
inline constexpr std::string_view kExplanation = "透明标签_升级说明";
inline constexpr std::string_view kMoves = "超级列表框_升级方案";
inline constexpr std::string_view kNewClassCaption = "透明标签_新班别";
inline constexpr std::string_view kNewClass = "编辑框_新班别";
inline constexpr std::string_view kSetNewClass = "按钮_设定新班别";
inline constexpr std::string_view kSetGraduate = "按钮_设为毕业";
inline constexpr std::string_view kSetUnchanged = "按钮_设为不变";
inline constexpr std::string_view kApply = "按钮_执行升级";
inline constexpr std::string_view kCancel = "按钮_取消升级";
inline constexpr std::string_view kLeaversCaption = "透明标签_未还书名单";
inline constexpr std::string_view kLeavers = "超级列表框_毕业未还书读者";
inline constexpr std::string_view kPrintLeavers = "按钮_打印未还书名单";
inline constexpr std::string_view kExportLeavers = "按钮_导出未还书名单";
} // namespace promotion

// The library cards dialog, opened from the readers page.
namespace cards {
inline constexpr std::string_view kWindow = "cards";
inline constexpr std::string_view kTitle = "透明标签_借书证标题";
inline constexpr std::string_view kClose = "图形按钮_关闭";
inline constexpr std::string_view kExplanation = "透明标签_借书证说明";
inline constexpr std::string_view kReaders = "超级列表框_借书证读者";
inline constexpr std::string_view kChooseClass = "按钮_选择本班";
inline constexpr std::string_view kChooseReader = "按钮_选择此人";
inline constexpr std::string_view kChooseNone = "按钮_全部不选";
inline constexpr std::string_view kChosenCount = "透明标签_已选读者数";
inline constexpr std::string_view kSchoolCaption = "透明标签_学校名称";
inline constexpr std::string_view kSchool = "编辑框_学校名称";
inline constexpr std::string_view kPrint = "按钮_打印借书证";
inline constexpr std::string_view kSavePdf = "按钮_借书证存为PDF";
inline constexpr std::string_view kCancel = "按钮_关闭借书证";
inline constexpr std::string_view kPdfDialog = "通用对话框_PDF";
} // namespace cards

} // namespace chengxi::ui::names

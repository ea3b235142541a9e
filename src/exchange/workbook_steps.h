#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chengxi::ui {
class Control;
struct Services;
} // namespace chengxi::ui

namespace chengxi::xls {
class WorkbookConnection;
}

// The steps every import and export shares: the one file dialog, the
// workbook connection and the messages of the exchange pages.
namespace chengxi::exchange {

enum class DialogMode { Open = 0, Save = 1 };

// Shows the shared file dialog in the given mode; the chosen path, or nothing
// when the librarian cancelled (the dialog then keeps the path chosen before).
// `initialFolder`, when given, becomes the folder the dialog opens in.
std::optional<std::string> chooseFile(const ui::Services& services, DialogMode mode,
                                      std::optional<std::string> initialFolder = std::nullopt);

// Opens the connection on the workbook at `path`; on failure shows
// "数据库连接失败！" and returns false. A damaged or hostile .xlsx is said
// as such instead, with the reason and `nothingImported` after it.
bool connectWorkbook(const ui::Services& services, xls::WorkbookConnection& workbook,
                     std::string_view path, std::string_view nothingImported);

// Shows why the workbook's file could not be read (it is damaged or
// hostile), then `consequence`.
void showUnreadableWorkbook(const ui::Services& services, std::string_view reason,
                            std::string_view consequence);

// A box with the error or the information icon and the title "信息：".
void showError(const ui::Services& services, std::string text);
void showInformation(const ui::Services& services, std::string text);

// Closes the workbook connection when the operation ends, however it ends.
class ClosedAtEnd {
public:
    explicit ClosedAtEnd(xls::WorkbookConnection& workbook) : workbook_(workbook) {}
    ~ClosedAtEnd();
    ClosedAtEnd(const ClosedAtEnd&) = delete;
    ClosedAtEnd& operator=(const ClosedAtEnd&) = delete;

private:
    xls::WorkbookConnection& workbook_;
};

// Sets the text of a label or edit box and shows it at once.
void showText(const ui::Services& services, ui::Control& control, std::string text);
// Sets the position of a progress bar and shows it at once.
void showPosition(const ui::Services& services, ui::Control& bar, int position);

} // namespace chengxi::exchange

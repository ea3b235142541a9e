#include "exchange/workbook_steps.h"

#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "xls/connect_string.h"
#include "xls/workbook_connection.h"

namespace chengxi::exchange {

namespace names = ui::names::main;

std::optional<std::string> chooseFile(const ui::Services& services, DialogMode mode,
                                      std::optional<std::string> initialFolder) {
    ui::FileDialogState& dialog = services.mainWindow().control(names::kFileDialog).fileDialog();
    dialog.type = static_cast<int>(mode);
    if (initialFolder) {
        dialog.initialFolder = std::move(*initialFolder);
    }
    if (!services.screen.showFileDialog(dialog)) {
        return std::nullopt;
    }
    return dialog.fileName;
}

bool connectWorkbook(const ui::Services& services, xls::WorkbookConnection& workbook,
                     std::string_view path, std::string_view nothingImported) {
    if (workbook.open(xls::connectString(path))) {
        return true;
    }
    if (workbook.format() == xls::WorkbookFormat::Xlsx && workbook.fileUnreadable()) {
        showUnreadableWorkbook(services, workbook.lastError(), nothingImported);
    } else {
        showError(services, "数据库连接失败！");
    }
    return false;
}

void showUnreadableWorkbook(const ui::Services& services, std::string_view reason,
                            std::string_view consequence) {
    showError(services,
              "无法读取所选的工作簿。" + std::string(reason) + "。" + std::string(consequence));
}

ClosedAtEnd::~ClosedAtEnd() {
    workbook_.close();
}

void showError(const ui::Services& services, std::string text) {
    services.screen.messageBox(
        {std::move(text), ui::kDefaultTitle, ui::Buttons::Ok, ui::Icon::Error});
}

void showInformation(const ui::Services& services, std::string text) {
    services.screen.messageBox(
        {std::move(text), ui::kDefaultTitle, ui::Buttons::Ok, ui::Icon::Information});
}

void showText(const ui::Services& services, ui::Control& control, std::string text) {
    control.setText(std::move(text));
    services.screen.repaintNow(services.mainWindow(), control);
}

void showPosition(const ui::Services& services, ui::Control& bar, int position) {
    bar.setPosition(position);
    services.screen.repaintNow(services.mainWindow(), bar);
}

} // namespace chengxi::exchange

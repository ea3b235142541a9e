#include "exchange/left_out_rows.h"

#include "exchange/left_out_workbook.h"
#include "text/cp936.h"
#include "ui/screen.h"
#include "ui/services.h"

namespace chengxi::exchange {

std::optional<UnstorableCharacter> firstUnstorableCharacter(std::span<const store::Value> values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].isText()) {
            continue;
        }
        text::Cp936Bytes bytes = text::toCp936(values[i].text());
        if (!bytes.ok()) {
            return UnstorableCharacter{i, std::move(bytes.unencodable)};
        }
    }
    return std::nullopt;
}

LeftOutRows::LeftOutRows(std::span<const std::string_view> columns)
    : columns_(columns), book_(leftOutWorkbook(columns)) {}

void LeftOutRows::add(const xls::WorkbookConnection& workbook, xls::QueryHandle query,
                      const UnstorableCharacter& character) {
    const std::uint32_t sheetRow = workbook.sheetRow(query);
    if (count_++ == 0) {
        firstRow_ = sheetRow;
        firstCharacter_ = character.character;
    }
    // Read again rather than taken from the values: those may already hold
    // what the import made of an empty cell.
    cells_.clear();
    for (const std::string_view column : columns_) {
        cells_.push_back(workbook.read(query, column));
    }
    appendLeftOutRow(book_, {sheetRow, columns_[character.column], character.character, cells_});
}

void LeftOutRows::report(const ui::Services& services, std::string_view importedPath) const {
    if (count_ == 0) {
        return;
    }
    const std::string leftOut =
        "有 " + std::to_string(count_) + " 行含有本程序无法保存的字符，没有导入";
    const auto written = saveLeftOutWorkbook(book_, importedPath, services.programFolder);
    const std::string what = written ? leftOut + "。这些行已写入文件“" + *written +
                                           "”，文件中注明了每行的行号、列名和无法保存的字符，"
                                     : leftOut + "，第一处是第 " + std::to_string(firstRow_ + 1) +
                                           " 行中的“" + firstCharacter_ + "”。这些行没能写入文件“" +
                                           std::string(kLeftOutFileName) + "”：" + written.error() +
                                           "。";
    services.screen.messageBox({what + "请在Excel中删除或换掉这些字符后再导入这些行。", "提示",
                                ui::Buttons::Ok, ui::Icon::Warning});
}

} // namespace chengxi::exchange

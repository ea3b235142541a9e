#pragma once

#include "catalog/catalogue_state.h"
#include "exchange/exchange_state.h"

#include <string_view>

namespace chengxi::ui {
struct Services;
}

// The 导入图书 page: a catalogue workbook chosen, previewed and imported.
namespace chengxi::exchange {

// The confirmation the import asks before it changes anything.
inline constexpr std::string_view kBookImportQuestion =
    "导入新的图书数据，可能会导致新的图书数据中存在重复的记录（因为去除重复图书功能未加入），"
    "建议先清空图书数据再导入，确定导入吗？";

// 选择Excel文件: the open dialog in the program's folder; the path into the
// path box and cells A to Z of rows 1 and 2 of the first worksheet into the
// preview list. A file that is not a readable workbook gets a message and an
// empty preview.
void chooseBookFile(const ui::Services& services);

// 导入: a path must have been chosen; after the confirmation and a backup of
// the database, the import.
void importBooksClick(const ui::Services& services, ExchangeState& state,
                      catalog::CatalogueState& catalogue);

// Appends one book per row of Sheet1 whose 图书编号 is not empty, from the
// workbook whose path the page's path box shows, in one transaction, with the
// progress and the elapsed time in the status label. Rows holding text the
// database cannot store are left out and reported together at the end; any
// other failed write undoes the whole import.
void importBooks(const ui::Services& services, ExchangeState& state,
                 catalog::CatalogueState& catalogue);

} // namespace chengxi::exchange

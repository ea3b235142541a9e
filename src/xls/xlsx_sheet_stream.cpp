#include "xls/xlsx_sheet_stream.h"

#include "xls/cell_text.h"
#include "xls/xlsx_parts.h"
#include "xls/xlsx_values.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace chengxi::xls {
namespace {

enum class CellType { Number, SharedString, InlineString, FormulaString, Boolean, Error, Date };

std::optional<CellType> cellTypeOf(std::string_view t) {
    if (t == "s") {
        return CellType::SharedString;
    }
    if (t == "n") {
        return CellType::Number;
    }
    if (t == "str") {
        return CellType::FormulaString;
    }
    if (t == "inlineStr") {
        return CellType::InlineString;
    }
    if (t == "b") {
        return CellType::Boolean;
    }
    if (t == "e") {
        return CellType::Error;
    }
    if (t == "d") {
        return CellType::Date;
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string quoted(std::string_view value) {
    constexpr std::size_t kShown = 40;
    return "“" + std::string(value.substr(0, kShown)) + (value.size() > kShown ? "…" : "") + "”";
}

class SheetHandler : public PartHandler {
public:
    SheetHandler(std::string_view part, const SheetContext& context, const XlsxRowVisitor& visit)
        : PartHandler(part, {"worksheet", "dialogsheet", "chartsheet"}), context_(context),
          visit_(visit) {}

    void text(std::string_view text) override {
        if (capturing_) {
            value_.append(text);
        }
    }

private:
    // A cell's text: in the row's arena, or a shared string in the pool.
    struct PendingCell {
        std::uint32_t column;
        const char* shared; // null for text in the arena
        std::size_t offset;
        std::size_t length;
    };

    void open(std::string_view name, const XmlAttributes& attributes, int depth) override {
        if (cellDepth_ != 0) {
            openInCell(name, depth);
        } else if (rowDepth_ != 0) {
            if (depth == rowDepth_ + 1 && name == "c") {
                startCell(attributes, depth);
            }
        } else if (dataDepth_ != 0) {
            if (depth == dataDepth_ + 1 && name == "row") {
                startRow(attributes, depth);
            }
        } else if (depth == 2 && name == "sheetData") {
            dataDepth_ = depth;
        }
    }

    void close(std::string_view, int depth) override {
        if (cellDepth_ != 0) {
            closeInCell(depth);
        } else if (depth == rowDepth_) {
            rowDepth_ = 0;
            finishRow();
        } else if (depth == dataDepth_) {
            dataDepth_ = 0;
        }
    }

    void openInCell(std::string_view name, int depth) {
        if (inline_.inside()) {
            inline_.start(name, depth);
            capturing_ = inline_.capturing() && type_ == CellType::InlineString;
        } else if (depth == cellDepth_ + 1) {
            if (name == "v") {
                valueDepth_ = depth;
                capturing_ = type_ != CellType::InlineString;
            } else if (name == "is") {
                inline_.begin(depth);
            }
        }
    }

    void closeInCell(int depth) {
        if (depth == cellDepth_) {
            cellDepth_ = 0;
            finishCell();
        } else if (inline_.inside()) {
            const bool wasText = inline_.capturing();
            inline_.end(depth);
            if (wasText && !inline_.capturing() && type_ == CellType::InlineString) {
                appendUnescapedXlsxText(arena_, value_);
                value_.clear();
            }
            capturing_ = false;
        } else if (depth == valueDepth_) {
            valueDepth_ = 0;
            capturing_ = false;
        }
    }

    void startRow(const XmlAttributes& attributes, int depth) {
        rowDepth_ = depth;
        pending_.clear();
        arena_.clear();
        nextColumn_ = 0;
        inOrder_ = true;
        rowKnown_ = false;
        if (const auto number = attributes.find("r")) {
            const auto index = parseXlsxRowNumber(*number);
            if (!index) {
                damagedSheet("的行号" + quoted(*number) + "无效");
                return;
            }
            rowIndex_ = *index;
            rowKnown_ = true;
        }
    }

    void startCell(const XmlAttributes& attributes, int depth) {
        cellDepth_ = depth;
        value_.clear();
        type_ = CellType::Number;
        style_ = 0;
        cellStart_ = arena_.size();
        std::optional<std::uint32_t> column;
        attributes.forEach([&](std::string_view key, std::string_view value) {
            if (key == "r") {
                const auto reference = parseXlsxReference(value);
                if (!reference) {
                    damagedSheet("的单元格位置" + quoted(value) + "无效");
                    return;
                }
                column = reference->column;
                if (!rowKnown_ && reference->row) {
                    rowIndex_ = *reference->row;
                    rowKnown_ = true;
                }
            } else if (key == "s") {
                const auto [end, error] =
                    std::from_chars(value.data(), value.data() + value.size(), style_);
                if (error != std::errc() || end != value.data() + value.size()) {
                    damagedSheet("的单元格格式编号" + quoted(value) + "无效");
                }
            } else if (key == "t") {
                const auto type = cellTypeOf(value);
                if (!type) {
                    damagedSheet("的单元格类型" + quoted(value) + "无效");
                    return;
                }
                type_ = *type;
            }
        });
        column_ = column.value_or(nextColumn_);
        if (column_ > kXlsxLastColumnIndex) {
            damagedSheet("的单元格超出了最后一列 XFD");
            return;
        }
        if (column_ < nextColumn_) {
            inOrder_ = false;
        }
        nextColumn_ = column_ + 1;
    }

    void finishCell() {
        const std::string_view value = trimmed(value_);
        switch (type_) {
        case CellType::SharedString:
            if (!value.empty()) {
                addSharedString(value);
            }
            return;
        case CellType::InlineString:
            break;
        case CellType::FormulaString:
            appendUnescapedXlsxText(arena_, value_);
            break;
        case CellType::Error:
            return;
        case CellType::Boolean:
        case CellType::Number:
            if (!value.empty()) {
                appendNumber(value);
            }
            break;
        case CellType::Date:
            if (!value.empty()) {
                const auto date = xlsxIsoDateText(value);
                if (!date) {
                    damagedSheet("的日期" + quoted(value) + "无效");
                    return;
                }
                arena_ += *date;
            }
            break;
        }
        if (arena_.size() > cellStart_) {
            pending_.push_back({column_, nullptr, cellStart_, arena_.size() - cellStart_});
        }
    }

    void addSharedString(std::string_view value) {
        std::uint32_t index = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
        if (error != std::errc() || end != value.data() + value.size() ||
            index >= context_.sharedStrings.size()) {
            damagedSheet("的单元格引用了不存在的共享字符串");
            return;
        }
        const std::string_view text = context_.sharedStrings.at(index);
        if (!text.empty()) {
            pending_.push_back({column_, text.data(), 0, text.size()});
        }
    }

    void appendNumber(std::string_view value) {
        if (type_ == CellType::Boolean && (value == "true" || value == "false")) {
            arena_ += value == "true" ? "真" : "假";
            return;
        }
        const std::optional<double> number = parseXlsxNumber(value);
        if (!number) {
            damagedSheet("的数值" + quoted(value) + "无效");
            return;
        }
        if (type_ == CellType::Boolean) {
            arena_ += *number != 0 ? "真" : "假";
            return;
        }
        if (style_ < context_.dateStyles.size() && context_.dateStyles[style_] != 0) {
            if (const auto date = dateText(*number, context_.dateMode1904)) {
                arena_ += *date;
                return;
            }
        }
        appendNumberText(arena_, *number);
    }

    void finishRow() {
        if (!rowKnown_) {
            if (seenRow_ && lastRow_ == kXlsxLastRowIndex) {
                damagedSheet("的行超出了第 1048576 行");
                return;
            }
            rowIndex_ = seenRow_ ? lastRow_ + 1 : 0;
        }
        if (seenRow_ && rowIndex_ <= lastRow_) {
            damagedSheet("的行次序错乱：第 " + std::to_string(rowIndex_ + 1) + " 行在第 " +
                         std::to_string(lastRow_ + 1) + " 行之后");
            return;
        }
        seenRow_ = true;
        lastRow_ = rowIndex_;
        if (pending_.empty()) {
            return;
        }
        if (!inOrder_) {
            // Some writers list a row's cells out of order; as elsewhere, a
            // cell written twice keeps its later value.
            std::stable_sort(
                pending_.begin(), pending_.end(),
                [](const PendingCell& a, const PendingCell& b) { return a.column < b.column; });
            auto last = pending_.begin();
            for (auto cell = pending_.begin(); cell != pending_.end(); ++cell) {
                if (cell->column == last->column) {
                    *last = *cell;
                } else {
                    *++last = *cell;
                }
            }
            pending_.erase(last + 1, pending_.end());
        }
        cells_.clear();
        for (const PendingCell& cell : pending_) {
            const char* data = cell.shared != nullptr ? cell.shared : arena_.data() + cell.offset;
            cells_.push_back({cell.column, std::string_view(data, cell.length)});
        }
        if (!visit_(XlsxRow{rowIndex_, cells_})) {
            stop();
        }
    }

    void damagedSheet(const std::string& what) {
        fail("工作簿已损坏：工作表“" + std::string(context_.name) + "”" + what);
    }

    const SheetContext& context_;
    const XlsxRowVisitor& visit_;

    int dataDepth_ = 0;
    int rowDepth_ = 0;
    int cellDepth_ = 0;
    int valueDepth_ = 0;
    RichTextReader inline_;
    bool capturing_ = false;

    bool seenRow_ = false;
    std::uint32_t lastRow_ = 0;
    bool rowKnown_ = false;
    std::uint32_t rowIndex_ = 0;
    std::uint32_t nextColumn_ = 0;
    bool inOrder_ = true;

    std::uint32_t column_ = 0;
    CellType type_ = CellType::Number;
    std::uint32_t style_ = 0;
    std::size_t cellStart_ = 0;
    std::string value_;

    std::string arena_;
    std::vector<PendingCell> pending_;
    std::vector<XlsxCell> cells_;
};

} // namespace

Status streamSheetRows(ZipArchive& archive, std::string_view part, const SheetContext& context,
                       const XlsxRowVisitor& visit) {
    SheetHandler handler(part, context, visit);
    return parseXmlPart(archive, part, handler);
}

} // namespace chengxi::xls

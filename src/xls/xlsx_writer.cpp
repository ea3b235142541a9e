#include "xls/xlsx_writer.h"

#include "text/utf8.h"
#include "xls/workbook_writer.h"

#include <cmath>
#include <cstdio>
#include <xlsxwriter.h>

namespace chengxi::xls {
namespace {

// Excel's own unit for column widths is the pixel: 7 to a character of the
// default font, plus 5 of padding that libxlsxwriter adds itself.
constexpr double kPixelsPerCharacter = 7.0;
constexpr double kPaddingPixels = 5.0;

double columnWidthArgument(std::uint16_t widthIn256ths) {
    const double pixels = std::round(widthIn256ths / 256.0 * kPixelsPerCharacter);
    return (pixels - kPaddingPixels) / kPixelsPerCharacter;
}

Failure writeFailure(lxw_error error, std::string_view path) {
    const std::string name = "“" + std::string(path) + "”";
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return fail("内存不足，无法写入工作簿" + name);
    case LXW_ERROR_CREATING_XLSX_FILE:
        return fail("无法创建文件" + name);
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return fail("无法写入工作簿" + name + "的临时数据，磁盘可能已满");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return fail("写入文件" + name + "失败，磁盘可能已满");
    default:
        return fail("写入工作簿" + name + "失败（libxlsxwriter 错误 " +
                    std::to_string(static_cast<int>(error)) + "）");
    }
}

// UTF-16 units of a UTF-8 text; nothing when it is not well-formed.
std::optional<std::size_t> utf16Units(std::string_view utf8) {
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
            ++pos;
            ++units;
            continue;
        }
        const std::size_t start = pos;
        const char32_t code = text::decodeUtf8(utf8, pos);
        if (code == 0xFFFD && pos - start != 3) {
            return std::nullopt;
        }
        units += code >= 0x10000 ? 2 : 1;
    }
    return units;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// An "_xHHHH_" that a reader would take for an escape.
bool looksLikeEscape(std::string_view text, std::size_t pos) {
    return pos + 7 <= text.size() && text[pos + 1] == 'x' && isHex(text[pos + 2]) &&
           isHex(text[pos + 3]) && isHex(text[pos + 4]) && isHex(text[pos + 5]) &&
           text[pos + 6] == '_';
}

void appendEscape(std::string& out, unsigned code) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "_x%04X_", code);
    out += escape;
}

// The text as a cell's XML must carry it: characters XML cannot hold (the
// control characters but tab and line feed, a carriage return that XML would
// turn into a line feed, U+FFFE and U+FFFF) as Excel's _xHHHH_ escapes, and
// an underscore that would start such an escape escaped itself, so every
// text reads back exactly.
void appendCellXmlText(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if ((byte < 0x20 && byte != '\t' && byte != '\n')) {
            appendEscape(out, byte);
        } else if (byte == '_' && looksLikeEscape(text, pos)) {
            appendEscape(out, '_');
        } else if (byte == 0xEF && pos + 2 < text.size() && text[pos + 1] == '\xBF' &&
                   (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF')) {
            appendEscape(out, text[pos + 2] == '\xBE' ? 0xFFFE : 0xFFFF);
            pos += 2;
        } else {
            out += static_cast<char>(byte);
        }
    }
}

// Makes the workbook's default format 宋体 of `points`; libxlsxwriter has
// no call for the default format, but it is always the first one it makes.
bool setDefaultFont(lxw_workbook* workbook, double points) {
    lxw_format* normal = STAILQ_FIRST(workbook->formats);
    if (normal == nullptr) {
        return false;
    }
    format_set_font_name(normal, "宋体");
    format_set_font_size(normal, points);
    format_set_font_charset(normal, 134); // GB2312, as Excel marks 宋体
    return true;
}

// The text of a cell as its XML carries it; fails as appendRow does.
Result<std::string> cellXmlText(std::string_view value) {
    const std::optional<std::size_t> units = utf16Units(value);
    if (!units) {
        return fail("值不是有效的文本：" + std::string(value.substr(0, 40)));
    }
    std::string out;
    appendCellXmlText(out, value);
    if (*units > kMaxCellCharacters || utf16Units(out) > kMaxCellCharacters) {
        return fail("值超过一个单元格能容纳的 32767 个字符");
    }
    return out;
}

struct WorkbookFreer {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

Status writeSheet(lxw_worksheet* target, const Workbook& book, const Sheet& sheet,
                  std::string_view path) {
    for (const Cell& cell : sheet.cells()) {
        lxw_error written = LXW_NO_ERROR;
        if (cell.kind == CellKind::Number) {
            written =
                worksheet_write_number(target, cell.row, cell.column, cell.value.number, nullptr);
        } else if (cell.kind == CellKind::Text) {
            const Result<std::string> text = cellXmlText(book.strings.at(cell.value.text));
            if (!text) {
                return fail(text.error());
            }
            written = worksheet_write_string(target, cell.row, cell.column, text->c_str(), nullptr);
        }
        if (written != LXW_NO_ERROR) {
            return writeFailure(written, path);
        }
    }
    return {};
}

} // namespace

Status writeXlsxWorkbook(std::string_view path, const Workbook& book) {
    const std::string name(path);
    std::unique_ptr<lxw_workbook, WorkbookFreer> workbook(workbook_new(name.c_str()));
    const double points = book.fonts.empty() ? 12.0 : book.fonts.front().height / 20.0;
    if (!workbook || !setDefaultFont(workbook.get(), points)) {
        return writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, path);
    }
    for (const Sheet& sheet : book.sheets) {
        lxw_worksheet* target = workbook_add_worksheet(workbook.get(), sheet.name.c_str());
        if (target == nullptr) {
            return fail("无法在工作簿“" + name + "”中加入工作表“" + sheet.name + "”");
        }
        if (Status written = writeSheet(target, book, sheet, path); !written) {
            return written;
        }
    }
    // workbook_close frees the workbook whatever the outcome.
    if (const lxw_error closed = workbook_close(workbook.release()); closed != LXW_NO_ERROR) {
        return writeFailure(closed, path);
    }
    return {};
}

void XlsxSheetWriter::Freer::operator()(lxw_workbook* workbook) const {
    lxw_workbook_free(workbook);
}

XlsxSheetWriter::XlsxSheetWriter(lxw_workbook* workbook, std::string path, std::size_t columns)
    : workbook_(workbook), path_(std::move(path)), columns_(columns) {}

Result<XlsxSheetWriter> XlsxSheetWriter::create(std::string_view path,
                                                const TemplateLayout& layout) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const std::string name(path);
    lxw_workbook* workbook = workbook_new_opt(name.c_str(), &options);
    if (workbook == nullptr) {
        return writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, path);
    }
    XlsxSheetWriter writer(workbook, name, layout.headers.size());

    // The template's cells are all in the workbook's default format.
    if (!setDefaultFont(workbook, layout.fontHeight / 20.0)) {
        return writeFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, path);
    }

    const std::string sheetName(layout.sheetName);
    writer.sheet_ = workbook_add_worksheet(workbook, sheetName.c_str());
    if (writer.sheet_ == nullptr) {
        // Its row data goes to a temporary file, the only likely failure.
        return writeFailure(LXW_ERROR_CREATING_TMPFILE, path);
    }
    for (std::size_t i = 0; i < layout.widths.size(); ++i) {
        const auto column = static_cast<lxw_col_t>(i);
        const lxw_error set = worksheet_set_column(writer.sheet_, column, column,
                                                   columnWidthArgument(layout.widths[i]), nullptr);
        if (set != LXW_NO_ERROR) {
            return writeFailure(set, path);
        }
    }
    if (Status header = writer.appendRow(layout.headers); !header) {
        return fail(header.error());
    }
    return writer;
}

Status XlsxSheetWriter::appendRow(std::span<const std::string_view> values) {
    return append(values);
}

Status XlsxSheetWriter::appendRow(std::span<const std::string> values) {
    return append(values);
}

template <class Text> Status XlsxSheetWriter::append(std::span<const Text> values) {
    if (!workbook_) {
        return fail("工作簿已经写完，不能再添加行");
    }
    if (rows_ >= kMaxRows) {
        return fail("工作表已满：一个工作表最多 1048576 行");
    }
    if (values.size() > columns_) {
        return fail("一行的值多于工作表的列");
    }
    // Every value is checked before any is written, so a failed row adds nothing.
    rowTexts_.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string_view value = values[i];
        const std::optional<std::size_t> units = utf16Units(value);
        if (!units) {
            return fail("值不是有效的文本：" + std::string(value.substr(0, 40)));
        }
        rowTexts_[i].clear();
        appendCellXmlText(rowTexts_[i], value);
        if (*units > kMaxCellCharacters || utf16Units(rowTexts_[i]) > kMaxCellCharacters) {
            return fail("值超过一个单元格能容纳的 32767 个字符");
        }
    }
    const auto row = static_cast<lxw_row_t>(rows_);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (rowTexts_[i].empty()) {
            continue;
        }
        const lxw_error written = worksheet_write_string(sheet_, row, static_cast<lxw_col_t>(i),
                                                         rowTexts_[i].c_str(), nullptr);
        if (written != LXW_NO_ERROR) {
            return writeFailure(written, path_);
        }
    }
    ++rows_;
    return {};
}

Status XlsxSheetWriter::finish() {
    if (!workbook_) {
        return fail("工作簿已经写完");
    }
    // workbook_close frees the workbook whatever the outcome.
    const lxw_error closed = workbook_close(workbook_.release());
    sheet_ = nullptr;
    if (closed != LXW_NO_ERROR) {
        return writeFailure(closed, path_);
    }
    return {};
}

} // namespace chengxi::xls

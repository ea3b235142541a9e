#include "xls/workbook_connection.h"

#include "text/utf8.h"
#include "xls/cell_text.h"
#include "xls/connect_string.h"
#include "xls/sheet_statement.h"
#include "xls/workbook_file.h"
#include "xls/workbook_writer.h"

#include <algorithm>

namespace chengxi::xls {
namespace {

// UTF-16 units of a UTF-8 text (two for a character beyond the basic
// plane); nothing when the text is not well-formed UTF-8.
std::optional<std::size_t> utf16Length(std::string_view utf8) {
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

// The cell of a streamed row in `column`; null when it reads empty.
const XlsxCell* streamedCell(const XlsxRow& row, std::uint16_t column) {
    const auto found =
        std::lower_bound(row.cells.begin(), row.cells.end(), column,
                         [](const XlsxCell& cell, std::uint32_t c) { return cell.column < c; });
    return found != row.cells.end() && found->column == column ? &*found : nullptr;
}

} // namespace

WorkbookConnection::~WorkbookConnection() {
    close();
}

bool WorkbookConnection::failWith(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

bool WorkbookConnection::open(std::string_view connectString) {
    const std::optional<std::string> path = workbookPathOf(connectString);
    if (!path) {
        return failWith("连接字符串中没有工作簿路径");
    }
    const Result<WorkbookFormat> format = workbookFormatOfFile(*path);
    format_ = format ? *format : WorkbookFormat::Unknown;
    fileUnreadable_ = false;
    if (format_ == WorkbookFormat::Xlsx) {
        auto package = XlsxWorkbook::open(*path);
        if (!package) {
            fileUnreadable_ = true;
            return failWith(package.error());
        }
        close();
        xlsx_.emplace(std::move(package).value());
        path_ = *path;
        lastError_.clear();
        return true;
    }
    auto loaded = loadWorkbook(*path);
    if (!loaded) {
        return failWith(loaded.error());
    }
    close();
    book_ = std::move(loaded.value());
    path_ = *path;
    modified_ = false;
    lastError_.clear();
    return true;
}

void WorkbookConnection::create(std::string_view path, Workbook book) {
    close();
    book_ = std::move(book);
    path_ = path;
    modified_ = true;
    lastError_.clear();
}

std::vector<WorkbookConnection::Header> WorkbookConnection::headersOf(const Sheet& sheet) const {
    std::vector<Header> headers;
    for (const Cell& cell : sheet.rowCells(0)) {
        if (!cell.holdsValue()) {
            continue;
        }
        // When two columns carry the same name, the first one answers.
        std::string name = cellText(*book_, cell);
        if (std::none_of(headers.begin(), headers.end(),
                         [&](const Header& h) { return h.name == name; })) {
            headers.push_back({std::move(name), cell.column});
        }
    }
    return headers;
}

QueryHandle WorkbookConnection::openQuery(std::string_view sql) {
    fileUnreadable_ = false;
    if (!isOpen()) {
        failWith("没有打开的工作簿");
        return {};
    }
    auto statement = parseSelect(sql);
    if (!statement) {
        failWith(statement.error());
        return {};
    }
    if (xlsx_) {
        return openXlsxQuery(*statement);
    }
    const Sheet* sheet = book_->findSheet(statement->sheet);
    if (sheet == nullptr) {
        failWith("工作簿中没有工作表“" + statement->sheet + "”");
        return {};
    }
    Query result;
    result.sheet = static_cast<std::size_t>(sheet - book_->sheets.data());
    result.headers = headersOf(*sheet);
    std::optional<std::uint16_t> filter;
    if (statement->notNullColumn) {
        const auto found =
            std::find_if(result.headers.begin(), result.headers.end(),
                         [&](const Header& h) { return h.name == *statement->notNullColumn; });
        if (found == result.headers.end()) {
            failWith("工作表中没有列“" + *statement->notNullColumn + "”");
            return {};
        }
        filter = found->column;
    }
    const std::uint32_t rows = sheet->rowCount();
    result.rows.reserve(rows > 1 ? rows - 1 : 0);
    for (std::uint32_t row = 1; row < rows; ++row) {
        if (!filter || hasText(*book_, sheet->cellAt(row, *filter))) {
            result.rows.push_back(static_cast<std::uint16_t>(row));
        }
    }
    queries_.push_back(std::move(result));
    return QueryHandle{static_cast<int>(queries_.size())};
}

QueryHandle WorkbookConnection::openXlsxQuery(const SelectStatement& statement) {
    const std::optional<std::size_t> sheet = xlsx_->findSheet(statement.sheet);
    if (!sheet) {
        failWith("工作簿中没有工作表“" + statement.sheet + "”");
        return {};
    }
    Query result;
    result.sheet = *sheet;
    // Only the first row is read now, for the column names; the rows below
    // stream from the file when the query is walked.
    const Status read = xlsx_->readRows(*sheet, [&](const XlsxRow& row) {
        if (row.index != 0) {
            return false;
        }
        for (const XlsxCell& cell : row.cells) {
            // When two columns carry the same name, the first one answers.
            if (std::none_of(result.headers.begin(), result.headers.end(),
                             [&](const Header& h) { return h.name == cell.text; })) {
                result.headers.push_back(
                    {std::string(cell.text), static_cast<std::uint16_t>(cell.column)});
            }
        }
        return false;
    });
    if (!read) {
        fileUnreadable_ = true;
        failWith(read.error());
        return {};
    }
    if (statement.notNullColumn) {
        const auto found =
            std::find_if(result.headers.begin(), result.headers.end(),
                         [&](const Header& h) { return h.name == *statement.notNullColumn; });
        if (found == result.headers.end()) {
            failWith("工作表中没有列“" + *statement.notNullColumn + "”");
            return {};
        }
        result.filter = found->column;
    }
    queries_.push_back(std::move(result));
    return QueryHandle{static_cast<int>(queries_.size())};
}

Status WorkbookConnection::forEachRow(QueryHandle handle, const std::function<bool()>& visit) {
    if (query(handle) == nullptr) {
        return fail("查询没有打开");
    }
    // By index: the visitor may open further queries, which moves them.
    const auto index = static_cast<std::size_t>(handle.id) - 1;
    if (xlsx_) {
        return forEachXlsxRow(index, visit);
    }
    while (queries_[index].position < queries_[index].rows.size() && visit()) {
        ++queries_[index].position;
    }
    return {};
}

Status WorkbookConnection::forEachXlsxRow(std::size_t index, const std::function<bool()>& visit) {
    const std::optional<std::uint16_t> filter = queries_[index].filter;
    const Status read = xlsx_->readRows(queries_[index].sheet, [&](const XlsxRow& row) {
        if (row.index == 0 || (filter && streamedCell(row, *filter) == nullptr)) {
            return true;
        }
        queries_[index].streamed = &row;
        const bool goOn = visit();
        if (index >= queries_.size()) {
            return false; // the visitor closed the query
        }
        queries_[index].streamed = nullptr;
        return goOn;
    });
    if (!read) {
        fileUnreadable_ = true;
        lastError_ = read.error();
    }
    return read;
}

const WorkbookConnection::Query* WorkbookConnection::query(QueryHandle handle) const {
    if (handle.id <= 0 || static_cast<std::size_t>(handle.id) > queries_.size() || !isOpen()) {
        return nullptr;
    }
    return &queries_[static_cast<std::size_t>(handle.id) - 1];
}

void WorkbookConnection::moveFirst(QueryHandle handle) {
    if (query(handle) != nullptr) {
        queries_[static_cast<std::size_t>(handle.id) - 1].position = 0;
    }
}

void WorkbookConnection::moveNext(QueryHandle handle) {
    if (const Query* q = query(handle); q != nullptr && q->position < q->rows.size()) {
        ++queries_[static_cast<std::size_t>(handle.id) - 1].position;
    }
}

bool WorkbookConnection::atEnd(QueryHandle handle) const {
    const Query* q = query(handle);
    return q == nullptr || (q->streamed == nullptr && q->position >= q->rows.size());
}

std::size_t WorkbookConnection::rowCount(QueryHandle handle) const {
    const Query* q = query(handle);
    return q == nullptr ? 0 : q->rows.size();
}

std::uint32_t WorkbookConnection::sheetRow(QueryHandle handle) const {
    const Query* q = query(handle);
    if (q != nullptr && q->streamed != nullptr) {
        return q->streamed->index;
    }
    return q == nullptr || q->position >= q->rows.size() ? 0 : q->rows[q->position];
}

std::string WorkbookConnection::read(QueryHandle handle, std::string_view column) const {
    const Query* q = query(handle);
    if (q == nullptr || q->headers.empty() ||
        (q->streamed == nullptr && q->position >= q->rows.size())) {
        return {};
    }
    // Callers read the same columns in the same order on every row, so the
    // column after the last one found is tried first.
    const std::vector<Header>& headers = q->headers;
    std::size_t index = q->guess < headers.size() ? q->guess : 0;
    if (headers[index].name != column) {
        const auto found = std::find_if(headers.begin(), headers.end(),
                                        [&](const Header& h) { return h.name == column; });
        if (found == headers.end()) {
            return {};
        }
        index = static_cast<std::size_t>(found - headers.begin());
    }
    q->guess = index + 1;
    if (q->streamed != nullptr) {
        const XlsxCell* cell = streamedCell(*q->streamed, headers[index].column);
        return cell == nullptr ? std::string() : std::string(cell->text);
    }
    const Cell* cell = book_->sheets[q->sheet].cellAt(q->rows[q->position], headers[index].column);
    return cell == nullptr ? std::string() : cellText(*book_, *cell);
}

void WorkbookConnection::closeQueries() {
    queries_.clear();
}

bool WorkbookConnection::execute(std::string_view sql) {
    if (!book_) {
        return failWith("没有打开的工作簿");
    }
    if (Status scanned = scanInsert(sql, insert_); !scanned) {
        return failWith(scanned.error());
    }
    Sheet* sheet = book_->findSheet(insert_.sheet);
    if (sheet == nullptr) {
        return failWith("工作簿中没有工作表“" + std::string(insert_.sheet) + "”");
    }
    const std::uint32_t row = std::max<std::uint32_t>(sheet->rowCount(), 1);
    if (row > kLastRowIndex) {
        return failWith("工作表已满：一个工作表最多 65536 行");
    }
    if (!mapColumns(static_cast<std::size_t>(sheet - book_->sheets.data()), insert_)) {
        return false;
    }
    const std::vector<std::string_view>& values = insert_.quotedValues;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::optional<std::size_t> length = utf16Length(values[i]);
        if (!length) {
            return failWith("列“" + std::string(insert_.columns[i]) + "”的值不是有效的文本");
        }
        if (*length > kMaxCellCharacters) {
            return failWith("列“" + std::string(insert_.columns[i]) +
                            "”的值超过一个单元格能容纳的 32767 个字符");
        }
    }

    std::vector<Cell>& cells = rowCells_;
    cells.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        // An empty value leaves its cell empty, except that a record whose
        // values are all empty still takes its row (as one empty text).
        if (values[i].empty() && (i + 1 < values.size() || !cells.empty())) {
            continue;
        }
        const std::uint16_t column = mappedColumns_[i];
        // A pre-formatted blank cell (as in the book template) keeps its format.
        const Cell* existing = sheet->cellAt(row, column);
        const std::uint16_t style = existing != nullptr ? existing->style : kDefaultCellStyle;
        std::string_view value = values[i];
        if (value.find("''") != std::string_view::npos) {
            unquoted_ = unquoteValue(value);
            value = unquoted_;
        }
        cells.push_back(Cell::ofText(static_cast<std::uint16_t>(row), column, style,
                                     book_->strings.intern(value)));
    }
    sheet->putRow(static_cast<std::uint16_t>(row), cells);
    modified_ = true;
    return true;
}

bool WorkbookConnection::mapColumns(std::size_t sheet, const InsertParts& parts) {
    if (sheet == mappedSheet_ && !mappedColumns_.empty() && parts.columnList == mappedList_) {
        return true;
    }
    mappedColumns_.clear();
    const std::vector<Header> headers = headersOf(book_->sheets[sheet]);
    std::vector<std::uint16_t> columns;
    for (const std::string_view name : parts.columns) {
        const auto found = std::find_if(headers.begin(), headers.end(),
                                        [&](const Header& h) { return h.name == name; });
        if (found == headers.end()) {
            return failWith("工作表中没有列“" + std::string(name) + "”");
        }
        if (std::find(columns.begin(), columns.end(), found->column) != columns.end()) {
            return failWith("插入语句中列“" + std::string(name) + "”出现了两次");
        }
        columns.push_back(found->column);
    }
    mappedSheet_ = sheet;
    mappedList_ = std::string(parts.columnList);
    mappedColumns_ = std::move(columns);
    return true;
}

bool WorkbookConnection::close() {
    queries_.clear();
    xlsx_.reset();
    if (!book_) {
        path_.clear();
        return true;
    }
    bool written = true;
    if (modified_) {
        const Status saved = saveWorkbook(path_, *book_);
        if (!saved) {
            written = failWith(saved.error());
        }
    }
    book_.reset();
    path_.clear();
    modified_ = false;
    mappedList_.clear();
    mappedColumns_.clear();
    return written;
}

} // namespace chengxi::xls

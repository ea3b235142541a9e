#include "xls/workbook_connection.h"

#include "text/utf8.h"
#include "xls/cell_text.h"
#include "xls/compound_file.h"
#include "xls/compound_file_image.h"
#include "xls/connect_string.h"
#include "xls/file_io.h"
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
        if (text::threeByteCharacter(utf8, pos) != 0) {
            pos += 3;
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

// The cell of a row read from an .xls at `column`; null when there is none.
const Cell* cellIn(std::span<const Cell> row, std::uint16_t column) {
    // A row filled from column A on holds each cell at its own column.
    if (column < row.size() && row[column].column == column) {
        return &row[column];
    }
    const auto found =
        std::lower_bound(row.begin(), row.end(), column,
                         [](const Cell& cell, std::uint16_t c) { return cell.column < c; });
    return found != row.end() && found->column == column ? &*found : nullptr;
}

// The workbook stream of the file at `path`, read from the file through its
// sectors after only the file's allocation table and directory were read.
// Nothing when that does not settle it (a damaged file, a stream small
// enough for the mini stream): the whole file is then read instead, and a
// damaged one fails with the reason its whole reading gives.
std::unique_ptr<StreamFeed> windowedStream(const std::string& path) {
    const std::optional<PartialImage> image = readCompoundSkeleton(pathFromUtf8(path));
    if (!image) {
        return nullptr;
    }
    const auto compound = CompoundFile::parse(image->bytes());
    if (!compound || !compound->hasStream("Workbook")) {
        return nullptr;
    }
    auto sectors = compound->regularStreamSectors("Workbook");
    if (!sectors || !*sectors) {
        return nullptr;
    }
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        return nullptr;
    }
    return std::make_unique<SectorFeed>(std::move(in), std::move(**sectors));
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
    auto loaded = loadRows(*path);
    if (!loaded) {
        return failWith(loaded.error());
    }
    close();
    xls_ = std::move(loaded.value());
    path_ = *path;
    modified_ = false;
    lastError_.clear();
    return true;
}

Result<std::unique_ptr<WorkbookConnection::XlsRows>>
WorkbookConnection::loadRows(const std::string& path) {
    auto source = std::make_unique<XlsRows>();
    if (std::unique_ptr<StreamFeed> feed = windowedStream(path)) {
        auto windowed = WorkbookRows::parse(std::move(feed));
        if (!windowed) {
            return fail(windowed.error());
        }
        source->rows.emplace(std::move(*windowed));
        return source;
    }
    {
        const auto bytes = readFileBytes(pathFromUtf8(path), kMaxWorkbookFileSize);
        if (!bytes) {
            return fail(bytes.error());
        }
        auto stream = extractWorkbookStream(asBytes(*bytes));
        if (!stream) {
            return fail(stream.error());
        }
        source->stream = std::move(*stream);
    }
    auto whole = WorkbookRows::parse(asBytes(source->stream));
    if (!whole) {
        return fail(whole.error());
    }
    source->rows.emplace(std::move(*whole));
    return source;
}

Workbook& WorkbookConnection::wholeBook() const {
    if (!book_ && xls_) {
        // Checked whole when it opened, so this reading does not fail.
        auto whole = xls_->rows->readWhole();
        book_ = whole ? std::move(*whole) : xls_->rows->book();
        if (!walking_) {
            xls_.reset(); // a walk through its rows lets it go when it ends
        }
    }
    foldAppendedRows();
    return *book_;
}

const Workbook* WorkbookConnection::workbook() const {
    return isOpen() && !xlsx_ ? &wholeBook() : nullptr;
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

bool WorkbookConnection::chooseFilter(Query& query,
                                      const std::optional<std::string>& notNullColumn) {
    if (!notNullColumn) {
        return true;
    }
    const auto found = std::find_if(query.headers.begin(), query.headers.end(),
                                    [&](const Header& h) { return h.name == *notNullColumn; });
    if (found == query.headers.end()) {
        return failWith("工作表中没有列“" + *notNullColumn + "”");
    }
    query.filter = found->column;
    return true;
}

QueryHandle WorkbookConnection::keep(Query query) {
    queries_.push_back(std::move(query));
    return QueryHandle{static_cast<int>(queries_.size())};
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
    if (xls_ && !book_) {
        const Workbook& outline = xls_->rows->book();
        const Sheet* sheet = outline.findSheet(statement->sheet);
        if (sheet == nullptr ||
            xls_->rows->place(static_cast<std::size_t>(sheet - outline.sheets.data())).inRowOrder) {
            return openXlsRowsQuery(*statement);
        }
        // Cells that go back to earlier rows are sorted only by a whole reading.
        wholeBook();
    }
    foldAppendedRows();
    const Sheet* sheet = book_->findSheet(statement->sheet);
    if (sheet == nullptr) {
        failWith("工作簿中没有工作表“" + statement->sheet + "”");
        return {};
    }
    Query result;
    result.sheet = static_cast<std::size_t>(sheet - book_->sheets.data());
    result.headers = headersOf(*sheet);
    if (!chooseFilter(result, statement->notNullColumn)) {
        return {};
    }
    listRows(result);
    return keep(std::move(result));
}

void WorkbookConnection::listRows(Query& query) const {
    const Sheet& sheet = book_->sheets[query.sheet];
    const std::uint32_t rows = sheet.rowCount();
    query.rows.clear();
    query.rows.reserve(rows > 1 ? rows - 1 : 0);
    for (std::uint32_t row = 1; row < rows; ++row) {
        if (!query.filter || hasText(*book_, sheet.cellAt(row, *query.filter))) {
            query.rows.push_back(static_cast<std::uint16_t>(row));
        }
    }
    query.rowsPending = false;
}

QueryHandle WorkbookConnection::openXlsRowsQuery(const SelectStatement& statement) {
    const Workbook& outline = xls_->rows->book();
    const Sheet* sheet = outline.findSheet(statement.sheet);
    if (sheet == nullptr) {
        failWith("工作簿中没有工作表“" + statement.sheet + "”");
        return {};
    }
    Query result;
    result.sheet = static_cast<std::size_t>(sheet - outline.sheets.data());
    result.rowsPending = true;
    // Only the first row is read now, for the column names.
    const Status read =
        xls_->rows->forEachRow(result.sheet, [&](std::uint16_t row, std::span<const Cell> cells) {
            for (const Cell& cell : row == 0 ? cells : std::span<const Cell>()) {
                if (!cell.holdsValue()) {
                    continue;
                }
                // When two columns carry the same name, the first one answers.
                std::string name = cellText(outline, cell);
                if (std::none_of(result.headers.begin(), result.headers.end(),
                                 [&](const Header& h) { return h.name == name; })) {
                    result.headers.push_back({std::move(name), cell.column});
                }
            }
            return false;
        });
    if (!read) {
        fileUnreadable_ = true;
        failWith(read.error());
        return {};
    }
    if (!chooseFilter(result, statement.notNullColumn)) {
        return {};
    }
    return keep(std::move(result));
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
    if (!chooseFilter(result, statement.notNullColumn)) {
        return {};
    }
    return keep(std::move(result));
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
    if (queries_[index].rowsPending) {
        return forEachXlsRow(index, visit);
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

Status WorkbookConnection::forEachXlsRow(std::size_t index, const std::function<bool()>& visit) {
    const WorkbookRows& rows = *xls_->rows;
    const std::size_t sheet = queries_[index].sheet;
    const std::uint32_t rowCount = rows.place(sheet).rowCount;
    const std::optional<std::uint16_t> filter = queries_[index].filter;
    bool stopped = false;
    std::uint32_t stoppedAt = 0;
    walking_ = true;
    const auto visitRow = [&](std::uint32_t row, std::span<const Cell> cells) {
        if (filter && !hasText(rows.book(), cellIn(cells, *filter))) {
            return true;
        }
        queries_[index].xlsRow = row;
        queries_[index].xlsCells = cells;
        stopped = !visit();
        if (index >= queries_.size()) {
            return false; // the visitor closed the query
        }
        if (stopped) {
            stoppedAt = *queries_[index].xlsRow;
        }
        queries_[index].xlsRow.reset();
        queries_[index].xlsCells = {};
        return !stopped;
    };
    std::uint32_t next = 1; // the next row a query without a filter visits
    const Status read = rows.forEachRow(sheet, [&](std::uint16_t row, std::span<const Cell> cells) {
        if (row == 0) {
            return true;
        }
        if (row >= rowCount) {
            return false; // formatted blank cells below the last value
        }
        // Rows without cells are result rows too when nothing filters them.
        for (; !filter && next < row; ++next) {
            if (!visitRow(next, {})) {
                return false;
            }
        }
        next = row + 1u;
        return visitRow(row, cells);
    });
    walking_ = false;
    if (index < queries_.size() && !stopped) {
        // Walked to the end: the query stands past its last row.
        queries_[index].rows.clear();
        queries_[index].position = 0;
        queries_[index].rowsPending = false;
    } else if (index < queries_.size()) {
        // Stays on the row it stopped at, as a walk through listed rows does.
        wholeBook();
        listRows(queries_[index]);
        const std::vector<std::uint16_t>& listed = queries_[index].rows;
        queries_[index].position = static_cast<std::size_t>(
            std::lower_bound(listed.begin(), listed.end(), stoppedAt) - listed.begin());
    }
    if (book_) {
        xls_.reset(); // read whole meanwhile
    }
    return read;
}

const WorkbookConnection::Query* WorkbookConnection::query(QueryHandle handle) const {
    if (handle.id <= 0 || static_cast<std::size_t>(handle.id) > queries_.size() || !isOpen()) {
        return nullptr;
    }
    return &queries_[static_cast<std::size_t>(handle.id) - 1];
}

const WorkbookConnection::Query* WorkbookConnection::listedQuery(QueryHandle handle) const {
    const Query* q = query(handle);
    if (q != nullptr && q->rowsPending && q->xlsRow == std::nullopt) {
        wholeBook();
        listRows(queries_[static_cast<std::size_t>(handle.id) - 1]);
    }
    return q;
}

void WorkbookConnection::moveFirst(QueryHandle handle) {
    // A query whose rows are still to be read from the file stands on its
    // first row already.
    if (query(handle) != nullptr) {
        queries_[static_cast<std::size_t>(handle.id) - 1].position = 0;
    }
}

void WorkbookConnection::moveNext(QueryHandle handle) {
    if (const Query* q = listedQuery(handle); q != nullptr && q->position < q->rows.size()) {
        ++queries_[static_cast<std::size_t>(handle.id) - 1].position;
    }
}

bool WorkbookConnection::atEnd(QueryHandle handle) const {
    const Query* q = listedQuery(handle);
    return q == nullptr || (q->streamed == nullptr && !q->xlsRow && q->position >= q->rows.size());
}

std::size_t WorkbookConnection::rowCount(QueryHandle handle) const {
    const Query* q = listedQuery(handle);
    return q == nullptr ? 0 : q->rows.size();
}

std::uint32_t WorkbookConnection::sheetRow(QueryHandle handle) const {
    const Query* q = listedQuery(handle);
    if (q != nullptr && q->streamed != nullptr) {
        return q->streamed->index;
    }
    if (q != nullptr && q->xlsRow) {
        return *q->xlsRow;
    }
    return q == nullptr || q->position >= q->rows.size() ? 0 : q->rows[q->position];
}

std::string WorkbookConnection::read(QueryHandle handle, std::string_view column) const {
    std::string out;
    readInto(handle, column, out);
    return out;
}

void WorkbookConnection::readInto(QueryHandle handle, std::string_view column,
                                  std::string& out) const {
    // The row a walk stands on needs no listing of the sheet's rows.
    const Query* q = query(handle);
    if (q != nullptr && !q->xlsRow) {
        q = listedQuery(handle);
    }
    if (q == nullptr || q->headers.empty() ||
        (q->streamed == nullptr && !q->xlsRow && q->position >= q->rows.size())) {
        return;
    }
    // Callers read the same columns in the same order on every row, so the
    // column after the last one found is tried first.
    const std::vector<Header>& headers = q->headers;
    std::size_t index = q->guess < headers.size() ? q->guess : 0;
    if (headers[index].name != column) {
        const auto found = std::find_if(headers.begin(), headers.end(),
                                        [&](const Header& h) { return h.name == column; });
        if (found == headers.end()) {
            return;
        }
        index = static_cast<std::size_t>(found - headers.begin());
    }
    q->guess = index + 1;
    if (q->streamed != nullptr) {
        if (const XlsxCell* cell = streamedCell(*q->streamed, headers[index].column)) {
            out += cell->text;
        }
        return;
    }
    if (q->xlsRow) {
        if (const Cell* cell = cellIn(q->xlsCells, headers[index].column)) {
            appendCellText(out, xls_->rows->book(), *cell);
        }
        return;
    }
    if (const Cell* cell =
            book_->sheets[q->sheet].cellAt(q->rows[q->position], headers[index].column)) {
        appendCellText(out, *book_, *cell);
    }
}

void WorkbookConnection::closeQueries() {
    queries_.clear();
}

bool WorkbookConnection::execute(std::string_view sql) {
    if (xls_) {
        wholeBook();
    }
    if (!book_) {
        return failWith("没有打开的工作簿");
    }
    if (Status scanned = scanInsert(sql, insert_); !scanned) {
        return failWith(scanned.error());
    }
    const std::optional<std::uint32_t> row =
        prepareInsert(insert_.sheet, insert_.columnList, insert_.columns);
    return row && insertRow(*row, insert_.columns, insert_.quotedValues, true);
}

bool WorkbookConnection::appendRow(std::string_view sheet,
                                   std::span<const std::string_view> columns,
                                   std::span<const std::string_view> values) {
    if (xls_) {
        wholeBook();
    }
    if (!book_) {
        return failWith("没有打开的工作簿");
    }
    if (columns.size() != values.size()) {
        return failWith("插入语句的列数与值数不一致");
    }
    // The list is compared as joined names, as a statement's column text is.
    columnList_.clear();
    for (const std::string_view column : columns) {
        columnList_ += column;
        columnList_ += '\0';
    }
    const std::optional<std::uint32_t> row = prepareInsert(sheet, columnList_, columns);
    return row && insertRow(*row, columns, values, false);
}

std::optional<std::uint32_t>
WorkbookConnection::prepareInsert(std::string_view sheetName, std::string_view columnList,
                                  std::span<const std::string_view> columns) {
    const Sheet* sheet = book_->findSheet(sheetName);
    if (sheet == nullptr) {
        failWith("工作簿中没有工作表“" + std::string(sheetName) + "”");
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(sheet - book_->sheets.data());
    const std::uint32_t appendedEnd = index < appended_.size() ? appended_[index].endRow() : 0;
    const std::uint32_t row = std::max({sheet->rowCount(), appendedEnd, 1u});
    if (row > kLastRowIndex) {
        failWith("工作表已满：一个工作表最多 65536 行");
        return std::nullopt;
    }
    if (!mapColumns(index, columnList, columns)) {
        return std::nullopt;
    }
    return row;
}

bool WorkbookConnection::insertRow(std::uint32_t row, std::span<const std::string_view> columns,
                                   std::span<const std::string_view> values, bool quoted) {
    Sheet& sheet = book_->sheets[mappedSheet_];
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::optional<std::size_t> length = utf16Length(values[i]);
        if (!length) {
            return failWith("列“" + std::string(columns[i]) + "”的值不是有效的文本");
        }
        if (*length > kMaxCellCharacters) {
            return failWith("列“" + std::string(columns[i]) +
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
        const Cell* existing = sheet.cellAt(row, column);
        const std::uint16_t style = existing != nullptr ? existing->style : kDefaultCellStyle;
        std::string_view value = values[i];
        if (quoted && value.find("''") != std::string_view::npos) {
            unquoted_ = unquoteValue(value);
            value = unquoted_;
        }
        cells.push_back(Cell::ofText(static_cast<std::uint16_t>(row), column, style,
                                     book_->strings.intern(value)));
    }
    if (!appendBelow(row, cells)) {
        foldAppendedRows();
        sheet.putRow(static_cast<std::uint16_t>(row), cells);
    }
    modified_ = true;
    return true;
}

bool WorkbookConnection::appendBelow(std::uint32_t row, std::span<const Cell> cells) {
    // A row among the sheet's cells takes the format of the cells it meets.
    const std::span<const Cell> existing = book_->sheets[mappedSheet_].cells();
    if (!existing.empty() && existing.back().row >= row) {
        return false;
    }
    if (appended_.size() <= mappedSheet_) {
        appended_.resize(mappedSheet_ + 1);
    }
    return appended_[mappedSheet_].add(static_cast<std::uint16_t>(row), cells);
}

void WorkbookConnection::foldAppendedRows() const {
    for (std::size_t i = 0; i < appended_.size() && book_; ++i) {
        if (!appended_[i].empty()) {
            appended_[i].moveInto(book_->sheets[i]);
        }
    }
    appended_.clear();
}

bool WorkbookConnection::mapColumns(std::size_t sheet, std::string_view columnList,
                                    std::span<const std::string_view> columnNames) {
    if (sheet == mappedSheet_ && !mappedColumns_.empty() && columnList == mappedList_) {
        return true;
    }
    mappedColumns_.clear();
    const std::vector<Header> headers = headersOf(book_->sheets[sheet]);
    std::vector<std::uint16_t> columns;
    for (const std::string_view name : columnNames) {
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
    mappedList_ = std::string(columnList);
    mappedColumns_ = std::move(columns);
    return true;
}

bool WorkbookConnection::close() {
    queries_.clear();
    xlsx_.reset();
    xls_.reset();
    if (!book_) {
        path_.clear();
        return true;
    }
    bool written = true;
    if (modified_) {
        const Status saved = saveWorkbook(path_, std::move(*book_), std::move(appended_));
        if (!saved) {
            written = failWith(saved.error());
        }
    }
    book_.reset();
    appended_.clear();
    path_.clear();
    modified_ = false;
    mappedList_.clear();
    mappedColumns_.clear();
    return written;
}

void WorkbookConnection::discard() {
    modified_ = false;
    close();
}

} // namespace chengxi::xls

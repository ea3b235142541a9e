// The scenario runner's checks: the expect lines.
#include "auth/password_store.h"
#include "library/initialisation.h"
#include "scenario_run.h"
#include "store/backups.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "text/file_path.h"
#include "text/hex.h"
#include "text/integer_value.h"
#include "ui/forms/control_names.h"
#include "wording.h"
#include "xls/any_sheet.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

namespace chengxi::scenario {
namespace {

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) {
        all += (all.empty() ? "" : " ") + inQuotes(text);
    }
    return all.empty() ? "nothing" : all;
}

bool parseNumber(const std::string& text, long long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string normalFolder(const std::string& path) {
    std::string normal = text::fromPath(text::toPath(path).lexically_normal());
    while (normal.size() > 1 && (normal.back() == '/' || normal.back() == '\\')) {
        normal.pop_back();
    }
    return normal;
}

const char* iconName(ui::Icon icon) {
    switch (icon) {
    case ui::Icon::Error:
        return "error";
    case ui::Icon::Information:
        return "info";
    case ui::Icon::Warning:
        return "warning";
    case ui::Icon::None:
        break;
    }
    return "none";
}

// Every value of every row of a query on a database file, in order.
std::string queryValues(const std::string& databaseFile, const std::string& query,
                        std::vector<std::string>& values) {
    if (!std::filesystem::exists(text::toPath(databaseFile))) {
        return "a database file " + inQuotes(databaseFile) + ", found none";
    }
    store::Connection connection;
    if (!connection.open(databaseFile, false)) {
        return "the database " + inQuotes(databaseFile) + " opened, found it unreadable";
    }
    store::RecordSet records;
    if (!records.open(connection, query) || !records.toFirst()) {
        return "the query " + inQuotes(query) + " to run, found it failing";
    }
    while (records.nextRow()) {
        for (int column = 0; column < records.columnCount(); ++column) {
            values.push_back(records.read(column));
        }
    }
    return {};
}

} // namespace

ScenarioRun::Outcome ScenarioRun::expect(const Arguments& a) {
    static const std::map<std::string, Command, std::less<>> checks = {
        {"message", &ScenarioRun::expectMessage},
        {"no-message", &ScenarioRun::expectNoMessage},
        {"text", &ScenarioRun::expectText},
        {"enabled", &ScenarioRun::expectEnabled},
        {"disabled", &ScenarioRun::expectDisabled},
        {"focus", &ScenarioRun::expectFocus},
        {"rows", &ScenarioRun::expectRows},
        {"cell", &ScenarioRun::expectCell},
        {"row", &ScenarioRun::expectRow},
        {"columns", &ScenarioRun::expectColumns},
        {"selected", &ScenarioRun::expectSelected},
        {"page", &ScenarioRun::expectPage},
        {"progress", &ScenarioRun::expectProgress},
        {"window", &ScenarioRun::expectWindow},
        {"shown", &ScenarioRun::expectShown},
        {"dialog", &ScenarioRun::expectDialog},
        {"ended", &ScenarioRun::expectEnded},
        {"clipboard", &ScenarioRun::expectClipboard},
        {"printed", &ScenarioRun::expectPrinted},
        {"drawing", &ScenarioRun::expectDrawing},
        {"sql", &ScenarioRun::expectSql},
        {"sql-file", &ScenarioRun::expectSqlFile},
        {"file", &ScenarioRun::expectFile},
        {"backups", &ScenarioRun::expectBackups},
        {"settings", &ScenarioRun::expectSettings},
        {"settings-file", &ScenarioRun::expectSettingsFile},
        {"xls", &ScenarioRun::expectXls},
        {"xls-rows", &ScenarioRun::expectXlsRows},
    };
    if (a.size() < 2) {
        return "expect WHAT ..., found nothing to expect";
    }
    const auto found = checks.find(a[1]);
    if (found == checks.end()) {
        return "a known check, found expect " + inQuotes(a[1]);
    }
    // The check's own arguments start after "expect WHAT".
    return (this->*found->second)(Arguments(a.begin() + 1, a.end()));
}

ScenarioRun::Outcome ScenarioRun::expectMessage(const Arguments& a) {
    if (a.size() < 2 || a.size() % 2 != 0) {
        return "expect message TEXT [title T] [buttons B] [icon I]";
    }
    auto& messages = screen_->messages();
    const auto oldest = std::find_if(messages.begin(), messages.end(),
                                     [](const auto& shown) { return !shown.checked; });
    if (oldest == messages.end()) {
        return "a message " + inQuotes(a[1]) + ", found no unchecked message";
    }
    const ui::Message& message = oldest->message;
    if (a[1] != "*" && message.text != a[1]) {
        return "the message " + inQuotes(a[1]) + ", found " + inQuotes(message.text);
    }
    for (std::size_t i = 2; i + 1 < a.size(); i += 2) {
        const std::string& what = a[i];
        const std::string& wanted = a[i + 1];
        std::string found;
        if (what == "title") {
            found = message.title;
        } else if (what == "buttons") {
            found = message.buttons == ui::Buttons::Ok ? "OK" : "OKCancel";
        } else if (what == "icon") {
            found = iconName(message.icon);
        } else {
            return "title, buttons or icon, found " + inQuotes(what);
        }
        if (found != wanted) {
            return "the message " + inQuotes(message.text) + " with " + what + " " +
                   inQuotes(wanted) + ", found " + inQuotes(found);
        }
    }
    oldest->checked = true;
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectNoMessage(const Arguments& a) {
    if (a.size() != 1) {
        return "expect no-message without arguments";
    }
    for (const auto& shown : screen_->messages()) {
        if (!shown.checked) {
            return "no unchecked message, found " + inQuotes(shown.message.text);
        }
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectText(const Arguments& a) {
    if (a.size() != 4) {
        return "expect text WINDOW CONTROL TEXT";
    }
    ui::Control* control = nullptr;
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    if (!control->takesText() && control->kind() != ui::ControlKind::ComboBox) {
        return "a control that shows a text, found " + inQuotes(a[2]) + " of another kind";
    }
    if (control->text() != a[3]) {
        return inQuotes(a[2]) + " showing " + inQuotes(a[3]) + ", found " +
               inQuotes(control->text());
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectEnabled(const Arguments& a) {
    ui::Control* control = nullptr;
    if (a.size() != 3) {
        return "expect enabled WINDOW CONTROL";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    return control->disabled() ? inQuotes(a[2]) + " enabled, found it disabled" : Outcome{};
}

ScenarioRun::Outcome ScenarioRun::expectDisabled(const Arguments& a) {
    ui::Control* control = nullptr;
    if (a.size() != 3) {
        return "expect disabled WINDOW CONTROL";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    return control->disabled() ? Outcome{} : inQuotes(a[2]) + " disabled, found it enabled";
}

ScenarioRun::Outcome ScenarioRun::expectFocus(const Arguments& a) {
    ui::Control* control = nullptr;
    if (a.size() != 3) {
        return "expect focus WINDOW CONTROL";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    const std::string& focus = program_->window(a[1])->focus();
    return focus == a[2] ? Outcome{}
                         : "the focus on " + inQuotes(a[2]) + ", found it on " +
                               (focus.empty() ? std::string("no control") : inQuotes(focus));
}

ScenarioRun::Outcome ScenarioRun::expectRows(const Arguments& a) {
    long long wanted = 0;
    ui::Control* control = nullptr;
    if (a.size() != 4 || !parseNumber(a[3], wanted)) {
        return "expect rows WINDOW CONTROL N";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    long long rows = 0;
    if (control->kind() == ui::ControlKind::ListView) {
        rows = control->listView().rowCount();
    } else if (control->kind() == ui::ControlKind::ListBox) {
        rows = static_cast<long long>(control->items().size());
    } else {
        return "a list view or list box, found " + inQuotes(a[2]) + " of another kind";
    }
    return rows == wanted ? Outcome{}
                          : std::to_string(wanted) + " rows in " + inQuotes(a[2]) + ", found " +
                                std::to_string(rows);
}

ScenarioRun::Outcome ScenarioRun::expectCell(const Arguments& a) {
    long long row = 0, column = 0;
    ui::Control* control = nullptr;
    if (a.size() != 6 || !parseNumber(a[3], row) || !parseNumber(a[4], column)) {
        return "expect cell WINDOW CONTROL ROW COL TEXT";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    if (control->kind() != ui::ControlKind::ListView) {
        return "a list view, found " + inQuotes(a[2]) + " of another kind";
    }
    const ui::ListView& list = control->listView();
    if (row >= list.rowCount() || column >= static_cast<long long>(list.columns().size())) {
        return "a cell (" + a[3] + ", " + a[4] + ") in " + inQuotes(a[2]) + ", found " +
               std::to_string(list.rowCount()) + " rows of " +
               std::to_string(list.columns().size()) + " columns";
    }
    const std::string& cell = list.cell(static_cast<int>(row), static_cast<int>(column));
    return cell == a[5] ? Outcome{}
                        : "cell (" + a[3] + ", " + a[4] + ") of " + inQuotes(a[2]) + " holding " +
                              inQuotes(a[5]) + ", found " + inQuotes(cell);
}

ScenarioRun::Outcome ScenarioRun::expectRow(const Arguments& a) {
    long long row = 0;
    ui::Control* control = nullptr;
    if (a.size() < 4 || !parseNumber(a[3], row)) {
        return "expect row WINDOW CONTROL ROW TEXT...";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    const std::vector<std::string> wanted(a.begin() + 4, a.end());
    std::vector<std::string> found;
    if (control->kind() == ui::ControlKind::ListView) {
        if (row < control->listView().rowCount()) {
            found = control->listView().row(static_cast<int>(row));
        }
    } else if (control->kind() == ui::ControlKind::ListBox) {
        if (row < static_cast<long long>(control->items().size())) {
            found = {control->items()[row]};
        }
    } else {
        return "a list view or list box, found " + inQuotes(a[2]) + " of another kind";
    }
    if (found.empty()) {
        return "a row " + a[3] + " in " + inQuotes(a[2]) + ", found none";
    }
    return found == wanted ? Outcome{}
                           : "row " + a[3] + " of " + inQuotes(a[2]) + " holding " +
                                 joined(wanted) + ", found " + joined(found);
}

ScenarioRun::Outcome ScenarioRun::expectColumns(const Arguments& a) {
    ui::Control* control = nullptr;
    if (a.size() < 3) {
        return "expect columns WINDOW CONTROL TEXT...";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    if (control->kind() != ui::ControlKind::ListView) {
        return "a list view, found " + inQuotes(a[2]) + " of another kind";
    }
    std::vector<std::string> found;
    for (const ui::ListColumn& column : control->listView().columns()) {
        found.push_back(column.caption);
    }
    const std::vector<std::string> wanted(a.begin() + 3, a.end());
    return found == wanted ? Outcome{}
                           : "the columns " + joined(wanted) + ", found " + joined(found);
}

ScenarioRun::Outcome ScenarioRun::expectSelected(const Arguments& a) {
    long long row = 0;
    ui::Control* control = nullptr;
    if (a.size() != 4 || !std::from_chars(a[3].data(), a[3].data() + a[3].size(), row).ptr) {
        return "expect selected WINDOW CONTROL ROW";
    }
    if (Outcome outcome = findControl(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    const bool listBox = control->kind() == ui::ControlKind::ListBox;
    if (!listBox && control->kind() != ui::ControlKind::ListView) {
        return "a list view, found " + inQuotes(a[2]) + " of another kind";
    }
    const int selected = listBox ? control->currentItem() : control->listView().selected();
    return selected == row ? Outcome{}
                           : "row " + a[3] + " current in " + inQuotes(a[2]) + ", found " +
                                 std::to_string(selected);
}

ScenarioRun::Outcome ScenarioRun::expectPage(const Arguments& a) {
    long long page = 0;
    ui::Control* tabs = nullptr;
    if (a.size() != 3 || !parseNumber(a[2], page)) {
        return "expect page main N";
    }
    if (Outcome outcome = findControl(a[1], std::string(ui::names::main::kTabs), tabs);
        !outcome.empty()) {
        return outcome;
    }
    return tabs->currentPage() == page
               ? Outcome{}
               : "page " + a[2] + " in front, found page " + std::to_string(tabs->currentPage());
}

ScenarioRun::Outcome ScenarioRun::expectProgress(const Arguments& a) {
    long long position = 0, maximum = 0;
    ui::Control* bar = nullptr;
    if (a.size() != 5 || !parseNumber(a[3], position) || !parseNumber(a[4], maximum)) {
        return "expect progress WINDOW CONTROL POSITION MAXIMUM";
    }
    if (Outcome outcome = findControl(a[1], a[2], bar); !outcome.empty()) {
        return outcome;
    }
    if (bar->kind() != ui::ControlKind::ProgressBar) {
        return "a progress bar, found " + inQuotes(a[2]) + " of another kind";
    }
    return bar->position() == position && bar->maximum() == maximum
               ? Outcome{}
               : "progress " + a[3] + " of " + a[4] + ", found " + std::to_string(bar->position()) +
                     " of " + std::to_string(bar->maximum());
}

ScenarioRun::Outcome ScenarioRun::expectWindow(const Arguments& a) {
    if (a.size() != 3 || (a[2] != "shown" && a[2] != "minimised" && a[2] != "gone")) {
        return "expect window WINDOW shown|minimised|gone";
    }
    const ui::Window* window = running() ? program_->window(a[1]) : nullptr;
    const std::string found = window == nullptr            ? "gone"
                              : window->windowState() == 2 ? "minimised"
                                                           : "shown";
    return found == a[2] ? Outcome{} : "the " + a[1] + " window " + a[2] + ", found it " + found;
}

ScenarioRun::Outcome ScenarioRun::expectShown(const Arguments& a) {
    if (a.size() != 4) {
        return "expect shown WINDOW CONTROL TEXT";
    }
    std::vector<std::string> shown;
    for (const auto& repaint : screen_->repaints()) {
        if (repaint.window == a[1] && repaint.control == a[2]) {
            if (repaint.text == a[3]) {
                return {};
            }
            shown.push_back(repaint.text);
        }
    }
    return inQuotes(a[2]) + " repainted showing " + inQuotes(a[3]) + ", found " + joined(shown);
}

ScenarioRun::Outcome ScenarioRun::expectDialog(const Arguments& a) {
    if (a.size() < 2 || a.size() > 3 || (a[1] != "open" && a[1] != "save")) {
        return "expect dialog open|save [FOLDER]";
    }
    const auto& dialog = screen_->lastDialog();
    if (!dialog) {
        return "a file dialog shown, found none";
    }
    const std::string type = dialog->type == 1 ? "save" : "open";
    if (type != a[1]) {
        return "a " + a[1] + " dialog, found a " + type + " dialog";
    }
    if (a.size() == 3 &&
        normalFolder(inProgramFolder(a[2])) != normalFolder(dialog->initialFolder)) {
        return "the dialog opening in " + inQuotes(a[2]) + ", found " +
               inQuotes(dialog->initialFolder);
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectEnded(const Arguments& a) {
    if (a.size() != 1) {
        return "expect ended without arguments";
    }
    if (program_ == nullptr || !program_->ended()) {
        return "the program ended, found it running";
    }
    if (program_->exitCode() != 0 || screen_->exitCode() != 0) {
        return "exit code 0, found " + std::to_string(program_->exitCode());
    }
    sawEnded_ = true;
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectClipboard(const Arguments& a) {
    if (a.size() != 2) {
        return "expect clipboard TEXT";
    }
    return screen_->clipboard() == a[1] ? Outcome{}
                                        : "the clipboard holding " + inQuotes(a[1]) + ", found " +
                                              inQuotes(screen_->clipboard());
}

// expect printed PAGES [PAGE TEXT...]: the last document printed has PAGES
// pages, and page PAGE (0-based) shows each TEXT as its heading, a line or a
// table cell.
ScenarioRun::Outcome ScenarioRun::expectPrinted(const Arguments& a) {
    if (a.size() != 2 && a.size() < 4) {
        return "expect printed PAGES [PAGE TEXT...]";
    }
    const auto& printed = screen_->printed();
    if (!printed) {
        return "a printed document, found none";
    }
    const auto& pages = printed->pages;
    if (std::to_string(pages.size()) != a[1]) {
        return a[1] + " printed pages, found " + std::to_string(pages.size());
    }
    if (a.size() == 2) {
        return {};
    }
    const std::size_t index = static_cast<std::size_t>(text::integerValue(a[2]));
    if (index >= pages.size()) {
        return "a printed page " + a[2] + ", found " + std::to_string(pages.size()) + " pages";
    }
    const ui::PrintPage& page = pages[index];
    const auto shows = [&page](const std::string& wanted) {
        const auto among = [&wanted](const std::vector<std::string>& texts) {
            return std::find(texts.begin(), texts.end(), wanted) != texts.end();
        };
        return page.heading == wanted || among(page.lines) || among(page.closingLines) ||
               std::any_of(page.table.rows.begin(), page.table.rows.end(), among) ||
               among(page.table.headers);
    };
    for (std::size_t i = 3; i < a.size(); ++i) {
        if (!shows(a[i])) {
            return "printed page " + a[2] + " showing " + inQuotes(a[i]) + ", found none";
        }
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectDrawing(const Arguments& a) {
    long long lines = 0, characters = 0;
    ui::Control* panel = nullptr;
    if (a.size() != 5 || !parseNumber(a[3], lines) || !parseNumber(a[4], characters)) {
        return "expect drawing WINDOW CONTROL LINES CHARS";
    }
    if (Outcome outcome = findControl(a[1], a[2], panel); !outcome.empty()) {
        return outcome;
    }
    if (panel->kind() != ui::ControlKind::DrawingPanel) {
        return "a drawing panel, found " + inQuotes(a[2]) + " of another kind";
    }
    const ui::Drawing& drawing = panel->drawing();
    const std::string drawn = drawing.drawnText();
    const std::string& code = program_->library().login.currentCode;
    if (drawing.lineCount() != lines || static_cast<long long>(drawn.size()) != characters ||
        drawn != code) {
        return std::to_string(lines) + " lines and " + std::to_string(characters) +
               " characters spelling the code " + inQuotes(code) + ", found " +
               std::to_string(drawing.lineCount()) + " lines and the characters " + inQuotes(drawn);
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::expectSql(const Arguments& a) {
    if (a.size() < 2) {
        return "expect sql QUERY VALUE...";
    }
    return expectSqlFile([&] {
        Arguments withFile = {"sql-file", std::string(library::kDatabaseFileName)};
        withFile.insert(withFile.end(), a.begin() + 1, a.end());
        return withFile;
    }());
}

ScenarioRun::Outcome ScenarioRun::expectSqlFile(const Arguments& a) {
    if (a.size() < 3) {
        return "expect sql-file PATH QUERY VALUE...";
    }
    std::vector<std::string> values;
    if (Outcome outcome = queryValues(inProgramFolder(a[1]), a[2], values); !outcome.empty()) {
        return outcome;
    }
    const std::vector<std::string> wanted(a.begin() + 3, a.end());
    return values == wanted ? Outcome{}
                            : "the query " + inQuotes(a[2]) + " giving " + joined(wanted) +
                                  ", found " + joined(values);
}

ScenarioRun::Outcome ScenarioRun::expectFile(const Arguments& a) {
    if (a.size() != 3 || (a[2] != "exists" && a[2] != "missing")) {
        return "expect file PATH exists|missing";
    }
    const bool exists = std::filesystem::exists(text::toPath(inProgramFolder(a[1])));
    const std::string found = exists ? "exists" : "missing";
    return found == a[2] ? Outcome{}
                         : "the file " + inQuotes(a[1]) + " " + a[2] + ", found it " + found;
}

ScenarioRun::Outcome ScenarioRun::expectBackups(const Arguments& a) {
    long long wanted = 0;
    if (a.size() != 2 || !parseNumber(a[1], wanted)) {
        return "expect backups N";
    }
    const auto count = static_cast<long long>(store::backupFiles(programFolder_.utf8()).size());
    return count == wanted ? Outcome{} : a[1] + " backup files, found " + std::to_string(count);
}

ScenarioRun::Outcome ScenarioRun::expectSettings(const Arguments& a) {
    std::string wanted;
    if (a.size() != 2 || !text::decodeHex(a[1], wanted)) {
        return "expect settings HEX";
    }
    const std::optional<std::string> stored = auth::readStoredPassword(text::toPath(settingsFile_));
    if (!stored) {
        return "the stored password " + inQuotes(text::encodeHex(wanted)) +
               ", found a settings file that cannot be read";
    }
    return *stored == wanted ? Outcome{}
                             : "the stored password " + inQuotes(text::encodeHex(wanted)) +
                                   ", found " + inQuotes(text::encodeHex(*stored));
}

ScenarioRun::Outcome ScenarioRun::expectSettingsFile(const Arguments& a) {
    if (a.size() != 2) {
        return "expect settings-file HEX|missing";
    }
    const auto path = text::toPath(settingsFile_);
    const bool exists = std::filesystem::exists(path);
    if (a[1] == "missing") {
        return exists ? "no settings file, found one" : Outcome{};
    }
    std::string wanted;
    if (!text::decodeHex(a[1], wanted)) {
        return "expect settings-file HEX|missing";
    }
    if (!exists) {
        return "a settings file, found none";
    }
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return bytes == wanted ? Outcome{}
                           : "the settings file " + inQuotes(text::encodeHex(wanted)) + ", found " +
                                 inQuotes(text::encodeHex(bytes));
}

ScenarioRun::Outcome ScenarioRun::expectXls(const Arguments& a) {
    long long row = 0, column = 0;
    if (a.size() != 5 || !parseNumber(a[2], row) || !parseNumber(a[3], column)) {
        return "expect xls PATH ROW COL TEXT";
    }
    const auto sheet = xls::readFirstSheetOfAnyKind(inProgramFolder(a[1]));
    if (!sheet) {
        return "a readable workbook " + inQuotes(a[1]) + ", found: " + sheet.error();
    }
    const std::string& cell =
        sheet->at(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
    return cell == a[4] ? Outcome{}
                        : "cell (" + a[2] + ", " + a[3] + ") of " + inQuotes(a[1]) + " reading " +
                              inQuotes(a[4]) + ", found " + inQuotes(cell);
}

ScenarioRun::Outcome ScenarioRun::expectXlsRows(const Arguments& a) {
    long long wanted = 0;
    if (a.size() != 3 || !parseNumber(a[2], wanted)) {
        return "expect xls-rows PATH N";
    }
    const auto sheet = xls::readFirstSheetOfAnyKind(inProgramFolder(a[1]));
    if (!sheet) {
        return "a readable workbook " + inQuotes(a[1]) + ", found: " + sheet.error();
    }
    const auto rows = static_cast<long long>(sheet->rows.size());
    return rows == wanted ? Outcome{}
                          : a[2] + " rows in " + inQuotes(a[1]) + ", found " + std::to_string(rows);
}

} // namespace chengxi::scenario

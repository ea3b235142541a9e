// The scenario runner: reading the file, set-up commands and person actions.
#include "scenario_run.h"

#include "arguments.h"
#include "library/initialisation.h"
#include "store/connection.h"
#include "text/file_path.h"
#include "text/hex.h"
#include "text/utf8.h"
#include "ui/forms/control_names.h"
#include "wording.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace chengxi::scenario {
namespace {

// The dialogs the main window opens.
constexpr std::string_view kDialogs[] = {ui::names::promotion::kWindow, ui::names::cards::kWindow,
                                         ui::names::book::kWindow};

bool isDialog(std::string_view windowId) {
    return std::find(std::begin(kDialogs), std::end(kDialogs), windowId) != std::end(kDialogs);
}

bool parseInt(const std::string& text, long long& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && begin != end;
}

std::string swapLetterCase(std::string code) {
    for (char& c : code) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return code;
}

bool onlyDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

ScenarioRun::ScenarioRun(std::string scenarioPath, bool keepFolders)
    : path_(std::move(scenarioPath)), keep_(keepFolders), programFolder_("chengxi-program"),
      settingsFolder_("chengxi-settings") {
    here_ = text::fromPath(std::filesystem::absolute(text::toPath(path_)).parent_path());
    settingsFile_ = text::joinPath(settingsFolder_.utf8(), "mzqk.ini");
    screen_ = std::make_unique<ScriptedScreen>(programFolder_.utf8());
}

ScenarioResult ScenarioRun::run() {
    ScenarioResult result;
    if (keep_) {
        programFolder_.keep();
        settingsFolder_.keep();
        result.keptFolders = {programFolder_.utf8(), settingsFolder_.utf8()};
    }
    std::ifstream file(text::toPath(path_), std::ios::binary);
    if (!file) {
        result.failure = path_ + ":0: a readable scenario file, found none";
        return result;
    }
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        Outcome outcome;
        if (!text::isValidUtf8(line)) {
            outcome = "a UTF-8 line, found malformed bytes";
        } else if (const auto arguments = splitArguments(line); !arguments) {
            outcome = "a closing quote, found an unterminated quoted argument";
        } else {
            Arguments substituted;
            for (const std::string& argument : *arguments) {
                substituted.push_back(substitute(argument));
            }
            outcome = execute(substituted);
        }
        if (!outcome.empty()) {
            result.failure = path_ + ":" + std::to_string(number) + ": " + outcome;
            return result;
        }
    }
    for (const auto& shown : screen_->messages()) {
        if (!shown.checked) {
            result.failure = path_ + ":" + std::to_string(number) +
                             ": every message box checked, found " + inQuotes(shown.message.text) +
                             " unchecked";
            return result;
        }
    }
    result.passed = true;
    return result;
}

std::string ScenarioRun::substitute(const std::string& argument) const {
    // Longest name first, so $CODE_WRONGCASE is not read as $CODE.
    static const std::string_view names[] = {"$CODE_WRONGCASE", "$CODE", "$DIR", "$HERE"};
    std::string out;
    for (std::size_t i = 0; i < argument.size();) {
        bool replaced = false;
        for (const std::string_view name : names) {
            if (argument.compare(i, name.size(), name) == 0) {
                if (name == "$CODE_WRONGCASE") {
                    out += swapLetterCase(lastCode_);
                } else if (name == "$CODE") {
                    out += lastCode_;
                } else if (name == "$DIR") {
                    out += programFolder_.utf8();
                } else {
                    out += here_;
                }
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += argument[i++];
        }
    }
    return out;
}

ScenarioRun::Outcome ScenarioRun::execute(const Arguments& arguments) {
    static const std::map<std::string, Command, std::less<>> commands = {
        {"clock", &ScenarioRun::setClock},
        {"ticks", &ScenarioRun::setTicks},
        {"put", &ScenarioRun::put},
        {"sql", &ScenarioRun::runSql},
        {"settings-hex", &ScenarioRun::writeSettings},
        {"start", &ScenarioRun::start},
        {"restart", &ScenarioRun::restart},
        {"type", &ScenarioRun::type},
        {"click", &ScenarioRun::click},
        {"enter", &ScenarioRun::enter},
        {"tab", &ScenarioRun::tab},
        {"pick", &ScenarioRun::pick},
        {"select", &ScenarioRun::select},
        {"spin", &ScenarioRun::spin},
        {"answer", &ScenarioRun::answer},
        {"choose", &ScenarioRun::choose},
        {"choose-cancel", &ScenarioRun::chooseCancel},
        {"expect", &ScenarioRun::expect},
    };
    const std::string& name = arguments.front();
    if (name == "repeat") {
        long long times = 0;
        if (arguments.size() < 3 || !parseInt(arguments[1], times) || times < 0) {
            return "repeat N COMMAND..., found " + std::to_string(arguments.size() - 1) +
                   " arguments or a bad count";
        }
        const Arguments command(arguments.begin() + 2, arguments.end());
        for (long long i = 0; i < times; ++i) {
            if (Outcome outcome = execute(command); !outcome.empty()) {
                return outcome + " (repetition " + std::to_string(i + 1) + ")";
            }
        }
        return {};
    }
    const auto found = commands.find(name);
    if (found == commands.end()) {
        return "a known command, found " + inQuotes(name);
    }
    if (sawEnded_ && name != "expect") {
        return "only expect lines after expect ended, found " + inQuotes(name);
    }
    const bool isAction = name != "expect" && name != "clock" && name != "ticks" && name != "put" &&
                          name != "sql" && name != "settings-hex" && name != "answer" &&
                          name != "choose" && name != "choose-cancel";
    if (isAction) {
        screen_->forgetRepaints();
    }
    Outcome outcome = (this->*found->second)(arguments);
    if (outcome.empty() && isAction) {
        outcome = afterAction();
    }
    return outcome;
}

ScenarioRun::Outcome ScenarioRun::afterAction() {
    if (running()) {
        // A window that has just appeared becomes active.
        program_->activated(ui::names::login::kWindow);
        program_->activated(ui::names::main::kWindow);
    }
    if (running()) {
        lastCode_ = program_->library().login.currentCode;
    }
    if (std::string problem = screen_->takeProblem(); !problem.empty()) {
        return problem;
    }
    return {};
}

std::string ScenarioRun::inProgramFolder(const std::string& path) const {
    const auto given = text::toPath(path);
    return given.is_absolute() ? path : text::fromPath(programFolder_.path() / given);
}

// ---- Set-up -------------------------------------------------------------

ScenarioRun::Outcome ScenarioRun::setClock(const Arguments& a) {
    if (a.size() == 3 && (a[2] == "days" || a[2] == "seconds")) {
        long long amount = 0;
        if (!parseInt(a[1], amount)) {
            return "clock +N days or clock +N seconds, found " + inQuotes(a[1]);
        }
        clock_.advanceSeconds(a[2] == "days" ? amount * 86400 : amount);
        return {};
    }
    text::DateTime when;
    if (a.size() != 3 ||
        std::sscanf((a[1] + " " + a[2]).c_str(), "%d-%d-%d %d:%d:%d", &when.year, &when.month,
                    &when.day, &when.hour, &when.minute, &when.second) != 6 ||
        !text::isValidDate(when.year, when.month, when.day) || when.hour < 0 || when.hour > 23 ||
        when.minute < 0 || when.minute > 59 || when.second < 0 || when.second > 59) {
        return "clock YYYY-MM-DD HH:MM:SS, found a malformed date-time";
    }
    clock_.set(when);
    return {};
}

ScenarioRun::Outcome ScenarioRun::setTicks(const Arguments& a) {
    long long ticks = 0;
    if (a.size() != 2 || !parseInt(a[1], ticks) || ticks < 0 || ticks > 0xFFFFFFFFLL) {
        return "ticks N with N a 32-bit tick count";
    }
    clock_.setTicks(static_cast<std::uint32_t>(ticks));
    return {};
}

ScenarioRun::Outcome ScenarioRun::put(const Arguments& a) {
    if (a.size() != 3) {
        return "put NAME SOURCE";
    }
    auto source = text::toPath(a[2]);
    if (source.is_relative()) {
        source = text::toPath(here_) / source;
    }
    std::error_code error;
    std::filesystem::copy_file(source, text::toPath(inProgramFolder(a[1])),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        return "a copy of " + inQuotes(a[2]) + ", found " + error.message();
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::runSql(const Arguments& a) {
    if (a.size() < 2) {
        return "sql STATEMENT [VALUE...]";
    }
    const std::string file = inProgramFolder(std::string(library::kDatabaseFileName));
    store::Connection connection;
    if (!connection.open(file, true)) {
        return "the database " + inQuotes(file) + " opened, found it unopenable";
    }
    const std::vector<std::string> values(a.begin() + 2, a.end());
    if (!connection.execute(a[1], std::span<const std::string>(values))) {
        return "the statement " + inQuotes(a[1]) + " to run, found it failing";
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::writeSettings(const Arguments& a) {
    std::string bytes;
    if (a.size() != 2 || !text::decodeHex(a[1], bytes)) {
        return "settings-hex HEX";
    }
    std::ofstream file(text::toPath(settingsFile_), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file ? Outcome{} : "a written settings file, found a write failure";
}

ScenarioRun::Outcome ScenarioRun::start(const Arguments& a) {
    if (a.size() != 1) {
        return "start without arguments";
    }
    if (running()) {
        return "a program not yet running, found it running";
    }
    program_ = std::make_unique<app::Program>(
        app::ProgramPaths{programFolder_.utf8(), settingsFile_}, *screen_, clock_);
    program_->start();
    return {};
}

ScenarioRun::Outcome ScenarioRun::restart(const Arguments& a) {
    if (a.size() != 1) {
        return "restart without arguments";
    }
    if (running()) {
        const bool mainOpen = program_->window(ui::names::main::kWindow) != nullptr;
        const std::string window(mainOpen ? ui::names::main::kWindow : ui::names::login::kWindow);
        program_->fire(window, ui::names::main::kClose, ui::Event::Clicked);
        if (!program_->ended()) {
            return "the close button to end the program, found it still running";
        }
    }
    program_.reset();
    return start({"start"});
}

// ---- Acting -------------------------------------------------------------

ScenarioRun::Outcome ScenarioRun::findControl(const std::string& windowId, const std::string& name,
                                              ui::Control*& control) {
    if (!running()) {
        return "a running program, found " + std::string(program_ ? "it ended" : "none started");
    }
    if (windowId != ui::names::login::kWindow && windowId != ui::names::main::kWindow &&
        !isDialog(windowId)) {
        return "a window named login or main, found " + inQuotes(windowId);
    }
    ui::Window* window = program_->window(windowId);
    if (window == nullptr) {
        return "the " + windowId + " window open, found it gone";
    }
    control = window->find(name);
    if (control == nullptr) {
        return "a control " + inQuotes(name) + " in the " + windowId + " window, found none";
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::actOn(const std::string& windowId, const std::string& name,
                                        ui::Control*& control) {
    if (Outcome outcome = findControl(windowId, name, control); !outcome.empty()) {
        return outcome;
    }
    // A dialog is modal: the window behind it takes nothing until it closes.
    for (const std::string_view dialog : kDialogs) {
        if (dialog != windowId && program_->window(dialog) != nullptr) {
            return "the " + windowId + " window free to act on, found the " + std::string(dialog) +
                   " dialog open";
        }
    }
    ui::Window& window = *program_->window(windowId);
    if (window.windowState() == 2) {
        window.setWindowState(0); // as a click on its task-bar entry would
    }
    if (!window.isShown(*control)) {
        return inQuotes(name) + " visible, found it hidden or on a page not in front";
    }
    if (!window.isUsable(*control)) {
        return inQuotes(name) + " enabled, found it disabled";
    }
    return {};
}

ScenarioRun::Outcome ScenarioRun::fire(const std::string& windowId, const std::string& control,
                                       ui::Event event, int argument) {
    program_->fire(windowId, control, event, argument);
    return {};
}

ScenarioRun::Outcome ScenarioRun::type(const Arguments& a) {
    if (a.size() != 4) {
        return "type WINDOW CONTROL TEXT";
    }
    ui::Control* control = nullptr;
    if (Outcome outcome = actOn(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    if (control->kind() != ui::ControlKind::EditBox) {
        return "an edit box to type into, found " + inQuotes(a[2]) + " of another kind";
    }
    if (control->inputMode() == ui::InputMode::ReadOnly) {
        return "an editable box, found " + inQuotes(a[2]) + " read-only";
    }
    std::string typed = a[3];
    if (control->inputMode() == ui::InputMode::Integer) {
        std::erase_if(typed, [](char c) { return c < '0' || c > '9'; });
    }
    program_->window(a[1])->setFocus(a[2]);
    control->setText(std::move(typed));
    return {};
}

ScenarioRun::Outcome ScenarioRun::click(const Arguments& a) {
    if (a.size() != 3) {
        return "click WINDOW CONTROL";
    }
    ui::Control* control = nullptr;
    if (Outcome outcome = actOn(a[1], a[2], control); !outcome.empty()) {
        return outcome;
    }
    if (control->kind() != ui::ControlKind::Button &&
        control->kind() != ui::ControlKind::PictureButton) {
        return "a button to click, found " + inQuotes(a[2]) + " of another kind";
    }
    return fire(a[1], a[2], ui::Event::Clicked);
}

ScenarioRun::Outcome ScenarioRun::enter(const Arguments& a) {
    if (a.size() == 3) {
        return enterIn(a[1], a[2]);
    }
    if (a.size() != 2) {
        return "enter WINDOW [CONTROL]";
    }
    if (!running() || program_->window(a[1]) == nullptr) {
        return "the " + a[1] + " window open, found none";
    }
    for (const ui::Control& control : program_->window(a[1])->controls()) {
        if (control.isDefaultButton()) {
            return click({"click", a[1], std::string(control.name())});
        }
    }
    return "a default button in the " + a[1] + " window, found none";
}

ScenarioRun::Outcome ScenarioRun::enterIn(const std::string& windowId, const std::string& name) {
    ui::Control* control = nullptr;
    if (Outcome outcome = actOn(windowId, name, control); !outcome.empty()) {
        return outcome;
    }
    if (control->kind() != ui::ControlKind::EditBox) {
        return "an edit box to press Enter in, found " + inQuotes(name) + " of another kind";
    }
    program_->window(windowId)->setFocus(name);
    return fire(windowId, name, ui::Event::EnterPressed);
}

ScenarioRun::Outcome ScenarioRun::tab(const Arguments& a) {
    if (a.size() != 3) {
        return "tab main PAGE";
    }
    ui::Control* tabs = nullptr;
    if (Outcome outcome = actOn(a[1], std::string(ui::names::main::kTabs), tabs);
        !outcome.empty()) {
        return outcome;
    }
    const auto& captions = tabs->pageCaptions();
    int page = -1;
    if (onlyDigits(a[2])) {
        page = std::stoi(a[2]);
    } else {
        for (std::size_t i = 0; i < captions.size(); ++i) {
            if (captions[i] == a[2]) {
                page = static_cast<int>(i);
            }
        }
    }
    if (page < 0 || page >= static_cast<int>(captions.size())) {
        return "a page index or caption, found " + inQuotes(a[2]);
    }
    if (page == tabs->currentPage()) {
        return {};
    }
    tabs->setCurrentPage(page);
    return fire(a[1], std::string(ui::names::main::kTabs), ui::Event::PageChanged);
}

ScenarioRun::Outcome ScenarioRun::pick(const Arguments& a) {
    if (a.size() != 4) {
        return "pick WINDOW CONTROL TEXT";
    }
    ui::Control* combo = nullptr;
    if (Outcome outcome = actOn(a[1], a[2], combo); !outcome.empty()) {
        return outcome;
    }
    if (combo->kind() != ui::ControlKind::ComboBox) {
        return "a combo box, found " + inQuotes(a[2]) + " of another kind";
    }
    const auto& items = combo->items();
    const auto found = std::find(items.begin(), items.end(), a[3]);
    if (found == items.end()) {
        return "an item " + inQuotes(a[3]) + " in " + inQuotes(a[2]) + ", found none";
    }
    const int index = static_cast<int>(found - items.begin());
    if (index == combo->currentItem()) {
        return {};
    }
    combo->setCurrentItem(index);
    return fire(a[1], a[2], ui::Event::SelectionChanged);
}

ScenarioRun::Outcome ScenarioRun::select(const Arguments& a) {
    long long row = 0;
    if (a.size() != 4 || !parseInt(a[3], row)) {
        return "select WINDOW CONTROL ROW";
    }
    ui::Control* list = nullptr;
    if (Outcome outcome = actOn(a[1], a[2], list); !outcome.empty()) {
        return outcome;
    }
    if (list->kind() == ui::ControlKind::ListBox) {
        const auto items = static_cast<long long>(list->items().size());
        if (row < 0 || row >= items) {
            return "a row below " + std::to_string(items) + ", found row " + std::to_string(row);
        }
        list->setCurrentItem(static_cast<int>(row));
        return {};
    }
    if (list->kind() != ui::ControlKind::ListView) {
        return "a list view, found " + inQuotes(a[2]) + " of another kind";
    }
    ui::ListView& view = list->listView();
    if (row < 0 || row >= view.rowCount()) {
        return "a row below " + std::to_string(view.rowCount()) + ", found row " +
               std::to_string(row);
    }
    if (row == view.selected()) {
        return {};
    }
    view.setSelected(static_cast<int>(row));
    return fire(a[1], a[2], ui::Event::RowSelected);
}

ScenarioRun::Outcome ScenarioRun::spin(const Arguments& a) {
    if (a.size() != 4 || (a[3] != "up" && a[3] != "down")) {
        return "spin WINDOW CONTROL up|down";
    }
    ui::Control* edit = nullptr;
    if (Outcome outcome = actOn(a[1], a[2], edit); !outcome.empty()) {
        return outcome;
    }
    if (!edit->hasSpin()) {
        return "an edit box with spin buttons, found " + inQuotes(a[2]) + " without";
    }
    return fire(a[1], a[2], ui::Event::Spin, a[3] == "up" ? 1 : -1);
}

ScenarioRun::Outcome ScenarioRun::answer(const Arguments& a) {
    if (a.size() != 2 || (a[1] != "OK" && a[1] != "Cancel")) {
        return "answer OK or answer Cancel";
    }
    screen_->queueAnswer(a[1] == "OK" ? ui::Answer::Ok : ui::Answer::Cancel);
    return {};
}

ScenarioRun::Outcome ScenarioRun::choose(const Arguments& a) {
    if (a.size() != 2) {
        return "choose PATH";
    }
    screen_->queueFile(a[1]);
    return {};
}

ScenarioRun::Outcome ScenarioRun::chooseCancel(const Arguments& a) {
    if (a.size() != 1) {
        return "choose-cancel without arguments";
    }
    screen_->queueFile(std::nullopt);
    return {};
}

} // namespace chengxi::scenario

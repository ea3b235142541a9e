#pragma once

#include <span>
#include <string_view>

namespace chengxi::ui {

enum class ControlKind {
    EditBox,
    Button,
    TransparentLabel,
    Label,
    GroupBox,
    ComboBox,
    ListBox,
    ListView,
    ProgressBar,
    TabControl,
    PictureBox,
    PictureButton,
    DrawingPanel,
    FileDialog,
    SpreadsheetApplication,
    Workbook,
    WorkbookConnection,
};

enum class InputMode { Normal = 0, ReadOnly = 1, Password = 2, Integer = 3 };

enum class Alignment { Left, Centre };

// The picture a picture box or picture button shows; the program draws them itself.
enum class Picture { None, Icon, HeaderOrnament, Minimise, Close };

struct FontRecord {
    bool kai = false;  // the Kai face of the window titles; otherwise the default face
    int pixelSize = 0; // 0 means the window's default size
    bool bold = false;
};

struct ColumnRecord {
    std::string_view caption;
    int width = 0;
    Alignment alignment = Alignment::Left;
};

// One record of a stored form: a control as the form defines it.
struct ControlRecord {
    std::string_view name{};
    ControlKind kind = ControlKind::Label;
    std::string_view parent{}; // empty: the window; else a tab control or group box
    int page = -1;             // the page of the tab control it sits on
    int left = 0, top = 0, width = 0, height = 0;
    std::string_view text{}; // edit text or caption
    InputMode input = InputMode::Normal;
    bool disabled = false;
    bool isDefault = false; // pressed by Enter
    bool spin = false;      // edit box with spin buttons
    FontRecord font{};
    Picture picture = Picture::None;
    std::span<const ColumnRecord> columns{};
    std::span<const std::string_view> items{};                 // combo items, or tab page captions
    std::span<const std::span<const std::string_view>> rows{}; // fixed list rows
    std::string_view filter{};                                 // file dialog: "description|pattern"
    std::string_view defaultExtension{};                       // file dialog
    // A list view shown as a bar chart: column 0 names the bars' groups, every
    // further column is one series headed by its caption.
    bool barChart = false;
};

struct FormRecord {
    std::string_view id; // "login", "main" or "book"
    std::string_view caption;
    int width = 0, height = 0;
    std::span<const ControlRecord> controls;
};

} // namespace chengxi::ui

#include "ui/controls/control.h"

#include <cstdio>
#include <cstdlib>

namespace chengxi::ui {

Control::Control(const ControlRecord& record)
    : record_(&record), left_(record.left), top_(record.top), width_(record.width),
      height_(record.height), disabled_(record.disabled), text_(record.text) {
    switch (record.kind) {
    case ControlKind::ListView: {
        ListView& list = state_.emplace<ListView>();
        for (const ColumnRecord& column : record.columns) {
            list.addColumn({std::string(column.caption), column.width, column.alignment});
        }
        for (const auto& cells : record.rows) {
            const int row = list.appendRow();
            for (std::size_t column = 0; column < cells.size(); ++column) {
                list.setCell(row, static_cast<int>(column), std::string(cells[column]));
            }
        }
        break;
    }
    case ControlKind::DrawingPanel:
        state_.emplace<Drawing>();
        break;
    case ControlKind::FileDialog: {
        FileDialogState& dialog = state_.emplace<FileDialogState>();
        dialog.filter = record.filter;
        dialog.defaultExtension = record.defaultExtension;
        break;
    }
    case ControlKind::ComboBox:
    case ControlKind::TabControl:
        items_.assign(record.items.begin(), record.items.end());
        current_ = items_.empty() ? -1 : 0;
        break;
    default:
        break;
    }
}

void Control::requireKind(bool ok, const char* what) const {
    if (!ok) {
        std::fprintf(stderr, "control %.*s is not %s\n", static_cast<int>(name().size()),
                     name().data(), what);
        std::abort();
    }
}

bool Control::takesText() const {
    switch (kind()) {
    case ControlKind::EditBox:
    case ControlKind::Button:
    case ControlKind::TransparentLabel:
    case ControlKind::Label:
    case ControlKind::GroupBox:
        return true;
    default:
        return false;
    }
}

const std::string& Control::text() const {
    static const std::string empty;
    if (kind() == ControlKind::ComboBox) {
        return current_ >= 0 ? items_[current_] : empty;
    }
    return text_;
}

void Control::setText(std::string text) {
    requireKind(takesText(), "an edit box or captioned control");
    text_ = std::move(text);
}

const std::vector<std::string>& Control::items() const {
    requireKind(kind() == ControlKind::ComboBox || kind() == ControlKind::ListBox,
                "a combo box or list box");
    return items_;
}

int Control::currentItem() const {
    requireKind(kind() == ControlKind::ComboBox || kind() == ControlKind::ListBox,
                "a combo box or list box");
    return current_;
}

void Control::setCurrentItem(int index) {
    requireKind(kind() == ControlKind::ComboBox || kind() == ControlKind::ListBox,
                "a combo box or list box");
    current_ = (index >= 0 && index < static_cast<int>(items_.size())) ? index : -1;
}

void Control::addItem(std::string item) {
    requireKind(kind() == ControlKind::ListBox || kind() == ControlKind::ComboBox,
                "a list box or combo box");
    items_.push_back(std::move(item));
    ++itemsRevision_;
}

void Control::clearItems() {
    requireKind(kind() == ControlKind::ListBox || kind() == ControlKind::ComboBox,
                "a list box or combo box");
    items_.clear();
    current_ = -1;
    ++itemsRevision_;
}

const std::vector<std::string>& Control::pageCaptions() const {
    requireKind(kind() == ControlKind::TabControl, "a tab control");
    return items_;
}

int Control::currentPage() const {
    requireKind(kind() == ControlKind::TabControl, "a tab control");
    return current_;
}

void Control::setCurrentPage(int page) {
    requireKind(kind() == ControlKind::TabControl, "a tab control");
    if (page >= 0 && page < static_cast<int>(items_.size())) {
        current_ = page;
    }
}

int Control::maximum() const {
    requireKind(kind() == ControlKind::ProgressBar, "a progress bar");
    return maximum_;
}

int Control::position() const {
    requireKind(kind() == ControlKind::ProgressBar, "a progress bar");
    return position_;
}

void Control::setMaximum(int maximum) {
    requireKind(kind() == ControlKind::ProgressBar, "a progress bar");
    maximum_ = maximum;
}

void Control::setPosition(int position) {
    requireKind(kind() == ControlKind::ProgressBar, "a progress bar");
    position_ = position;
}

ListView& Control::listView() {
    requireKind(kind() == ControlKind::ListView, "a list view");
    return std::get<ListView>(state_);
}

const ListView& Control::listView() const {
    requireKind(kind() == ControlKind::ListView, "a list view");
    return std::get<ListView>(state_);
}

Drawing& Control::drawing() {
    requireKind(kind() == ControlKind::DrawingPanel, "a drawing panel");
    return std::get<Drawing>(state_);
}

const Drawing& Control::drawing() const {
    requireKind(kind() == ControlKind::DrawingPanel, "a drawing panel");
    return std::get<Drawing>(state_);
}

FileDialogState& Control::fileDialog() {
    requireKind(kind() == ControlKind::FileDialog, "a file dialog");
    return std::get<FileDialogState>(state_);
}

const FileDialogState& Control::fileDialog() const {
    requireKind(kind() == ControlKind::FileDialog, "a file dialog");
    return std::get<FileDialogState>(state_);
}

} // namespace chengxi::ui

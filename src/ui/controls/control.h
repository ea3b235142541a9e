#pragma once

#include "ui/controls/drawing.h"
#include "ui/controls/form_records.h"
#include "ui/controls/list_view.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace chengxi::ui {

// The state of the common file dialog between uses.
struct FileDialogState {
    int type = 0; // 0 open a file, 1 save a file
    std::string fileName;
    std::string initialFolder;
    std::string filter;
    std::string defaultExtension;
};

// One control of a window as the operations see it: its form record plus
// everything that changes while the program runs. Accessors of one kind's
// state abort on a control of another kind: that is a programming error.
class Control {
public:
    explicit Control(const ControlRecord& record);

    std::string_view name() const { return record_->name; }
    ControlKind kind() const { return record_->kind; }
    std::string_view parent() const { return record_->parent; }
    int page() const { return record_->page; }
    const ControlRecord& record() const { return *record_; }

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    bool disabled() const { return disabled_; }
    void setDisabled(bool disabled) { disabled_ = disabled; }

    // An edit box's content, the caption of a label, group box or button, or
    // the current item of a combo box.
    const std::string& text() const;
    // Edit boxes and captioned controls only.
    void setText(std::string text);

    InputMode inputMode() const { return record_->input; }
    bool hasSpin() const { return record_->spin; }
    bool isDefaultButton() const { return record_->isDefault; }
    bool takesText() const; // edit boxes and captioned controls

    // Combo box and list box: the items and the index of the current one
    // (-1 none); refilling a list box leaves none current.
    const std::vector<std::string>& items() const;
    int currentItem() const;
    void setCurrentItem(int index);

    // List box.
    void addItem(std::string item);
    void clearItems();

    // Tab control: page captions and the page in front.
    const std::vector<std::string>& pageCaptions() const;
    int currentPage() const;
    void setCurrentPage(int page);

    // Progress bar: range 0..maximum.
    int maximum() const;
    int position() const;
    void setMaximum(int maximum);
    void setPosition(int position);

    ListView& listView();
    const ListView& listView() const;
    Drawing& drawing();
    const Drawing& drawing() const;
    FileDialogState& fileDialog();
    const FileDialogState& fileDialog() const;

    // Grows with every change of the items (list box, combo box).
    std::uint64_t itemsRevision() const { return itemsRevision_; }

private:
    void requireKind(bool ok, const char* what) const;

    const ControlRecord* record_;
    int left_, top_, width_, height_;
    bool visible_ = true;
    bool disabled_;
    std::string text_;
    std::vector<std::string> items_;
    int current_ = -1;
    int maximum_ = 100;
    int position_ = 0;
    std::uint64_t itemsRevision_ = 0;
    std::variant<std::monostate, ListView, Drawing, FileDialogState> state_;
};

} // namespace chengxi::ui

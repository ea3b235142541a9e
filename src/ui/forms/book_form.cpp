#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <array>
#include <cstddef>
#include <span>

namespace chengxi::ui {
namespace {

using K = ControlKind;
namespace n = names::book;

constexpr int kWidth = 560;
constexpr int kHeight = 400;
constexpr std::size_t kFieldCount = std::size(n::kFields);
// The header strip, a caption and a box for each column in two columns of
// eight rows, then the two buttons.
constexpr std::size_t kFixedCount = 6;
constexpr int kRowsPerColumn = 8;

constexpr std::array<ControlRecord, kFixedCount + 2 * kFieldCount> makeControls() {
    std::array<ControlRecord, kFixedCount + 2 * kFieldCount> controls{};
    // clang-format off
    controls[0] = {.name = n::kIcon, .kind = K::PictureBox, .left = 2, .top = 2,
                   .width = 32, .height = 32, .picture = Picture::Icon};
    controls[1] = {.name = n::kTitle, .kind = K::TransparentLabel, .left = 38, .top = 2,
                   .width = 234, .height = 32, .text = "图书信息",
                   .font = {.kai = true, .pixelSize = 18, .bold = true}};
    controls[2] = {.name = n::kClose, .kind = K::PictureButton, .left = kWidth - 46, .top = 2,
                   .width = 44, .height = 16, .picture = Picture::Close};
    controls[3] = {.name = n::kSave, .kind = K::Button, .left = 150, .top = 348, .width = 104,
                   .height = 32, .text = "保存", .isDefault = true};
    controls[4] = {.name = n::kCancel, .kind = K::Button, .left = 306, .top = 348, .width = 104,
                   .height = 32, .text = "取消"};
    controls[5] = {.name = n::kNote, .kind = K::TransparentLabel, .left = 290, .top = 2,
                   .width = 220, .height = 32, .text = "图书编号必填，不能与其他图书相同"};
    // clang-format on
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const int column = static_cast<int>(i) / kRowsPerColumn;
        const int row = static_cast<int>(i) % kRowsPerColumn;
        const int left = 12 + column * 278;
        const int top = 50 + row * 36;
        controls[kFixedCount + 2 * i] = {.name = n::kFields[i].caption,
                                         .kind = K::TransparentLabel,
                                         .left = left,
                                         .top = top + 4,
                                         .width = 64,
                                         .height = 24,
                                         .text = n::kFields[i].column};
        controls[kFixedCount + 2 * i + 1] = {.name = n::kFields[i].box,
                                             .kind = K::EditBox,
                                             .left = left + 68,
                                             .top = top,
                                             .width = 190,
                                             .height = 28};
    }
    return controls;
}

constexpr auto kControls = makeControls();

constexpr FormRecord kBookForm = {
    .id = n::kWindow,
    .caption = "澄溪图书管理系统 － 图书信息",
    .width = kWidth,
    .height = kHeight,
    .controls = kControls,
};

} // namespace

const FormRecord& bookForm() {
    return kBookForm;
}

} // namespace chengxi::ui

#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <string_view>

namespace chengxi::ui {
namespace {

using K = ControlKind;
namespace n = names::promotion;

constexpr ColumnRecord kMoveColumns[] = {{"班别", 170}, {"人数", 60}, {"新班别", 170}};

constexpr ColumnRecord kLeaverColumns[] = {
    {"班别", 130}, {"姓名", 80}, {"借书证号", 100}, {"未还图书编号", 130}, {"未还书名", 200}};

// clang-format off
constexpr ControlRecord kControls[] = {
    {.name = n::kTitle, .kind = K::TransparentLabel, .left = 8, .top = 4, .width = 200,
     .height = 28, .text = "年终升级", .font = {.kai = true, .pixelSize = 21, .bold = true}},
    {.name = n::kClose, .kind = K::PictureButton, .left = 594, .top = 2, .width = 44, .height = 16,
     .picture = Picture::Close},
    {.name = n::kExplanation, .kind = K::TransparentLabel, .left = 8, .top = 36, .width = 624,
     .height = 24,
     .text = "每个班别升入新班别；“毕业”的班别中，没有未还图书的读者删除，有未还图书的读者留下。"},
    {.name = n::kMoves, .kind = K::ListView, .left = 8, .top = 64, .width = 430, .height = 250,
     .columns = kMoveColumns},
    {.name = n::kNewClassCaption, .kind = K::TransparentLabel, .left = 452, .top = 64,
     .width = 180, .height = 24, .text = "选中一行，新班别改为："},
    {.name = n::kNewClass, .kind = K::EditBox, .left = 452, .top = 90, .width = 180,
     .height = 30},
    {.name = n::kSetNewClass, .kind = K::Button, .left = 452, .top = 126, .width = 56,
     .height = 30, .text = "设定"},
    {.name = n::kSetGraduate, .kind = K::Button, .left = 514, .top = 126, .width = 56,
     .height = 30, .text = "毕业"},
    {.name = n::kSetUnchanged, .kind = K::Button, .left = 576, .top = 126, .width = 56,
     .height = 30, .text = "不变"},
    {.name = n::kApply, .kind = K::Button, .left = 452, .top = 240, .width = 180, .height = 34,
     .text = "执行升级"},
    {.name = n::kCancel, .kind = K::Button, .left = 452, .top = 280, .width = 180, .height = 34,
     .text = "取消"},
    {.name = n::kLeaversCaption, .kind = K::TransparentLabel, .left = 8, .top = 322, .width = 400,
     .height = 24, .text = "已毕业但仍有图书未还的读者（请交给班主任）"},
    {.name = n::kLeavers, .kind = K::ListView, .left = 8, .top = 348, .width = 624, .height = 160,
     .columns = kLeaverColumns},
    {.name = n::kPrintLeavers, .kind = K::Button, .left = 452, .top = 516, .width = 86,
     .height = 30, .text = "打印名单", .disabled = true},
    {.name = n::kExportLeavers, .kind = K::Button, .left = 546, .top = 516, .width = 86,
     .height = 30, .text = "导出名单", .disabled = true},
};
// clang-format on

constexpr FormRecord kPromotionForm = {
    .id = n::kWindow,
    .caption = "年终升级",
    .width = 640,
    .height = 556,
    .controls = kControls,
};

} // namespace

const FormRecord& promotionForm() {
    return kPromotionForm;
}

} // namespace chengxi::ui

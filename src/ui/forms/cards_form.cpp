#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <string_view>

namespace chengxi::ui {
namespace {

using K = ControlKind;
namespace n = names::cards;

constexpr ColumnRecord kReaderColumns[] = {
    {"选中", 50}, {"班别", 150}, {"姓名", 100}, {"借书证号", 120}};

// clang-format off
constexpr ControlRecord kControls[] = {
    {.name = n::kPdfDialog, .kind = K::FileDialog, .filter = "PDF文件（*.pdf）|*.pdf",
     .defaultExtension = ".pdf"},
    {.name = n::kTitle, .kind = K::TransparentLabel, .left = 8, .top = 4, .width = 200,
     .height = 28, .text = "打印借书证", .font = {.kai = true, .pixelSize = 21, .bold = true}},
    {.name = n::kClose, .kind = K::PictureButton, .left = 594, .top = 2, .width = 44, .height = 16,
     .picture = Picture::Close},
    {.name = n::kExplanation, .kind = K::TransparentLabel, .left = 8, .top = 36, .width = 624,
     .height = 24,
     .text = "选中一位读者：点“选本班”选中他所在的全班，点“选此人”选中或取消这一位。"},
    {.name = n::kReaders, .kind = K::ListView, .left = 8, .top = 64, .width = 440, .height = 440,
     .columns = kReaderColumns},
    {.name = n::kChooseClass, .kind = K::Button, .left = 460, .top = 64, .width = 172,
     .height = 30, .text = "选本班"},
    {.name = n::kChooseReader, .kind = K::Button, .left = 460, .top = 100, .width = 172,
     .height = 30, .text = "选此人"},
    {.name = n::kChooseNone, .kind = K::Button, .left = 460, .top = 136, .width = 172,
     .height = 30, .text = "全不选"},
    {.name = n::kChosenCount, .kind = K::TransparentLabel, .left = 460, .top = 174, .width = 172,
     .height = 24, .text = "已选0人"},
    {.name = n::kSchoolCaption, .kind = K::TransparentLabel, .left = 460, .top = 230,
     .width = 172, .height = 24, .text = "学校和图书室名称："},
    {.name = n::kSchool, .kind = K::EditBox, .left = 460, .top = 256, .width = 172, .height = 30,
     .text = "澄溪学校图书室"},
    {.name = n::kPrint, .kind = K::Button, .left = 460, .top = 390, .width = 172, .height = 34,
     .text = "打印"},
    {.name = n::kSavePdf, .kind = K::Button, .left = 460, .top = 430, .width = 172, .height = 34,
     .text = "存为PDF"},
    {.name = n::kCancel, .kind = K::Button, .left = 460, .top = 470, .width = 172, .height = 34,
     .text = "关闭"},
};
// clang-format on

constexpr FormRecord kCardsForm = {
    .id = n::kWindow,
    .caption = "打印借书证",
    .width = 640,
    .height = 516,
    .controls = kControls,
};

} // namespace

const FormRecord& cardsForm() {
    return kCardsForm;
}

} // namespace chengxi::ui

#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

namespace chengxi::ui {
namespace {

using K = ControlKind;
namespace n = names::login;

// One control per row, as the form lists them.
// clang-format off
constexpr ControlRecord kControls[] = {
    {.name = n::kOrnament, .kind = K::PictureBox, .left = 308, .top = 2, .width = 24, .height = 16,
     .picture = Picture::HeaderOrnament},
    {.name = n::kMinimise, .kind = K::PictureButton, .left = 281, .top = 2, .width = 25,
     .height = 16, .picture = Picture::Minimise},
    {.name = n::kIcon, .kind = K::PictureBox, .left = 2, .top = 2, .width = 32, .height = 32,
     .picture = Picture::Icon},
    {.name = n::kClose, .kind = K::PictureButton, .left = 334, .top = 2, .width = 44, .height = 16,
     .picture = Picture::Close},
    {.name = n::kTitle, .kind = K::TransparentLabel, .left = 38, .top = 2, .width = 210,
     .height = 32, .text = "澄溪图书管理系统 - 登录", .font = {.kai = true, .pixelSize = 14, .bold = true}},
    {.name = n::kCodePanel, .kind = K::DrawingPanel, .left = 61, .top = 147, .width = 108,
     .height = 33, .font = {.pixelSize = 21}},
    {.name = n::kCodeCaption, .kind = K::TransparentLabel, .left = 12, .top = 147, .width = 48,
     .height = 32, .text = "验证码："},
    {.name = n::kPasswordCaption, .kind = K::TransparentLabel, .left = 12, .top = 99, .width = 48,
     .height = 32, .text = "密  码："},
    {.name = n::kUserNameCaption, .kind = K::TransparentLabel, .left = 12, .top = 52, .width = 48,
     .height = 32, .text = "用户名："},
    {.name = n::kCode, .kind = K::EditBox, .left = 182, .top = 147, .width = 96, .height = 32},
    {.name = n::kLogIn, .kind = K::Button, .left = 124, .top = 194, .width = 128, .height = 48,
     .text = "登录系统", .isDefault = true},
    {.name = n::kPassword, .kind = K::EditBox, .left = 61, .top = 100, .width = 268, .height = 30,
     .input = InputMode::Password},
    {.name = n::kUserName, .kind = K::EditBox, .left = 61, .top = 53, .width = 268, .height = 30,
     .text = "图书管理员", .input = InputMode::ReadOnly},
};
// clang-format on

constexpr FormRecord kLoginForm = {
    .id = n::kWindow,
    .caption = "澄溪图书管理系统 － 登录",
    .width = 380,
    .height = 250,
    .controls = kControls,
};

} // namespace

const FormRecord& loginForm() {
    return kLoginForm;
}

} // namespace chengxi::ui

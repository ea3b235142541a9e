#include "auth/password_change.h"

#include "app/controls/frame.h"
#include "app/controls/screen.h"
#include "app/controls/window.h"
#include "app/forms/control_names.h"
#include "auth/login.h"
#include "auth/password_cipher.h"
#include "auth/password_store.h"

namespace chengxi::auth {

namespace names = app::names::main;

namespace {

void notice(PasswordChangeContext& context, std::string text) {
    context.screen.messageBox({std::move(text), "提示"});
}

} // namespace

void changePassword(PasswordChangeContext& context) {
    if (context.state.failureCounter > 4) {
        context.frame.endProgram(0);
        return;
    }
    app::Window& window = context.window;
    const std::string& oldPassword = window.control(names::kOldPassword).text();
    const std::string& newPassword = window.control(names::kNewPassword).text();
    if (oldPassword.empty()) {
        window.setFocus(names::kOldPassword);
        notice(context, "请输入旧密码");
        return;
    }
    if (newPassword.empty()) {
        window.setFocus(names::kNewPassword);
        notice(context, "新密码不能为空");
        return;
    }

    const std::string stored = readStoredPassword(context.settingsFile);
    if (!matchesStoredPassword(oldPassword, stored)) {
        notice(context, wrongPasswordMessage(++context.state.failureCounter));
        return;
    }

    // Decide before writing: a cipher text the settings file would not hand
    // back intact would weaken the password or reset it at the next start.
    const TypedPasswordCipher cipher = cipherOfTypedPassword(newPassword);
    if (!cipher.ok()) {
        window.setFocus(names::kNewPassword);
        notice(context, "新密码中的字符“" + cipher.unencodable + "”无法保存，请换一个新密码。");
        return;
    }
    if (!survivesStorage(cipher.blocks)) {
        window.setFocus(names::kNewPassword);
        notice(context, "这个新密码加密后无法完整保存，请换一个新密码。");
        return;
    }

    const std::string written = cipher.text();
    writeStoredPassword(context.settingsFile, written);
    if (readStoredPassword(context.settingsFile) != written) {
        notice(context, "写入新密码失败！");
        return;
    }
    context.state.failureCounter = 0;
    notice(context, "修改密码成功！");
}

} // namespace chengxi::auth

#include "auth/password_change.h"

#include "auth/login.h"
#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/frame.h"
#include "ui/screen.h"
#include "ui/services.h"

namespace chengxi::auth {

namespace names = ui::names::main;

namespace {

void notice(const ui::Services& services, std::string text) {
    services.screen.messageBox({std::move(text), "提示"});
}

} // namespace

void changePassword(const ui::Services& services, LoginState& state) {
    if (state.failureCounter > 4) {
        services.frame.endProgram(0);
        return;
    }
    ui::Window& window = services.mainWindow();
    const std::string& oldPassword = window.control(names::kOldPassword).text();
    const std::string& newPassword = window.control(names::kNewPassword).text();
    if (oldPassword.empty()) {
        window.setFocus(names::kOldPassword);
        notice(services, "请输入旧密码");
        return;
    }
    if (newPassword.empty()) {
        window.setFocus(names::kNewPassword);
        notice(services, "新密码不能为空");
        return;
    }

    const std::optional<std::string> stored = readStoredPassword(services.settingsFile);
    if (!stored) {
        notice(services, settingsFileFaultMessage(services));
        return;
    }
    if (!matchesStoredPassword(oldPassword, *stored)) {
        notice(services, wrongPasswordMessage(++state.failureCounter));
        return;
    }

    // Decide before writing: a cipher text the settings file would not hand
    // back intact would weaken the password or reset it at the next start.
    const TypedPasswordCipher cipher = cipherOfTypedPassword(newPassword);
    if (!cipher.ok()) {
        window.setFocus(names::kNewPassword);
        notice(services, "新密码中的字符“" + cipher.unencodable + "”无法保存，请换一个新密码。");
        return;
    }
    if (!survivesStorage(cipher.blocks)) {
        window.setFocus(names::kNewPassword);
        notice(services, "这个新密码加密后无法完整保存，请换一个新密码。");
        return;
    }

    const std::string written = cipher.text();
    writeStoredPassword(services.settingsFile, written);
    if (readStoredPassword(services.settingsFile) != written) {
        notice(services, "写入新密码失败！");
        return;
    }
    state.failureCounter = 0;
    notice(services, "修改密码成功！");
}

} // namespace chengxi::auth

#include "auth/login.h"

#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "auth/verification_code.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/frame.h"
#include "ui/screen.h"
#include "ui/services.h"

namespace chengxi::auth {

namespace names = ui::names::login;

namespace {

void notice(const ui::Services& services, std::string text) {
    services.screen.messageBox({std::move(text), "提示"});
}

} // namespace

std::string wrongPasswordMessage(int failures) {
    return "密码错误，请重试，密码错误次数： " + std::to_string(failures) +
           " ，失败 5 次程序将结束！";
}

bool matchesStoredPassword(std::string_view typedPassword, std::string_view stored) {
    const TypedPasswordCipher cipher = cipherOfTypedPassword(typedPassword);
    // A character the code page lacks was never part of a stored password.
    return cipher.ok() && !stored.empty() && asReadBack(cipher.text()) == stored;
}

std::string settingsFileFaultMessage(const ui::Services& services) {
    return "无法读写设置文件“" + text::fromPath(services.settingsFile) +
           "”，请检查它是否被其他程序占用，或本账户是否有权读写它。";
}

void drawCode(const ui::Services& services, LoginState& state) {
    ui::Control& panel = services.loginWindow().control(names::kCodePanel);
    ui::Drawing& drawing = panel.drawing();
    drawing.clear();
    const CodeDrawing code = drawVerificationCode(services.clock.ticks(), state.seedOffset,
                                                  panel.width(), panel.height());
    drawing.setPenWidth(1);
    for (const CodeLine& line : code.lines) {
        drawing.line(line.x1, line.y1, line.x2, line.y2);
    }
    for (const CodeGlyph& glyph : code.glyphs) {
        drawing.text(glyph.x, glyph.y, std::string(1, glyph.character));
    }
    state.currentCode = code.code;
}

void firstActivation(const ui::Services& services, LoginState& state) {
    state.failureCounter = 0;
    drawCode(services, state);
}

void loginCheck(const ui::Services& services, LoginState& state) {
    ui::Window& window = services.loginWindow();
    ui::Control& password = window.control(names::kPassword);
    if (password.text().empty()) {
        notice(services, "请输入密码");
        window.setFocus(names::kPassword);
        return;
    }

    const std::optional<std::string> stored = readStoredPassword(services.settingsFile);
    if (!stored) {
        notice(services, settingsFileFaultMessage(services));
        return;
    }
    if (stored->empty()) {
        // First use: the typed password and code are not looked at. The reset
        // is announced only once it is really stored.
        if (!writeStoredPassword(services.settingsFile, passwordCipher(kDefaultPassword))) {
            notice(services, settingsFileFaultMessage(services));
            return;
        }
        notice(services, "第一次使用本程序，密码已重置为：ruvok，建议修改登录密码。");
        return;
    }

    if (!matchesStoredPassword(password.text(), *stored)) {
        const int failures = ++state.failureCounter;
        password.setText("");
        window.setFocus(names::kPassword);
        notice(services, wrongPasswordMessage(failures));
        if (failures > 4) {
            services.frame.endProgram(0);
        }
        return;
    }

    ui::Control& code = window.control(names::kCode);
    if (code.text() != state.currentCode) {
        code.setText("");
        window.setFocus(names::kCode);
        notice(services, "验证码不正确，注意区分大小写。");
        drawCode(services, state);
        return;
    }

    services.frame.showMainWindow();
}

} // namespace chengxi::auth

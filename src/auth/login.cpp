#include "auth/login.h"

#include "app/controls/frame.h"
#include "app/controls/screen.h"
#include "app/controls/window.h"
#include "app/forms/control_names.h"
#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "auth/verification_code.h"

namespace chengxi::auth {

namespace names = app::names::login;

namespace {

void notice(LoginContext& context, std::string text) {
    context.screen.messageBox({std::move(text), "提示"});
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

void drawCode(LoginContext& context) {
    app::Control& panel = context.window.control(names::kCodePanel);
    app::Drawing& drawing = panel.drawing();
    drawing.clear();
    const CodeDrawing code = drawVerificationCode(context.clock.ticks(), context.state.seedOffset,
                                                  panel.width(), panel.height());
    drawing.setPenWidth(1);
    for (const CodeLine& line : code.lines) {
        drawing.line(line.x1, line.y1, line.x2, line.y2);
    }
    for (const CodeGlyph& glyph : code.glyphs) {
        drawing.text(glyph.x, glyph.y, std::string(1, glyph.character));
    }
    context.state.currentCode = code.code;
}

void firstActivation(LoginContext& context) {
    context.state.failureCounter = 0;
    drawCode(context);
}

void loginCheck(LoginContext& context) {
    app::Window& window = context.window;
    app::Control& password = window.control(names::kPassword);
    if (password.text().empty()) {
        notice(context, "请输入密码");
        window.setFocus(names::kPassword);
        return;
    }

    const std::string stored = readStoredPassword(context.settingsFile);
    if (stored.empty()) {
        // First use: the typed password and code are not looked at.
        writeStoredPassword(context.settingsFile, passwordCipher(kDefaultPassword));
        notice(context, "第一次使用本程序，密码已重置为：ruvok，建议修改登录密码。");
        return;
    }

    if (!matchesStoredPassword(password.text(), stored)) {
        const int failures = ++context.state.failureCounter;
        password.setText("");
        window.setFocus(names::kPassword);
        notice(context, wrongPasswordMessage(failures));
        if (failures > 4) {
            context.frame.endProgram(0);
        }
        return;
    }

    app::Control& code = window.control(names::kCode);
    if (code.text() != context.state.currentCode) {
        code.setText("");
        window.setFocus(names::kCode);
        notice(context, "验证码不正确，注意区分大小写。");
        drawCode(context);
        return;
    }

    context.frame.showMainWindow();
}

} // namespace chengxi::auth

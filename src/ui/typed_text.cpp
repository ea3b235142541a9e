#include "ui/typed_text.h"

#include "text/cp936.h"
#include "ui/screen.h"
#include "ui/services.h"

namespace chengxi::ui {

std::string unstorableCharacterMessage(std::string_view character) {
    return "输入的内容中有本程序无法保存的字符“" + std::string(character) +
           "”，请删除或换掉这个字符。";
}

bool checkStorable(const Services& services, std::initializer_list<std::string_view> texts) {
    for (const std::string_view typed : texts) {
        const text::Cp936Bytes bytes = text::toCp936(typed);
        if (!bytes.ok()) {
            services.screen.messageBox({unstorableCharacterMessage(bytes.unencodable), "提示"});
            return false;
        }
    }
    return true;
}

} // namespace chengxi::ui

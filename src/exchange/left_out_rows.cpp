#include "exchange/left_out_rows.h"

#include "text/cp936.h"
#include "ui/screen.h"
#include "ui/services.h"

namespace chengxi::exchange {

std::optional<std::string> firstUnstorableCharacter(std::span<const store::Value> values) {
    for (const store::Value& value : values) {
        if (!value.isText()) {
            continue;
        }
        text::Cp936Bytes bytes = text::toCp936(value.text());
        if (!bytes.ok()) {
            return std::move(bytes.unencodable);
        }
    }
    return std::nullopt;
}

void LeftOutRows::add(std::uint32_t sheetRow, std::string character) {
    if (count_++ == 0) {
        firstRow_ = sheetRow;
        firstCharacter_ = std::move(character);
    }
}

void LeftOutRows::report(const ui::Services& services) const {
    if (count_ == 0) {
        return;
    }
    services.screen.messageBox({"有 " + std::to_string(count_) +
                                    " 行含有本程序无法保存的字符，没有导入。第一处是第 " +
                                    std::to_string(firstRow_ + 1) + " 行中的“" + firstCharacter_ +
                                    "”，请在Excel中删除或换掉这些字符后再导入这些行。",
                                "提示", ui::Buttons::Ok, ui::Icon::Warning});
}

} // namespace chengxi::exchange

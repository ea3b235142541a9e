#include "xls/workbook.h"

#include "xls/number_format.h"
#include "xls/utf16.h"

namespace chengxi::xls {

Sheet* Workbook::findSheet(std::string_view name) {
    for (Sheet& sheet : sheets) {
        if (equalsIgnoringAsciiCase(sheet.name, name)) {
            return &sheet;
        }
    }
    return nullptr;
}

const Sheet* Workbook::findSheet(std::string_view name) const {
    return const_cast<Workbook*>(this)->findSheet(name);
}

bool Workbook::computeDateStyle(std::uint16_t style) const {
    if (style >= styles.size()) {
        return false;
    }
    const std::uint16_t id = styles[style].numberFormat;
    // The last record for an id wins, as when a file lists a format twice.
    for (auto format = numberFormats.rbegin(); format != numberFormats.rend(); ++format) {
        if (format->id == id) {
            return isDateFormatCode(format->code);
        }
    }
    return isBuiltInDateFormat(id);
}

void Workbook::refreshDateStyles() {
    // One flag per format id, so that a file with many formats and many
    // styles costs their sum, not their product.
    std::vector<std::int8_t> formatIsDate(65536, -1);
    for (const NumberFormat& format : numberFormats) {
        formatIsDate[format.id] = isDateFormatCode(format.code) ? 1 : 0;
    }
    std::vector<std::uint8_t> flags(styles.size(), 0);
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const std::uint16_t id = styles[i].numberFormat;
        flags[i] = formatIsDate[id] >= 0 ? static_cast<std::uint8_t>(formatIsDate[id])
                                         : (isBuiltInDateFormat(id) ? 1 : 0);
    }
    dateStyles_ = std::move(flags);
}

} // namespace chengxi::xls

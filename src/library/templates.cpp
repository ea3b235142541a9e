#include "library/templates.h"

#include "library/schema.h"
#include "xls/workbook_file.h"

#include <array>
#include <cstdint>

namespace chengxi::library {
namespace {

constexpr std::array<std::uint16_t, 8> kReaderWidths = {3552, 2720, 4128, 2848,
                                                        4448, 2912, 4896, 2688};
constexpr std::array<std::uint16_t, 7> kLoanReportWidths = {3552, 2720, 4128, 2848,
                                                            4448, 2912, 2688};

} // namespace

xls::TemplateLayout templateLayout(TemplateKind kind) {
    switch (kind) {
    case TemplateKind::Books:
        return {"sheet1", book::kColumns, 200, {}, true};
    case TemplateKind::Readers:
        return {"Sheet1", reader::kColumns, 240, kReaderWidths, false};
    case TemplateKind::LoanReport:
        break;
    }
    return {"Sheet1", report::kShownColumns, 240, kLoanReportWidths, false};
}

std::span<const std::string_view> templateHeaders(TemplateKind kind) {
    return templateLayout(kind).headers;
}

xls::Workbook templateWorkbook(TemplateKind kind) {
    return xls::layoutWorkbook(templateLayout(kind));
}

xls::Status writeTemplate(TemplateKind kind, std::string_view path) {
    return xls::saveWorkbook(path, templateWorkbook(kind));
}

} // namespace chengxi::library

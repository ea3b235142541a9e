#include "schoolyear/printing.h"

#include "exchange/export_target.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <optional>

namespace chengxi::schoolyear {

void printOrTell(const ui::Services& services, const ui::Printout& printout,
                 const std::string& pdfPath) {
    if (!pdfPath.empty()) {
        if (const std::optional<std::string> refusal =
                exchange::exportTargetRefusal(services, pdfPath)) {
            services.screen.messageBox({*refusal, "提示"});
            return;
        }
    }
    const ui::PrintResult result = services.screen.print(printout, pdfPath);
    if (result.cancelled) {
        return;
    }
    if (!result.printed) {
        services.screen.messageBox({"打印失败：" + result.failure, "提示"});
        return;
    }
    if (!pdfPath.empty()) {
        services.screen.messageBox({"已存为“" + pdfPath + "”。", "提示"});
    }
}

} // namespace chengxi::schoolyear

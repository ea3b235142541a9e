#include "backups/page_hooks.h"

#include "backups/backups.h"
#include "ui/forms/control_names.h"

namespace chengxi::backups {

void pageShown(const ui::Services& services, int page) {
    if (page == ui::names::main::kPageData) {
        listBackups(services);
    }
}

} // namespace chengxi::backups

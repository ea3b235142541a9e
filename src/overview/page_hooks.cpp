#include "overview/page_hooks.h"

#include "overview/kept_filters.h"
#include "overview/overview_page.h"
#include "overview/page_view.h"
#include "ui/forms/control_names.h"

namespace chengxi::overview {

void mainWindowCreated(const ui::Services& services) {
    restoreKeptFilters(services);
}

void pageShown(const ui::Services& services, int page) {
    if (page == ui::names::main::kPageOverview) {
        showChosenView(services);
        offerClasses(services);
    }
}

} // namespace chengxi::overview

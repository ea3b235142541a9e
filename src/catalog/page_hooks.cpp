#include "catalog/page_hooks.h"

#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

CatalogueState firstPage(const ui::Services& services) {
    return {
        .pageOffset = 0,
        .pageSize = text::integerValue(services.mainWindow().control(names::kRowsPerPage).text()),
        .bookTotal = 0,
    };
}

} // namespace

void mainWindowCreated(const ui::Services& services, CatalogueState& state) {
    state = firstPage(services);
}

void libraryRestored(const ui::Services& services, CatalogueState& state) {
    state = firstPage(services);
}

} // namespace chengxi::catalog

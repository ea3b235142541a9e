#include "catalog/catalogue.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

bool browsing(const ui::Window& main) {
    return main.control(names::kSearchMode).text() == kBrowseAll;
}

// Offsets stay within 0 and the largest 32-bit number whatever the page size.
int clampedOffset(std::int64_t offset) {
    return static_cast<int>(std::clamp<std::int64_t>(offset, 0, INT_MAX));
}

} // namespace

void searchClick(const ui::Services& services, CatalogueState& state) {
    ui::Window& main = services.mainWindow();
    const bool browse = browsing(main);
    const std::string searchText = main.control(names::kSearchText).text();
    if (!browse && searchText.empty()) {
        main.setFocus(names::kSearchText);
        ui::Control& status = main.control(names::kSearchStatus);
        status.setText("请输入要搜索的内容");
        services.screen.repaintNow(main, status);
        return;
    }
    // A text the database cannot hold is never searched for in part.
    if (!browse && !ui::checkStorable(services, {searchText})) {
        return;
    }
    state.pageOffset = 0;
    // Kept even when refused: paging uses it until the next search click.
    state.pageSize = text::integerValue(main.control(names::kRowsPerPage).text());
    if (state.pageSize < 1) {
        services.screen.messageBox({"请输入大于0的数", "提示"});
        main.setFocus(names::kRowsPerPage);
        return;
    }
    listBooks(services, state, searchText);
}

void pageUp(const ui::Services& services, CatalogueState& state) {
    if (!browsing(services.mainWindow()) || state.pageOffset == 0) {
        return;
    }
    state.pageOffset = clampedOffset(std::int64_t{state.pageOffset} - state.pageSize);
    listBooks(services, state, "");
}

void pageDown(const ui::Services& services, CatalogueState& state) {
    if (!browsing(services.mainWindow())) {
        return;
    }
    // Strictly greater: the empty page just past the last row is shown once
    // before the first page comes round again.
    state.pageOffset = state.pageOffset > state.bookTotal
                           ? 0
                           : clampedOffset(std::int64_t{state.pageOffset} + state.pageSize);
    listBooks(services, state, "");
}

void modeChange(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const bool browse = browsing(main);
    ui::Control& searchText = main.control(names::kSearchText);
    if (browse) {
        searchText.setText("");
    }
    searchText.setDisabled(browse);
    main.control(names::kPageUp).setDisabled(!browse);
    main.control(names::kPageDown).setDisabled(!browse);
}

} // namespace chengxi::catalog

#pragma once

#include "app/program_fixture.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "ui/forms/control_names.h"

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::testing {

namespace names = ui::names::main;

// The main window open on a fresh database, with the page operations driven
// as a librarian would: a file chosen in the dialog, then a button clicked.
class ExchangeTest : public ProgramFixture {
protected:
    void SetUp() override { main = &openMainWindow(); }

    void click(std::string_view control) {
        program->fire(names::kWindow, control, ui::Event::Clicked);
    }
    void clickChoosing(std::string_view control, const std::string& path) {
        screen.queueFile(path);
        click(control);
    }
    void importBooks(const std::string& path) {
        clickChoosing(names::kChooseBookFile, path);
        screen.queueAnswer(ui::Answer::Ok);
        click(names::kImportBooks);
    }

    store::Connection& database() { return program->library().database.connection; }

    // Every row of a query, every column as text.
    std::vector<std::vector<std::string>> rowsOf(std::string_view sql) {
        store::RecordSet records;
        std::vector<std::vector<std::string>> rows;
        EXPECT_TRUE(records.open(database(), sql));
        while (records.nextRow()) {
            std::vector<std::string> row;
            for (int c = 0; c < records.columnCount(); ++c) {
                row.push_back(records.read(c));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    std::string inProgramFolder(std::string_view name) {
        return text::joinPath(programFolder.utf8(), name);
    }

    ui::Window* main = nullptr;
};

} // namespace chengxi::testing

#pragma once

#include "support/paired_rounds.h"

#include <optional>
#include <string>

struct sqlite3;

// The runs of the exchange benchmark that are whole processes measured from
// outside: the floors (the sqlite3 shell, which owes nothing to the
// program), the peers (Python's xlrd, xlwt and sqlite3 modules) and the
// program itself as the scenario driver runs it.
namespace chengxi::bench::exchange {

// The rows of `table` as CSV, the stored code page 936 bytes unchanged, no
// header line: what the shell's .import reads back into the same table.
void writeCsv(sqlite3* database, const std::string& table, const std::string& csvPath);

// The sqlite3 shell, when installed.
std::optional<std::string> sqliteShell();

// The shell importing the CSV rows into `table` of `database` (its .import
// runs in one transaction).
std::optional<Sample> shellImport(const std::string& shell, const std::string& database,
                                  const std::string& table, const std::string& csvPath);

// The shell writing every row of `table` as CSV into `csvPath`.
std::optional<Sample> shellExport(const std::string& shell, const std::string& database,
                                  const std::string& table, const std::string& csvPath);

// Python's xlrd reading the workbook and its sqlite3 module inserting the
// rows into a table of its own in one transaction; xlwt writing the rows of
// such a table. Null when the modules are missing.
class PythonPeer {
public:
    explicit PythonPeer(const std::string& folder);
    bool available() const { return available_; }
    std::optional<Sample> import(const std::string& workbook, const std::string& database) const;
    std::optional<Sample> exportTable(const std::string& database, const std::string& table,
                                      const std::string& workbook) const;

private:
    std::string script_;
    bool available_ = false;
};

// A scenario file for the driver: the program started, logged in, the book
// file chosen (its preview shown) and, unless `previewOnly`, imported; the
// row count checked.
std::string bookImportScenario(const std::string& workbook, int rows, bool previewOnly);
// Logged in and nothing else: what the preview's own cost is counted from.
std::string loginScenario();
// The program started on `database`, logged in, the catalogue exported.
std::string bookExportScenario(const std::string& database, const std::string& workbook);

// The driver running one scenario file, measured from outside.
std::optional<Sample> runScenario(const std::string& driver, const std::string& scenarioFile);

} // namespace chengxi::bench::exchange

#include "outside_runs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>

namespace chengxi::bench::exchange {
namespace {

// A CSV field: quoted when it holds a separator, a quote or a line break.
void appendField(std::string& line, const char* value, int size) {
    const std::string_view text(value == nullptr ? "" : value,
                                value == nullptr ? 0 : static_cast<std::size_t>(size));
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

constexpr const char* kPythonPeer = R"PY(
import sqlite3, sys
mode = sys.argv[1]
if mode == "check":
    import xlrd, xlwt
elif mode == "import":
    import xlrd
    workbook, database = sys.argv[2], sys.argv[3]
    sheet = xlrd.open_workbook(workbook).sheet_by_index(0)
    width = sheet.ncols
    rows = []
    for r in range(1, sheet.nrows):
        values = [str(c.value) if c.ctype != 0 else "" for c in sheet.row(r)]
        values += [""] * (width - len(values))
        rows.append([v.encode("gbk", "replace") for v in values])
    con = sqlite3.connect(database)
    con.execute("create table books (%s)" % ",".join("c%d text" % i for i in range(width)))
    with con:
        con.executemany("insert into books values (%s)" % ",".join(["cast(? as text)"] * width), rows)
    con.close()
elif mode == "export":
    import xlwt
    database, table, out = sys.argv[2], sys.argv[3], sys.argv[4]
    con = sqlite3.connect(database)
    con.text_factory = bytes
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    for r, row in enumerate(con.execute("select * from %s" % table)):
        for c, value in enumerate(row):
            if value:
                sheet.write(r + 1, c, value.decode("gbk", "replace"))
    book.save(out)
)PY";

constexpr const char* kPython = "/usr/bin/python3";

// Logged in on a settings file that holds the password "abc".
constexpr const char* kLogin = "settings-hex 5b6c6f67696e5d0d0a706173733d1186e079e1eb96130d0a\n"
                               "start\n"
                               "type login 编辑框pass abc\n"
                               "type login 编辑框_验证码 $CODE\n"
                               "click login 按钮登录系统\n";

std::string quoted(const std::string& argument) {
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + '"';
}

} // namespace

void writeCsv(sqlite3* database, const std::string& table, const std::string& csvPath) {
    std::ofstream out(csvPath, std::ios::binary);
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "select * from " + table;
    sqlite3_prepare_v2(database, sql.c_str(), -1, &statement, nullptr);
    std::string line;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        line.clear();
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            if (c > 0) {
                line += ',';
            }
            appendField(line, reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                        sqlite3_column_bytes(statement, c));
        }
        line += '\n';
        out << line;
    }
    sqlite3_finalize(statement);
}

std::optional<std::string> sqliteShell() {
    for (const char* candidate : {"/usr/bin/sqlite3", "/usr/local/bin/sqlite3"}) {
        if (std::filesystem::exists(candidate)) {
            return std::string(candidate);
        }
    }
    return std::nullopt;
}

std::optional<Sample> shellImport(const std::string& shell, const std::string& database,
                                  const std::string& table, const std::string& csvPath) {
    return timeChild({{shell, database, ".mode csv", ".import " + csvPath + " " + table}});
}

std::optional<Sample> shellExport(const std::string& shell, const std::string& database,
                                  const std::string& table, const std::string& csvPath) {
    return timeChild({{shell, "-csv", database, "select * from " + table}, csvPath});
}

PythonPeer::PythonPeer(const std::string& folder) : script_(folder + "/python_peer.py") {
    std::ofstream(script_) << kPythonPeer;
    available_ =
        std::filesystem::exists(kPython) && timeChild({{kPython, script_, "check"}}).has_value();
}

std::optional<Sample> PythonPeer::import(const std::string& workbook,
                                         const std::string& database) const {
    std::error_code ignored;
    std::filesystem::remove(database, ignored);
    if (!available_) {
        return std::nullopt;
    }
    return timeChild({{kPython, script_, "import", workbook, database}});
}

std::optional<Sample> PythonPeer::exportTable(const std::string& database, const std::string& table,
                                              const std::string& workbook) const {
    if (!available_) {
        return std::nullopt;
    }
    return timeChild({{kPython, script_, "export", database, table, workbook}});
}

std::string loginScenario() {
    return kLogin;
}

std::string bookImportScenario(const std::string& workbook, int rows, bool previewOnly) {
    std::string text = kLogin;
    text += "tab main 导入图书\n"
            "choose " +
            quoted(workbook) +
            "\n"
            "click main 按钮_选择图书数据文件\n"
            "expect rows main 超级列表框_图书文件预览 2\n";
    if (!previewOnly) {
        text += "answer OK\n"
                "click main 按钮_导入图书\n"
                "expect message * buttons OKCancel\n"
                "expect sql \"select count(*) from 图书数据\" " +
                std::to_string(rows) + "\n";
    }
    return text;
}

std::string bookExportScenario(const std::string& database, const std::string& workbook) {
    std::string text = "put 数据库.sdb " + quoted(database) + "\n" + kLogin;
    text += "tab main 导出表格\n"
            "choose " +
            quoted(workbook) +
            "\n"
            "click main 按钮_导出图书数据\n"
            "expect message 恭喜您，导出成功！\n";
    return text;
}

std::optional<Sample> runScenario(const std::string& driver, const std::string& scenarioFile) {
    // The driver's verdicts go beside the scenario, to read when a run fails.
    return timeChild({{driver, scenarioFile}, scenarioFile + ".log"});
}

} // namespace chengxi::bench::exchange

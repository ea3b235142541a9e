// The program's .xlsx exports read back by LibreOffice where it is installed
// (Debian's libreoffice-calc-nogui): each template's sample converted to CSV
// by soffice and compared cell by cell. A test program of its own, as
// LibreOffice takes seconds to start.
#include "test_support.h"
#include "xlsx_samples.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::TemplateKind;

bool libreOfficeAvailable() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// RFC 4180 fields: quoted ones may hold commas, quotes ("") and line breaks.
std::vector<std::vector<std::string>> parseCsv(std::string_view text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            rows.back().push_back(std::move(field));
            field.clear();
            rows.emplace_back();
        } else if (c != '\r') {
            field += c;
        }
    }
    if (rows.back().empty() && field.empty()) {
        rows.pop_back();
    } else {
        rows.back().push_back(std::move(field));
    }
    return rows;
}

// LibreOffice holds a line break as LF alone.
std::string withLineFeeds(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

TEST(XlsxLibreOffice, ReadsEveryTemplateBack) {
    if (!libreOfficeAvailable()) {
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }
    TempDir dir;
    const std::pair<TemplateKind, const char*> kinds[] = {{TemplateKind::Books, "books"},
                                                          {TemplateKind::Readers, "readers"},
                                                          {TemplateKind::LoanReport, "report"}};
    std::vector<std::vector<std::vector<std::string>>> expected;
    std::string files;
    for (const auto& [kind, name] : kinds) {
        const std::string path = dir.file(std::string(name) + ".xlsx");
        expected.push_back(writeSample(path, kind));
        files += " \"" + path + "\"";
    }
    // A profile of its own, so a LibreOffice already running does not take the job.
    const std::string command =
        "soffice -env:UserInstallation=file://" + dir.file("profile") +
        " --headless --convert-to \"csv:Text - txt - csv (StarCalc):44,34,76,1\""
        " --outdir \"" +
        dir.file("csv") + "\"" + files + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (std::size_t k = 0; k < std::size(kinds); ++k) {
        SCOPED_TRACE(kinds[k].second);
        const auto rows =
            parseCsv(readWholeFile(dir.file("csv/" + std::string(kinds[k].second) + ".csv")));
        ASSERT_EQ(rows.size(), expected[k].size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < expected[k][r].size(); ++c) {
                const std::string got = c < rows[r].size() ? rows[r][c] : "";
                ASSERT_EQ(got, withLineFeeds(expected[k][r][c]))
                    << "row " << r + 1 << " column " << c + 1;
            }
        }
    }
}

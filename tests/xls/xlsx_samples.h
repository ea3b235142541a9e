#pragma once

#include "library/templates.h"
#include "xls/xlsx_writer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// The rows the .xlsx writer's read-back tests export: texts that an XML
// writer can get wrong (line breaks, tabs, control characters, what looks
// like an escape, characters beyond the basic plane, markup characters, a
// cell of 32,767 characters), an empty row and a short one.
namespace chengxi::xls::testing {

using library::templateHeaders;
using library::TemplateKind;
using library::templateLayout;

inline std::vector<std::vector<std::string>> sampleRows(std::size_t columns) {
    const std::vector<std::string> values = {"A00001",
                                             "红楼梦（上）",
                                             "Tim O'Brien",
                                             " 前后空格 ",
                                             "第一行\n第二行\r\n第三行",
                                             "制表\t符",
                                             "控制\x01字符\x1F",
                                             "_x0041_ 不是转义",
                                             "\xF0\x9F\x98\x80 表情",
                                             "9787538722314",
                                             "15.00元",
                                             "2015年11月16日",
                                             "",
                                             "<&>\"",
                                             std::string(32767, 'x'),
                                             "末列"};
    std::vector<std::vector<std::string>> rows;
    for (std::size_t start = 0; start < values.size(); start += columns) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c < columns; ++c) {
            row.push_back(values[(start + c) % values.size()]);
        }
        rows.push_back(std::move(row));
    }
    rows.push_back(std::vector<std::string>(columns, "")); // still takes its row
    rows.push_back({"最后"});
    return rows;
}

// Exports the sample rows under the template to `path`; returns the sheet
// as it must read back, header row first.
inline std::vector<std::vector<std::string>> writeSample(const std::string& path,
                                                         TemplateKind kind) {
    auto writer = XlsxSheetWriter::create(path, templateLayout(kind));
    EXPECT_TRUE(writer.ok()) << writer.error();
    const auto headers = templateHeaders(kind);
    std::vector<std::vector<std::string>> rows = sampleRows(headers.size());
    for (const auto& row : rows) {
        EXPECT_TRUE(writer->appendRow(row));
    }
    EXPECT_TRUE(writer->finish());
    rows.insert(rows.begin(), std::vector<std::string>(headers.begin(), headers.end()));
    return rows;
}

} // namespace chengxi::xls::testing

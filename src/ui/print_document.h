#pragma once

#include <string>
#include <vector>

namespace chengxi::ui {

// A table on a printed page: its headers, the share of the page width each
// column takes (relative weights), and its rows.
struct PrintTable {
    std::vector<std::string> headers;
    std::vector<int> weights;
    std::vector<std::vector<std::string>> rows;
};

// One printed page, top to bottom: a heading, lines of text, a table, and
// the lines below the table (a signature line). A table longer than a sheet
// of paper continues on the next sheet under its headers.
struct PrintPage {
    std::string heading;
    std::vector<std::string> lines;
    PrintTable table;
    std::vector<std::string> closingLines;
};

// What an operation prints, as plain data; the front end lays it out on paper.
struct PrintDocument {
    std::string title; // the print job's name
    std::vector<PrintPage> pages;
};

} // namespace chengxi::ui

#pragma once

#include <optional>
#include <string>
#include <string_view>

// Part names of a zip package: where a relationship's target points and
// where a part's own relationships are kept.
namespace chengxi::xls {

// The part a relationship target names ("worksheets/sheet1.xml",
// "../comments1.xml", "/xl/styles.xml"), resolved against the folder of
// `source`, the part holding the relationship ("" for the package itself).
// Nothing when the target is empty or climbs above the package root.
std::optional<std::string> resolvePartName(std::string_view source, std::string_view target);

// The part holding the relationships of `part`: "xl/workbook.xml" has
// "xl/_rels/workbook.xml.rels"; the package itself ("") has "_rels/.rels".
std::string relationshipsPartOf(std::string_view part);

} // namespace chengxi::xls

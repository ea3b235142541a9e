#include "xls/xlsx_reader.h"

#include "xls/package_names.h"
#include "xls/utf16.h"
#include "xls/xlsx_parts.h"
#include "xls/xlsx_sheet_stream.h"

#include <algorithm>

namespace chengxi::xls {
namespace {

const Relationship* findType(const std::vector<Relationship>& relationships,
                             std::string_view type) {
    for (const Relationship& relationship : relationships) {
        if (relationship.type == type && !relationship.external) {
            return &relationship;
        }
    }
    return nullptr;
}

const Relationship* findId(const std::vector<Relationship>& relationships, std::string_view id) {
    for (const Relationship& relationship : relationships) {
        if (relationship.id == id) {
            return &relationship;
        }
    }
    return nullptr;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// The part a relationship of `source` leads to: inside the package, and
// neither a relationships part nor one already on the way there (which
// would lead round in a circle).
Result<std::string> followRelationship(const ZipArchive& archive, std::string_view source,
                                       const Relationship& relationship,
                                       std::string_view workbookPart) {
    const std::optional<std::string> target = resolvePartName(source, relationship.target);
    if (relationship.external || !target) {
        return fail("工作簿已损坏：关系目标“" + relationship.target + "”不在压缩包之内");
    }
    if (endsWithIgnoringCase(*target, ".rels") || equalsIgnoringAsciiCase(*target, source) ||
        equalsIgnoringAsciiCase(*target, workbookPart)) {
        return fail("工作簿已损坏：关系目标“" + relationship.target + "”构成循环");
    }
    if (!archive.contains(*target)) {
        return fail("工作簿已损坏：缺少部件“" + *target + "”");
    }
    return *target;
}

} // namespace

Result<XlsxWorkbook> XlsxWorkbook::open(std::string_view path, InflateLimits limits) {
    return load(ZipArchive::openFile(path, limits));
}

Result<XlsxWorkbook> XlsxWorkbook::openBytes(Bytes bytes, InflateLimits limits) {
    return load(ZipArchive::openBytes(bytes, limits));
}

Result<XlsxWorkbook> XlsxWorkbook::load(Result<ZipArchive> archive) {
    if (!archive) {
        return fail(archive.error());
    }
    XlsxWorkbook workbook(std::move(archive).value());
    if (Status loaded = workbook.loadStructure(); !loaded) {
        return fail(loaded.error());
    }
    return workbook;
}

Status XlsxWorkbook::loadStructure() {
    const std::string packageRelationships = relationshipsPartOf("");
    if (!archive_.contains(packageRelationships)) {
        return fail("工作簿已损坏：缺少部件“" + packageRelationships + "”");
    }
    auto roots = readRelationships(archive_, packageRelationships);
    if (!roots) {
        return fail(roots.error());
    }
    const Relationship* document = findType(*roots, "officeDocument");
    if (document == nullptr) {
        return fail("工作簿已损坏：压缩包中没有工作簿部件");
    }
    auto workbookPart = followRelationship(archive_, "", *document, "");
    if (!workbookPart) {
        return fail(workbookPart.error());
    }
    auto workbook = readWorkbookPart(archive_, *workbookPart);
    if (!workbook) {
        return fail(workbook.error());
    }
    if (workbook->sheets.empty()) {
        return fail("工作簿中没有工作表");
    }
    dateMode1904_ = workbook->dateMode1904;

    const std::string relationshipsPart = relationshipsPartOf(*workbookPart);
    if (!archive_.contains(relationshipsPart)) {
        return fail("工作簿已损坏：缺少部件“" + relationshipsPart + "”");
    }
    auto relationships = readRelationships(archive_, relationshipsPart);
    if (!relationships) {
        return fail(relationships.error());
    }
    for (const WorkbookSheet& sheet : workbook->sheets) {
        const Relationship* relationship = findId(*relationships, sheet.relationship);
        if (relationship == nullptr) {
            return fail("工作簿已损坏：找不到工作表“" + sheet.name + "”的部件");
        }
        auto part = followRelationship(archive_, *workbookPart, *relationship, *workbookPart);
        if (!part) {
            return fail(part.error());
        }
        sheetNames_.push_back(sheet.name);
        sheetParts_.push_back(std::move(part).value());
    }

    if (const Relationship* strings = findType(*relationships, "sharedStrings")) {
        auto part = followRelationship(archive_, *workbookPart, *strings, *workbookPart);
        if (!part) {
            return fail(part.error());
        }
        if (Status read = readSharedStrings(archive_, *part, sharedStrings_); !read) {
            return read;
        }
    }
    if (const Relationship* styles = findType(*relationships, "styles")) {
        auto part = followRelationship(archive_, *workbookPart, *styles, *workbookPart);
        if (!part) {
            return fail(part.error());
        }
        auto dateStyles = readDateStyles(archive_, *part);
        if (!dateStyles) {
            return fail(dateStyles.error());
        }
        dateStyles_ = std::move(dateStyles).value();
    }
    return {};
}

std::optional<std::size_t> XlsxWorkbook::findSheet(std::string_view name) const {
    for (std::size_t i = 0; i < sheetNames_.size(); ++i) {
        if (equalsIgnoringAsciiCase(sheetNames_[i], name)) {
            return i;
        }
    }
    return std::nullopt;
}

Status XlsxWorkbook::readRows(std::size_t sheet, const XlsxRowVisitor& visit) {
    if (sheet >= sheetParts_.size()) {
        return fail("工作簿中没有第 " + std::to_string(sheet + 1) + " 个工作表");
    }
    const SheetContext context{sheetNames_[sheet], sharedStrings_, dateStyles_, dateMode1904_};
    return streamSheetRows(archive_, sheetParts_[sheet], context, visit);
}

Result<SheetText> xlsxSheetText(XlsxWorkbook& workbook, std::size_t sheet) {
    SheetText text;
    const Status read = workbook.readRows(sheet, [&](const XlsxRow& row) {
        text.rows.resize(row.index + 1u);
        std::vector<std::string>& texts = text.rows.back();
        texts.resize(row.cells.back().column + 1u);
        for (const XlsxCell& cell : row.cells) {
            texts[cell.column] = cell.text;
        }
        text.width = std::max<std::size_t>(text.width, texts.size());
        return true;
    });
    if (!read) {
        return fail(read.error());
    }
    text.name = workbook.sheetNames()[sheet];
    return text;
}

} // namespace chengxi::xls

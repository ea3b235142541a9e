#include "xls/xlsx_parts.h"

#include "xls/number_format.h"
#include "xls/xlsx_values.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace chengxi::xls {
namespace {

std::string lastSegment(std::string_view uri) {
    const std::size_t slash = uri.rfind('/');
    return std::string(slash == std::string_view::npos ? uri : uri.substr(slash + 1));
}

bool isTrue(std::string_view value) {
    return value == "1" || value == "true";
}

std::optional<std::uint32_t> parseIndex(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

class RelationshipsHandler : public PartHandler {
public:
    explicit RelationshipsHandler(std::string_view part) : PartHandler(part, {"Relationships"}) {}

    std::vector<Relationship> relationships;

private:
    void open(std::string_view name, const XmlAttributes& attributes, int depth) override {
        if (depth != 2 || name != "Relationship") {
            return;
        }
        Relationship relationship;
        attributes.forEach([&](std::string_view key, std::string_view value) {
            if (key == "Id") {
                relationship.id = value;
            } else if (key == "Type") {
                relationship.type = lastSegment(value);
            } else if (key == "Target") {
                relationship.target = value;
            } else if (key == "TargetMode") {
                relationship.external = value == "External";
            }
        });
        relationships.push_back(std::move(relationship));
    }
    void close(std::string_view, int) override {}
};

class WorkbookHandler : public PartHandler {
public:
    explicit WorkbookHandler(std::string_view part) : PartHandler(part, {"workbook"}) {}

    WorkbookPart workbook;

private:
    void open(std::string_view name, const XmlAttributes& attributes, int depth) override {
        if (depth == 2 && name == "workbookPr") {
            workbook.dateMode1904 = isTrue(attributes.find("date1904").value_or(""));
        } else if (depth == 2 && name == "sheets") {
            inSheets_ = true;
        } else if (depth == 3 && inSheets_ && name == "sheet") {
            WorkbookSheet sheet;
            sheet.name = attributes.find("name").value_or("");
            sheet.relationship = attributes.find("id").value_or("");
            workbook.sheets.push_back(std::move(sheet));
        }
    }
    void close(std::string_view, int depth) override {
        if (depth == 2) {
            inSheets_ = false;
        }
    }

    bool inSheets_ = false;
};

class SharedStringsHandler : public PartHandler {
public:
    SharedStringsHandler(std::string_view part, StringPool& strings)
        : PartHandler(part, {"sst"}), strings_(strings) {}

    void text(std::string_view text) override {
        if (string_.capturing()) {
            pending_.append(text);
        }
    }

private:
    void open(std::string_view name, const XmlAttributes&, int depth) override {
        if (string_.inside()) {
            string_.start(name, depth);
        } else if (depth == 2 && name == "si") {
            string_.begin(depth);
        }
    }
    void close(std::string_view, int depth) override {
        if (!string_.inside()) {
            return;
        }
        const bool textEnded = string_.capturing();
        if (string_.end(depth)) {
            strings_.commit();
        } else if (textEnded && !string_.capturing()) {
            appendUnescapedXlsxText(strings_.buffer(), pending_);
            pending_.clear();
        }
    }

    StringPool& strings_;
    RichTextReader string_;
    std::string pending_;
};

class StylesHandler : public PartHandler {
public:
    explicit StylesHandler(std::string_view part) : PartHandler(part, {"styleSheet"}) {}

    std::vector<std::uint8_t> dateStyles() const {
        std::vector<std::uint8_t> flags;
        flags.reserve(cellFormats_.size());
        for (const std::uint32_t id : cellFormats_) {
            const auto custom = customIsDate_.find(id);
            const bool date =
                custom != customIsDate_.end()
                    ? custom->second
                    : id <= 0xFFFF && isBuiltInDateFormat(static_cast<std::uint16_t>(id));
            flags.push_back(date ? 1 : 0);
        }
        return flags;
    }

private:
    void open(std::string_view name, const XmlAttributes& attributes, int depth) override {
        if (depth == 2) {
            section_ = name == "numFmts"   ? Section::Formats
                       : name == "cellXfs" ? Section::CellFormats
                                           : Section::Other;
            return;
        }
        if (depth != 3) {
            return;
        }
        const std::optional<std::uint32_t> id =
            parseIndex(attributes.find("numFmtId").value_or(""));
        if (section_ == Section::Formats && name == "numFmt") {
            if (!id) {
                damaged("的数字格式编号无效");
                return;
            }
            // The last definition of an id wins, as in the .xls reader.
            customIsDate_[*id] = isDateFormatCode(attributes.find("formatCode").value_or(""));
        } else if (section_ == Section::CellFormats && name == "xf") {
            cellFormats_.push_back(id.value_or(0));
        }
    }
    void close(std::string_view, int depth) override {
        if (depth == 2) {
            section_ = Section::Other;
        }
    }

    enum class Section { Other, Formats, CellFormats };
    Section section_ = Section::Other;
    std::unordered_map<std::uint32_t, bool> customIsDate_;
    std::vector<std::uint32_t> cellFormats_;
};

} // namespace

void PartHandler::start(std::string_view name, const XmlAttributes& attributes) {
    ++depth_;
    if (depth_ == 1 && std::find(roots_.begin(), roots_.end(), name) == roots_.end()) {
        damaged("不是预期的内容（根元素“" + std::string(name) + "”）");
        return;
    }
    open(name, attributes, depth_);
}

void PartHandler::end(std::string_view name) {
    close(name, depth_);
    --depth_;
}

void PartHandler::damaged(std::string_view what) {
    fail("工作簿已损坏：部件“" + part_ + "”" + std::string(what));
}

Result<std::vector<Relationship>> readRelationships(ZipArchive& archive, std::string_view part) {
    RelationshipsHandler handler(part);
    if (Status parsed = parseXmlPart(archive, part, handler); !parsed) {
        return fail(parsed.error());
    }
    return std::move(handler.relationships);
}

Result<WorkbookPart> readWorkbookPart(ZipArchive& archive, std::string_view part) {
    WorkbookHandler handler(part);
    if (Status parsed = parseXmlPart(archive, part, handler); !parsed) {
        return fail(parsed.error());
    }
    return std::move(handler.workbook);
}

Status readSharedStrings(ZipArchive& archive, std::string_view part, StringPool& strings) {
    SharedStringsHandler handler(part, strings);
    return parseXmlPart(archive, part, handler);
}

Result<std::vector<std::uint8_t>> readDateStyles(ZipArchive& archive, std::string_view part) {
    StylesHandler handler(part);
    if (Status parsed = parseXmlPart(archive, part, handler); !parsed) {
        return fail(parsed.error());
    }
    return handler.dateStyles();
}

} // namespace chengxi::xls

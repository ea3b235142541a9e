#pragma once

#include "xls/result.h"
#include "xls/string_pool.h"
#include "xls/xml_part.h"
#include "xls/zip_archive.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The parts of an .xlsx that describe the workbook: relationships, the
// workbook part with its sheet list, the shared strings and the styles.
namespace chengxi::xls {

struct Relationship {
    std::string id;
    std::string type; // the last segment of the type URI: "worksheet", "styles"
    std::string target;
    bool external = false;
};

Result<std::vector<Relationship>> readRelationships(ZipArchive& archive, std::string_view part);

struct WorkbookSheet {
    std::string name;
    std::string relationship;
};

struct WorkbookPart {
    std::vector<WorkbookSheet> sheets;
    bool dateMode1904 = false;
};

Result<WorkbookPart> readWorkbookPart(ZipArchive& archive, std::string_view part);

// Appends every shared string, rich-text runs joined, phonetic guides left out.
Status readSharedStrings(ZipArchive& archive, std::string_view part, StringPool& strings);

// For each cell format (cellXfs), 1 when its number format is a date.
Result<std::vector<std::uint8_t>> readDateStyles(ZipArchive& archive, std::string_view part);

// Collects the text of a rich string (<si>, <is>): its <t> and the <t> of
// its runs <r>, but not those of its phonetic guides <rPh>.
class RichTextReader {
public:
    // The string element starts at `depth`.
    void begin(int depth) {
        depth_ = depth;
        runDepth_ = 0;
        guideDepth_ = 0;
        textDepth_ = 0;
    }
    bool inside() const { return depth_ != 0; }
    // True while the characters belong to the text.
    bool capturing() const { return textDepth_ != 0; }

    void start(std::string_view name, int depth) {
        if (guideDepth_ != 0 || textDepth_ != 0) {
            return;
        }
        const bool child = depth == depth_ + 1;
        if (name == "t" && (child || (runDepth_ != 0 && depth == runDepth_ + 1))) {
            textDepth_ = depth;
        } else if (child && name == "r") {
            runDepth_ = depth;
        } else if (child && name == "rPh") {
            guideDepth_ = depth;
        }
    }
    // Returns true when the string element itself ended.
    bool end(int depth) {
        if (depth == textDepth_) {
            textDepth_ = 0;
        } else if (depth == runDepth_) {
            runDepth_ = 0;
        } else if (depth == guideDepth_) {
            guideDepth_ = 0;
        } else if (depth == depth_) {
            depth_ = 0;
            return true;
        }
        return false;
    }

private:
    int depth_ = 0;
    int runDepth_ = 0;
    int guideDepth_ = 0;
    int textDepth_ = 0;
};

// Base of the part handlers: counts the depth and checks the root element.
class PartHandler : public XmlHandler {
public:
    PartHandler(std::string_view part, std::initializer_list<std::string_view> roots)
        : part_(part), roots_(roots) {}

    void start(std::string_view name, const XmlAttributes& attributes) final;
    void end(std::string_view name) final;

protected:
    virtual void open(std::string_view name, const XmlAttributes& attributes, int depth) = 0;
    virtual void close(std::string_view name, int depth) = 0;
    const std::string& part() const { return part_; }
    // Fails with "工作簿已损坏：" and the part's name before `what`.
    void damaged(std::string_view what);

private:
    std::string part_;
    std::vector<std::string_view> roots_;
    int depth_ = 0;
};

} // namespace chengxi::xls

#include "package_builder.h"

#include <memory>
#include <zip.h>

namespace chengxi::xls::testing {

std::string worksheetXml(const std::string& sheetData) {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           "<sheetData>" +
           sheetData + "</sheetData></worksheet>";
}

PackageParts soundPackage(const std::string& sheetData, const std::string& sharedStrings) {
    const std::string relationships =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return {
        {"[Content_Types].xml",
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)"},
        {"_rels/.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type=")" +
             relationships + R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml",
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
         R"(xmlns:r=")" +
             relationships +
             R"("><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type=")" +
             relationships + R"(/worksheet" Target="worksheets/sheet1.xml"/>)" +
             R"(<Relationship Id="rId2" Type=")" + relationships +
             R"(/sharedStrings" Target="sharedStrings.xml"/>)" +
             R"(<Relationship Id="rId3" Type=")" + relationships +
             R"(/styles" Target="styles.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml", worksheetXml(sheetData)},
        {"xl/sharedStrings.xml",
         R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
             sharedStrings + "</sst>"},
        {"xl/styles.xml",
         R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
         R"(<numFmts><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;"/>)"
         R"(<numFmt numFmtId="165" formatCode="0.00"/></numFmts>)"
         R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/>)"
         R"(<xf numFmtId="165"/></cellXfs></styleSheet>)"},
    };
}

namespace {

struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct ArchiveDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

} // namespace

std::string zipPackage(const PackageParts& parts, bool stored) {
    const std::unique_ptr<zip_source_t, SourceFreer> buffer(
        zip_source_buffer_create(nullptr, 0, 0, nullptr));
    std::unique_ptr<zip_t, ArchiveDiscarder> archive(
        zip_open_from_source(buffer.get(), ZIP_TRUNCATE, nullptr));
    if (!archive) {
        return "";
    }
    zip_source_keep(buffer.get()); // the archive takes one reference, the test keeps one
    for (const auto& [name, content] : parts) {
        zip_source_t* data = zip_source_buffer(archive.get(), content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(archive.get(), name.c_str(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            return "";
        }
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                 stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(archive.get()) != 0) {
        return "";
    }
    archive.release(); // zip_close freed it
    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0) {
        return "";
    }
    std::string bytes(stat.size, '\0');
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), bytes.size());
    zip_source_close(buffer.get());
    return read == static_cast<zip_int64_t>(bytes.size()) ? bytes : "";
}

} // namespace chengxi::xls::testing

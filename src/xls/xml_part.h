#pragma once

#include "xls/result.h"
#include "xls/zip_archive.h"

#include <optional>
#include <string>
#include <string_view>

// Streaming the XML parts of a package through expat: no tree is built,
// the handler sees each element as the part inflates. No document type
// declaration is processed: a part that has one is refused, so no entity
// can expand and nothing outside the package is ever fetched.
namespace chengxi::xls {

// The attributes of one element, as expat hands them over.
class XmlAttributes {
public:
    explicit XmlAttributes(const char** pairs) : pairs_(pairs) {}

    // The value of the attribute whose local name (the part after any
    // prefix) is `name`; nothing when there is none.
    std::optional<std::string_view> find(std::string_view name) const;

    template <class Visit> void forEach(Visit visit) const {
        for (const char** p = pairs_; *p != nullptr; p += 2) {
            visit(localName(p[0]), std::string_view(p[1]));
        }
    }

    // "x:row" and "row" are the same element: writers differ in prefixes.
    // One pass over the name, as this runs for every element of a sheet.
    static std::string_view localName(const char* name) {
        const char* start = name;
        const char* end = name;
        for (; *end != '\0'; ++end) {
            if (*end == ':') {
                start = end + 1;
            }
        }
        return {start, static_cast<std::size_t>(end - start)};
    }

private:
    const char** pairs_;
};

// Receives the elements of one part. Element names come without prefix.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, const XmlAttributes& attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view) {}

    bool halted() const { return stopped_ || failure_.has_value(); }
    const std::optional<std::string>& failure() const { return failure_; }

protected:
    // Ends the parse early, successfully.
    void stop() { stopped_ = true; }
    // Ends the parse with a reason; the first reason stays.
    void fail(std::string reason) {
        if (!failure_) {
            failure_ = std::move(reason);
        }
    }

private:
    bool stopped_ = false;
    std::optional<std::string> failure_;
};

// Parses the part of the archive into the handler. Fails when the part is
// missing, damaged or not well-formed XML, or when the handler fails.
Status parseXmlPart(ZipArchive& archive, std::string_view part, XmlHandler& handler);

} // namespace chengxi::xls

#include "xls/xml_part.h"

#include <expat.h>
#include <memory>

namespace chengxi::xls {
namespace {

struct ParserFreer {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
using Parser = std::unique_ptr<XML_ParserStruct, ParserFreer>;

struct ParseState {
    XML_Parser parser;
    XmlHandler& handler;
    bool doctype = false;
};

bool active(const ParseState& state) {
    return !state.doctype && !state.handler.halted();
}

void haltIfDone(ParseState& state) {
    if (state.handler.halted()) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    if (active(state)) {
        state.handler.start(XmlAttributes::localName(name), XmlAttributes(attributes));
        haltIfDone(state);
    }
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    auto& state = *static_cast<ParseState*>(data);
    if (active(state)) {
        state.handler.end(XmlAttributes::localName(name));
        haltIfDone(state);
    }
}

void XMLCALL onText(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<ParseState*>(data);
    if (active(state)) {
        state.handler.text(std::string_view(text, static_cast<std::size_t>(length)));
        haltIfDone(state);
    }
}

// Office never writes a document type declaration; one in a package is
// there to expand entities or reach outside it.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& state = *static_cast<ParseState*>(data);
    state.doctype = true;
    XML_StopParser(state.parser, XML_FALSE);
}

} // namespace

std::optional<std::string_view> XmlAttributes::find(std::string_view name) const {
    for (const char** p = pairs_; *p != nullptr; p += 2) {
        if (localName(p[0]) == name) {
            return std::string_view(p[1]);
        }
    }
    return std::nullopt;
}

Status parseXmlPart(ZipArchive& archive, std::string_view part, XmlHandler& handler) {
    const Parser parser(XML_ParserCreate(nullptr));
    if (!parser) {
        return fail("内存不足，无法读取工作簿");
    }
    ParseState state{parser.get(), handler};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);
    XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    bool wellFormed = true;
    const auto feed = [&](std::string_view bytes, bool last) {
        if (XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()),
                      last ? XML_TRUE : XML_FALSE) == XML_STATUS_ERROR) {
            // Stopped by a handler or by a declaration, or not XML at all.
            wellFormed = XML_GetErrorCode(parser.get()) == XML_ERROR_ABORTED;
            return false;
        }
        return true;
    };
    const Status read =
        archive.readPart(part, [&](std::string_view chunk) { return feed(chunk, false); });
    if (read && wellFormed && !handler.halted() && !state.doctype) {
        feed({}, true); // the end of the part
    }
    const std::string name = "“" + std::string(part) + "”";
    if (state.doctype) {
        return fail("工作簿的部件" + name + "含有文档类型声明（DTD），为安全起见不予读取");
    }
    if (handler.failure()) {
        return fail(*handler.failure());
    }
    if (!read) {
        return read;
    }
    if (!wellFormed) {
        return fail("工作簿已损坏：部件" + name + "第 " +
                    std::to_string(XML_GetCurrentLineNumber(parser.get())) + " 行不是有效的 XML");
    }
    return {};
}

} // namespace chengxi::xls

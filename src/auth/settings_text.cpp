// The private-profile rules on settings file content held in memory.
#include "auth/settings_file.h"

#include <vector>

namespace chengxi::auth {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view trimmedBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimmedSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the file: its text and the line end that follows it ("\r\n",
// "\r", "\n", or nothing at the end of the file).
struct Line {
    std::string_view text;
    std::string_view end;
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t stop = content.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        const std::size_t endLength =
            (content[stop] == '\r' && stop + 1 < content.size() && content[stop + 1] == '\n') ? 2
                                                                                              : 1;
        lines.push_back({content.substr(start, stop - start), content.substr(stop, endLength)});
        start = stop + endLength;
    }
    return lines;
}

enum class LineKind { Empty, Section, Comment, Entry, Other };

struct ParsedLine {
    LineKind kind = LineKind::Empty;
    std::string_view name;  // section name or key, blanks trimmed
    std::string_view value; // an entry's text after its first "=", untrimmed
};

ParsedLine parseLine(std::string_view text) {
    const std::string_view content = trimmedBlanks(text);
    if (content.empty()) {
        return {};
    }
    if (content.front() == '[') {
        const std::string_view inside = content.substr(1);
        return {LineKind::Section, trimmedBlanks(inside.substr(0, inside.find(']'))), {}};
    }
    if (content.front() == ';') {
        return {LineKind::Comment, {}, {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return {LineKind::Other, {}, {}};
    }
    return {LineKind::Entry, trimmedBlanks(text.substr(0, equals)), text.substr(equals + 1)};
}

// Where a key lives in the content: the first section of that name (its
// header line, and the last line of it that is not empty) and, within it, the
// first line of that key. Indexes into the line list; npos when missing.
struct Location {
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t header = npos;
    std::size_t lastNonEmpty = npos;
    std::size_t entry = npos;
    std::string_view entryKey;
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location where;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine line = parseLine(lines[i].text);
        if (where.header == Location::npos) {
            if (line.kind == LineKind::Section && sameName(line.name, section)) {
                where.header = i;
                where.lastNonEmpty = i;
            }
            continue;
        }
        if (line.kind == LineKind::Section) {
            break; // only the first section of a name is searched
        }
        if (line.kind != LineKind::Empty) {
            where.lastNonEmpty = i;
        }
        if (where.entry == Location::npos && line.kind == LineKind::Entry &&
            sameName(line.name, key)) {
            where.entry = i;
            where.entryKey = line.name;
        }
    }
    return where;
}

bool isWritableName(std::string_view name) {
    return !name.empty() && trimmedBlanks(name) == name &&
           name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

} // namespace

std::string valueAsReadBack(std::string_view written) {
    std::string_view value = written.substr(0, written.find('\0'));
    value = trimmedBlanks(value.substr(0, value.find_first_of("\r\n")));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kSettingsValueBuffer - 1));
}

std::string findSettingsValue(std::string_view content, std::string_view section,
                              std::string_view key) {
    section = trimmedSpaces(section);
    key = trimmedSpaces(key);
    // Empty names name nothing, as they cannot be written either.
    if (section.empty() || key.empty()) {
        return {};
    }
    const std::vector<Line> lines = splitLines(content);
    const Location where = locate(lines, section, key);
    if (where.entry == Location::npos) {
        return {};
    }
    return valueAsReadBack(parseLine(lines[where.entry].text).value);
}

std::optional<std::string> withSettingsValue(std::string_view content, std::string_view section,
                                             std::string_view key, std::string_view value) {
    section = trimmedSpaces(section);
    key = trimmedSpaces(key);
    if (!isWritableName(section) || section.find(']') != std::string_view::npos ||
        !isWritableName(key) || key.find('=') != std::string_view::npos || key.front() == ';' ||
        key.front() == '[') {
        return std::nullopt;
    }
    value = value.substr(0, value.find('\0'));

    const std::vector<Line> lines = splitLines(content);
    const Location where = locate(lines, section, key);
    const std::string newLine = [&] {
        std::string line(key);
        line += '=';
        line += value;
        line += "\r\n";
        return line;
    }();

    std::string out;
    out.reserve(content.size() + newLine.size() + section.size() + 4);
    const auto appendLine = [&out](const Line& line) {
        out += line.text;
        out += line.end;
    };
    // A line written at the end of the file may lack a line end; one is
    // needed before anything follows it.
    const auto appendTerminated = [&out](const Line& line) {
        out += line.text;
        out += line.end.empty() ? std::string_view("\r\n") : line.end;
    };

    if (where.header == Location::npos) {
        for (const Line& line : lines) {
            appendTerminated(line);
        }
        out += '[';
        out += section;
        out += "]\r\n";
        out += newLine;
        return out;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == where.entry) {
            out += where.entryKey;
            out += '=';
            out += value;
            out += lines[i].end;
        } else if (where.entry == Location::npos && i == where.lastNonEmpty) {
            appendTerminated(lines[i]);
            out += newLine;
        } else {
            appendLine(lines[i]);
        }
    }
    return out;
}

} // namespace chengxi::auth

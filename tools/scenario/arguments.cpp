#include "arguments.h"

namespace chengxi::scenario {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

std::optional<std::vector<std::string>> splitArguments(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            return arguments;
        }
        std::string argument;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    argument += line[i++];
                } else {
                    argument += c;
                }
            }
            if (!closed || (i < line.size() && !isBlank(line[i]))) {
                return std::nullopt;
            }
        } else {
            while (i < line.size() && !isBlank(line[i])) {
                argument += line[i++];
            }
        }
        arguments.push_back(std::move(argument));
    }
}

} // namespace chengxi::scenario

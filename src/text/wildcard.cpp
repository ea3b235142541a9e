#include "text/wildcard.h"

#include "text/utf8.h"

namespace chengxi::text {
namespace {

char32_t folded(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
}

} // namespace

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    // Greedy matching with one remembered star: linear in practice, no recursion.
    std::size_t n = 0, p = 0;
    std::size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        std::size_t nextName = n;
        const char32_t c = decodeUtf8(name, nextName);
        std::size_t nextPattern = p;
        const char32_t w = p < pattern.size() ? decodeUtf8(pattern, nextPattern) : U'\0';
        if (p < pattern.size() && w == U'*') {
            starPattern = p = nextPattern;
            starName = n;
        } else if (p < pattern.size() && (w == U'?' || folded(w) == folded(c))) {
            p = nextPattern;
            n = nextName;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern;
            decodeUtf8(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace chengxi::text

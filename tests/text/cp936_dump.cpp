// What the program's code page 936 conversion makes of every single byte,
// every pair from a high lead byte, every character of the basic plane and a
// few beyond it, and a fixed set of random byte strings: one line each. The
// Linux build (iconv) writes the dump; the Windows build, whose conversion
// goes through the code-page API, must give the same lines.
//
// Usage: chengxi_cp936_dump write FILE | compare FILE
#include "text/cp936.h"
#include "text/hex.h"
#include "text/utf8.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace chengxi::text;

std::string codePointName(char32_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
    return name;
}

std::string codePointNames(std::string_view utf8) {
    std::string names;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        names += (names.empty() ? "" : " ") + codePointName(decodeUtf8(utf8, pos));
    }
    return names;
}

// The bytes, the characters they decode to, and the bytes those encode back to.
std::string decodeLine(std::string_view bytes) {
    const std::string decoded = fromCp936(bytes);
    const Cp936Bytes back = toCp936(decoded);
    return encodeHex(bytes) + " -> " + codePointNames(decoded) + " -> " +
           (back.ok() ? encodeHex(back.bytes) : "unencodable");
}

std::string encodeLine(char32_t code) {
    std::string utf8;
    appendUtf8(utf8, code);
    const Cp936Bytes encoded = toCp936(utf8);
    return codePointName(code) + " -> " + (encoded.ok() ? encodeHex(encoded.bytes) : "unmappable");
}

std::vector<std::string> dump() {
    std::vector<std::string> lines;
    for (int byte = 0; byte < 0x100; ++byte) {
        lines.push_back(decodeLine(std::string(1, static_cast<char>(byte))));
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
            lines.push_back(decodeLine(std::string_view(pair, 2)));
        }
    }
    for (char32_t code = 0; code < 0x10000; ++code) {
        lines.push_back(encodeLine(code));
    }
    for (const char32_t code :
         {U'\U00010000', U'\U00020000', U'\U0002A6D6', U'\U0001F600', U'\U0010FFFF'}) {
        lines.push_back(encodeLine(code));
    }
    // The standard fixes the generator's sequence, so both builds draw the same strings.
    std::mt19937 random(936);
    for (int i = 0; i < 5000; ++i) {
        std::string bytes(1 + random() % 9, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random() % 3 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        }
        lines.push_back(decodeLine(bytes));
    }
    return lines;
}

int write(const char* file) {
    std::ofstream out(file, std::ios::binary);
    for (const std::string& line : dump()) {
        out << line << '\n';
    }
    return out.flush() ? 0 : 1;
}

// Prints the first differences and how many lines differ; 0 when none does.
int compare(const char* file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file);
        return 1;
    }
    const std::vector<std::string> lines = dump();
    std::size_t index = 0;
    std::size_t differences = 0;
    for (std::string expected; std::getline(in, expected); ++index) {
        const std::string actual = index < lines.size() ? lines[index] : "(no line)";
        if (actual != expected && ++differences <= 40) {
            std::printf("reference: %s\nthis build: %s\n", expected.c_str(), actual.c_str());
        }
    }
    if (index != lines.size()) {
        std::printf("the reference has %zu lines, this build %zu\n", index, lines.size());
        return 1;
    }
    std::printf("%zu of %zu lines differ\n", differences, lines.size());
    return differences == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc == 3 ? argv[1] : "";
    if (command == "write") {
        return write(argv[2]);
    }
    if (command == "compare") {
        return compare(argv[2]);
    }
    std::fprintf(stderr, "usage: chengxi_cp936_dump write FILE | compare FILE\n");
    return 2;
}

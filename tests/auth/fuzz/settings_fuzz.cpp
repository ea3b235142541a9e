// Fuzz target for the settings-file text functions. The input is five
// fields, each ended by a 0xFF byte (a section, a key and a value to write,
// then the section and key of another entry to watch), followed by the file
// content. Any bytes must be handled; a value written must read back as
// valueAsReadBack says; whether names are refused must not depend on the
// content or the value; and a value that holds no line break must leave
// every other entry as it was and give the same file when written again.
#include "auth/settings_file.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using namespace chengxi::auth;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings fuzz check failed: %s\n", what);
        std::abort();
    }
}

std::string_view withoutOuterSpaces(std::string_view name) {
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether two requested names name the same thing in the file.
bool sameName(std::string_view a, std::string_view b) {
    a = withoutOuterSpaces(a);
    b = withoutOuterSpaces(b);
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::array<std::string_view, 5> fields;
    for (std::string_view& field : fields) {
        const std::size_t end = input.find('\xFF');
        if (end == std::string_view::npos) {
            return 0;
        }
        field = input.substr(0, end);
        input.remove_prefix(end + 1);
    }
    const auto [section, key, value, otherSection, otherKey] = fields;
    const std::string_view content = input;

    const std::string otherBefore = findSettingsValue(content, otherSection, otherKey);
    const std::optional<std::string> written = withSettingsValue(content, section, key, value);
    check(written.has_value() == withSettingsValue("", section, key, "").has_value(),
          "only the names decide a refusal");
    if (!written) {
        return 0;
    }
    check(findSettingsValue(*written, section, key) == valueAsReadBack(value),
          "the value reads back as valueAsReadBack says");

    const std::string_view stored = value.substr(0, value.find('\0'));
    if (stored.find_first_of("\r\n") != std::string_view::npos) {
        return 0; // a line break in the value makes lines of its own
    }
    if (!(sameName(section, otherSection) && sameName(key, otherKey))) {
        check(findSettingsValue(*written, otherSection, otherKey) == otherBefore,
              "other entries keep their values");
    }
    check(withSettingsValue(*written, section, key, value) == written,
          "writing the same value again changes nothing");
    return 0;
}

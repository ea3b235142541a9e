#include "auth/password_store.h"

#include "auth/settings_file.h"
#include "platform/private_files.h"

#include <cstdlib>

namespace chengxi::auth {

namespace fs = std::filesystem;

fs::path defaultSettingsPath() {
#ifdef _WIN32
    return fs::path("c:\\mzqk.ini");
#else
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && fs::path(configHome).is_absolute()) {
        return fs::path(configHome) / "mzqk.ini";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".config" / "mzqk.ini";
    }
    return fs::path("mzqk.ini");
#endif
}

std::optional<std::string> readStoredPassword(const fs::path& settingsFile) {
    return readSettingsValue(settingsFile, kPasswordSection, kPasswordKey);
}

bool writeStoredPassword(const fs::path& settingsFile, std::string_view cipherText) {
    // A fresh account may not have its configuration folder yet; the one
    // made here holds the password, so it is the user's alone.
    const fs::path folder = settingsFile.parent_path();
    if (!folder.empty()) {
        platform::createPrivateFolders(folder);
    }
    return writeSettingsValue(settingsFile, kPasswordSection, kPasswordKey, cipherText);
}

std::string asReadBack(std::string_view cipherText) {
    return valueAsReadBack(cipherText);
}

bool survivesStorage(std::string_view cipherOutput) {
    return !cipherOutput.empty() && asReadBack(cipherOutput) == cipherOutput;
}

} // namespace chengxi::auth

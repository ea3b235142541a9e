#include "app/data_folder.h"

#include "platform/temporary_file.h"
#include "text/file_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace chengxi::app {

namespace fs = std::filesystem;

std::optional<std::string> processEnvironment(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> userDataFolder(const EnvironmentLookup& environment) {
    const auto absolute = [&](std::string_view name) -> std::optional<std::string> {
        const std::optional<std::string> value = environment(name);
        // Relative values are invalid for these variables and are ignored.
        if (!value || value->empty() || !text::toPath(*value).is_absolute()) {
            return std::nullopt;
        }
        return value;
    };
#ifdef _WIN32
    if (const auto local = absolute("LOCALAPPDATA")) {
        return text::joinPath(*local, "chengxi");
    }
    return std::nullopt;
#else
    if (const auto dataHome = absolute("XDG_DATA_HOME")) {
        return text::joinPath(*dataHome, "chengxi");
    }
    if (const auto home = absolute("HOME")) {
        return text::joinPath(text::joinPath(text::joinPath(*home, ".local"), "share"), "chengxi");
    }
    return std::nullopt;
#endif
}

bool canWriteFolder(std::string_view folder) {
    std::error_code error;
    if (!fs::is_directory(text::toPath(folder), error)) {
        return false;
    }
    // A temporary of the program's own: a new file of a random name, so the
    // probe can neither write through a planted link nor touch a real file.
    std::optional<platform::TemporaryFile> probe =
        platform::TemporaryFile::create(text::toPath(folder), platform::FileAccess::Private);
    return probe && probe->write("x");
}

DataFolder chooseDataFolder(const std::string& programFolder,
                            const EnvironmentLookup& environment) {
    if (canWriteFolder(programFolder)) {
        return {programFolder, {}};
    }
    const std::optional<std::string> user = userDataFolder(environment);
    if (!user) {
        return {programFolder, "no home folder is known for the user's data"};
    }
    std::error_code error;
    fs::create_directories(text::toPath(*user), error);
    if (error) {
        return {programFolder, "cannot create " + *user + ": " + error.message()};
    }
    return {*user, {}};
}

} // namespace chengxi::app

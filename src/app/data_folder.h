#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace chengxi::app {

// Reads an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The process's own environment.
std::optional<std::string> processEnvironment(std::string_view name);

// The per-user folder for the database when the program's folder cannot be
// written: $XDG_DATA_HOME/chengxi when that is an absolute path, else
// ~/.local/share/chengxi (%LOCALAPPDATA%\chengxi on Windows). Nothing when the
// environment names no home at all. UTF-8.
std::optional<std::string> userDataFolder(const EnvironmentLookup& environment);

// True when a file can be created in `folder` (it is tried, not guessed from
// permission bits, so read-only mounts and access lists count too).
bool canWriteFolder(std::string_view folder);

struct DataFolder {
    std::string path;  // UTF-8; holds the database and its backups
    std::string error; // why a needed user folder could not be made, else empty
};

// Where the database and its backups live: the program's folder while it can
// be written (a copy unpacked anywhere keeps everything together), else the
// user's data folder, created here on first start. When no user folder can
// be had, the program's folder is kept and the database start reports the
// failure as it would for any unwritable folder.
DataFolder chooseDataFolder(const std::string& programFolder, const EnvironmentLookup& environment);

} // namespace chengxi::app

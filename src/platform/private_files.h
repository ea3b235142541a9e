#pragma once

#include <filesystem>

// Files and folders for the user alone (0600 and 0700 on POSIX, an access
// list of the owner and the system on Windows): the database, whose journal
// SQLite makes with the database's own permissions, and the folder of the
// settings file, which holds the enciphered password.
namespace chengxi::platform {

// Creates `file` empty for the user alone when no file of that name exists
// (a link there is not followed); an existing file is left as it is. False
// when it neither existed nor could be made.
bool createPrivateFileIfMissing(const std::filesystem::path& file);

// Creates `folder` and the folders above it that are missing, each for the
// user alone; existing folders are left as they are. False when the folder
// is not there afterwards.
bool createPrivateFolders(const std::filesystem::path& folder);

} // namespace chengxi::platform

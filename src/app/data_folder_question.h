#pragma once

#include "app/data_folder.h"

#include <string>

namespace chengxi::ui {
class Screen;
}

namespace chengxi::app {

// Where the database and its backups live, as chooseDataFolder decides, except
// that a library in the program's folder is never left out of view: when
// that folder cannot be written and holds 数据库.sdb, the librarian is asked
// whether to copy it (never move it) into the user's data folder and go on
// with the copy. Cancel keeps the original where it is, to be looked at
// only. Asked once: a later start finds the copy and uses it. A database the
// data folder holds already is used without a word, unless it is an empty
// library standing beside the full one (made by builds that did not ask):
// then the same question is put, and the empty one is set aside, not
// replaced.
DataFolder settleDataFolder(const std::string& programFolder, const EnvironmentLookup& environment,
                            ui::Screen& screen);

// Said at start-up when the database's folder cannot be written, so the
// database can only be looked at.
std::string unwritableFolderMessage(const std::string& folder);

} // namespace chengxi::app

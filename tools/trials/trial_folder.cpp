#include "trial_folder.h"

#include "library/initialisation.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "text/file_path.h"

#include <fstream>
#include <iterator>

namespace chengxi::trials {

std::filesystem::path TrialFolder::database() const {
    return program() / text::toPath(library::kDatabaseFileName);
}

std::string databaseKey() {
    return "program/" + std::string(library::kDatabaseFileName);
}

std::string TrialFolder::programUtf8() const {
    return text::fromPath(program());
}

std::string TrialFolder::settingsUtf8() const {
    return text::fromPath(settings());
}

std::vector<std::string> queryValues(const std::filesystem::path& database,
                                     const std::string& sql) {
    std::vector<std::string> values;
    store::Connection connection;
    store::RecordSet records;
    if (!std::filesystem::exists(database) || !connection.open(text::fromPath(database), false) ||
        !records.open(connection, sql) || !records.toFirst()) {
        return values;
    }
    while (records.nextRow()) {
        for (int column = 0; column < records.columnCount(); ++column) {
            values.push_back(records.read(column));
        }
    }
    return values;
}

std::string queryValue(const std::filesystem::path& database, const std::string& sql) {
    const std::vector<std::string> values = queryValues(database, sql);
    return values.size() == 1 ? values.front() : std::string();
}

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace chengxi::trials

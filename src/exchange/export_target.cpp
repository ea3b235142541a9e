#include "exchange/export_target.h"

#include "platform/file_facts.h"
#include "text/file_path.h"
#include "ui/services.h"

#include <array>
#include <filesystem>
#include <string>
#include <utility>

namespace chengxi::exchange {

std::optional<std::string> exportTargetRefusal(const ui::Services& services,
                                               std::string_view path) {
    const std::filesystem::path target = text::toPath(path);
    const std::string quoted = "“" + std::string(path) + "”";
    const std::string database = services.databasePath();
    const std::array<std::pair<std::filesystem::path, std::string>, 3> held{{
        {text::toPath(database),
         "是本程序正在使用的数据库文件，导出到这里会覆盖全部图书、读者和借阅数据"},
        {text::toPath(database + "-journal"), "是本程序数据库的日志文件，导出到这里会损坏数据库"},
        {services.settingsFile, "是保存登录密码的设置文件，导出到这里会覆盖它，登录密码就会丢失"},
    }};
    for (const auto& [file, why] : held) {
        if (platform::wouldReplace(target, file)) {
            return quoted + why + "。没有导出任何数据，请另选一个文件名。";
        }
    }
    if (platform::isReadOnlyFile(target)) {
        return "文件" + quoted +
               "是只读的，不能替换。没有导出任何数据，请另选一个文件名，或去掉这个文件的只读属性后"
               "再导出。";
    }
    return std::nullopt;
}

} // namespace chengxi::exchange

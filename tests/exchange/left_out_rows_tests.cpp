// Rows an import leaves out for a character the database cannot store go to
// 导入未成功的行.xls, read back here by Python's xlrd (Debian's python3-xlrd,
// run as /usr/bin/python3): every row with its row number, column, character
// and cells as read. The file goes beside the imported workbook, else into
// the data folder, and never in place of the imported workbook itself.
#include "exchange_test.h"
#include "xls/test_support.h"

#include <cstdlib>
#include <filesystem>

namespace chengxi::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr std::string_view kLeftOutFile = "导入未成功的行.xls";

// Row count, then one line per row: text cells as they are, numbers by %.13g.
constexpr std::string_view kDumpScript = R"PY(
import sys
import xlrd

def text(c):
    if c.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return ""
    if c.ctype == xlrd.XL_CELL_NUMBER:
        return "%.13g" % c.value
    if c.ctype == xlrd.XL_CELL_TEXT:
        return c.value.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
    return "?type %d?" % c.ctype

sh = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
    for r in range(sh.nrows):
        out.write("\t".join(text(sh.cell(r, c)) for c in range(sh.ncols)) + "\n")
)PY";

class LeftOutRows : public ExchangeTest {
protected:
    void SetUp() override {
        if (!xls::testing::xlrdAvailable()) {
            GTEST_SKIP() << "python3-xlrd is not installed";
        }
        ExchangeTest::SetUp();
        std::filesystem::create_directory(text::toPath(importFolder));
    }

    // The bulleted catalogue copied into the import folder under `name`.
    std::string placeCatalogue(std::string_view name) {
        const std::string path = text::joinPath(importFolder, name);
        std::filesystem::copy_file(text::toPath(xls::testing::fixture("books_bullet_xlwt.xls")),
                                   text::toPath(path));
        return path;
    }

    // A folder with a file in it where the left-out workbook would go.
    static void blockWith(const std::string& path) {
        std::filesystem::create_directory(text::toPath(path));
        xls::testing::writeWholeFile(text::joinPath(path, "x"), "x");
    }

    Rows readWithXlrd(const std::string& workbook) {
        const std::string script = inProgramFolder("dump.py");
        const std::string output = inProgramFolder("dump.tsv");
        xls::testing::writeWholeFile(script, kDumpScript);
        const std::string command = std::string(xls::testing::kPython) + " \"" + script + "\" \"" +
                                    workbook + "\" \"" + output + "\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        Rows rows = xls::testing::readTsv(output);
        for (auto& row : rows) {
            for (std::string& cell : row) {
                cell = xls::testing::unescapeDumpCell(cell);
            }
        }
        return rows;
    }

    std::string lastMessage() {
        return screen.messages().empty() ? "" : screen.messages().back().message.text;
    }

    const std::string importFolder = inProgramFolder("导入");
};

TEST_F(LeftOutRows, EveryBookLostToABulletIsWrittenBesideWithItsCellsAsRead) {
    importBooks(placeCatalogue("图书.xls"));

    EXPECT_EQ(rowsOf("select 图书编号 from 图书数据"), (Rows{{"H00002"}, {"H00004"}}));
    EXPECT_EQ(main->control(names::kImportStatus).text(), "导入图书数据结束，耗时 0 秒");
    const std::string written = text::joinPath(importFolder, kLeftOutFile);
    EXPECT_EQ(lastMessage(), "有 4 行含有本程序无法保存的字符，没有导入。这些行已写入文件“" +
                                 written +
                                 "”，文件中注明了每行的行号、列名和无法保存的字符，请在Excel中"
                                 "删除或换掉这些字符后再导入这些行。");
    // Columns in the order the import reads them, not the sheet's; the row
    // without a book number was never read, so it is not listed.
    const Rows expected = {
        {"行号", "列名", "字符", "条形码", "图书编号", "分类号", "图书类别", "复本号", "书名",
         "著译者", "出版处", "页数", "开本", "版期", "版次", "单价", "书架名称", "入库时间",
         "是否借出"},
        {"2", "书名", "•", "9787020033430", "H00001", "", "", "", "哈利•波特与魔法石", "J.K.罗琳",
         "人民文学出版社", "223", "", "", "", "19.5", "", "2015年11月9日13时5分", "假"},
        {"5", "书名", "•", "9787020033447", "H00003", "", "", "", "哈利•波特与密室", "J•K•罗琳",
         "人民文学出版社•珍藏版", "", "", "", "", "", "", "", ""},
        {"7", "著译者", "•", "", "H00005", "", "", "", "追风筝的人", "卡勒德•胡赛尼",
         "上海人民出版社", "362", "", "", "", "", "", "", ""},
        {"8", "出版处", "•", "", "H00006", "", "", "", "福尔摩斯探案集", "柯南·道尔",
         "群众出版社•珍藏版", "", "", "", "", "", "", "", ""},
    };
    EXPECT_EQ(readWithXlrd(written), expected);
}

TEST_F(LeftOutRows, ABlockedPlaceSendsThemToTheDataFolderAndNoPlaceAtAllSaysWhy) {
    blockWith(text::joinPath(importFolder, kLeftOutFile));
    const std::string dataFolderFile = inProgramFolder(kLeftOutFile);
    importBooks(placeCatalogue("图书.xls"));
    EXPECT_NE(lastMessage().find("这些行已写入文件“" + dataFolderFile + "”"), std::string::npos)
        << lastMessage();
    EXPECT_EQ(readWithXlrd(dataFolderFile).size(), 5u);

    std::filesystem::remove(text::toPath(dataFolderFile));
    blockWith(dataFolderFile);
    importBooks(text::joinPath(importFolder, "图书.xls"));
    const std::string message = lastMessage();
    EXPECT_EQ(message.rfind("有 4 行含有本程序无法保存的字符，没有导入，第一处是第 2 行中的“•”。"
                            "这些行没能写入文件“导入未成功的行.xls”：",
                            0),
              0u)
        << message;
    // Why, for both places.
    EXPECT_NE(message.find(text::joinPath(importFolder, kLeftOutFile)), std::string::npos);
    EXPECT_NE(message.find(dataFolderFile), std::string::npos);
    // The import itself stands.
    EXPECT_EQ(rowsOf("select count(*) from 图书数据"), (Rows{{"4"}}));
}

TEST_F(LeftOutRows, TheImportedWorkbookIsNeverReplaced) {
    const std::string imported = placeCatalogue(kLeftOutFile);
    const std::string before = xls::testing::readWholeFile(imported);
    importBooks(imported);
    EXPECT_EQ(xls::testing::readWholeFile(imported), before);
    EXPECT_EQ(readWithXlrd(inProgramFolder(kLeftOutFile)).size(), 5u);

    // That workbook imports again (its rows still hold "•"); taken from the
    // data folder itself, it leaves nowhere to write.
    const std::string inDataFolder = inProgramFolder(kLeftOutFile);
    const std::string again = xls::testing::readWholeFile(inDataFolder);
    importBooks(inDataFolder);
    EXPECT_EQ(xls::testing::readWholeFile(inDataFolder), again);
    EXPECT_NE(lastMessage().find("“" + inDataFolder + "”是刚导入的文件"), std::string::npos)
        << lastMessage();
}

} // namespace
} // namespace chengxi::testing

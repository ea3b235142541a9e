#include "library/initialisation.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store/schema.h"
#include "store_test_support.h"
#include "text/cp936.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace chengxi::store;
using chengxi::library::initialiseDatabase;
using chengxi::store::testing::RawDatabase;
using chengxi::store::testing::TempDir;

namespace {

std::string gbk(const std::string& utf8) {
    const chengxi::text::Cp936Bytes bytes = chengxi::text::toCp936(utf8);
    EXPECT_TRUE(bytes.ok()) << utf8;
    return bytes.bytes;
}

std::vector<std::string> schemaTexts(const std::string& path) {
    RawDatabase raw(path);
    EXPECT_TRUE(raw.ok());
    return raw.column("SELECT sql FROM sqlite_master ORDER BY rowid");
}

} // namespace

TEST(ColumnDefinition, TypeCodes) {
    const auto definition = [](int code, int size) {
        return columnDefinition(FieldDescription{"列", code, size});
    };
    EXPECT_EQ(definition(10, 20), "列 TEXT(20)");
    EXPECT_EQ(definition(8, 5), "列 TEXT(5)");
    EXPECT_EQ(definition(12, 1), "列 TEXT(1)");
    EXPECT_EQ(definition(10, 0), "列 TEXT");
    EXPECT_EQ(definition(10, -3), "列 TEXT");
    for (int code : {1, 2, 3, 4, 7}) {
        EXPECT_EQ(definition(code, 9), "列 INTEGER") << code;
    }
    EXPECT_EQ(definition(5, 9), "列 NUMERIC");
    EXPECT_EQ(definition(6, 9), "列 NUMERIC");
    EXPECT_EQ(definition(11, 9), "列 BLOB");
    EXPECT_EQ(definition(-1, 9), "列 INTEGER PRIMARY KEY");
    EXPECT_EQ(definition(0, 9), "列");
    EXPECT_EQ(definition(9, 9), "列 NONE");
    EXPECT_EQ(definition(13, 9), "列 NONE");
    EXPECT_EQ(definition(-2, 9), "列 NONE");
}

TEST(CreateTable, DefinitionLimitsCountCodePageBytes) {
    Connection db;
    ASSERT_TRUE(db.open(":memory:", true));
    // 95 characters of two bytes each, a blank and "TEXT(1)": 198 bytes in
    // code page 936, 293 in UTF-8.
    std::string longName;
    for (int i = 0; i < 95; ++i) {
        longName += "长";
    }
    const FieldDescription fits{longName + "甲", 10, 1};      // 200 bytes
    const FieldDescription tooLong{longName + "甲乙", 10, 1}; // 202 bytes
    EXPECT_TRUE(createTable(db, "甲", std::vector<FieldDescription>{fits}));
    EXPECT_FALSE(createTable(db, "乙", std::vector<FieldDescription>{tooLong}));
    EXPECT_FALSE(tableExists(db, "乙"));

    // Ten definitions of 200 bytes joined by ", " pass 2000 bytes.
    std::vector<FieldDescription> many;
    for (int i = 0; i < 10; ++i) {
        many.push_back({longName.substr(0, longName.size() - 3) + "列" + std::to_string(i), 10, 1});
    }
    EXPECT_FALSE(createTable(db, "丙", many));
    many.pop_back();
    EXPECT_TRUE(createTable(db, "丙", many));

    EXPECT_FALSE(createTable(db, "丁", std::vector<FieldDescription>{{"😀", 10, 1}}));
    EXPECT_FALSE(createTable(db, "丁", std::vector<FieldDescription>{{"", 10, 1}}));
    EXPECT_FALSE(createTable(db, "丁", std::vector<FieldDescription>{}));
    EXPECT_FALSE(createTable(db, "甲", std::vector<FieldDescription>{{"a", 10, 1}}))
        << "already there";
}

TEST(TableExists, IdentifierRulesNotPatterns) {
    Connection db;
    EXPECT_FALSE(tableExists(db, "读者数据")) << "closed connection";
    ASSERT_TRUE(db.open(":memory:", true));
    ASSERT_TRUE(db.execute("CREATE TABLE Books (a)"));
    ASSERT_TRUE(db.execute("CREATE VIEW 书目 AS SELECT a FROM Books"));
    ASSERT_TRUE(db.execute("CREATE TABLE axxb (a)"));
    // 堵 is GBK B6 C2, 读 is B6 C1: read as UTF-8 by LIKE both become the
    // same replacement character.
    ASSERT_TRUE(db.execute("CREATE TABLE 堵者数据 (a)"));
    ASSERT_TRUE(db.execute("CREATE INDEX idx ON Books (a)"));

    EXPECT_TRUE(tableExists(db, "Books"));
    EXPECT_TRUE(tableExists(db, "BOOKS"));
    EXPECT_TRUE(tableExists(db, "books"));
    EXPECT_TRUE(tableExists(db, "书目"));
    EXPECT_TRUE(tableExists(db, "堵者数据"));
    EXPECT_FALSE(tableExists(db, "读者数据"));
    EXPECT_FALSE(tableExists(db, "a%b"));
    EXPECT_FALSE(tableExists(db, "a__b"));
    EXPECT_FALSE(tableExists(db, "Book"));
    EXPECT_FALSE(tableExists(db, "idx")) << "an index is not a table";
    EXPECT_FALSE(tableExists(db, ""));
    EXPECT_FALSE(tableExists(db, "😀"));
}

TEST(DeleteAllRows, EmptiesTheTable) {
    Connection db;
    EXPECT_FALSE(deleteAllRows(db, "借出数据"));
    ASSERT_TRUE(db.open(":memory:", true));
    ASSERT_TRUE(db.execute("CREATE TABLE 借出数据 (图书编号 TEXT(15))"));
    for (const char* number : {"A1", "A2"}) {
        ASSERT_TRUE(
            db.execute("INSERT INTO 借出数据 VALUES (?)", std::vector<std::string>{number}));
    }
    EXPECT_FALSE(deleteAllRows(db, ""));
    EXPECT_FALSE(deleteAllRows(db, "不存在"));
    EXPECT_TRUE(deleteAllRows(db, "借出数据"));
    RecordSet records;
    ASSERT_TRUE(records.open(db, "SELECT * FROM 借出数据"));
    ASSERT_TRUE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 0);
}

TEST(EnsureTable, CreatesOnceThenTakesWhatIsThere) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    Connection db;
    EXPECT_EQ(ensureTable(db, path, "借出数据", "图书编号,借书证号", "15,20"),
              EnsureOutcome::Created);
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(ensureTable(db, path, "借出数据", "图书编号,借书证号", "15,20"),
              EnsureOutcome::Present);
    EXPECT_EQ(ensureTable(db, path, "借出数据", "完全,不同,的列", "1,2,3"), EnsureOutcome::Present);
    EXPECT_EQ(ensureTable(db, path, "借阅报表", "年份,图书编号", "4"),
              EnsureOutcome::ListsDisagree);
    EXPECT_FALSE(tableExists(db, "借阅报表"));
    EXPECT_EQ(ensureTable(db, path, "坏 名", "a", "1"), EnsureOutcome::CreateFailed);
    // Sizes are integer values: blanks, full-width digits, no digits at all.
    EXPECT_EQ(ensureTable(db, path, "杂项", "甲,乙,丙", " 12,１５,abc"), EnsureOutcome::Created);
    db.close();

    EXPECT_EQ(schemaTexts(path),
              (std::vector<std::string>{
                  gbk("CREATE TABLE 借出数据 (图书编号 TEXT(15), 借书证号 TEXT(20))"),
                  gbk("CREATE TABLE 杂项 (甲 TEXT(12), 乙 TEXT(15), 丙 TEXT)")}));
}

TEST(EnsureTable, OpenFailureIsReported) {
    TempDir dir;
    Connection db;
    const std::string path = dir.file("没有这个文件夹/数据库.sdb");
    EXPECT_EQ(ensureTable(db, path, "借出数据", "图书编号,借书证号", "15,20"),
              EnsureOutcome::OpenFailed);
    EXPECT_FALSE(db.isOpen());
}

TEST(DatabaseInitialisation, NewFileHoldsTheFourTablesAsGbkBytes) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    {
        Connection db;
        EXPECT_TRUE(initialiseDatabase(db, path).empty());
    }
    const std::vector<std::string> texts = schemaTexts(path);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "CREATE TABLE \xB6\xC1\xD5\xDF\xCA\xFD\xBE\xDD (\xB0\xE0\xB1\xF0 TEXT(20), "
                        "\xD0\xD5\xC3\xFB TEXT(20), \xBD\xE8\xCA\xE9\xD6\xA4\xBA\xC5 TEXT(20), "
                        "\xCD\xBC\xCA\xE9\xB1\xE0\xBA\xC5\xB4\xAE TEXT(100), "
                        "\xC8\xD5\xC6\xDA\xB1\xE0\xBA\xC5\xB4\xAE TEXT(100), "
                        "\xCA\xE9\xC3\xFB\xB4\xAE TEXT(200))");
    EXPECT_EQ(texts[1],
              gbk("CREATE TABLE 图书数据 (条形码 TEXT(15), 图书编号 TEXT(10), 分类号 TEXT(20), "
                  "图书类别 TEXT(20), 复本号 TEXT(15), 书名 TEXT(50), 著译者 TEXT(20), "
                  "出版处 TEXT(20), 页数 TEXT(10), 开本 TEXT(10), 版期 TEXT(15), 版次 TEXT(10), "
                  "单价 TEXT(15), 书架名称 TEXT(20), 入库时间 TEXT(20), 是否借出 TEXT(1))"));
    EXPECT_EQ(texts[2], gbk("CREATE TABLE 借出数据 (图书编号 TEXT(15), 借书证号 TEXT(20))"));
    EXPECT_EQ(texts[3],
              gbk("CREATE TABLE 借阅报表 (年份 TEXT(4), 图书编号 TEXT(10), 书名 TEXT(50), "
                  "借阅者 TEXT(15), 借书日期 TEXT(11), 还书日期 TEXT(11))"));

    // A second start creates nothing and changes nothing.
    const auto sizeBefore = std::filesystem::file_size(dir.at("数据库.sdb"));
    {
        Connection db;
        EXPECT_TRUE(initialiseDatabase(db, path).empty());
    }
    EXPECT_EQ(schemaTexts(path), texts);
    EXPECT_EQ(std::filesystem::file_size(dir.at("数据库.sdb")), sizeBefore);
}

TEST(DatabaseInitialisation, ExistingTablesWithOtherColumnsAreKept) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    Connection db;
    ASSERT_TRUE(db.open(path, true));
    ASSERT_TRUE(db.execute("CREATE TABLE 读者数据 (姓名 TEXT(8))"));
    ASSERT_TRUE(db.execute("CREATE TABLE 图书数据 (x)"));
    EXPECT_TRUE(initialiseDatabase(db, path).empty());
    const std::vector<std::string> texts = schemaTexts(path);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], gbk("CREATE TABLE 读者数据 (姓名 TEXT(8))"));
    EXPECT_EQ(texts[1], gbk("CREATE TABLE 图书数据 (x)"));
}

TEST(DatabaseInitialisation, UnopenableFileGivesEightMessagesInOrder) {
    TempDir dir;
    Connection db;
    const std::string path = dir.file("没有这个文件夹/数据库.sdb");
    EXPECT_EQ(
        initialiseDatabase(db, path),
        (std::vector<std::string>{"打开数据库失败", "读者数据库初始化失败", "打开数据库失败",
                                  "图书数据库初始化失败", "打开数据库失败", "借出数据库初始化失败",
                                  "打开数据库失败", "借阅报表数据库初始化失败"}));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(std::filesystem::exists(dir.at("没有这个文件夹")));
}

TEST(DatabaseInitialisation, FailedCreateReportsOnlyThatTable) {
    Connection db;
    ASSERT_TRUE(db.open(":memory:", true));
    // An index by that name blocks the table without being one.
    ASSERT_TRUE(db.execute("CREATE TABLE other (a)"));
    ASSERT_TRUE(db.execute("CREATE INDEX 借出数据 ON other (a)"));
    EXPECT_EQ(initialiseDatabase(db, ":memory:"), std::vector<std::string>{"借出数据库初始化失败"});
    EXPECT_TRUE(tableExists(db, "借阅报表")) << "the next table is still tried";
}

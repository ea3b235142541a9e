// The driver must fail a scenario wherever a person could not act or a check
// does not hold; a driver that passes everything would prove nothing.
#include "arguments.h"
#include "scenario_run.h"
#include "support/temp_folder.h"
#include "text/file_path.h"

#include <fstream>
#include <gtest/gtest.h>

namespace chengxi::scenario {
namespace {

struct Outcome {
    bool passed;
    std::string failure;
};

Outcome runScenario(const std::string& content) {
    const TempFolder folder("chengxi-driver-test");
    const std::string path = text::joinPath(folder.utf8(), "case.scn");
    std::ofstream(text::toPath(path), std::ios::binary) << content;
    const ScenarioResult result = ScenarioRun(path, false).run();
    // Drop the folder part so expectations read "case.scn:LINE: ...".
    const std::size_t name = result.failure.find("case.scn");
    return {result.passed,
            name == std::string::npos ? result.failure : result.failure.substr(name)};
}

constexpr const char* kLoggedIn = "settings-hex 5b6c6f67696e5d0d0a706173733d1186e079e1eb96130d0a\n"
                                  "start\n"
                                  "type login 编辑框pass abc\n"
                                  "type login 编辑框_验证码 $CODE\n"
                                  "click login 按钮登录系统\n";

TEST(ScenarioArguments, QuotesBlanksAndEscapes) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(splitArguments("type login a b"), (Args{"type", "login", "a", "b"}));
    EXPECT_EQ(splitArguments("x \"a b\" \"\" \"q\\\"\\\\\""), (Args{"x", "a b", "", "q\"\\"}));
    EXPECT_EQ(splitArguments("  \t "), Args{});
    EXPECT_FALSE(splitArguments("x \"open"));
    EXPECT_FALSE(splitArguments("x \"a\"b"));
}

TEST(ScenarioDriver, PassesAndFailsChecksWithTheirLine) {
    EXPECT_TRUE(runScenario(std::string(kLoggedIn) + "expect window main shown\n").passed);
    const Outcome failed =
        runScenario(std::string(kLoggedIn) + "\n# comment\nexpect page main 3\n");
    EXPECT_FALSE(failed.passed);
    EXPECT_EQ(failed.failure, "case.scn:8: page 3 in front, found page 7");
}

TEST(ScenarioDriver, RefusesWhatAPersonCouldNotDo) {
    const std::pair<const char*, const char*> cases[] = {
        {"tab main 搜索图书\nclick main 按钮_上页\n", "disabled"}, // disabled at start
        {"click main 按钮_搜索图书\n", "hidden"},                  // page not in front
        {"tab main 4\ntype main 编辑框1 2020\n", "read-only"},
        {"tab main 2\ntype main 编辑框_图书文件路径 x\n", "disabled"},
        {"click main 编辑框_借书编号\n", "another kind"},         // not a button
        {"click main 不存在的控件\n", "found none"},              // unknown control
        {"enter main\n", "default button"},                       // no default button
        {"select main 超级列表框_显示借书情况 0\n", "row below"}, // no such row
        {"frobnicate\n", "known command"},
    };
    for (const auto& [line, wording] : cases) {
        const Outcome outcome = runScenario(std::string(kLoggedIn) + line);
        EXPECT_FALSE(outcome.passed) << line;
        EXPECT_NE(outcome.failure.find(wording), std::string::npos) << outcome.failure;
    }
}

TEST(ScenarioDriver, IntegerBoxesDropWhatIsNotADigit) {
    EXPECT_TRUE(runScenario(std::string(kLoggedIn) + "tab main 搜索图书\n"
                                                     "type main 编辑框_每页行数 \"1a2 ３\"\n"
                                                     "expect text main 编辑框_每页行数 12\n")
                    .passed);
}

TEST(ScenarioDriver, EveryMessageMustBeChecked) {
    const Outcome outcome = runScenario("start\nclick login 按钮登录系统\n");
    EXPECT_FALSE(outcome.passed);
    EXPECT_NE(outcome.failure.find("\"请输入密码\" unchecked"), std::string::npos)
        << outcome.failure;
    EXPECT_TRUE(
        runScenario("start\nclick login 按钮登录系统\nexpect message * title 提示\n").passed);
}

TEST(ScenarioDriver, OnlyChecksFollowTheEnd) {
    EXPECT_TRUE(runScenario("start\nclick login 图形按钮_关闭\nexpect ended\n"
                            "expect window login gone\n")
                    .passed);
    const Outcome outcome = runScenario("start\nclick login 图形按钮_关闭\nexpect ended\nstart\n");
    EXPECT_FALSE(outcome.passed);
    EXPECT_EQ(outcome.failure, "case.scn:4: only expect lines after expect ended, found \"start\"");
}

TEST(ScenarioDriver, WorkbookChecksFailOnAnotherTextOrAMissingFile) {
    const std::string put = "put a.xls " CHENGXI_TEST_DATA "/xls/readers_xlwt.xls\n";
    EXPECT_TRUE(runScenario(put + "expect xls a.xls 1 1 张三\n").passed);
    const Outcome other = runScenario(put + "expect xls a.xls 1 1 李四\n");
    EXPECT_EQ(other.failure,
              "case.scn:2: cell (1, 1) of \"a.xls\" reading \"李四\", found \"张三\"");
    EXPECT_FALSE(runScenario("expect xls-rows missing.xls 1\n").passed);
}

TEST(ScenarioDriver, CodeSubstitutionsAndRepeat) {
    EXPECT_TRUE(runScenario(std::string(kLoggedIn) + "expect window login gone\n").passed);
    // The wrong-case code is refused by the login.
    EXPECT_TRUE(runScenario("settings-hex 5b6c6f67696e5d0d0a706173733d1186e079e1eb96130d0a\n"
                            "start\ntype login 编辑框pass abc\n"
                            "type login 编辑框_验证码 $CODE_WRONGCASE\n"
                            "repeat 2 click login 按钮登录系统\n"
                            "repeat 2 expect message 验证码不正确，注意区分大小写。\n")
                    .passed);
}

} // namespace
} // namespace chengxi::scenario

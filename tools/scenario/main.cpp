// chengxi-scenario [--keep] FILE.scn...: runs scenario files against the whole
// program, headless, each in fresh folders.
#include "scenario_run.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    bool keep = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--keep") {
            keep = true;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: chengxi-scenario [--keep] FILE.scn...\n");
        return 2;
    }
    int passed = 0;
    int failed = 0;
    for (const std::string& file : files) {
        chengxi::scenario::ScenarioResult result;
        try {
            result = chengxi::scenario::ScenarioRun(file, keep).run();
        } catch (const std::exception& error) {
            result.failure = file + ":0: a scenario that can run, found " + error.what();
        }
        if (result.passed) {
            ++passed;
            std::printf("PASS %s\n", file.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s\n", result.failure.c_str());
        }
        for (const std::string& folder : result.keptFolders) {
            std::printf("  kept %s\n", folder.c_str());
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

// chengxi-screens [--scale FACTOR] OUTDIR: pictures of both windows, made
// without a desktop; at FACTOR device pixels per logical pixel (default 1).
#include "app/qt/screens.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: chengxi-screens [--scale FACTOR] OUTDIR\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    double scale = 1.0;
    int next = 1;
    if (argc == 4 && std::string(argv[1]) == "--scale") {
        char* end = nullptr;
        scale = std::strtod(argv[2], &end);
        if (end == argv[2] || *end != '\0' || !(scale >= 0.5 && scale <= 8.0)) {
            std::fprintf(stderr, "chengxi-screens: the scale is a number from 0.5 to 8\n");
            return usage();
        }
        next = 3;
    } else if (argc != 2) {
        return usage();
    }
    return chengxi::qt::renderScreens(argc, argv, argv[next], scale);
}

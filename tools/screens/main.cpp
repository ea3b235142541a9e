// chengxi-screens OUTDIR: pictures of both windows, made without a desktop.
#include "app/qt/screens.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chengxi-screens OUTDIR\n");
        return 2;
    }
    return chengxi::qt::renderScreens(argc, argv, argv[1]);
}

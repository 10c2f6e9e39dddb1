// Entry point: a batch run (DECODE / EXPORT) without any window, or the window path.
#include <cstdio>

#ifdef TAVIK_WITH_QT
#include "ui/WindowPath.h"
#endif

int main(int argc, char* argv[]) {
#ifdef TAVIK_WITH_QT
    return RunWindowPath(argc, argv);
#else
    (void)argc;
    (void)argv;
    std::puts("The window is not part of this build.");
    return 0;
#endif
}

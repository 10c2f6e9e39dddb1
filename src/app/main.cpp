// Entry point: a batch run (DECODE / EXPORT) without any window, or the window path.
#include <string>
#include <vector>

#include "app/BatchMode.h"

#ifdef TAVIK_WITH_QT
#include "ui/WindowPath.h"
#else
#include <cstdio>
#endif

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    bool exportMode = false;
    if (IsBatchCommand(args, exportMode)) return RunBatchCommand(args, exportMode);
#ifdef TAVIK_WITH_QT
    return RunWindowPath(argc, argv);
#else
    std::puts("The window is not part of this build.");
    return 0;
#endif
}

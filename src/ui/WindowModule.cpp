// The window path as a module of its own (libtavik_window.so beside the executable). The
// executable loads it only when a window is to be opened, so that a batch run never maps the
// toolkit's libraries; the module takes the core, the decoder and the driver, with their global
// objects, from the executable.
#include "app/WindowModule.h"
#include "ui/WindowPath.h"

extern "C" __attribute__((visibility("default"))) int TavikWindowMain(int argc, char* argv[]) {
    return RunWindowPath(argc, argv);
}

// Entry point: a batch run (DECODE / EXPORT / JSON / CSV) without any window, or the window path.
#include <cstdio>
#include <string>
#include <vector>

#include "app/BatchMode.h"
#include "app/DisplayCheck.h"
#include "app/InfoOptions.h"

#ifdef TAVIK_WITH_QT
#include <dlfcn.h>

#include <filesystem>

#include "app/WindowModule.h"

namespace {

// The window path lives in a module beside the executable, loaded here and only here: the batch
// run above never loads the toolkit.
std::filesystem::path WindowModulePath(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    const std::filesystem::path beside = self.parent_path() / WindowModuleName;
    if (std::filesystem::exists(beside, ec)) return beside;
    return (self.parent_path() / InstalledModuleFolder / WindowModuleName).lexically_normal();
}

int StartWindowPath(int argc, char* argv[]) {
    const std::filesystem::path module = WindowModulePath(argv[0]);
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto* entry = handle ? reinterpret_cast<decltype(&TavikWindowMain)>(::dlsym(handle, WindowModuleEntry)) : nullptr;
    if (entry == nullptr) {
        std::fprintf(stderr, "%s\n", ::dlerror());
        return 1;
    }
    return entry(argc, argv);  // the module stays loaded until the process ends
}

}  // namespace
#endif

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto text = InfoOptionText(args)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    if (const auto format = DataCommand(args)) return RunDataCommand(args, *format);
    bool exportMode = false;
    if (IsBatchCommand(args, exportMode)) return RunBatchCommand(args, exportMode);
#ifdef TAVIK_WITH_QT
    if (!DisplayNamed(args)) {
        std::fprintf(stderr, "%s\n", NoDisplayLine().c_str());
        return 1;
    }
    return StartWindowPath(argc, argv);
#else
    std::puts("The window is not part of this build.");
    return 0;
#endif
}

#pragma once
// The entry of the window module and where the executable finds it.

// The module's file name: beside the executable in a build, in the private library folder of an
// installed program.
inline constexpr const char* WindowModuleName = "libtavik_window.so";
inline constexpr const char* InstalledModuleFolder = "../lib/tavik";
// The exported entry: RunWindowPath (argc, argv) of the module.
inline constexpr const char* WindowModuleEntry = "TavikWindowMain";
extern "C" int TavikWindowMain(int argc, char* argv[]);

#pragma once
// Runs the built executable (TAVIK_EXE) in a chosen working directory and captures what it
// writes. The child gets no display and a Qt platform plugin that does not exist, so a batch run
// that reached for the window system would fail or complain on standard error.
#include <filesystem>
#include <string>
#include <vector>

struct TavikRun {
    int Status = -1;   // exit status; -1 when the process did not exit normally
    std::string Out;   // standard output
    std::string Err;   // standard error
};

TavikRun RunTavik(const std::vector<std::string>& Args, const std::filesystem::path& WorkDir);

#pragma once
// Whether the window path can reach a display. Without one the toolkit would abort the process
// with a core dump; the program says instead what works without a window.
#include <string>
#include <vector>

// False when nothing names a display: neither DISPLAY nor WAYLAND_DISPLAY is set, no platform is
// chosen in QT_QPA_PLATFORM, and args (after the program name) hold no -platform option.
bool DisplayNamed(const std::vector<std::string>& args);

// The one line printed without a display: no window, and the batch commands that need none.
std::string NoDisplayLine();

#pragma once
// The options that only print something and end: --help or -h (the usage) and --version, each
// alone on the command line. Any other single argument stays a file name.
#include <optional>
#include <string>
#include <vector>

// The text to print on standard output (UTF-8, LF line ends) for args (the arguments after the
// program name), or nothing when they are not one of those options.
std::optional<std::string> InfoOptionText(const std::vector<std::string>& args);

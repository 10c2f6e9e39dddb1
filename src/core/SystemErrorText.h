#pragma once
// The message of a failed open, read or write of a named file: a Russian description of the
// common causes (the system's own text for the rest), then the name in «» at the end. The quotes
// keep the full stop the window appends to a message apart from the name.
#include <filesystem>
#include <string>

std::string SystemErrorText(int errorNumber, const std::filesystem::path& fileName);

// A name that is not a regular file (a folder, a device, a pipe): neither read nor replaced.
std::string NotRegularFileText(const std::filesystem::path& fileName);

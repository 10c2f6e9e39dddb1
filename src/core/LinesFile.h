#pragma once
// Writing a line list to a text file: the bytes as they stand (Windows-1251), CR LF after every
// line, an existing file replaced.
#include <filesystem>

#include "core/Lines.h"

// Raises TavikError (the system's description, ": " and the name) when the file cannot be
// written completely.
void SaveLines(const LineList& Lines, const std::filesystem::path& FileName);

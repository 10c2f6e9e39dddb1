#pragma once
// Writing a line list to a text file: the bytes as they stand (Windows-1251), CR LF after every
// line, an existing file replaced whole (WriteWholeFile).
#include <filesystem>

#include "core/Lines.h"

// Raises FileWriteError (a TavikError: SystemErrorText of the cause and the name) when the
// file cannot be written completely; the file that stood under the name then stays as it was.
void SaveLines(const LineList& Lines, const std::filesystem::path& FileName);

#pragma once
// The command-line usage the window's help menu shows: ten lines separated by a carriage return
// alone, no line end after the last, a tab opening each command line.
#include <string>

// The usage text in UTF-8.
const std::string& UsageText();

// The same lines for a console, and after them the lines of the data commands (JSON, CSV): each
// ended by a line feed.
std::string ConsoleUsageText();

#pragma once
// The line list: the decoded text, one Windows-1251 string per line.
#include <string>
#include <vector>

using LineList = std::vector<std::string>;

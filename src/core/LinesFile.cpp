#include "core/LinesFile.h"

#include <string>
#include <string_view>

#include "core/FileWriter.h"

namespace {

// The text of the file: every line followed by CR LF, in one allocation.
std::string LinesText(const LineList& Lines) {
    constexpr std::string_view LineEnd = "\r\n";
    std::size_t size = 0;
    for (const std::string& line : Lines) size += line.size() + LineEnd.size();
    std::string text;
    text.reserve(size);
    for (const std::string& line : Lines) {
        text += line;
        text += LineEnd;
    }
    return text;
}

}  // namespace

void SaveLines(const LineList& Lines, const std::filesystem::path& FileName) {
    // The whole text first: the file appears under its name only once it is complete.
    WriteWholeFile(FileName, LinesText(Lines));
}

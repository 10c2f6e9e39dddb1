#include "products/TextSearch.h"

#include <array>
#include <cstdint>

std::string LinesText(const LineList& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return text;
}

std::string SelectedLinesText(const LineList& lines, const std::vector<bool>& selected) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < selected.size(); ++i)
        if (selected[i]) text.append(lines[i]).append("\r\n");
    return text;
}

namespace {

struct CasePair {
    std::uint8_t lower;
    std::uint8_t upper;
};

// The letters of Windows-1251 outside the two regular runs (a-z, а-я).
constexpr CasePair OtherLetters[] = {
    {0x83, 0x81}, {0x90, 0x80}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},
    {0xA2, 0xA1}, {0xB3, 0xB2}, {0xB4, 0xA5}, {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBC, 0xA3}, {0xBE, 0xBD},
    {0xBF, 0xAF},
};

constexpr std::array<std::uint8_t, 256> MakeUpperTable() {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<std::uint8_t>(c);
    for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<std::uint8_t>(c - 0x20);
    for (int c = 0xE0; c <= 0xFF; ++c) table[c] = static_cast<std::uint8_t>(c - 0x20);
    for (const CasePair& pair : OtherLetters) table[pair.lower] = pair.upper;
    return table;
}

constexpr std::array<std::uint8_t, 256> UpperTable = MakeUpperTable();

bool IsDelimiter(char c, std::string_view delims) {
    return delims.find(c) != std::string_view::npos;
}

// Calls visit(start, length) for every word, 0-based, until it returns false.
template <class Visit>
void ForEachWord(std::string_view text, std::string_view delims, Visit&& visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsDelimiter(text[i], delims)) ++i;
        if (i == text.size()) return;
        const std::size_t start = i;
        while (i < text.size() && !IsDelimiter(text[i], delims)) ++i;
        if (!visit(start, i - start)) return;
    }
}

}  // namespace

std::string UpperCp1251(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(UpperTable[static_cast<std::uint8_t>(c)]);
    return upper;
}

int CountWordsIn(std::string_view text, std::string_view delims) {
    int count = 0;
    ForEachWord(text, delims, [&count](std::size_t, std::size_t) {
        ++count;
        return true;
    });
    return count;
}

int NthWordStart(int n, std::string_view text, std::string_view delims) {
    int seen = 0;
    int position = 0;
    ForEachWord(text, delims, [&](std::size_t start, std::size_t) {
        if (++seen < n) return true;
        position = static_cast<int>(start) + 1;
        return false;
    });
    return n >= 1 ? position : 0;
}

std::string NthWord(int n, std::string_view text, std::string_view delims) {
    const int start = NthWordStart(n, text, delims);
    if (start == 0) return {};
    std::size_t end = static_cast<std::size_t>(start) - 1;
    while (end < text.size() && !IsDelimiter(text[end], delims)) ++end;
    return std::string(text.substr(static_cast<std::size_t>(start) - 1, end - (static_cast<std::size_t>(start) - 1)));
}

bool ContainsWord(std::string_view word, std::string_view text, std::string_view delims) {
    bool found = false;
    ForEachWord(text, delims, [&](std::size_t start, std::size_t length) {
        found = text.substr(start, length) == word;
        return !found;
    });
    return found;
}

bool LineMatches(std::string_view line, const FindRequest& request) {
    const std::string text = request.matchCase ? request.text : UpperCp1251(request.text);
    const std::string subject = request.matchCase ? std::string(line) : UpperCp1251(line);
    if (request.wholeWord) return ContainsWord(text, subject, FindWordDelimiters);
    return subject.find(text) != std::string::npos;
}

FindOutcome FindLine(const LineList& lines, const FindRequest& request, int start) {
    const int count = static_cast<int>(lines.size());
    if (start < 0 || start >= count) return {};
    const int step = request.down ? 1 : -1;
    for (int i = start; i >= 0 && i < count; i += step)
        if (LineMatches(lines[static_cast<std::size_t>(i)], request)) return {FindOutcome::Found, i};
    return {FindOutcome::NotFound};
}

int FindAgainStart(int lastFound, bool down) {
    const int from = lastFound < 0 ? 0 : lastFound;
    return down ? from + 1 : from - 1;
}

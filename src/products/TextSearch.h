#pragma once
// The decoded text as the window's text tools handle it: the listing's bytes, the word functions
// and the find over the lines. Everything works on the Windows-1251 bytes of the line list.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Lines.h"

// Every line followed by CR LF, the last one too: the bytes of a .PRN file and of a copied text.
std::string LinesText(const LineList& lines);
// The lines whose flag is set, in order, each followed by CR LF; empty when none is.
std::string SelectedLinesText(const LineList& lines, const std::vector<bool>& selected);

// Upper case in Windows-1251: Latin, Cyrillic (ё included) and the other Slavic letters of the
// code page; every other byte stays as it is.
std::string UpperCp1251(std::string_view text);

// Words: maximal runs of characters none of which is in delims. Positions are 1-based.
int CountWordsIn(std::string_view text, std::string_view delims);
// Position of the first character of word n; 0 when there are fewer than n words.
int NthWordStart(int n, std::string_view text, std::string_view delims);
// Word n; empty when there is none.
std::string NthWord(int n, std::string_view text, std::string_view delims);
// Whether some word of text equals word byte for byte.
bool ContainsWord(std::string_view word, std::string_view text, std::string_view delims);

// One search as the find dialog asks for it.
struct FindRequest {
    std::string text;   // Windows-1251, as typed
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// The whole-word test separates words at the blank alone.
inline constexpr std::string_view FindWordDelimiters = " ";

// Whether line matches the request: the search text anywhere in it, or as one of its words; both
// upper-cased first unless the case must match.
bool LineMatches(std::string_view line, const FindRequest& request);

// The outcome of one search over a list.
struct FindOutcome {
    enum Kind { Finished, NotFound, Found } kind = Finished;
    int line = -1;   // the line found
};

// Searches from line start (included) towards the end of the request's direction, never
// wrapping. A start outside the list finishes the search at once.
FindOutcome FindLine(const LineList& lines, const FindRequest& request, int start);

// The start of a find-again: the line after (down) or before (up) the one last found, a
// remembered value below 0 counting as 0.
int FindAgainStart(int lastFound, bool down);

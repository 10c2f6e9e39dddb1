#pragma once
// Shared by the driver and batch tests: built upper-air messages, the expected text of a decoded
// subset, and searches in lines (.PRN files are read back with ReadCrLfLines of support/Fixtures.h).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Lines.h"
#include "support/BufrBuilder.h"
#include "support/TemplateWriter.h"

// A 3-09-052 subset of the template writer's defaults with two levels and one shear level, at
// station Block * 1000 + Station, launched on 2023-10-10 at Hour:Minute:Second.
UASubsetRaw UASubset(std::uint64_t Block, std::uint64_t Station, std::uint64_t Hour, std::uint64_t Minute,
                      std::uint64_t Second);

// An edition 4 message holding Subsets one after another under Descriptors; Section 3 declares
// Declared subsets when given, else as many as written.
ByteVector UAMessage(const std::vector<UASubsetRaw>& Subsets, const std::vector<std::uint32_t>& Descriptors = {309052},
                 std::optional<std::uint16_t> Declared = std::nullopt);

// The section dump of a message, as a decoder of our own sees it.
LineList DumpOf(const ByteVector& Message);
// The report of subset Index (from 0) of a message, decoded on a decoder of our own the way the
// driver steps through the subsets before it.
LineList ReportOf(const ByteVector& Message, std::uint32_t Index);

// Windows-1251 text of a UTF-8 literal (for comparisons with lines).
std::string W(const std::string& Utf8);

// The index of the first line equal to Text, or -1.
long IndexOf(const LineList& Lines, const std::string& Text);
// How many lines equal Text / start with Prefix.
std::size_t CountEqual(const LineList& Lines, const std::string& Text);
std::size_t CountPrefixed(const LineList& Lines, const std::string& Prefix);

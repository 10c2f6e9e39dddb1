#pragma once
// Where a decoded subset came from: the file, the message of the file, the subset of the message,
// and the message's Section 0 and 1 header as values (the sections themselves point into the
// message buffer, which the next load overwrites).
#include <cstdint>
#include <string>

class TBUFRMessage;

struct MessageHeader {
    std::uint8_t Edition = 0;
    std::uint8_t MasterTable = 0;
    std::uint16_t Centre = 0, SubCentre = 0;
    std::uint8_t UpdateSequence = 0;
    std::uint8_t DataCategory = 0, IntSubCategory = 0, LocalSubCategory = 0;
    std::uint8_t MasterTableVersion = 0, LocalTableVersion = 0;
    std::uint16_t TypicalYear = 0;
    std::uint8_t TypicalMonth = 0, TypicalDay = 0, TypicalHour = 0, TypicalMinute = 0, TypicalSecond = 0;
    std::uint16_t NumSubsets = 0;
    bool Observed = false, Compressed = false;
};

// The header of a parsed message; zeros for the sections it lacks.
MessageHeader HeaderOf(const TBUFRMessage& Message);

struct SoundingSource {
    std::string FileName;  // without its folder, as the file system spells it
    std::uint32_t Message = 1, MessageCount = 1;  // from 1
    std::uint32_t Subset = 1;                     // from 1; the count is Header.NumSubsets
    MessageHeader Header;
};

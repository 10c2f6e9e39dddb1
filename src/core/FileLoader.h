#pragma once
// Reading a BUFR file and cutting its first message out into the message buffer.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr std::size_t MessageBufferSize = 655360;  // 0xA0000
constexpr std::size_t MaxBUFRFileSize = 655344;    // 0x9FFF0

// Finds the first message in Data[0..Size): from the first "BUFR" to the end of the closing run
// of '7's (or to the end that Section 0 declares, when that holds "7777" and the run would end
// the message early). False when there is no complete message.
bool LocateBUFRMessage(const std::uint8_t* Data, std::size_t Size, std::size_t& Start, std::size_t& Length);

// Reads the whole file in one block (the commands that walk every message of a bulletin use it
// as it is). Raises TavikError for a file that is too large ("Файл слишком велик"), is not a
// regular file (NotRegularFileText), or cannot be opened or read (SystemErrorText of the cause
// and the name as given).
std::vector<std::uint8_t> ReadBUFRFile(const std::filesystem::path& FileName);

// ReadBUFRFile, then its first message copied to Dest[0..Length). False, with Dest and Length
// untouched, when the file holds no complete message.
bool LoadBUFRFile(const std::filesystem::path& FileName, std::uint8_t* Dest, std::uint32_t& Length);

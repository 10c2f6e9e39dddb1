#pragma once
// Running one hostile input through the in-memory decode path and classifying how it ended, and
// the layout of a well-formed message that the mutations aim at.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "DecodePath.h"
#include "support/BufrBuilder.h"

struct Outcome {
    enum class Kind { Ended, Error, Foreign };
    Kind How = Kind::Ended;
    DecodeEnd End = DecodeEnd::NoMessage;  // when Ended
    std::string Message;                     // the error's text (Error, Foreign)
    LineList Lines;

    bool IsError(const std::string& Text) const { return How == Kind::Error && Message == Text; }
    std::string Describe() const;
};

// DecodeBytes with every exception caught: TavikError is an expected end, anything else Foreign.
Outcome RunDecode(const ByteVector& Bytes);

// Where the sections of the first message of a file stand (offsets into the file).
struct MessageLayout {
    std::size_t Start = 0, Section1 = 0, Section3 = 0, Section4 = 0, Section5 = 0, End = 0;
    std::optional<std::size_t> Section2;
    std::uint8_t Edition = 0;
    std::uint32_t Section4Length = 0;
    // The template when Section 3 holds that one descriptor only (the data then start with it).
    std::optional<std::uint8_t> SoleTemplate;
};

// The layout of a well-formed message; throws std::runtime_error when Bytes is not one.
MessageLayout LayoutOf(const ByteVector& Bytes);

// Writes Value into Width bits at bit Offset of Bytes (most significant bit first).
void PutBits(ByteVector& Bytes, std::uint64_t Offset, std::uint32_t Width, std::uint64_t Value);
std::uint64_t GetBits(const ByteVector& Bytes, std::uint64_t Offset, std::uint32_t Width);

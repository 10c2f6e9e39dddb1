#include "Mutation.h"

#include <algorithm>
#include <stdexcept>
#include <typeinfo>

#include "core/Errors.h"

namespace {

const char* EndName(DecodeEnd End) {
    switch (End) {
        case DecodeEnd::TooLarge: return "too large";
        case DecodeEnd::NoMessage: return "no message";
        case DecodeEnd::NotParsed: return "parse false";
        case DecodeEnd::NoDescriptors: return "no descriptors";
        case DecodeEnd::NotDecoded: return "decode false";
        case DecodeEnd::Report: return "report";
        case DecodeEnd::NoSubsets: return "no subsets";
    }
    return "?";
}

std::uint32_t Octets3(const ByteVector& b, std::size_t at) {
    if (at + 3 > b.size()) throw std::runtime_error("length field outside the file");
    return (std::uint32_t(b[at]) << 16) | (std::uint32_t(b[at + 1]) << 8) | b[at + 2];
}

}  // namespace

std::string Outcome::Describe() const {
    switch (How) {
        case Kind::Ended: return EndName(End);
        case Kind::Error: return "error \"" + Message + "\"";
        case Kind::Foreign: return "FOREIGN " + Message;
    }
    return "?";
}

Outcome RunDecode(const ByteVector& Bytes) {
    Outcome outcome;
    try {
        outcome.End = DecodeBytes(Bytes.data(), Bytes.size(), outcome.Lines).End;
    } catch (const TavikError& e) {
        outcome.How = Outcome::Kind::Error;
        outcome.Message = e.what();
    } catch (const std::exception& e) {
        outcome.How = Outcome::Kind::Foreign;
        outcome.Message = std::string(typeid(e).name()) + ": " + e.what();
    } catch (...) {
        outcome.How = Outcome::Kind::Foreign;
        outcome.Message = "an exception of unknown type";
    }
    return outcome;
}

MessageLayout LayoutOf(const ByteVector& Bytes) {
    static const char Magic[] = "BUFR";
    const auto found = std::search(Bytes.begin(), Bytes.end(), Magic, Magic + 4);
    if (found == Bytes.end()) throw std::runtime_error("no BUFR");
    MessageLayout l;
    l.Start = static_cast<std::size_t>(found - Bytes.begin());
    const std::uint32_t total = Octets3(Bytes, l.Start + 4);
    l.Edition = Bytes.at(l.Start + 7);
    l.End = l.Start + total;
    l.Section5 = l.End - 4;
    l.Section1 = l.Start + 8;
    const std::uint8_t flags = Bytes.at(l.Section1 + (l.Edition >= 4 ? 9 : 7));
    std::size_t next = l.Section1 + Octets3(Bytes, l.Section1);
    if (flags & 0x80) {
        l.Section2 = next;
        next += Octets3(Bytes, next);
    }
    l.Section3 = next;
    const std::uint32_t length3 = Octets3(Bytes, l.Section3);
    l.Section4 = l.Section3 + length3;
    l.Section4Length = Octets3(Bytes, l.Section4);
    if (l.End > Bytes.size() || l.Section4 + l.Section4Length > l.Section5)
        throw std::runtime_error("not a well-formed message");
    if (length3 - 7 <= 3 && Bytes.at(l.Section3 + 7) == 0xC9) {
        const std::uint8_t y = Bytes.at(l.Section3 + 8);
        if (y == 50 || y == 51 || y == 52) l.SoleTemplate = y;
    }
    return l;
}

void PutBits(ByteVector& Bytes, std::uint64_t Offset, std::uint32_t Width, std::uint64_t Value) {
    for (std::uint32_t i = 0; i < Width; ++i) {
        const std::uint64_t bit = Offset + i;
        const auto mask = static_cast<std::uint8_t>(0x80u >> (bit % 8));
        std::uint8_t& byte = Bytes.at(bit / 8);
        if ((Value >> (Width - 1 - i)) & 1u) byte |= mask;
        else byte &= static_cast<std::uint8_t>(~mask);
    }
}

std::uint64_t GetBits(const ByteVector& Bytes, std::uint64_t Offset, std::uint32_t Width) {
    std::uint64_t v = 0;
    for (std::uint32_t i = 0; i < Width; ++i) {
        const std::uint64_t bit = Offset + i;
        v = (v << 1) | ((Bytes.at(bit / 8) >> (7 - bit % 8)) & 1u);
    }
    return v;
}

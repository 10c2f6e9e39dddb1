#pragma once
// A BUFR message builder for tests: every section with chosen fields and, where a test needs a
// broken message, chosen (false) lengths; Section 4 written bit by bit with BitWriter.
//
//   BitWriter data;
//   data.Bits(27, 7).Bits(612, 10).Chars("UBRS5", 9).Missing(4).PadToOctet();
//   std::vector<std::uint8_t> file = BufrBuilder()
//       .Edition(3).Centre(89).TypicalDate(2023, 5, 7, 12, 0)
//       .Descriptors({309052}).Data(data)
//       .Before("IUSD40 OKLI 101200\r\r\n").After("\r\r\n\x03")
//       .Build();
//
// Lengths are computed from what is written unless a Set...Length override is given; an override
// changes only the length field, the octets written stay as built.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using ByteVector = std::vector<std::uint8_t>;

ByteVector BytesOf(std::string_view text);

// Appends fields most significant bit first, the way Section 4 holds them. Usable on its own, for
// a Section 4 written value by value or any other bit-level input.
class BitWriter {
public:
    // Value in Width bits (1..32); throws std::invalid_argument when it does not fit.
    BitWriter& Bits(std::uint64_t Value, unsigned Width);
    // All Width bits set: the missing value of a numeric, code or flag element.
    BitWriter& Missing(unsigned Width);
    // Value as an element with a scale and a reference value: round(Value * 10^Scale) - Reference
    // in Width bits; throws when the result is negative or too wide.
    BitWriter& Scaled(double Value, int Scale, std::int64_t Reference, unsigned Width);
    // 8 bits per character; when Width (in characters) is given, padded with spaces (or cut) to it.
    BitWriter& Chars(std::string_view Text, std::optional<std::size_t> Width = std::nullopt);
    // Whole octets at the current bit position (not necessarily octet-aligned).
    BitWriter& Octets(const ByteVector& Bytes);
    // Fills the current octet with Bit (0 or 1) bits; nothing when already aligned.
    BitWriter& PadToOctet(unsigned Bit = 0);
    // PadToOctet, then one zero octet more when the octet count is odd.
    BitWriter& PadToEven();

    std::size_t BitCount() const { return bitCount; }
    bool Aligned() const { return bitCount % 8 == 0; }
    // The octets written; the last partial octet, if any, is completed with zero bits.
    const ByteVector& Bytes() const { return bytes; }

private:
    void PushBit(unsigned Bit);

    ByteVector bytes;
    std::size_t bitCount = 0;
};

// Offsets (in the built file) of the parts of the message, for tests that patch a byte.
struct BuiltMessage {
    ByteVector Bytes;
    std::size_t MessageStart = 0;  // "BUFR"
    std::size_t Section1 = 0;
    std::optional<std::size_t> Section2;
    std::size_t Section3 = 0;
    std::size_t Section4 = 0;
    std::size_t Section5 = 0;     // where "7777" (or its replacement) begins
    std::size_t MessageEnd = 0;   // just after Section 5
    std::uint32_t TotalLength = 0;  // the value written into Section 0
};

class BufrBuilder {
public:
    // A valid edition 4 message: master table 0, category 2, one observed subset, the descriptor
    // 3-09-052, an empty Section 4, "7777".
    BufrBuilder() = default;

    // Section 0.
    BufrBuilder& Edition(std::uint8_t Value);
    BufrBuilder& SetTotalLength(std::uint32_t Value);

    // Section 1: edition 4 layout from edition 4 on, edition 3 layout below.
    BufrBuilder& MasterTable(std::uint8_t Value);
    BufrBuilder& Centre(std::uint16_t Value);      // edition 3: low octet only
    BufrBuilder& SubCentre(std::uint16_t Value);   // edition 3: low octet only
    BufrBuilder& UpdateSequence(std::uint8_t Value);
    // Replaces the flag octet (otherwise 0x80 when Section 2 is present, 0 when not).
    BufrBuilder& SectionFlags(std::uint8_t Value);
    BufrBuilder& DataCategory(std::uint8_t Value);
    BufrBuilder& IntSubCategory(std::uint8_t Value);   // edition 4 only
    BufrBuilder& LocalSubCategory(std::uint8_t Value);
    BufrBuilder& MasterTableVersion(std::uint8_t Value);
    BufrBuilder& LocalTableVersion(std::uint8_t Value);
    // Edition 3 writes Year mod 100 (or YearOfCentury when set), edition 4 the full year; the
    // second is written in edition 4 only.
    BufrBuilder& TypicalDate(std::uint16_t Year, std::uint8_t Month, std::uint8_t Day, std::uint8_t Hour,
                             std::uint8_t Minute, std::uint8_t Second = 0);
    BufrBuilder& YearOfCentury(std::uint8_t Value);
    // Octets after the standard part (17 octets in edition 3, 22 in edition 4).
    BufrBuilder& Section1Local(const ByteVector& Bytes);
    // Edition 3 pads Section 1 to an even length with a zero octet (so 18 octets); on by default
    // below edition 4.
    BufrBuilder& Section1EvenPad(bool On);
    BufrBuilder& SetSection1Length(std::uint32_t Value);

    // Section 2: present with these content octets (after its 4-octet header).
    BufrBuilder& Section2(const ByteVector& Content);
    BufrBuilder& NoSection2();
    BufrBuilder& SetSection2Length(std::uint32_t Value);

    // Section 3.
    BufrBuilder& Subsets(std::uint16_t Value);
    BufrBuilder& Observed(bool On);
    BufrBuilder& Compressed(bool On);
    BufrBuilder& DataFlags(std::uint8_t Value);  // replaces the flag octet as a whole
    // Descriptors as FXXYYY numbers: 309052 is F 3, X 9, Y 52.
    BufrBuilder& Descriptors(std::initializer_list<std::uint32_t> List);
    BufrBuilder& Descriptors(const std::vector<std::uint32_t>& List);
    // The zero octet that makes an odd Section 3 even, as edition 3 writes it; default: on below
    // edition 4, off from edition 4.
    BufrBuilder& Section3OddPad(bool On);
    BufrBuilder& SetSection3Length(std::uint32_t Value);

    // Section 4: its data octets (after the 4-octet header).
    BufrBuilder& Data(const BitWriter& Writer);
    BufrBuilder& Data(const ByteVector& Bytes);
    // Pads Section 4 to an even length; default: on below edition 4.
    BufrBuilder& Section4EvenPad(bool On);
    BufrBuilder& SetSection4Length(std::uint32_t Value);

    // Section 5: "7777" unless replaced; an empty text omits it.
    BufrBuilder& Section5(std::string_view Text);
    // Bytes before "BUFR" (a bulletin heading) and after Section 5.
    BufrBuilder& Before(std::string_view Text);
    BufrBuilder& Before(const ByteVector& Bytes);
    BufrBuilder& After(std::string_view Text);
    BufrBuilder& After(const ByteVector& Bytes);

    BuiltMessage Assemble() const;
    ByteVector Build() const { return Assemble().Bytes; }

    // The two octets of a descriptor given as FXXYYY.
    static ByteVector DescriptorOctets(std::uint32_t Fxxyyy);

private:
    bool IsEdition4Layout() const { return edition >= 4; }

    std::uint8_t edition = 4;
    std::optional<std::uint32_t> totalLength;

    std::uint8_t masterTable = 0;
    std::uint16_t centre = 0;
    std::uint16_t subCentre = 0;
    std::uint8_t updateSequence = 0;
    std::optional<std::uint8_t> sectionFlags;
    std::uint8_t dataCategory = 2;
    std::uint8_t intSubCategory = 0;
    std::uint8_t localSubCategory = 0;
    std::uint8_t masterTableVersion = 13;
    std::uint8_t localTableVersion = 0;
    std::uint16_t year = 2023;
    std::optional<std::uint8_t> yearOfCentury;
    std::uint8_t month = 10, day = 10, hour = 12, minute = 0, second = 0;
    ByteVector section1Local;
    std::optional<bool> section1EvenPad;
    std::optional<std::uint32_t> section1Length;

    std::optional<ByteVector> section2;
    std::optional<std::uint32_t> section2Length;

    std::uint16_t subsets = 1;
    std::uint8_t dataFlags = 0x80;
    std::vector<std::uint32_t> descriptors{309052};
    std::optional<bool> section3OddPad;
    std::optional<std::uint32_t> section3Length;

    ByteVector data;
    std::optional<bool> section4EvenPad;
    std::optional<std::uint32_t> section4Length;

    std::string section5 = "7777";
    ByteVector before;
    ByteVector after;
};

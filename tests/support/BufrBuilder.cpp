#include "support/BufrBuilder.h"

#include <cmath>
#include <stdexcept>

ByteVector BytesOf(std::string_view text) { return ByteVector(text.begin(), text.end()); }

// --- BitWriter ---

void BitWriter::PushBit(unsigned Bit) {
    if (bitCount % 8 == 0) bytes.push_back(0);
    if (Bit) bytes.back() |= static_cast<std::uint8_t>(0x80u >> (bitCount % 8));
    ++bitCount;
}

BitWriter& BitWriter::Bits(std::uint64_t Value, unsigned Width) {
    if (Width < 1 || Width > 32) throw std::invalid_argument("BitWriter: width must be 1..32");
    if (Value >> Width) throw std::invalid_argument("BitWriter: value does not fit its width");
    for (unsigned i = Width; i-- > 0;) PushBit(static_cast<unsigned>((Value >> i) & 1u));
    return *this;
}

BitWriter& BitWriter::Missing(unsigned Width) {
    if (Width < 1 || Width > 32) throw std::invalid_argument("BitWriter: width must be 1..32");
    return Bits((std::uint64_t(1) << Width) - 1, Width);
}

BitWriter& BitWriter::Scaled(double Value, int Scale, std::int64_t Reference, unsigned Width) {
    const double scaled = std::round(Value * std::pow(10.0, Scale));
    const double raw = scaled - static_cast<double>(Reference);
    if (raw < 0) throw std::invalid_argument("BitWriter: value below the reference");
    return Bits(static_cast<std::uint64_t>(raw), Width);
}

BitWriter& BitWriter::Chars(std::string_view Text, std::optional<std::size_t> Width) {
    std::string text(Text);
    if (Width) text.resize(*Width, ' ');
    for (unsigned char c : text) Bits(c, 8);
    return *this;
}

BitWriter& BitWriter::Octets(const ByteVector& Bytes) {
    for (std::uint8_t b : Bytes) Bits(b, 8);
    return *this;
}

BitWriter& BitWriter::PadToOctet(unsigned Bit) {
    while (bitCount % 8 != 0) PushBit(Bit ? 1u : 0u);
    return *this;
}

BitWriter& BitWriter::PadToEven() {
    PadToOctet();
    if (bytes.size() % 2 != 0) Bits(0, 8);
    return *this;
}

// --- BufrBuilder ---

BufrBuilder& BufrBuilder::Edition(std::uint8_t Value) { edition = Value; return *this; }
BufrBuilder& BufrBuilder::SetTotalLength(std::uint32_t Value) { totalLength = Value; return *this; }
BufrBuilder& BufrBuilder::MasterTable(std::uint8_t Value) { masterTable = Value; return *this; }
BufrBuilder& BufrBuilder::Centre(std::uint16_t Value) { centre = Value; return *this; }
BufrBuilder& BufrBuilder::SubCentre(std::uint16_t Value) { subCentre = Value; return *this; }
BufrBuilder& BufrBuilder::UpdateSequence(std::uint8_t Value) { updateSequence = Value; return *this; }
BufrBuilder& BufrBuilder::SectionFlags(std::uint8_t Value) { sectionFlags = Value; return *this; }
BufrBuilder& BufrBuilder::DataCategory(std::uint8_t Value) { dataCategory = Value; return *this; }
BufrBuilder& BufrBuilder::IntSubCategory(std::uint8_t Value) { intSubCategory = Value; return *this; }
BufrBuilder& BufrBuilder::LocalSubCategory(std::uint8_t Value) { localSubCategory = Value; return *this; }
BufrBuilder& BufrBuilder::MasterTableVersion(std::uint8_t Value) { masterTableVersion = Value; return *this; }
BufrBuilder& BufrBuilder::LocalTableVersion(std::uint8_t Value) { localTableVersion = Value; return *this; }

BufrBuilder& BufrBuilder::TypicalDate(std::uint16_t Year, std::uint8_t Month, std::uint8_t Day, std::uint8_t Hour,
                                      std::uint8_t Minute, std::uint8_t Second) {
    year = Year;
    month = Month;
    day = Day;
    hour = Hour;
    minute = Minute;
    second = Second;
    return *this;
}

BufrBuilder& BufrBuilder::YearOfCentury(std::uint8_t Value) { yearOfCentury = Value; return *this; }
BufrBuilder& BufrBuilder::Section1Local(const ByteVector& Bytes) { section1Local = Bytes; return *this; }
BufrBuilder& BufrBuilder::Section1EvenPad(bool On) { section1EvenPad = On; return *this; }
BufrBuilder& BufrBuilder::SetSection1Length(std::uint32_t Value) { section1Length = Value; return *this; }
BufrBuilder& BufrBuilder::Section2(const ByteVector& Content) { section2 = Content; return *this; }
BufrBuilder& BufrBuilder::NoSection2() { section2.reset(); return *this; }
BufrBuilder& BufrBuilder::SetSection2Length(std::uint32_t Value) { section2Length = Value; return *this; }
BufrBuilder& BufrBuilder::Subsets(std::uint16_t Value) { subsets = Value; return *this; }

BufrBuilder& BufrBuilder::Observed(bool On) {
    dataFlags = static_cast<std::uint8_t>(On ? (dataFlags | 0x80) : (dataFlags & ~0x80));
    return *this;
}

BufrBuilder& BufrBuilder::Compressed(bool On) {
    dataFlags = static_cast<std::uint8_t>(On ? (dataFlags | 0x40) : (dataFlags & ~0x40));
    return *this;
}

BufrBuilder& BufrBuilder::DataFlags(std::uint8_t Value) { dataFlags = Value; return *this; }

BufrBuilder& BufrBuilder::Descriptors(std::initializer_list<std::uint32_t> List) {
    descriptors.assign(List.begin(), List.end());
    return *this;
}

BufrBuilder& BufrBuilder::Descriptors(const std::vector<std::uint32_t>& List) {
    descriptors = List;
    return *this;
}

BufrBuilder& BufrBuilder::Section3OddPad(bool On) { section3OddPad = On; return *this; }
BufrBuilder& BufrBuilder::SetSection3Length(std::uint32_t Value) { section3Length = Value; return *this; }
BufrBuilder& BufrBuilder::Data(const BitWriter& Writer) { data = Writer.Bytes(); return *this; }
BufrBuilder& BufrBuilder::Data(const ByteVector& Bytes) { data = Bytes; return *this; }
BufrBuilder& BufrBuilder::Section4EvenPad(bool On) { section4EvenPad = On; return *this; }
BufrBuilder& BufrBuilder::SetSection4Length(std::uint32_t Value) { section4Length = Value; return *this; }
BufrBuilder& BufrBuilder::Section5(std::string_view Text) { section5 = std::string(Text); return *this; }
BufrBuilder& BufrBuilder::Before(std::string_view Text) { before = BytesOf(Text); return *this; }
BufrBuilder& BufrBuilder::Before(const ByteVector& Bytes) { before = Bytes; return *this; }
BufrBuilder& BufrBuilder::After(std::string_view Text) { after = BytesOf(Text); return *this; }
BufrBuilder& BufrBuilder::After(const ByteVector& Bytes) { after = Bytes; return *this; }

ByteVector BufrBuilder::DescriptorOctets(std::uint32_t Fxxyyy) {
    const std::uint32_t f = Fxxyyy / 100000, x = Fxxyyy / 1000 % 100, y = Fxxyyy % 1000;
    if (f > 3 || x > 63 || y > 255) throw std::invalid_argument("BufrBuilder: descriptor out of range");
    return {static_cast<std::uint8_t>(f << 6 | x), static_cast<std::uint8_t>(y)};
}

namespace {

void Put24(ByteVector& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 16);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
    out[at + 2] = static_cast<std::uint8_t>(value);
}

void Append(ByteVector& out, const ByteVector& more) { out.insert(out.end(), more.begin(), more.end()); }

// A section: three length octets (filled later) followed by Body.
ByteVector Section(const ByteVector& body, std::optional<std::uint32_t> declared) {
    ByteVector out(3, 0);
    Append(out, body);
    Put24(out, 0, declared.value_or(static_cast<std::uint32_t>(out.size())));
    return out;
}

}  // namespace

BuiltMessage BufrBuilder::Assemble() const {
    const bool ed4 = IsEdition4Layout();

    ByteVector s1;
    s1.push_back(masterTable);
    if (ed4) {
        s1.push_back(static_cast<std::uint8_t>(centre >> 8));
        s1.push_back(static_cast<std::uint8_t>(centre));
        s1.push_back(static_cast<std::uint8_t>(subCentre >> 8));
        s1.push_back(static_cast<std::uint8_t>(subCentre));
    } else {
        s1.push_back(static_cast<std::uint8_t>(subCentre));
        s1.push_back(static_cast<std::uint8_t>(centre));
    }
    s1.push_back(updateSequence);
    s1.push_back(sectionFlags.value_or(section2 ? 0x80 : 0x00));
    s1.push_back(dataCategory);
    if (ed4) s1.push_back(intSubCategory);
    s1.push_back(localSubCategory);
    s1.push_back(masterTableVersion);
    s1.push_back(localTableVersion);
    if (ed4) {
        s1.push_back(static_cast<std::uint8_t>(year >> 8));
        s1.push_back(static_cast<std::uint8_t>(year));
    } else {
        s1.push_back(yearOfCentury.value_or(static_cast<std::uint8_t>(year % 100)));
    }
    s1.insert(s1.end(), {month, day, hour, minute});
    if (ed4) s1.push_back(second);
    Append(s1, section1Local);
    if (section1EvenPad.value_or(!ed4) && (s1.size() + 3) % 2 != 0) s1.push_back(0);

    ByteVector s2;
    if (section2) {
        ByteVector body{0};
        Append(body, *section2);
        s2 = Section(body, section2Length);
    }

    ByteVector s3body{0, static_cast<std::uint8_t>(subsets >> 8), static_cast<std::uint8_t>(subsets), dataFlags};
    for (std::uint32_t d : descriptors) Append(s3body, DescriptorOctets(d));
    if (section3OddPad.value_or(!ed4) && (s3body.size() + 3) % 2 != 0) s3body.push_back(0);
    const ByteVector s3 = Section(s3body, section3Length);

    ByteVector s4body{0};
    Append(s4body, data);
    if (section4EvenPad.value_or(!ed4) && (s4body.size() + 3) % 2 != 0) s4body.push_back(0);
    const ByteVector s4 = Section(s4body, section4Length);

    BuiltMessage built;
    ByteVector& out = built.Bytes;
    Append(out, before);
    built.MessageStart = out.size();
    Append(out, BytesOf("BUFR"));
    out.insert(out.end(), {0, 0, 0, edition});
    built.Section1 = out.size();
    Append(out, Section(s1, section1Length));
    if (section2) {
        built.Section2 = out.size();
        Append(out, s2);
    }
    built.Section3 = out.size();
    Append(out, s3);
    built.Section4 = out.size();
    Append(out, s4);
    built.Section5 = out.size();
    Append(out, BytesOf(section5));
    built.MessageEnd = out.size();
    built.TotalLength = totalLength.value_or(static_cast<std::uint32_t>(built.MessageEnd - built.MessageStart));
    Put24(out, built.MessageStart + 4, built.TotalLength);
    Append(out, after);
    return built;
}

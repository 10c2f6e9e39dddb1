#include "core/uBUFRDefs.h"

#include <cstring>

#include "core/BitReader.h"
#include "core/Errors.h"
#include "core/TextHelpers.h"

namespace {

// Octet-aligned readers of the section headers; the bit cursor restarts at 0 for every field.
std::uint32_t ReadOctets(const std::uint8_t* buffer, std::uint32_t& bytePos, std::uint32_t octets) {
    std::uint32_t bitPos = 0;
    return ExtractValue(buffer, bytePos, bitPos, octets * 8);
}

[[noreturn]] void RaiseSize(int section, const char* what) {
    throw TavikError("Раздел " + std::to_string(section) + ":Ошибка размера:" + what);
}

constexpr const char* BeyondMessage = "выход за пределы сообщения!";
constexpr const char* BelowHeader = "длина меньше заголовка!";

// Raises unless octets [from, from + count) lie inside the located message.
void RequireInside(const TBUFRMessage& owner, int section, std::uint64_t from, std::uint64_t count) {
    if (from + count > owner.LocatedLength()) RaiseSize(section, BeyondMessage);
}

}  // namespace

// ---- Section 0 ----

bool tBUFR_Section0_Indicator::ReadFrom(const std::uint8_t* Buffer, std::uint32_t FoundLength) {
    if (FoundLength < 8) throw TavikError("Раздел 0:Ошибка размера:перебор!");
    std::uint32_t bytePos = 4;
    TotalLength = ReadOctets(Buffer, bytePos, 3);
    if (FoundLength < TotalLength) throw TavikError("Раздел 0:Ошибка размера:перебор!");
    Edition = static_cast<std::uint8_t>(ReadOctets(Buffer, bytePos, 1));
    Parsed = true;
    return true;
}

// ---- Section 1 ----

void tBUFR_Section1_Identification::Clear() {
    Parsed = false;
    Length = LocalDataLength = 0;
    MasterTable = UpdateSequence = SectionFlags = DataCategory = IntSubCategory = LocalSubCategory = 0;
    MasterTableVersion = LocalTableVersion = 0;
    Centre = SubCentre = TypicalYear = 0;
    TypicalMonth = TypicalDay = TypicalHour = TypicalMinute = TypicalSecond = 0;
}

bool tBUFR_Section1_Identification::ReadFrom(const std::uint8_t* Buffer, std::uint8_t Edition, std::uint32_t& BytePos) {
    BytePos = 8;
    const std::uint32_t start = BytePos;
    RequireInside(Owner, 1, start, 3);
    Length = ReadOctets(Buffer, BytePos, 3);
    const bool edition4 = Edition >= 4;
    if (Length < (edition4 ? 22u : 18u))
        throw TavikError(std::string("Ошибка длины Section1 (core/uBUFRDefs, line ") + (edition4 ? "497" : "496") + ")");
    RequireInside(Owner, 1, start, Length);
    LocalDataLength = edition4 ? Length - 22 : Length - 17;

    MasterTable = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    if (MasterTable != 0) throw TavikError("Ошибка Master_Table_Number");
    if (edition4) {
        Centre = static_cast<std::uint16_t>(ReadOctets(Buffer, BytePos, 2));
        SubCentre = static_cast<std::uint16_t>(ReadOctets(Buffer, BytePos, 2));
    } else {
        SubCentre = static_cast<std::uint16_t>(ReadOctets(Buffer, BytePos, 1));
        Centre = static_cast<std::uint16_t>(ReadOctets(Buffer, BytePos, 1));
    }
    UpdateSequence = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    SectionFlags = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    DataCategory = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    IntSubCategory = edition4 ? static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1)) : 0;
    LocalSubCategory = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    MasterTableVersion = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    LocalTableVersion = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    TypicalYear = edition4 ? static_cast<std::uint16_t>(ReadOctets(Buffer, BytePos, 2))
                           : static_cast<std::uint16_t>(2000 + ReadOctets(Buffer, BytePos, 1));
    TypicalMonth = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    TypicalDay = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    TypicalHour = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    TypicalMinute = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    TypicalSecond = edition4 ? static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1)) : 0;
    BytePos += LocalDataLength;  // the local data are skipped
    Parsed = true;
    return true;
}

std::string tBUFR_Section1_Identification::DateTimeText() const {
    if (!Parsed) return {};
    return IntStrZ(TypicalYear, 4) + IntStrZ(TypicalMonth, 2) + IntStrZ(TypicalDay, 2) + IntStrZ(TypicalHour, 2) +
           IntStrZ(TypicalMinute, 2) + IntStrZ(TypicalSecond, 2);
}

// ---- Section 2 ----

void tBUFR_Section2_Optional::Clear() {
    Parsed = false;
    Length = 0;
}

bool tBUFR_Section2_Optional::ReadFrom(const std::uint8_t* Buffer, std::uint32_t& BytePos) {
    const std::uint32_t start = BytePos;
    RequireInside(Owner, 2, start, 3);
    Length = ReadOctets(Buffer, BytePos, 3);
    if (Length < 3) RaiseSize(2, BelowHeader);
    RequireInside(Owner, 2, start, Length);
    BytePos = start + Length;
    Parsed = true;
    return true;
}

// ---- Section 3 ----

void tBUFR_Section3_Data_Description::Clear() {
    Parsed = false;
    Length = 0;
    Reserved = 0;
    NumSubsets = 0;
    DataFlags = 0;
    DescriptorBytes = 0;
    Descriptors = nullptr;
}

bool tBUFR_Section3_Data_Description::ReadFrom(const std::uint8_t* Buffer, std::uint32_t& BytePos) {
    const std::uint32_t start = BytePos;
    RequireInside(Owner, 3, start, 7);
    Length = ReadOctets(Buffer, BytePos, 3);
    if (Length < 7) RaiseSize(3, BelowHeader);
    if (Length > 65542) RaiseSize(3, "перебор!");  // the descriptor octets must fit 16 bits
    RequireInside(Owner, 3, start, Length);
    BytePos += 1;  // reserved octet 4
    NumSubsets = static_cast<std::uint16_t>(ReadOctets(Buffer, BytePos, 2));
    DataFlags = static_cast<std::uint8_t>(ReadOctets(Buffer, BytePos, 1));
    DescriptorBytes = static_cast<std::uint16_t>(Length - 7);
    Descriptors = Buffer + BytePos;
    BytePos += DescriptorBytes;
    Parsed = true;
    return true;
}

bool tBUFR_Section3_Data_Description::WriteTo(std::uint8_t* Dest, std::uint32_t& BytePos) const {
    if (!Parsed) return false;
    const std::uint8_t header[7] = {static_cast<std::uint8_t>(Length >> 16), static_cast<std::uint8_t>(Length >> 8),
                                    static_cast<std::uint8_t>(Length),       Reserved,
                                    static_cast<std::uint8_t>(NumSubsets >> 8), static_cast<std::uint8_t>(NumSubsets),
                                    DataFlags};
    std::memcpy(Dest + BytePos, header, sizeof header);
    if (DescriptorBytes > 0) std::memcpy(Dest + BytePos + 7, Descriptors, DescriptorBytes);
    BytePos += 7 + DescriptorBytes;
    return true;
}

bool tBUFR_Section3_Data_Description::GetDescriptor(std::uint32_t Index, std::uint8_t& F, std::uint8_t& X,
                                                     std::uint8_t& Y) const {
    if (DescriptorBytes == 0 || Descriptors == nullptr || Index >= DescriptorCount()) return false;
    const DescriptorParts parts = SplitDescriptor(Descriptors[2 * Index], Descriptors[2 * Index + 1]);
    F = parts.F;
    X = parts.X;
    Y = parts.Y;
    return true;
}

// ---- Section 4 ----

void tBUFR_Section4_Data::Clear() {
    Parsed = false;
    Length = 0;
    Reserved = 0;
    Data = nullptr;
}

bool tBUFR_Section4_Data::ReadFrom(const std::uint8_t* Buffer, std::uint32_t& BytePos) {
    // Section 4 must end at or before Section 5, the last four octets of the declared message.
    const std::int64_t limit = static_cast<std::int64_t>(Owner.MessageLength()) - 4;
    const std::uint32_t start = BytePos;
    if (static_cast<std::int64_t>(start) + 4 > limit) return false;
    Length = ReadOctets(Buffer, BytePos, 3);
    if (Length < 4) RaiseSize(4, BelowHeader);
    if (static_cast<std::int64_t>(start) + Length > limit) return false;
    BytePos += 1;  // reserved octet 4
    Data = Buffer + BytePos;
    BytePos = start + Length;
    Parsed = true;
    return true;
}

bool tBUFR_Section4_Data::WriteTo(std::uint8_t* Dest, std::uint32_t& BytePos) const {
    if (!Parsed) return false;
    const std::uint8_t header[4] = {static_cast<std::uint8_t>(Length >> 16), static_cast<std::uint8_t>(Length >> 8),
                                    static_cast<std::uint8_t>(Length), Reserved};
    std::memcpy(Dest + BytePos, header, sizeof header);
    if (Length > 4) std::memcpy(Dest + BytePos + 4, Data, Length - 4);
    BytePos += Length;
    return true;
}

// ---- The message ----

TBUFRMessage::TBUFRMessage(Section0Factory Section0Class, Section1Factory Section1Class, Section2Factory Section2Class,
                           Section3Factory Section3Class, Section4Factory Section4Class, bool CreateSection2)
    : Section2Class_(std::move(Section2Class)) {
    if (Section0Class) Section0 = Section0Class(*this);
    if (Section1Class) Section1 = Section1Class(*this);
    if (CreateSection2) Section2 = Section2Class_ ? Section2Class_(*this) : std::make_unique<tBUFR_Section2_Optional>(*this);
    if (Section3Class) Section3 = Section3Class(*this);
    if (Section4Class) Section4 = Section4Class(*this);
}

TBUFRMessage::TBUFRMessage()
    : TBUFRMessage(SectionClass<tBUFR_Section0_Indicator>(), SectionClass<tBUFR_Section1_Identification>(), nullptr,
                   SectionClass<tBUFR_Section3_Data_Description>(), SectionClass<tBUFR_Section4_Data>(), false) {}

TBUFRMessage::~TBUFRMessage() = default;

bool TBUFRMessage::Parse(const std::uint8_t* Buffer, std::uint32_t FoundLength) {
    locatedLength = FoundLength;
    if (!Section0 || !Section1 || !Section3 || !Section4) return false;
    if (!Section0->ReadFrom(Buffer, FoundLength)) return false;
    std::uint32_t bytePos = 0;
    if (!Section1->ReadFrom(Buffer, Section0->Edition, bytePos)) return false;
    if (Section1->SectionFlags & 0x80) {
        Section2 = Section2Class_ ? Section2Class_(*this) : std::make_unique<tBUFR_Section2_Optional>(*this);
        if (!Section2->ReadFrom(Buffer, bytePos)) return false;
    } else {
        Section2.reset();
    }
    if (!Section3->ReadFrom(Buffer, bytePos)) return false;
    return Section4->ReadFrom(Buffer, bytePos);
}

std::uint32_t TBUFRMessage::MessageLength() const { return Section0 ? Section0->TotalLength : 0; }

std::uint8_t TBUFRMessage::Edition() const { return Section0 ? Section0->Edition : 0; }

std::uint8_t TBUFRMessage::MasterTable() const { return Section1 ? Section1->MasterTable : 0; }

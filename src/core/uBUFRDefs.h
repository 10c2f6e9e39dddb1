#pragma once
// The five section classes of a BUFR message (FM 94) and the message object that parses them
// out of the message buffer. The sections keep references into that buffer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Lines.h"

class TBUFRMessage;

class tBUFR_Section0_Indicator {
public:
    explicit tBUFR_Section0_Indicator(TBUFRMessage& owner) : Owner(owner) {}
    virtual ~tBUFR_Section0_Indicator() = default;
    // Reads the total length and the edition; raises when FoundLength is shorter than declared.
    bool ReadFrom(const std::uint8_t* Buffer, std::uint32_t FoundLength);

    TBUFRMessage& Owner;
    bool Parsed = false;
    char Magic[4] = {'B', 'U', 'F', 'R'};
    std::uint32_t TotalLength = 0;
    std::uint8_t Edition = 4;
};

class tBUFR_Section1_Identification {
public:
    explicit tBUFR_Section1_Identification(TBUFRMessage& owner) : Owner(owner) {}
    virtual ~tBUFR_Section1_Identification() = default;
    virtual std::uint32_t SectionLength() const { return Length; }
    virtual void Clear();
    // Reads the edition 3 layout below edition 4, the edition 4 layout otherwise; sets BytePos to
    // 8 itself and leaves it after the section.
    bool ReadFrom(const std::uint8_t* Buffer, std::uint8_t Edition, std::uint32_t& BytePos);
    // Typical date and time as 14 digits, or empty when not parsed.
    std::string DateTimeText() const;

    TBUFRMessage& Owner;
    bool Parsed = false;
    std::uint32_t Length = 0;
    std::uint8_t MasterTable = 0;
    std::uint16_t Centre = 0;
    std::uint16_t SubCentre = 0;
    std::uint8_t UpdateSequence = 0;
    std::uint8_t SectionFlags = 0;  // bit 7: Section 2 present
    std::uint8_t DataCategory = 0;
    std::uint8_t IntSubCategory = 0;
    std::uint8_t LocalSubCategory = 0;
    std::uint8_t MasterTableVersion = 0;
    std::uint8_t LocalTableVersion = 0;
    std::uint16_t TypicalYear = 0;
    std::uint8_t TypicalMonth = 0, TypicalDay = 0, TypicalHour = 0, TypicalMinute = 0, TypicalSecond = 0;
    std::uint32_t LocalDataLength = 0;
};

class tBUFR_Section2_Optional {
public:
    explicit tBUFR_Section2_Optional(TBUFRMessage& owner) : Owner(owner) {}
    virtual ~tBUFR_Section2_Optional() = default;
    virtual std::uint32_t SectionLength() const { return Length; }
    virtual void Clear();
    bool ReadFrom(const std::uint8_t* Buffer, std::uint32_t& BytePos);

    TBUFRMessage& Owner;
    bool Parsed = false;
    std::uint32_t Length = 0;
};

class tBUFR_Section3_Data_Description {
public:
    explicit tBUFR_Section3_Data_Description(TBUFRMessage& owner) : Owner(owner) {}
    virtual ~tBUFR_Section3_Data_Description() = default;
    virtual std::uint32_t SectionLength() const { return Length; }
    virtual bool WriteTo(std::uint8_t* Dest, std::uint32_t& BytePos) const;
    virtual bool ReadFrom(const std::uint8_t* Buffer, std::uint32_t& BytePos);
    virtual void Clear();
    // Descriptor Index (from 0) split into F, X, Y; false past the last one.
    bool GetDescriptor(std::uint32_t Index, std::uint8_t& F, std::uint8_t& X, std::uint8_t& Y) const;
    std::uint32_t DescriptorCount() const { return DescriptorBytes / 2u; }
    bool Observed() const { return (DataFlags & 0x80) != 0; }
    bool Compressed() const { return (DataFlags & 0x40) != 0; }

    TBUFRMessage& Owner;
    bool Parsed = false;
    std::uint32_t Length = 0;
    std::uint8_t Reserved = 0;
    std::uint16_t NumSubsets = 0;
    std::uint8_t DataFlags = 0;  // bit 7: observed data, bit 6: compressed data
    std::uint16_t DescriptorBytes = 0;
    const std::uint8_t* Descriptors = nullptr;  // into the message buffer
};

class tBUFR_Section4_Data {
public:
    explicit tBUFR_Section4_Data(TBUFRMessage& owner) : Owner(owner) {}
    virtual ~tBUFR_Section4_Data() = default;
    virtual std::uint32_t SectionLength() const { return Length; }
    virtual bool WriteTo(std::uint8_t* Dest, std::uint32_t& BytePos) const;
    // False when the section has no room for its header or runs into Section 5.
    virtual bool ReadFrom(const std::uint8_t* Buffer, std::uint32_t& BytePos);
    virtual void Clear();

    TBUFRMessage& Owner;
    bool Parsed = false;
    std::uint32_t Length = 0;
    std::uint8_t Reserved = 0;
    const std::uint8_t* Data = nullptr;  // octet 5 of the section, in the message buffer
};

// Section factories ("class references"): each creates a section owned by the given message.
using Section0Factory = std::function<std::unique_ptr<tBUFR_Section0_Indicator>(TBUFRMessage&)>;
using Section1Factory = std::function<std::unique_ptr<tBUFR_Section1_Identification>(TBUFRMessage&)>;
using Section2Factory = std::function<std::unique_ptr<tBUFR_Section2_Optional>(TBUFRMessage&)>;
using Section3Factory = std::function<std::unique_ptr<tBUFR_Section3_Data_Description>(TBUFRMessage&)>;
using Section4Factory = std::function<std::unique_ptr<tBUFR_Section4_Data>(TBUFRMessage&)>;

template <class T>
auto SectionClass() {
    return [](TBUFRMessage& owner) { return std::make_unique<T>(owner); };
}

class TBUFRMessage {
public:
    // Creates Sections 0, 1, 3 and 4 from their classes, Section 2 only when CreateSection2.
    // An empty Section2Class means the plain tBUFR_Section2_Optional.
    TBUFRMessage(Section0Factory Section0Class, Section1Factory Section1Class, Section2Factory Section2Class,
                 Section3Factory Section3Class, Section4Factory Section4Class, bool CreateSection2);
    // The system's configuration: the base section classes, no Section 2.
    TBUFRMessage();
    virtual ~TBUFRMessage();

    // Reads every section of the message in Buffer[0..FoundLength). False when Section 4 does not
    // fit before Section 5; raises TavikError for the structural errors.
    bool Parse(const std::uint8_t* Buffer, std::uint32_t FoundLength);
    std::uint32_t MessageLength() const;
    std::uint8_t Edition() const;
    std::uint8_t MasterTable() const;
    // Appends the Russian dump of the section headers; false (nothing appended) when Lines is
    // absent or a section it needs is missing or not parsed.
    bool DumpSections(LineList* Lines) const;
    // Length located by the loader during the last Parse: no section reads at or beyond it.
    std::uint32_t LocatedLength() const { return locatedLength; }

    std::unique_ptr<tBUFR_Section0_Indicator> Section0;
    std::unique_ptr<tBUFR_Section1_Identification> Section1;
    std::unique_ptr<tBUFR_Section2_Optional> Section2;
    std::unique_ptr<tBUFR_Section3_Data_Description> Section3;
    std::unique_ptr<tBUFR_Section4_Data> Section4;

private:
    Section2Factory Section2Class_;
    std::uint32_t locatedLength = 0;
};

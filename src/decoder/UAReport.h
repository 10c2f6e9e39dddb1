#pragma once
// The decoded upper-air sounding (tUAReport) and the decoder of inbound BUFR messages built on
// templates 3-09-050, 3-09-051 and 3-09-052, and the high-resolution 3-09-057 (ascent) and 3-09-056
// (descent) (tUAInBound).
#include <cstdint>
#include <string>
#include <vector>

#include "core/Lines.h"

class TBUFRMessage;

// Stored in every decoded real that has no value. Readers test IsMissing, never equality.
constexpr double MissingValue = -1.0E31;
constexpr bool IsMissing(double v) { return v <= -1.0E30; }

constexpr std::int32_t MissingFlags = 0x3FFFF;  // all 18 bits of 0 08 042 set

// A character field is present when it is not empty and not all 0xFF (BUFR's missing value)
// before its first zero byte.
inline bool TextPresent(const char* field) {
    if (field[0] == 0) return false;
    for (const char* p = field; *p != 0; ++p)
        if (static_cast<unsigned char>(*p) != 0xFF) return true;
    return false;
}

struct tUALevelRec {
    double Time = MissingValue;       // s since launch, 0 04 086
    std::int32_t Flags = MissingFlags;  // 0 08 042
    double Pressure = MissingValue;   // Pa, 0 07 004 (1 Pa under 2 07 001 in 3-09-056/057)
    double Height = MissingValue;     // gpm, 0 10 009 (0 07 009 for 3-09-051; 0.1 gpm under 2 07 001)
    double DLat = MissingValue;       // degrees, 0 05 015
    double DLon = MissingValue;       // degrees, 0 06 015
    double Temp = MissingValue;       // K, 0 12 101
    double Humidity = MissingValue;   // %, computed from Temp and DewPoint
    double DewPoint = MissingValue;   // K, 0 12 103
    double WindDir = MissingValue;    // degrees, 0 11 001
    double WindSpeed = MissingValue;  // m/s, 0 11 002
};

struct tUAShearRec {
    double Time = MissingValue;        // s, 0 04 086
    std::int32_t Flags = MissingFlags;   // 0 08 042, the bits kept for shear levels
    double Pressure = MissingValue;    // Pa, 0 07 004
    double Height = MissingValue;      // gpm, 0 07 009 (3-09-051 only)
    double DLat = MissingValue;        // degrees, 0 05 015
    double DLon = MissingValue;        // degrees, 0 06 015
    float ShearBelow = static_cast<float>(MissingValue);  // m/s, 0 11 061
    float ShearAbove = static_cast<float>(MissingValue);  // m/s, 0 11 062
};

// One entry of the parsed descriptor list.
struct tDescriptorEntry {
    std::uint8_t Kind = 0;   // 1 catalogue element, 2 operator, 3 template sequence
    std::uint16_t Code = 0;  // catalogue row / operator X / sequence Y
    std::uint8_t Arg = 0;    // character count of a text element / operator Y / 9 for a sequence
};

enum : std::uint8_t { EntryElement = 1, EntryOperator = 2, EntryTemplate = 3 };

class tUAReport {
public:
    virtual ~tUAReport() = default;

    virtual void GetLevel(int index, tUALevelRec& rec) const = 0;
    virtual void GetShearLevel(int index, tUAShearRec& rec) const = 0;
    virtual void ClearLevels() = 0;
    virtual void ClearShearLevels() = 0;
    virtual void ClearExtra() = 0;
    virtual void ClearMetadata() = 0;
    // Empties the launch time, the equipment, metadata, clouds and levels; the station values too
    // when clearStation.
    virtual void Clear(bool clearStation);
    // The WIGOS identifier and the start of a descent back in their missing state.
    void ClearHighResolution();

    std::uint8_t TimeSignificance = 31;  // 0 08 021
    std::uint16_t Year = 0;              // 0 04 001
    std::uint8_t Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    std::int32_t StationIndex = 0;  // BlockNumber * 1000 + StationNumber
    std::uint8_t BlockNumber = 0;   // 0 01 001, 127 = missing
    std::uint16_t StationNumber = 0;  // 0 01 002
    char ShipId[10] = {};             // 0 01 011
    double Latitude = 0, Longitude = 0;  // degrees, launch site
    double GroundHeight = 0;             // m, 0 07 030
    double BarometerHeight = 0;          // m, 0 07 031
    std::uint8_t ElevationQuality = 0;   // 0 33 024
    std::uint8_t SondeType = 0;          // 0 02 011
    std::uint8_t RadiationCorrection = 0;  // 0 02 013
    std::uint8_t TrackingTechnique = 0;    // 0 02 014
    std::uint8_t EquipmentType = 0;        // 0 02 003
    double ReleaseHeight = 0;              // m, 0 07 007 of the template
    float WaterTemp = 0;                   // K, 0 22 043
    char SerialNumber[21] = {};            // 0 01 081
    std::uint16_t ObservationNumber = 0;   // 0 01 082
    std::uint16_t SoundingNumber = 0;      // 0 01 083
    char ObserverId[5] = {};               // 0 01 095
    double CarrierFrequency = 0;           // Hz, 0 02 067
    std::uint8_t GroundSystem = 0;         // 0 02 066
    double MetaHeight = 0;                 // m, 0 07 007 outside the template
    double AntennaHeight = 0;              // m, 0 02 102
    double AzimuthCorrection = 0;          // degrees, 0 25 065
    double ElevationCorrection = 0;        // degrees, 0 25 066
    std::uint8_t Radome = 0;               // 0 02 103
    std::uint8_t SondeConfig = 0;          // 0 02 015
    std::uint8_t SuspensionConfig = 0;     // 0 02 016
    std::uint8_t BalloonMaker = 0;         // 0 02 080
    std::uint8_t BalloonType = 0;          // 0 02 081
    double BalloonMass = 0;                // kg, 0 02 082
    std::uint8_t GasType = 0;              // 0 02 084
    double GasAmount = 0;                  // kg, 0 02 085
    std::uint8_t BalloonShelter = 0;       // 0 02 083
    double SuspensionLength = 0;           // m, 0 02 086
    std::uint8_t PressureSensor = 0, TempSensor = 0, HumiditySensor = 0;  // 0 02 095 .. 0 02 097
    std::uint8_t HumidityCorrection = 0;   // 0 02 017
    std::uint8_t HeightMethod = 0;         // 0 02 191
    char SoftwareVersion[13] = {};         // 0 25 061
    std::uint8_t TerminationReason = 0;    // 0 35 035
    char Text60[61] = {};                  // characters of 2 05 060
    char Text11[13] = {};                  // characters of 2 05 011
    std::uint8_t CloudSignificance = 0;    // 0 08 002
    std::uint8_t CloudAmount = 0;          // 0 20 011
    std::uint8_t CloudTypeLow = 0, CloudTypeMiddle = 0, CloudTypeHigh = 0;  // 0 20 012
    double CloudBase = 0;                  // m, 0 20 013
    // The WIGOS station identifier of 3 01 150 (3-09-056 and 3-09-057 only).
    std::uint8_t WigosSeries = 15;          // 0 01 125
    std::uint16_t WigosIssuer = 65535;      // 0 01 126
    std::uint16_t WigosIssueNumber = 65535; // 0 01 127
    char WigosLocalId[17] = {};             // 0 01 128
    // Where a descent starts (3-09-056 only): 0 08 091, 3 01 021 and 0 07 007.
    std::uint8_t DescentSignificance = 255;   // 0 08 091
    double DescentLatitude = MissingValue;    // degrees, 0 05 001
    double DescentLongitude = MissingValue;   // degrees, 0 06 001
    double DescentHeight = MissingValue;      // m, 0 07 007
    std::uint16_t LevelCount = 0;          // 0 31 002
    std::uint16_t ShearCount = 0;          // 0 31 001
};

class tUAInBound : public tUAReport {
public:
    // Create: an empty decoder with its metadata in the missing state.
    tUAInBound();

    void GetLevel(int index, tUALevelRec& rec) const override;
    void GetShearLevel(int index, tUAShearRec& rec) const override;
    void ClearLevels() override;
    void ClearShearLevels() override;
    void ClearExtra() override {}
    void ClearMetadata() override;

    // Clear(clearStation) and ClearMetadata; with clearMessage also forgets the message and the scan.
    void Reset(bool clearStation, bool clearMessage);
    // Turns Section 3 into DescList; false when it holds no descriptor. Raises TavikError.
    bool ScanDescriptors(TBUFRMessage& message);
    // Decodes the next data subset of Section 4 at the cursor (relative to its first data octet)
    // and leaves the cursor after it. Returns true; raises TavikError.
    bool DecodeData(TBUFRMessage& message, std::uint32_t& bytePos, std::uint32_t& bitPos);
    // Appends the decoded report (Windows-1251); false when lines is absent or nothing was decoded.
    bool WriteReport(LineList* lines) const;
    std::string StationText() const;
    std::string LaunchTimeText() const;
    std::uint16_t SubsetCount() const;
    std::string LevelRowText(int index) const;
    std::string ShearRowText(int index) const;
    static std::string FlagsText(std::int32_t flags);
    static std::string CodeText(std::uint32_t v, int bits, int n);
    static std::string LabelText(int row);

    TBUFRMessage* Message = nullptr;  // not owned; set by DecodeData
    bool HasTemplate = false;
    std::uint8_t TemplateFX[2] = {0, 0};
    std::uint8_t TemplateKind = 0;  // 50, 51, 52, 56 or 57
    std::uint16_t EntryCount = 0;
    std::uint16_t UnknownCount = 0;
    std::vector<tDescriptorEntry> DescList;
    bool AllKnown = false;
    bool Incomplete = false;
    std::vector<tUALevelRec> Levels;
    std::vector<tUAShearRec> ShearLevels;
};

#pragma once
// Writes one data subset of template 3-09-050, 3-09-051 or 3-09-052 value by value into a
// BitWriter, with the element widths of the WMO tables. Every value is the raw field as it stands
// in Section 4 (before scale and reference); RawMissing writes all ones.
//
//   UASubsetRaw subset;                 // a 3-09-052 launch at 27612 with the defaults below
//   subset.Levels.resize(2);
//   subset.Levels[0].Time = 8000;        // -192 s
//   BitWriter data;
//   WriteUASubset(data, subset);
//   data.PadToOctet();
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/BufrBuilder.h"

constexpr std::uint64_t RawMissing = ~std::uint64_t(0);

struct UALevelRaw {
    std::uint64_t Time = 8192;       // 0 04 086, 15 bits: 0 s
    std::uint64_t Flags = 0x20000;   // 0 08 042, 18 bits: surface
    std::uint64_t Pressure = 9958;   // 0 07 004, 14 bits, x 10 Pa: 99580 Pa (050, 052)
    std::uint64_t Height = 1147;     // 0 10 009 (0 07 009 for 051), 17 bits, - 1000: 147 m (051, 052)
    std::uint64_t DLat = 9000000;    // 0 05 015, 25 bits: 0.0
    std::uint64_t DLon = 18000000;   // 0 06 015, 26 bits: 0.0
    std::uint64_t Temp = 27854;      // 0 12 101, 16 bits, / 100: 278.54 K (052)
    std::uint64_t DewPoint = 27560;  // 0 12 103, 16 bits: 275.60 K (052)
    std::uint64_t WindDir = 248;     // 0 11 001, 9 bits
    std::uint64_t WindSpeed = 31;    // 0 11 002, 12 bits, / 10: 3.1 m/s
};

struct UAShearRaw {
    std::uint64_t Time = 9812;       // 1620 s
    std::uint64_t Flags = 0x4000;    // maximum wind
    std::uint64_t Pressure = 3371;   // 33710 Pa (050, 052)
    std::uint64_t Height = 9300;     // 0 07 009: 8300 m (051)
    std::uint64_t DLat = 8996742;    // -0.03258
    std::uint64_t DLon = 18030793;   // 0.30793
    std::uint64_t ShearBelow = 44;   // 0 11 061, 12 bits: 4.4 m/s
    std::uint64_t ShearAbove = 13;   // 0 11 062, 12 bits: 1.3 m/s
};

struct UASubsetRaw {
    std::uint8_t Kind = 52;  // 50, 51 or 52
    std::uint64_t BlockNumber = 27, StationNumber = 612;
    std::optional<std::string> ShipId;  // 9 characters, space-padded; absent: all ones
    std::uint64_t SondeType = 88, RadiationCorrection = 6, Tracking = 2, Equipment = 3;
    std::uint64_t TimeSignificance = 18;
    std::uint64_t Year = 2023, Month = 10, Day = 10, Hour = 11, Minute = 6, Second = 37;
    std::uint64_t Latitude = 14575000;   // 55.75
    std::uint64_t Longitude = 21760000;  // 37.6
    std::uint64_t GroundHeight = 5470;   // 147.0 m
    std::uint64_t BarometerHeight = 5482;  // 148.2 m
    std::uint64_t ReleaseHeight = 1147;  // 147 m
    std::uint64_t ElevationQuality = 1;
    // 3-09-052 only: the cloud group and the water temperature.
    std::uint64_t CloudSignificance = 7, CloudAmount = 6;
    std::uint64_t CloudBase = 100;  // x 10 - 400: 600 m
    std::uint64_t CloudLow = 35, CloudMiddle = 20, CloudHigh = 10;
    std::uint64_t CloudSignificance2 = RawMissing;
    std::uint64_t WaterTemp = RawMissing;
    std::vector<UALevelRaw> Levels;
    std::vector<UAShearRaw> Shear;
    // Written in place of the sizes of Levels and Shear when set (the records written stay those
    // of the vectors).
    std::optional<std::uint64_t> LevelCount, ShearCount;
};

// Bits of the fixed part (before 0 31 002), of one level and of one shear level.
unsigned UAFixedBits(std::uint8_t Kind);
unsigned UALevelBits(std::uint8_t Kind);
unsigned UAShearBits(std::uint8_t Kind);

void WriteUAFixedPart(BitWriter& Writer, const UASubsetRaw& Subset);
void WriteUALevel(BitWriter& Writer, std::uint8_t Kind, const UALevelRaw& Level);
void WriteUAShear(BitWriter& Writer, std::uint8_t Kind, const UAShearRaw& Shear);
// The whole subset: the fixed part, 0 31 002, the levels, 0 31 001, the shear levels.
void WriteUASubset(BitWriter& Writer, const UASubsetRaw& Subset);

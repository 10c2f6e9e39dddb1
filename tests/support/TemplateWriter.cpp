#include "support/TemplateWriter.h"

#include <stdexcept>

namespace {

void Put(BitWriter& w, std::uint64_t raw, unsigned width) {
    if (raw == RawMissing) w.Missing(width);
    else w.Bits(raw, width);
}

void CheckKind(std::uint8_t kind) {
    if (kind != 50 && kind != 51 && kind != 52) throw std::invalid_argument("TemplateWriter: kind 50, 51 or 52");
}

}  // namespace

// 3-01-110/111, 3-01-113, 3-01-114 (258 bits; 3-09-052 adds 0 02 013, 3-02-049 and 0 22 043).
unsigned UAFixedBits(std::uint8_t Kind) {
    CheckKind(Kind);
    return Kind == 52 ? 322 : 258;
}

// 3-03-050 / 3-03-052 / 3-03-054.
unsigned UALevelBits(std::uint8_t Kind) {
    CheckKind(Kind);
    return Kind == 52 ? 168 : Kind == 51 ? 122 : 119;
}

// 3-03-051 / 3-03-053.
unsigned UAShearBits(std::uint8_t Kind) {
    CheckKind(Kind);
    return Kind == 51 ? 125 : 122;
}

void WriteUAFixedPart(BitWriter& w, const UASubsetRaw& s) {
    CheckKind(s.Kind);
    const bool t52 = s.Kind == 52;
    Put(w, s.BlockNumber, 7);
    Put(w, s.StationNumber, 10);
    if (s.ShipId) w.Chars(*s.ShipId, 9);
    else w.Octets(ByteVector(9, 0xFF));
    Put(w, s.SondeType, 8);
    if (t52) Put(w, s.RadiationCorrection, 4);
    Put(w, s.Tracking, 7);
    Put(w, s.Equipment, 4);
    Put(w, s.TimeSignificance, 5);
    Put(w, s.Year, 12);
    Put(w, s.Month, 4);
    Put(w, s.Day, 6);
    Put(w, s.Hour, 5);
    Put(w, s.Minute, 6);
    Put(w, s.Second, 6);
    Put(w, s.Latitude, 25);
    Put(w, s.Longitude, 26);
    Put(w, s.GroundHeight, 17);
    Put(w, s.BarometerHeight, 17);
    Put(w, s.ReleaseHeight, 17);
    Put(w, s.ElevationQuality, 4);
    if (t52) {
        Put(w, s.CloudSignificance, 6);
        Put(w, s.CloudAmount, 4);
        Put(w, s.CloudBase, 11);
        Put(w, s.CloudLow, 6);
        Put(w, s.CloudMiddle, 6);
        Put(w, s.CloudHigh, 6);
        Put(w, s.CloudSignificance2, 6);
        Put(w, s.WaterTemp, 15);
    }
}

void WriteUALevel(BitWriter& w, std::uint8_t kind, const UALevelRaw& l) {
    CheckKind(kind);
    Put(w, l.Time, 15);
    Put(w, l.Flags, 18);
    if (kind != 51) Put(w, l.Pressure, 14);
    if (kind != 50) Put(w, l.Height, 17);
    Put(w, l.DLat, 25);
    Put(w, l.DLon, 26);
    if (kind == 52) {
        Put(w, l.Temp, 16);
        Put(w, l.DewPoint, 16);
    }
    Put(w, l.WindDir, 9);
    Put(w, l.WindSpeed, 12);
}

void WriteUAShear(BitWriter& w, std::uint8_t kind, const UAShearRaw& s) {
    CheckKind(kind);
    Put(w, s.Time, 15);
    Put(w, s.Flags, 18);
    if (kind == 51) Put(w, s.Height, 17);
    else Put(w, s.Pressure, 14);
    Put(w, s.DLat, 25);
    Put(w, s.DLon, 26);
    Put(w, s.ShearBelow, 12);
    Put(w, s.ShearAbove, 12);
}

void WriteUASubset(BitWriter& w, const UASubsetRaw& s) {
    WriteUAFixedPart(w, s);
    Put(w, s.LevelCount.value_or(s.Levels.size()), 16);
    for (const UALevelRaw& level : s.Levels) WriteUALevel(w, s.Kind, level);
    Put(w, s.ShearCount.value_or(s.Shear.size()), 8);
    for (const UAShearRaw& shear : s.Shear) WriteUAShear(w, s.Kind, shear);
}

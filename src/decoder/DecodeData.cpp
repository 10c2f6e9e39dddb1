// Decoding one data subset of Section 4: the catalogue elements and operators around the
// template, and the fixed layout of templates 3-09-050, 3-09-051, 3-09-052, 3-09-056 and 3-09-057
// with both delayed replications. Every read is checked against the end of Section 4 first.
#include <array>
#include <cmath>
#include <type_traits>
#include <variant>

#include "core/BitReader.h"
#include "core/Errors.h"
#include "core/uBUFRDefs.h"
#include "decoder/DescriptorCatalogue.h"
#include "decoder/SatPressureCache.h"
#include "decoder/UAReport.h"

namespace {

// ---- The read cursor over the data of Section 4 ----

class DataCursor {
public:
    DataCursor(const std::uint8_t* data, std::uint64_t limitBits, std::uint32_t& bytePos, std::uint32_t& bitPos)
        : data(data), limitBits(limitBits), bytePos(bytePos), bitPos(bitPos) {}

    bool Fits(std::uint64_t bits) const { return Position() + bits <= limitBits; }
    std::uint64_t Position() const { return std::uint64_t(bytePos) * 8 + bitPos; }
    std::uint32_t BytePos() const { return bytePos; }
    // An unchecked read of 1..32 bits; callers test Fits first.
    std::uint32_t Read(std::uint32_t bits) { return ExtractValue(data, bytePos, bitPos, bits); }

private:
    const std::uint8_t* data;
    std::uint64_t limitBits;
    std::uint32_t& bytePos;
    std::uint32_t& bitPos;
};

constexpr std::uint32_t AllOnes(std::uint32_t bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

// ---- Template layouts ----

enum TemplateMask : std::uint8_t {
    T50 = 1,
    T51 = 2,
    T52 = 4,
    T56 = 8,
    T57 = 16,
    THigh = T56 | T57,  // the high-resolution templates: 3 01 150, 3 01 128 and the levels of 3 03 056
    TTemp = T52 | THigh,  // the templates with temperatures
    TAll = T50 | T51 | TTemp
};

struct KindMask {
    std::uint8_t Kind;
    TemplateMask Mask;
};
constexpr std::array<KindMask, 5> KindMasks = {{{50, T50}, {51, T51}, {52, T52}, {56, T56}, {57, T57}}};

// The mask of a template kind; 0 for a kind that is none of them.
constexpr std::uint8_t MaskOf(std::uint8_t kind) {
    for (const KindMask& k : KindMasks)
        if (k.Kind == kind) return k.Mask;
    return 0;
}

// A real is (v + Add) * Mul / Div, missing when v is all ones; an integer keeps v as it is.
struct Conversion {
    double Add = 0, Mul = 1, Div = 1;
};

constexpr double Convert(std::uint32_t v, std::uint32_t bits, const Conversion& c) {
    if (v == AllOnes(bits)) return MissingValue;
    return (static_cast<double>(v) + c.Add) * c.Mul / c.Div;
}

struct FixedRow {
    std::uint32_t Bits;
    std::uint8_t Templates;
    FieldOf Field;  // null: read and discarded
    Conversion Conv;
    bool SondeIdent = false;  // the elements of 3 01 128, read through the catalogue
};

constexpr Conversion Lat{-9000000, 1, 100000}, Lon{-18000000, 1, 100000}, Ground{-4000, 1, 10}, Raw{};
constexpr Conversion Height{-1000, 1, 1};

constexpr std::uint32_t SondeIdentBits() {
    std::uint32_t bits = 0;
    for (std::uint16_t row : SondeIdentSequence) bits += static_cast<std::uint32_t>(DescriptorCatalogue[row].Width);
    return bits;
}

// The station part, the launch site (or, for a descent, where it starts), the cloud group and the
// water temperature, in template order.
constexpr std::array<FixedRow, 39> FixedPart = {{
    {4, THigh, ReportField<&tUAReport::WigosSeries>, Raw},
    {16, THigh, ReportField<&tUAReport::WigosIssuer>, Raw},
    {16, THigh, ReportField<&tUAReport::WigosIssueNumber>, Raw},
    {128, THigh, ReportField<&tUAReport::WigosLocalId>, Raw},
    {7, TAll, ReportField<&tUAReport::BlockNumber>, Raw},
    {10, TAll, ReportField<&tUAReport::StationNumber>, Raw},
    {72, TAll, ReportField<&tUAReport::ShipId>, Raw},
    {8, TAll, ReportField<&tUAReport::SondeType>, Raw},
    {4, TTemp, ReportField<&tUAReport::RadiationCorrection>, Raw},
    {7, TAll, ReportField<&tUAReport::TrackingTechnique>, Raw},
    {4, TAll, ReportField<&tUAReport::EquipmentType>, Raw},
    {SondeIdentBits(), THigh, nullptr, Raw, true},
    {5, TAll, ReportField<&tUAReport::TimeSignificance>, Raw},
    {12, TAll, ReportField<&tUAReport::Year>, Raw},
    {4, TAll, ReportField<&tUAReport::Month>, Raw},
    {6, TAll, ReportField<&tUAReport::Day>, Raw},
    {5, TAll, ReportField<&tUAReport::Hour>, Raw},
    {6, TAll, ReportField<&tUAReport::Minute>, Raw},
    {6, TAll, ReportField<&tUAReport::Second>, Raw},
    {8, T56, ReportField<&tUAReport::DescentSignificance>, Raw},
    {25, T56, ReportField<&tUAReport::DescentLatitude>, Lat},
    {26, T56, ReportField<&tUAReport::DescentLongitude>, Lon},
    {17, T56, ReportField<&tUAReport::DescentHeight>, Height},
    {8, T56, nullptr, Raw},  // the second 0 08 091 ends the significance
    {25, TAll & ~T56, ReportField<&tUAReport::Latitude>, Lat},
    {26, TAll & ~T56, ReportField<&tUAReport::Longitude>, Lon},
    {17, TAll & ~T56, ReportField<&tUAReport::GroundHeight>, Ground},
    {17, TAll & ~T56, ReportField<&tUAReport::BarometerHeight>, Ground},
    {17, TAll & ~T56, ReportField<&tUAReport::ReleaseHeight>, Height},
    {4, TAll & ~T56, ReportField<&tUAReport::ElevationQuality>, Raw},
    {6, T52 | T57, ReportField<&tUAReport::CloudSignificance>, Raw},
    {4, T52 | T57, ReportField<&tUAReport::CloudAmount>, Raw},
    {11, T52 | T57, ReportField<&tUAReport::CloudBase>, {-40, 10, 1}},
    {6, T52 | T57, ReportField<&tUAReport::CloudTypeLow>, Raw},
    {6, T52 | T57, ReportField<&tUAReport::CloudTypeMiddle>, Raw},
    {6, T52 | T57, ReportField<&tUAReport::CloudTypeHigh>, Raw},
    {6, T52 | T57, nullptr, Raw},  // the second 0 08 002
    {15, T52 | T57, ReportField<&tUAReport::WaterTemp>, {0, 1, 100}},
}};

// The width of the rows of a layout that a template carries.
template <class Row, std::size_t N>
constexpr std::uint32_t LayoutBits(const std::array<Row, N>& layout, std::uint8_t mask) {
    std::uint32_t bits = 0;
    for (const Row& row : layout)
        if (row.Templates & mask) bits += row.Bits;
    return bits;
}

constexpr std::uint32_t FixedBits(std::uint8_t mask) { return LayoutBits(FixedPart, mask); }
static_assert(FixedBits(T52) == 322 && FixedBits(T50) == 258 && FixedBits(T51) == 258);
static_assert(SondeIdentBits() == 420 && FixedBits(T57) == 322 + 164 + 420);
// 3-09-056: no 3 01 114, cloud group or water temperature; 0 08 091, 3 01 021, 0 07 007, 0 08 091.
static_assert(FixedBits(T56) == 322 - 106 - 45 - 15 + 164 + 420 + 84);

constexpr std::uint32_t LevelCountBits = 16, ShearCountBits = 8;
constexpr std::uint32_t Section4HeaderBits = 32;
// 3-09-050, 3-09-051 and 3-09-052 carry standard and significant levels; the high-resolution
// templates take every count the 16-bit replication factor holds (the section length still bounds it).
constexpr std::uint32_t MaxLevels = 8191;
constexpr std::uint32_t MaxLevelsOf(std::uint8_t mask) { return (mask & THigh) ? AllOnes(LevelCountBits) : MaxLevels; }

// The raw values of a level that the humidity wants besides the converted ones.
enum class RawOf : std::uint8_t { None, Temp, DewPoint };

struct RawPair {
    std::uint32_t Temp = 0, DewPoint = 0;
};

// One element of a level or shear record: a double (or, for shear values, a float) member.
template <class Rec>
struct RecordRow {
    std::uint8_t Bits;
    std::uint8_t Templates;
    double Rec::*Real;
    float Rec::*Single;
    bool IsFlags;
    Conversion Conv;
    RawOf Keep = RawOf::None;  // its raw value is kept for the humidity
};

constexpr std::int32_t ShearFlagMask = 0x20000 | 0x10000 | 0x8000 | 0x4000 | 0x2000 | 0x1000 | 0x800 | 0x10 | 0x2;

using LevelRow = RecordRow<tUALevelRec>;
constexpr std::array<LevelRow, 12> LevelLayout = {{
    {15, TAll, &tUALevelRec::Time, nullptr, false, {-8192, 1, 1}},
    {18, TAll, nullptr, nullptr, true, Raw},
    {14, T50 | T52, &tUALevelRec::Pressure, nullptr, false, {0, 10, 1}},
    // 2 07 001 in 3 03 056: one more decimal, (10 * 1 + 2) / 3 = 4 more bits, the reference times ten.
    {18, THigh, &tUALevelRec::Pressure, nullptr, false, {0, 1, 1}},
    {17, T51 | T52, &tUALevelRec::Height, nullptr, false, Height},
    {21, THigh, &tUALevelRec::Height, nullptr, false, {-10000, 1, 10}},
    {25, TAll, &tUALevelRec::DLat, nullptr, false, Lat},
    {26, TAll, &tUALevelRec::DLon, nullptr, false, Lon},
    {16, TTemp, &tUALevelRec::Temp, nullptr, false, {0, 1, 100}, RawOf::Temp},
    {16, TTemp, &tUALevelRec::DewPoint, nullptr, false, {0, 1, 100}, RawOf::DewPoint},
    {9, TAll, &tUALevelRec::WindDir, nullptr, false, Raw},
    {12, TAll, &tUALevelRec::WindSpeed, nullptr, false, {0, 1, 10}},
}};

using ShearRow = RecordRow<tUAShearRec>;
constexpr std::array<ShearRow, 8> ShearLayout = {{
    {15, TAll, &tUAShearRec::Time, nullptr, false, {-8192, 1, 1}},
    {18, TAll, nullptr, nullptr, true, Raw},
    {17, T51, &tUAShearRec::Height, nullptr, false, Height},
    {14, TAll & ~T51, &tUAShearRec::Pressure, nullptr, false, {0, 10, 1}},
    {25, TAll, &tUAShearRec::DLat, nullptr, false, Lat},
    {26, TAll, &tUAShearRec::DLon, nullptr, false, Lon},
    {12, TAll, nullptr, &tUAShearRec::ShearBelow, false, {0, 1, 10}},
    {12, TAll, nullptr, &tUAShearRec::ShearAbove, false, {0, 1, 10}},
}};

std::int32_t LevelFlags(std::uint32_t v) { return v == AllOnes(18) ? MissingFlags : static_cast<std::int32_t>(v & ~1u); }
std::int32_t ShearFlags(std::uint32_t v) {
    return v == AllOnes(18) ? MissingFlags : static_cast<std::int32_t>(v) & ShearFlagMask;
}

// One record: the rows of its layout that the template carries, in their order.
template <class Rec, std::size_t N>
RawPair ReadRecord(DataCursor& cursor, const std::array<RecordRow<Rec>, N>& layout, std::uint8_t mask, Rec& rec,
                   std::int32_t (*flags)(std::uint32_t)) {
    RawPair raw;
    for (const RecordRow<Rec>& row : layout) {
        if ((row.Templates & mask) == 0) continue;
        const std::uint32_t v = cursor.Read(row.Bits);
        if (row.IsFlags) rec.Flags = flags(v);
        else if (row.Real != nullptr) rec.*row.Real = Convert(v, row.Bits, row.Conv);
        else rec.*row.Single = static_cast<float>(Convert(v, row.Bits, row.Conv));
        if (row.Keep == RawOf::Temp) raw.Temp = v;
        else if (row.Keep == RawOf::DewPoint) raw.DewPoint = v;
    }
    return raw;
}

// ---- Reading into table fields ----

void ReadText(DataCursor& cursor, std::uint32_t n, char* field) {
    for (std::uint32_t i = 0; i < n; ++i) field[i] = static_cast<char>(cursor.Read(8));
    field[n] = 0;
}

// Stores v in an integer field, or v converted in a real one; reads the characters of a text field.
void Store(DataCursor& cursor, const FixedRow& row, tUAReport& report) {
    if (row.Field == nullptr) {
        cursor.Read(row.Bits);
        return;
    }
    std::visit(
        [&](auto* field) {
            using T = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<T, char>) {
                ReadText(cursor, row.Bits / 8u, field);
            } else {
                const std::uint32_t v = cursor.Read(row.Bits);
                if constexpr (std::is_floating_point_v<T>) *field = static_cast<T>(Convert(v, row.Bits, row.Conv));
                else *field = static_cast<T>(v);
            }
        },
        row.Field(report));
}

// A catalogue row with its working Width and Reference (the working copies of the two orientation
// corrections, 0 25 065 and 0 25 066, follow the operators).
struct ElementRef {
    std::int32_t Scale;
    std::int32_t Reference;
    std::int32_t Width;
};

ElementRef CatalogueRef(std::size_t row) {
    const tDescriptorRefRec& ref = DescriptorCatalogue[row];
    return {ref.Scale, ref.Reference, ref.Width};
}

// ---- The operator state of one DecodeData call ----

struct OperatorState {
    bool widthChange = false;
    std::int32_t widthY = 0;
    bool definition = false;
    std::int32_t definitionY = 0;
    bool inForce = false;
    bool defined[2] = {false, false};  // azimuth and elevation corrections
    ElementRef working[2];
};

class SubsetWalker {
public:
    SubsetWalker(tUAInBound& report, DataCursor& cursor, std::uint32_t sectionLength)
        : report(report), cursor(cursor), sectionLength(sectionLength) {
        ops.working[0] = CatalogueRef(RowAzimuthCorrection);
        ops.working[1] = CatalogueRef(RowElevationCorrection);
    }

    // Walks the entries; returns the index of the entry at which the walk ended.
    std::size_t Walk() {
        const std::size_t count = report.EntryCount;
        for (std::size_t k = 0; k < count; ++k)
            if (!Handle(report.DescList[k])) return k;
        return count == 0 ? 0 : count - 1;
    }
    bool StoppedShort() const { return stoppedShort; }

private:
    bool Handle(const tDescriptorEntry& e) {
        switch (e.Kind) {
            case EntryTemplate:
                return MaskOf(static_cast<std::uint8_t>(e.Code)) != 0 && e.Arg == 9 && DecodeTemplate();
            case EntryOperator:
                return HandleOperator(e.Code, e.Arg);
            case EntryElement:
                return e.Code < DescriptorCatalogue.size() && ReadElement(e.Code, e.Arg);
            default:
                return false;
        }
    }

    bool HandleOperator(std::uint16_t x, std::uint8_t y) {
        switch (x) {
            case 5:  // characters
                if (y == 11) return ReadCharacters(11, report.Text11);
                if (y == 60) return ReadCharacters(60, report.Text60);
                return false;
            case 1:  // change data width
                if (y != 0) {
                    if (ops.widthChange) return false;
                    ops.widthChange = true;
                    ops.widthY = y;
                    return true;
                }
                if (!ops.widthChange) return false;
                ops.widthChange = false;
                return true;
            case 3:  // change reference values
                if (y == 0) {
                    if (!ops.inForce && !ops.defined[0] && !ops.defined[1]) return false;
                    ops.defined[0] = ops.defined[1] = false;
                    ops.definition = false;
                    ops.definitionY = 0;
                    ops.inForce = false;
                    return true;
                }
                if (y == 255) {
                    if (ops.inForce || !ops.definition) return false;
                    ops.definition = false;
                    ops.inForce = true;
                    return true;
                }
                ops.definition = true;
                ops.definitionY = y;
                return true;
            default:  // 2 02 YYY and anything else end the walk
                return false;
        }
    }

    bool ReadCharacters(std::uint32_t n, char* field) {
        if (!Reserve(8ull * n)) return false;
        ReadText(cursor, n, field);
        return true;
    }

    bool ReadElement(std::uint16_t row, std::uint8_t arg) {
        if (row == RowAzimuthCorrection || row == RowElevationCorrection) return ReadCorrection(row);
        const ElementRef ref = CatalogueRef(row);
        bool ok = true;
        std::visit(
            [&](auto* field) {
                using T = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<T, char>) {
                    ok = arg >= 1 && ReadCharacters(arg, field);
                } else if constexpr (std::is_floating_point_v<T>) {
                    double value = 0;
                    ok = ReadScaled(ref, value);
                    if (ok) *field = static_cast<T>(value);
                } else {
                    std::uint32_t v = 0;
                    ok = ReadUnsigned(ref.Width, v);
                    if (ok) *field = static_cast<T>(v);
                }
            },
            DescriptorCatalogue[row].Field(report));
        return ok;
    }

    // The orientation corrections follow the width change and the new reference values.
    bool ReadCorrection(std::uint16_t row) {
        const std::size_t which = row == RowAzimuthCorrection ? 0 : 1;
        double& field = which == 0 ? report.AzimuthCorrection : report.ElevationCorrection;
        ElementRef& working = ops.working[which];
        const ElementRef catalogue = CatalogueRef(row);
        const std::int32_t widthDelta = ops.widthChange ? ops.widthY - 128 : 0;
        if (ops.definition) {
            const std::int32_t y = ops.definitionY;
            if (y > 32) {
                working.Reference = 0;  // a reference wider than 32 bits is not read
            } else {
                std::uint32_t v = 0;
                if (!ReadUnsigned(y, v)) return false;
                const std::int64_t sign = std::int64_t(1) << (y - 1);
                working.Reference = static_cast<std::int32_t>((v & sign) ? sign - v : v);
            }
            working.Width = catalogue.Width + widthDelta;
            ops.defined[which] = true;
            return true;
        }
        if (ops.defined[which]) return ReadScaled(working, field);
        return ReadScaled({catalogue.Scale, catalogue.Reference, catalogue.Width + widthDelta}, field);
    }

    bool ReadUnsigned(std::int32_t width, std::uint32_t& v) {
        if (width > 32 || width <= 0) return true;  // nothing is read
        if (!Reserve(static_cast<std::uint64_t>(width))) return false;
        v = cursor.Read(static_cast<std::uint32_t>(width));
        return true;
    }

    bool ReadScaled(const ElementRef& ref, double& value) {
        if (ref.Width > 32 || ref.Width <= 0) {
            value = MissingValue;  // no read
            return true;
        }
        const auto bits = static_cast<std::uint32_t>(ref.Width);
        if (!Reserve(bits)) return false;
        const std::uint32_t v = cursor.Read(bits);
        if (v == AllOnes(bits)) {
            value = MissingValue;
            return true;
        }
        const double raw = static_cast<double>(v) + ref.Reference;
        value = ref.Scale >= 0 ? raw / std::pow(10.0, ref.Scale) : raw * std::pow(10.0, -ref.Scale);
        return true;
    }

    // True when the bits fit in Section 4; otherwise the walk stops short there.
    bool Reserve(std::uint64_t bits) {
        if (cursor.Fits(bits)) return true;
        stoppedShort = true;
        return false;
    }

    bool DecodeTemplate() {
        const std::uint8_t mask = MaskOf(report.TemplateKind);
        if (!Reserve(FixedBits(mask) + LevelCountBits)) return false;
        for (const FixedRow& row : FixedPart) {
            if ((row.Templates & mask) == 0) continue;
            if (row.SondeIdent) ReadSondeIdent();
            else Store(cursor, row, report);
        }
        report.StationIndex = report.BlockNumber * 1000 + report.StationNumber;
        if (mask == T56) TakeDescentStartAsOrigin();
        report.LevelCount = static_cast<std::uint16_t>(cursor.Read(LevelCountBits));
        return ReadLevels(mask) && ReadShearLevels(mask);
    }

    // A descent reports no launch site: where it starts is the one position it carries, and the
    // trajectory exports take it as the origin of the displacements (missing when not reported).
    void TakeDescentStartAsOrigin() {
        report.Latitude = report.DescentLatitude;
        report.Longitude = report.DescentLongitude;
        report.ReleaseHeight = report.DescentHeight;
    }

    // The bits are reserved with the fixed part, so every element is there.
    void ReadSondeIdent() {
        for (std::uint16_t row : SondeIdentSequence) {
            const tDescriptorRefRec& ref = DescriptorCatalogue[row];
            ReadElement(row, static_cast<std::uint8_t>(ref.Kind == KindCharacter ? ref.Width / 8 : 0));
        }
    }

    bool ReadLevels(std::uint8_t mask) {
        if (report.LevelCount > MaxLevelsOf(mask)) throw TavikError("Слишком много уровней");
        const std::uint32_t levelBits = LayoutBits(LevelLayout, mask);
        const std::uint64_t needed = (std::uint64_t(report.LevelCount) * levelBits + std::uint64_t(cursor.BytePos()) * 8 + 8 + 7) / 8;
        if (sectionLength < needed)
            throw TavikError("Ошибка размера данных: число уровней больше, чем допускает размер раздела данных");
        report.Levels.assign(report.LevelCount, tUALevelRec{});
        SatPressureCache pressures;
        for (tUALevelRec& level : report.Levels) {
            if (!Reserve(levelBits)) return false;  // a level is read only when it lies wholly inside
            const RawPair raw = ReadRecord(cursor, LevelLayout, mask, level, LevelFlags);
            if (mask & TTemp) level.Humidity = pressures.Humidity(level.Temp, raw.Temp, level.DewPoint, raw.DewPoint);
        }
        return true;
    }

    bool ReadShearLevels(std::uint8_t mask) {
        if (!Reserve(ShearCountBits)) return false;
        report.ShearCount = static_cast<std::uint16_t>(cursor.Read(ShearCountBits));
        const std::uint32_t shearBits = LayoutBits(ShearLayout, mask);
        report.ShearLevels.assign(report.ShearCount, tUAShearRec{});
        for (tUAShearRec& shear : report.ShearLevels) {
            // A shear block that does not fit is no error: the template ends there.
            if (!cursor.Fits(shearBits)) return true;
            ReadRecord(cursor, ShearLayout, mask, shear, ShearFlags);
        }
        return true;
    }

    tUAInBound& report;
    DataCursor& cursor;
    std::uint32_t sectionLength;
    OperatorState ops;
    bool stoppedShort = false;
};

}  // namespace

bool tUAInBound::DecodeData(TBUFRMessage& message, std::uint32_t& bytePos, std::uint32_t& bitPos) {
    if (!HasTemplate) {
        Message = &message;
        return true;
    }
    const tBUFR_Section3_Data_Description& s3 = *message.Section3;
    const tBUFR_Section4_Data& s4 = *message.Section4;
    if (s3.Compressed()) throw TavikError("Сжатые данные не поддерживаются");

    const std::uint32_t length = s4.SectionLength();
    const std::uint32_t smallest = Section4HeaderBits + FixedBits(MaskOf(TemplateKind)) + LevelCountBits + ShearCountBits;
    if (length < (smallest + 7) / 8) throw TavikError("Слишком малый размер данных");

    DataCursor cursor(s4.Data, (std::uint64_t(length) - 4) * 8, bytePos, bitPos);
    SubsetWalker walker(*this, cursor, length);
    const std::size_t last = walker.Walk();
    Incomplete = walker.StoppedShort() || (EntryCount > 0 && last + 1 < EntryCount);
    Message = &message;
    return true;
}

// The decoded report: the Russian text lines of a decoded sounding (Windows-1251), and the short
// station and launch-time texts that name it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/Cp1251.h"
#include "core/TextHelpers.h"
#include "core/uBUFRDefs.h"
#include "decoder/DescriptorCatalogue.h"
#include "decoder/UAReport.h"

namespace {

// n - 1 spaces and a "-": the column of a value that is not there.
std::string DashText(int n) { return std::string(static_cast<std::size_t>(n - 1), ' ') + '-'; }

// The characters of a character field up to its first zero byte (never past its capacity).
template <std::size_t N>
std::string FieldText(const char (&field)[N]) { return std::string(field, strnlen(field, N)); }

bool HasPathDelimiter(std::string_view s) { return s.find_first_of("/\\") != std::string_view::npos; }

// Fixed texts of the report, converted to Windows-1251 once.
struct ReportTexts {
    std::string UnknownCount = Utf8ToCp1251("Количество неизвестных дескрипторов:");
    std::string NoTemplate = Utf8ToCp1251("Данных 3-09-050, 3-09-051 или 3-09-052 нет");
    std::string Station = Utf8ToCp1251("Станция(001001 001002 001011):");
    std::string Launch = Utf8ToCp1251("Время выпуска(004001 004002 004003 004004 004005):");
    std::string Coordinates = Utf8ToCp1251("Координаты(005001 006001 007030 007031 007007 033024):");
    std::string Wigos = Utf8ToCp1251("Идентификатор ВИГОС(001125 001126 001127 001128):");
    std::string DescentStart = Utf8ToCp1251("Начало спуска(008091 005001 006001 007007):");
    std::string Equipment = Utf8ToCp1251("Оборудование(002011 002013 002014 002003):");
    std::string WaterTemp = Utf8ToCp1251("Температура водной поверхности(022043):");
    std::string Cloud = Utf8ToCp1251("Облачность(008002):");
    std::string LevelCount = Utf8ToCp1251("Число уровней с данными(031002):");
    std::string ShearCount = Utf8ToCp1251("Число уровней со сдвигом ветра(031001):");
    std::string FreeText = Utf8ToCp1251("Текстовая информация:");
    std::string Incomplete = Utf8ToCp1251("Сообщение декодировано не полностью");
    std::string LevelRule = std::string(67, '-');
    std::string ShearRule = std::string(54, '-');
    std::array<std::string, 3> LevelHeader = {
        "004086 007004 012101 012103  010- 011- 011-  005015   006015 008042",
        std::string(30, ' ') + "009 001   002",
        "    t       P      T     Td     H   D     V    dLat     dLon Flags"};
    std::array<std::string, 3> ShearHeader = {
        "004086 007004  007-  011-  011-  005015   006015 008042",
        std::string(16, ' ') + "009   061   062",
        Utf8ToCp1251("    t       P     H  1км-  1км+    dLat     dLon Flags")};
};

const ReportTexts& Texts() {
    static const ReportTexts texts;
    return texts;
}

// ---- flag letters of 0 08 042 ----

struct FlagLetterRow {
    std::int32_t Bit;
    const char* Letters;
};

constexpr std::array<FlagLetterRow, 17> FlagLetters = {{
    {0x20000, "S"}, {0x10000, "C"}, {0x8000, "R"}, {0x4000, "M"}, {0x2000, "T"}, {0x1000, "U"},
    {0x800, "W"}, {0x400, "mt"}, {0x200, "tm"}, {0x100, "mu"}, {0x80, "um"}, {0x40, "mw"},
    {0x20, "wm"}, {0x10, "L"}, {0x8, "r"}, {0x4, "F"}, {0x2, "H"},
}};

// ---- the coordinates line ----

struct CoordinatePiece {
    double tUAReport::*Field;
    int Width, Decimals;
    int DashWidth;
};

constexpr std::array<CoordinatePiece, 5> CoordinatePieces = {{
    {&tUAReport::Latitude, 9, 5, 9},
    {&tUAReport::Longitude, 11, 5, 11},
    {&tUAReport::GroundHeight, 7, 1, 7},
    {&tUAReport::BarometerHeight, 7, 1, 7},
    {&tUAReport::ReleaseHeight, 6, 0, 7},
}};

// Where a descent starts (3-09-056), in the columns of the coordinates line.
constexpr std::array<CoordinatePiece, 3> DescentPieces = {{
    {&tUAReport::DescentLatitude, 9, 5, 9},
    {&tUAReport::DescentLongitude, 11, 5, 11},
    {&tUAReport::DescentHeight, 6, 0, 7},
}};

template <std::size_t N>
std::string CoordinateText(const tUAReport& r, const std::array<CoordinatePiece, N>& pieces) {
    std::string text;
    for (const CoordinatePiece& p : pieces) {
        const double v = r.*p.Field;
        text += IsMissing(v) ? DashText(p.DashWidth) : FloatStrPad(p.Width, p.Decimals, v);
    }
    return text;
}

// ---- the WIGOS identifier: series-issuer-issue number-local identifier, "-" for a missing part ----

std::string WigosPart(std::uint32_t v, int bits) {
    return v < (std::uint64_t{1} << bits) - 1 ? std::to_string(v) : std::string("-");
}

// The local identifier without the blanks that pad it to its 16 characters.
std::string WigosLocalText(const tUAReport& r) {
    std::string text = FieldText(r.WigosLocalId);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string WigosText(const tUAReport& r) {
    const std::string local = TextPresent(r.WigosLocalId) ? WigosLocalText(r) : std::string("-");
    return WigosPart(r.WigosSeries, 4) + "-" + WigosPart(r.WigosIssuer, 16) + "-" + WigosPart(r.WigosIssueNumber, 16) +
           "-" + local;
}

// A WIGOS identifier of which no part is there is no identifier: its line is left out.
bool HasWigosIdentifier(const tUAReport& r) {
    return r.WigosSeries < 15 || r.WigosIssuer < 65535 || r.WigosIssueNumber < 65535 || TextPresent(r.WigosLocalId);
}

// The templates of the high-resolution reports, which carry the WIGOS identifier.
constexpr bool IsHighResolution(std::uint8_t kind) { return kind == 56 || kind == 57; }
constexpr bool HasCloudGroup(std::uint8_t kind) { return kind == 52 || kind == 57; }

// ---- the cloud line ----

struct CloudWordRow {
    std::uint8_t Significance;
    const char* Word;  // UTF-8
};

constexpr std::array<CloudWordRow, 6> CloudWords = {{
    {0, "CH"}, {5, "9"}, {7, "CL"}, {8, "CM"}, {62, "Ясно"}, {63, "/"},
}};

struct CloudType {
    std::uint8_t tUAReport::*Field;
    const char* Name;          // CL, CM, CH
    std::uint8_t Obscured;     // code for "clouds of this layer not seen"
    int Offset;                // printed as code - Offset
};

constexpr std::array<CloudType, 3> CloudTypes = {{
    {&tUAReport::CloudTypeLow, "CL", 62, 30},
    {&tUAReport::CloudTypeMiddle, "CM", 61, 20},
    {&tUAReport::CloudTypeHigh, "CH", 60, 10},
}};

constexpr std::uint8_t CloudTypeMissing = 63;

std::string CloudWord(std::uint8_t significance) {
    static const auto words = [] {
        std::array<std::string, CloudWords.size()> converted;
        for (std::size_t i = 0; i < CloudWords.size(); ++i) converted[i] = Utf8ToCp1251(CloudWords[i].Word);
        return converted;
    }();
    for (std::size_t i = 0; i < CloudWords.size(); ++i)
        if (CloudWords[i].Significance == significance) return words[i];
    return {};
}

std::string CloudTypeText(const CloudType& type, std::uint8_t code) {
    if (code == CloudTypeMissing) return "\"N=/\"";
    if (code == type.Obscured) return std::string("\"N=9|") + type.Name + "=/\"";
    return std::to_string(static_cast<int>(code) - type.Offset);
}

std::string CloudLine(const tUAReport& r) {
    std::string line = Texts().Cloud + tUAInBound::CodeText(r.CloudSignificance, 6, 2) + " " +
                       CloudWord(r.CloudSignificance);
    line += " Nh(020011):";
    line += r.CloudAmount == 15 ? std::string("/") : IntStrZ(r.CloudAmount, 2);
    line += " h(020013):";
    line += r.CloudBase >= 0 ? FloatStrPad(4, 0, r.CloudBase) : std::string("/");
    for (const CloudType& type : CloudTypes)
        line += std::string(" ") + type.Name + "(020012):" + CloudTypeText(type, r.*type.Field);
    return line;
}

// ---- table rows ----

enum class Shown { Present, NonNegative, Positive };

bool IsShown(double v, Shown when) {
    switch (when) {
        case Shown::Present: return !IsMissing(v);
        case Shown::NonNegative: return v >= 0;
        case Shown::Positive: return v > 0;
    }
    return false;
}

// One column of a level or shear row: v / Divisor - Offset in FloatStrPad (Width, Decimals) when
// shown, the dash text of Width otherwise.
template <class Rec>
struct Column {
    double (*Value)(const Rec&);
    Shown When;
    double Divisor, Offset;
    int Width, Decimals;
};

// The columns appended to a row that is being built: no string of its own per column.
template <class Rec, std::size_t N>
void AppendColumns(std::string& text, const Rec& rec, const std::array<Column<Rec>, N>& columns) {
    for (const Column<Rec>& c : columns) {
        const double v = c.Value(rec);
        if (IsShown(v, c.When)) {
            AppendFloatStrPad(text, c.Width, c.Decimals, v / c.Divisor - c.Offset);
        } else {
            text.append(static_cast<std::size_t>(c.Width - 1), ' ');  // DashText (Width)
            text += '-';
        }
    }
}

constexpr double ZeroCelsius = 273.15;

// Level columns before the wind pair, and after it.
constexpr std::array<Column<tUALevelRec>, 5> LevelColumnsHead = {{
    {[](const tUALevelRec& r) { return r.Time; }, Shown::NonNegative, 1, 0, 5, 0},
    {[](const tUALevelRec& r) { return r.Pressure; }, Shown::Present, 100, 0, 8, 2},
    {[](const tUALevelRec& r) { return r.Temp; }, Shown::Present, 1, ZeroCelsius, 7, 1},
    {[](const tUALevelRec& r) { return r.DewPoint; }, Shown::Present, 1, ZeroCelsius, 7, 1},
    {[](const tUALevelRec& r) { return r.Height; }, Shown::Present, 1, 0, 6, 0},
}};

constexpr std::array<Column<tUALevelRec>, 2> LevelColumnsTail = {{
    {[](const tUALevelRec& r) { return r.DLat; }, Shown::Present, 1, 0, 8, 4},
    {[](const tUALevelRec& r) { return r.DLon; }, Shown::Present, 1, 0, 9, 4},
}};

constexpr std::array<Column<tUAShearRec>, 7> ShearColumns = {{
    {[](const tUAShearRec& r) { return r.Time; }, Shown::NonNegative, 1, 0, 5, 0},
    {[](const tUAShearRec& r) { return r.Pressure; }, Shown::Positive, 100, 0, 8, 2},
    {[](const tUAShearRec& r) { return r.Height; }, Shown::Present, 1, 0, 6, 0},
    {[](const tUAShearRec& r) { return static_cast<double>(r.ShearBelow); }, Shown::Present, 1, 0, 6, 1},
    {[](const tUAShearRec& r) { return static_cast<double>(r.ShearAbove); }, Shown::Present, 1, 0, 6, 1},
    {[](const tUAShearRec& r) { return r.DLat; }, Shown::Present, 1, 0, 8, 4},
    {[](const tUAShearRec& r) { return r.DLon; }, Shown::Present, 1, 0, 9, 4},
}};

void AppendWind(std::string& text, const tUALevelRec& r) {
    if (IsMissing(r.WindDir) || IsMissing(r.WindSpeed)) {
        text += "   -     -";
        return;
    }
    AppendFloatStrPad(text, 4, 0, r.WindDir);
    AppendFloatStrPad(text, 6, 1, r.WindSpeed);
}

void AppendFlags(std::string& text, std::int32_t flags) {
    if (flags >= MissingFlags) return;
    for (const FlagLetterRow& f : FlagLetters)
        if ((flags & f.Bit) != 0) text += f.Letters;
}

// The row being built: its capacity stays from row to row, and each row leaves as a string of
// its own exact size, its one allocation.
std::string& RowScratch() {
    static thread_local std::string scratch;
    scratch.clear();
    return scratch;
}

// ---- metadata lines ----

enum class MetaKind {
    Code,    // shown below 2^Width - 1 of the row, in decimal
    Real,    // shown when present, FloatStr (Width, Decimals, v / Divisor)
    Text,    // shown when present as a character field
    Text60,  // the same, and not when its first byte is 0xFF
};

struct MetaValue {
    std::uint32_t Code = 0;
    double Real = 0;
    const char* Text = nullptr;
    std::size_t Capacity = 0;
};

template <std::size_t N>
constexpr MetaValue TextValue(const char (&field)[N]) { return {0, 0, field, N}; }

constexpr int NoRow = -1;  // the free-text label instead of a catalogue row

struct MetaLine {
    int Row;
    MetaKind Kind;
    MetaValue (*Value)(const tUAReport&);
    int Width = 0, Decimals = 0;
    double Divisor = 1;
};

constexpr std::array<MetaLine, 29> MetaLines = {{
    {RowObservationNumber, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.ObservationNumber}; }},
    {RowSoundingNumber, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.SoundingNumber}; }},
    {RowObserverId, MetaKind::Text, [](const tUAReport& r) { return TextValue(r.ObserverId); }},
    {RowGroundSystem, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.GroundSystem}; }},
    {RowMetaHeight, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.MetaHeight}; }, 3, 1},
    {RowAntennaHeight, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.AntennaHeight}; }, 3, 1},
    {RowAzimuthCorrection, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.AzimuthCorrection}; }, 5, 2},
    {RowElevationCorrection, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.ElevationCorrection}; }, 5, 2},
    {RowRadome, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.Radome}; }},
    {RowHeightMethod, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.HeightMethod}; }},
    {RowSoftwareVersion, MetaKind::Text, [](const tUAReport& r) { return TextValue(r.SoftwareVersion); }},
    {RowSerialNumber, MetaKind::Text, [](const tUAReport& r) { return TextValue(r.SerialNumber); }},
    {NoRow, MetaKind::Text, [](const tUAReport& r) { return TextValue(r.Text11); }},
    {RowHumidityCorrection, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.HumidityCorrection}; }},
    {RowCarrierFrequency, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.CarrierFrequency}; }, 7, 3, 1e6},
    {RowPressureSensor, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.PressureSensor}; }},
    {RowTempSensor, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.TempSensor}; }},
    {RowHumiditySensor, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.HumiditySensor}; }},
    {RowSondeConfig, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.SondeConfig}; }},
    {RowSuspensionConfig, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.SuspensionConfig}; }},
    {RowBalloonMaker, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.BalloonMaker}; }},
    {RowBalloonType, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.BalloonType}; }},
    {RowBalloonMass, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.BalloonMass}; }, 6, 2},
    {RowBalloonShelter, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.BalloonShelter}; }},
    {RowGasType, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.GasType}; }},
    {RowGasAmount, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.GasAmount}; }, 6, 3},
    {RowSuspensionLength, MetaKind::Real, [](const tUAReport& r) { return MetaValue{0, r.SuspensionLength}; }, 5, 2},
    {RowTerminationReason, MetaKind::Code, [](const tUAReport& r) { return MetaValue{r.TerminationReason}; }},
    {NoRow, MetaKind::Text60, [](const tUAReport& r) { return TextValue(r.Text60); }},
}};

// The value text of one metadata line, or empty when its value is absent.
std::string MetaValueText(const MetaLine& line, const tUAReport& r) {
    const MetaValue v = line.Value(r);
    switch (line.Kind) {
        case MetaKind::Code: {
            const std::uint64_t allOnes = (std::uint64_t{1} << DescriptorCatalogue[line.Row].Width) - 1;
            return v.Code < allOnes ? std::to_string(v.Code) : std::string();
        }
        case MetaKind::Real:
            return IsMissing(v.Real) ? std::string() : FloatStr(line.Width, line.Decimals, v.Real / line.Divisor);
        case MetaKind::Text60:
            if (static_cast<unsigned char>(v.Text[0]) == 0xFF) return {};
            [[fallthrough]];
        case MetaKind::Text:
            return TextPresent(v.Text) ? std::string(v.Text, strnlen(v.Text, v.Capacity)) : std::string();
    }
    return {};
}

// ---- launch time ----

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool IsValidLaunchTime(const tUAReport& r) {
    // 4095 is the missing year (all 12 bits set); it makes no date.
    if (r.Year < 1 || r.Year > 9999 || r.Year == 4095) return false;
    if (r.Month < 1 || r.Month > 12 || r.Day < 1) return false;
    static constexpr std::array<int, 12> MonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int days = MonthDays[r.Month - 1] + (r.Month == 2 && IsLeapYear(r.Year) ? 1 : 0);
    return r.Day <= days && r.Hour <= 23 && r.Minute <= 59 && r.Second <= 59;
}

}  // namespace

std::string tUAInBound::CodeText(std::uint32_t v, int bits, int n) {
    const std::uint64_t allOnes = (std::uint64_t{1} << bits) - 1;
    if (v < allOnes) return IntStrZ(static_cast<std::int32_t>(v), n);
    return std::string(static_cast<std::size_t>(n), '-');
}

std::string tUAInBound::FlagsText(std::int32_t flags) {
    std::string text;
    AppendFlags(text, flags);
    return text;
}

std::string tUAInBound::LabelText(int row) {
    static const auto labels = [] {
        std::array<std::string, DescriptorCatalogue.size()> built;
        for (std::size_t i = 0; i < DescriptorCatalogue.size(); ++i) {
            const tDescriptorRefRec& rec = DescriptorCatalogue[i];
            built[i] = Utf8ToCp1251(rec.Name) + "(" + std::to_string(rec.Descriptor[0]) + IntStrZ(rec.Descriptor[1], 2) +
                       IntStrZ(rec.Descriptor[2], 3) + "):";
        }
        return built;
    }();
    if (row < 0 || static_cast<std::size_t>(row) >= labels.size()) return {};
    return labels[static_cast<std::size_t>(row)];
}

std::string tUAInBound::StationText() const {
    if (Message == nullptr) return {};
    std::string text;
    if (HasTemplate) {
        if (StationIndex != 0 && BlockNumber <= 99) text = IntStrZ(StationIndex, 5);
        else if (TextPresent(WigosLocalId)) text = WigosLocalText(*this);
        else if (TextPresent(ShipId)) text = FieldText(ShipId);
    }
    // The text names files: never empty, never a path.
    if (text.empty() || HasPathDelimiter(text)) return "xxxxx";
    return text;
}

std::string tUAInBound::LaunchTimeText() const {
    if (Message == nullptr || !HasTemplate) return {};
    if (!IsValidLaunchTime(*this)) return Message->Section1 ? Message->Section1->DateTimeText() : std::string();
    return CodeText(Year, 12, 4) + CodeText(Month, 4, 2) + CodeText(Day, 6, 2) + CodeText(Hour, 5, 2) +
           CodeText(Minute, 6, 2) + CodeText(Second, 6, 2);
}

std::string tUAInBound::LevelRowText(int index) const {
    if (index < 0 || index >= LevelCount || static_cast<std::size_t>(index) >= Levels.size()) return {};
    const tUALevelRec& r = Levels[static_cast<std::size_t>(index)];
    std::string& text = RowScratch();
    AppendColumns(text, r, LevelColumnsHead);
    AppendWind(text, r);
    AppendColumns(text, r, LevelColumnsTail);
    text += ' ';
    AppendFlags(text, r.Flags);
    return text;
}

std::string tUAInBound::ShearRowText(int index) const {
    if (index < 0 || index >= ShearCount || static_cast<std::size_t>(index) >= ShearLevels.size()) return {};
    const tUAShearRec& r = ShearLevels[static_cast<std::size_t>(index)];
    std::string& text = RowScratch();
    AppendColumns(text, r, ShearColumns);
    text += ' ';
    AppendFlags(text, r.Flags);
    return text;
}

bool tUAInBound::WriteReport(LineList* lines) const {
    if (lines == nullptr || Message == nullptr) return false;
    const ReportTexts& t = Texts();
    LineList& out = *lines;
    // One growth for the whole table rather than one per doubling of the list.
    const std::size_t needed = out.size() + LevelCount + ShearCount + 64;
    if (out.capacity() < needed) out.reserve(std::max(needed, 2 * out.capacity()));

    if (!AllKnown) out.push_back(t.UnknownCount + std::to_string(UnknownCount));
    if (!HasTemplate) {
        out.push_back(t.NoTemplate);
        return true;
    }

    std::string station;
    if (StationIndex > 0) station = IntStrZ(StationIndex, 5);
    if (TextPresent(ShipId)) station += (station.empty() ? "" : " ") + FieldText(ShipId);
    if (station.empty()) station = "?";
    out.push_back(t.Station + station);
    if (IsHighResolution(TemplateKind) && HasWigosIdentifier(*this)) out.push_back(t.Wigos + WigosText(*this));

    out.push_back(t.Launch + CodeText(TimeSignificance, 5, 3) + " " + CodeText(Year, 12, 4) + "-" + CodeText(Month, 4, 2) +
                  "-" + CodeText(Day, 6, 2) + " " + CodeText(Hour, 5, 2) + ":" + CodeText(Minute, 6, 2) + ":" +
                  CodeText(Second, 6, 2));

    if (TemplateKind == 56) {
        // A descent carries no launch site, only where the descent starts.
        out.push_back(t.DescentStart + CodeText(DescentSignificance, 8, 3) + CoordinateText(*this, DescentPieces));
    } else {
        std::string coordinates = t.Coordinates + CoordinateText(*this, CoordinatePieces);
        if (ElevationQuality < 15) coordinates += " " + std::to_string(ElevationQuality);
        out.push_back(coordinates);
    }

    out.push_back(t.Equipment + CodeText(SondeType, 8, 3) + " " + CodeText(RadiationCorrection, 4, 2) + " " +
                  CodeText(TrackingTechnique, 7, 3) + " " + CodeText(EquipmentType, 4, 2));

    if (!IsMissing(WaterTemp)) out.push_back(t.WaterTemp + FloatStrPad(7, 2, WaterTemp - ZeroCelsius));
    if (HasCloudGroup(TemplateKind)) out.push_back(CloudLine(*this));

    out.push_back(t.LevelCount + std::to_string(LevelCount));
    if (LevelCount > 0) {
        out.push_back(t.LevelRule);
        out.insert(out.end(), t.LevelHeader.begin(), t.LevelHeader.end());
        out.push_back(t.LevelRule);
        for (int i = 0; i < LevelCount; ++i) out.push_back(LevelRowText(i));
    }

    out.push_back(t.ShearCount + std::to_string(ShearCount));
    if (ShearCount > 0) {
        out.push_back(t.ShearRule);
        out.insert(out.end(), t.ShearHeader.begin(), t.ShearHeader.end());
        out.push_back(t.ShearRule);
        for (int j = 0; j < ShearCount; ++j) out.push_back(ShearRowText(j));
    }

    for (const MetaLine& line : MetaLines) {
        const std::string value = MetaValueText(line, *this);
        if (!value.empty()) out.push_back((line.Row == NoRow ? t.FreeText : LabelText(line.Row)) + value);
    }

    if (Incomplete) out.push_back(t.Incomplete);
    return true;
}

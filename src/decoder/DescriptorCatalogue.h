#pragma once
// The radiosonde metadata elements the decoder recognises outside the template, each with the field
// of the report it is decoded into, and the expansion of sequence 3 01 128 in catalogue rows.
#include <array>
#include <cstdint>
#include <type_traits>
#include <variant>

#include "decoder/UAReport.h"

enum : std::int32_t { KindNumeric = 0, KindCharacter = 1, KindCode = 2 };

// A field of a report: an integer, a real, or the first character of a text.
using FieldRef = std::variant<std::uint8_t*, std::uint16_t*, double*, float*, char*>;
using FieldOf = FieldRef (*)(tUAReport&);

// The field of a report that Member names: ReportField<&tUAReport::SerialNumber>.
template <auto Member>
FieldRef ReportField(tUAReport& r) {
    auto& field = r.*Member;
    if constexpr (std::is_array_v<std::remove_reference_t<decltype(field)>>) return &field[0];
    else return &field;
}

struct tDescriptorRefRec {
    std::uint8_t Descriptor[4];  // F, X, Y, 0
    const char* Name;            // Russian element name (UTF-8 here; the report converts it)
    const char* Unit;            // carried with the row, not printed
    std::int32_t Kind;
    std::int32_t Scale;
    std::int32_t Reference;
    std::int32_t Width;  // bits; characters = Width / 8
    FieldOf Field;       // where the decoded value goes
};

// The row index is what a kind-1 entry's Code holds.
inline constexpr std::array<tDescriptorRefRec, 27> DescriptorCatalogue = {{
    {{0, 1, 81, 0}, "Серийный номер радиозонда", "", KindCharacter, 0, 0, 160, ReportField<&tUAReport::SerialNumber>},
    {{0, 1, 82, 0}, "Номер наблюдения", "", KindNumeric, 0, 0, 14, ReportField<&tUAReport::ObservationNumber>},
    {{0, 1, 83, 0}, "Номер зондирования", "", KindNumeric, 0, 0, 3, ReportField<&tUAReport::SoundingNumber>},
    {{0, 1, 95, 0}, "Идентификация наблюдателей", "", KindCharacter, 0, 0, 32, ReportField<&tUAReport::ObserverId>},
    {{0, 2, 15, 0}, "Конфигурация радиозонда", "", KindCode, 0, 0, 4, ReportField<&tUAReport::SondeConfig>},
    {{0, 2, 16, 0}, "Конфигурация подвески радиозонда", "", KindCode, 0, 0, 5, ReportField<&tUAReport::SuspensionConfig>},
    {{0, 2, 17, 0}, "Алгоритм поправок для измерений влажности ", "", KindCode, 0, 0, 5,
     ReportField<&tUAReport::HumidityCorrection>},
    {{0, 2, 66, 0}, "Наземная система приема сигналов радиозондов", "", KindCode, 0, 0, 6,
     ReportField<&tUAReport::GroundSystem>},
    {{0, 2, 67, 0}, "Несущая частота", "Гц", KindNumeric, -5, 0, 15, ReportField<&tUAReport::CarrierFrequency>},
    {{0, 2, 80, 0}, "Производитель радиозондовой оболочки", "", KindCode, 0, 0, 6, ReportField<&tUAReport::BalloonMaker>},
    {{0, 2, 81, 0}, "Тип оболочки", "", KindCode, 0, 0, 5, ReportField<&tUAReport::BalloonType>},
    {{0, 2, 82, 0}, "Масса оболочки", "кг", KindNumeric, 3, 0, 12, ReportField<&tUAReport::BalloonMass>},
    {{0, 2, 84, 0}, "Газ для наполнения оболочки", "", KindCode, 0, 0, 4, ReportField<&tUAReport::GasType>},
    {{0, 2, 85, 0}, "Количество газа используемого в радиозондовой оболочке", "кг", KindNumeric, 3, 0, 13,
     ReportField<&tUAReport::GasAmount>},
    {{0, 2, 86, 0}, "Длина подвеса к оболочке", "м", KindNumeric, 1, 0, 10, ReportField<&tUAReport::SuspensionLength>},
    {{0, 2, 95, 0}, "Тип датчика давления", "", KindCode, 0, 0, 5, ReportField<&tUAReport::PressureSensor>},
    {{0, 2, 96, 0}, "Тип датчика температуры", "", KindCode, 0, 0, 5, ReportField<&tUAReport::TempSensor>},
    {{0, 2, 97, 0}, "Тип датчика влажности", "", KindCode, 0, 0, 5, ReportField<&tUAReport::HumiditySensor>},
    {{0, 2, 102, 0}, "Высота антенны над основанием опоры", "м", KindNumeric, 0, 0, 8, ReportField<&tUAReport::AntennaHeight>},
    {{0, 2, 103, 0}, "Радиопрозрачное укрытие", "", KindCode, 0, 0, 2, ReportField<&tUAReport::Radome>},
    {{0, 2, 191, 0}, "Метод определения геопотенциальной высоты", "", KindCode, 0, 0, 4, ReportField<&tUAReport::HeightMethod>},
    {{0, 7, 7, 0}, "Высота", "м", KindNumeric, 0, -1000, 17, ReportField<&tUAReport::MetaHeight>},
    {{0, 25, 61, 0}, "ПО, версия", "", KindCharacter, 0, 0, 96, ReportField<&tUAReport::SoftwareVersion>},
    {{0, 25, 65, 0}, "Поправка к ориентации по азимуту", "°", KindNumeric, 2, -1000, 11,
     ReportField<&tUAReport::AzimuthCorrection>},
    {{0, 25, 66, 0}, "Поправка к ориентации по углу места", "°", KindNumeric, 2, -1000, 11,
     ReportField<&tUAReport::ElevationCorrection>},
    {{0, 35, 35, 0}, "Причина прекращения выпуска", "", KindCode, 0, 0, 5, ReportField<&tUAReport::TerminationReason>},
    {{0, 2, 83, 0}, "Наполнительная", "", KindCode, 0, 0, 4, ReportField<&tUAReport::BalloonShelter>},
}};

// The row of element 0 X Y; one that is not in the catalogue does not compile.
consteval std::uint16_t CatalogueRowOf(std::uint8_t X, std::uint8_t Y) {
    for (std::size_t row = 0; row < DescriptorCatalogue.size(); ++row)
        if (DescriptorCatalogue[row].Descriptor[1] == X && DescriptorCatalogue[row].Descriptor[2] == Y)
            return static_cast<std::uint16_t>(row);
    throw "element not in the catalogue";
}

// The rows by name, each found by its descriptor (so they follow the catalogue wherever a row stands).
inline constexpr std::uint16_t RowSerialNumber = CatalogueRowOf(1, 81);
inline constexpr std::uint16_t RowObservationNumber = CatalogueRowOf(1, 82);
inline constexpr std::uint16_t RowSoundingNumber = CatalogueRowOf(1, 83);
inline constexpr std::uint16_t RowObserverId = CatalogueRowOf(1, 95);
inline constexpr std::uint16_t RowSondeConfig = CatalogueRowOf(2, 15);
inline constexpr std::uint16_t RowSuspensionConfig = CatalogueRowOf(2, 16);
inline constexpr std::uint16_t RowHumidityCorrection = CatalogueRowOf(2, 17);
inline constexpr std::uint16_t RowGroundSystem = CatalogueRowOf(2, 66);
inline constexpr std::uint16_t RowCarrierFrequency = CatalogueRowOf(2, 67);
inline constexpr std::uint16_t RowBalloonMaker = CatalogueRowOf(2, 80);
inline constexpr std::uint16_t RowBalloonType = CatalogueRowOf(2, 81);
inline constexpr std::uint16_t RowBalloonMass = CatalogueRowOf(2, 82);
inline constexpr std::uint16_t RowBalloonShelter = CatalogueRowOf(2, 83);
inline constexpr std::uint16_t RowGasType = CatalogueRowOf(2, 84);
inline constexpr std::uint16_t RowGasAmount = CatalogueRowOf(2, 85);
inline constexpr std::uint16_t RowSuspensionLength = CatalogueRowOf(2, 86);
inline constexpr std::uint16_t RowPressureSensor = CatalogueRowOf(2, 95);
inline constexpr std::uint16_t RowTempSensor = CatalogueRowOf(2, 96);
inline constexpr std::uint16_t RowHumiditySensor = CatalogueRowOf(2, 97);
inline constexpr std::uint16_t RowAntennaHeight = CatalogueRowOf(2, 102);
inline constexpr std::uint16_t RowRadome = CatalogueRowOf(2, 103);
inline constexpr std::uint16_t RowHeightMethod = CatalogueRowOf(2, 191);
inline constexpr std::uint16_t RowMetaHeight = CatalogueRowOf(7, 7);
inline constexpr std::uint16_t RowSoftwareVersion = CatalogueRowOf(25, 61);
inline constexpr std::uint16_t RowAzimuthCorrection = CatalogueRowOf(25, 65);
inline constexpr std::uint16_t RowElevationCorrection = CatalogueRowOf(25, 66);
inline constexpr std::uint16_t RowTerminationReason = CatalogueRowOf(35, 35);

// 3 01 128 expanded (WMO Table D), as catalogue rows.
inline constexpr std::array<std::uint16_t, 23> SondeIdentSequence = {
    RowSerialNumber,     RowObservationNumber, RowSoundingNumber,     RowObserverId,       RowSondeConfig,
    RowSuspensionConfig, RowHumidityCorrection, RowGroundSystem,      RowCarrierFrequency, RowBalloonMaker,
    RowBalloonType,      RowBalloonMass,       RowBalloonShelter,     RowGasType,          RowGasAmount,
    RowSuspensionLength, RowPressureSensor,    RowTempSensor,         RowHumiditySensor,   RowRadome,
    RowHeightMethod,     RowSoftwareVersion,   RowTerminationReason};

// Index of the row for element 0 X Y, or -1.
int FindCatalogueRow(std::uint8_t X, std::uint8_t Y);

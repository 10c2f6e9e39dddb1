#pragma once
// The radiosonde metadata elements the decoder recognises outside the template, and the
// expansion of sequence 3 01 128 in catalogue rows.
#include <array>
#include <cstdint>

enum : std::int32_t { KindNumeric = 0, KindCharacter = 1, KindCode = 2 };

struct tDescriptorRefRec {
    std::uint8_t Descriptor[4];  // F, X, Y, 0
    const char* Name;            // Russian element name (UTF-8 here; the report converts it)
    const char* Unit;            // carried with the row, not printed
    std::int32_t Kind;
    std::int32_t Scale;
    std::int32_t Reference;
    std::int32_t Width;  // bits; characters = Width / 8
};

inline constexpr std::array<tDescriptorRefRec, 27> DescriptorCatalogue = {{
    {{0, 1, 81, 0}, "Серийный номер радиозонда", "", KindCharacter, 0, 0, 160},
    {{0, 1, 82, 0}, "Номер наблюдения", "", KindNumeric, 0, 0, 14},
    {{0, 1, 83, 0}, "Номер зондирования", "", KindNumeric, 0, 0, 3},
    {{0, 1, 95, 0}, "Идентификация наблюдателей", "", KindCharacter, 0, 0, 32},
    {{0, 2, 15, 0}, "Конфигурация радиозонда", "", KindCode, 0, 0, 4},
    {{0, 2, 16, 0}, "Конфигурация подвески радиозонда", "", KindCode, 0, 0, 5},
    {{0, 2, 17, 0}, "Алгоритм поправок для измерений влажности ", "", KindCode, 0, 0, 5},
    {{0, 2, 66, 0}, "Наземная система приема сигналов радиозондов", "", KindCode, 0, 0, 6},
    {{0, 2, 67, 0}, "Несущая частота", "Гц", KindNumeric, -5, 0, 15},
    {{0, 2, 80, 0}, "Производитель радиозондовой оболочки", "", KindCode, 0, 0, 6},
    {{0, 2, 81, 0}, "Тип оболочки", "", KindCode, 0, 0, 5},
    {{0, 2, 82, 0}, "Масса оболочки", "кг", KindNumeric, 3, 0, 12},
    {{0, 2, 84, 0}, "Газ для наполнения оболочки", "", KindCode, 0, 0, 4},
    {{0, 2, 85, 0}, "Количество газа используемого в радиозондовой оболочке", "кг", KindNumeric, 3, 0, 13},
    {{0, 2, 86, 0}, "Длина подвеса к оболочке", "м", KindNumeric, 1, 0, 10},
    {{0, 2, 95, 0}, "Тип датчика давления", "", KindCode, 0, 0, 5},
    {{0, 2, 96, 0}, "Тип датчика температуры", "", KindCode, 0, 0, 5},
    {{0, 2, 97, 0}, "Тип датчика влажности", "", KindCode, 0, 0, 5},
    {{0, 2, 102, 0}, "Высота антенны над основанием опоры", "м", KindNumeric, 0, 0, 8},
    {{0, 2, 103, 0}, "Радиопрозрачное укрытие", "", KindCode, 0, 0, 2},
    {{0, 2, 191, 0}, "Метод определения геопотенциальной высоты", "", KindCode, 0, 0, 4},
    {{0, 7, 7, 0}, "Высота", "м", KindNumeric, 0, -1000, 17},
    {{0, 25, 61, 0}, "ПО, версия", "", KindCharacter, 0, 0, 96},
    {{0, 25, 65, 0}, "Поправка к ориентации по азимуту", "°", KindNumeric, 2, -1000, 11},
    {{0, 25, 66, 0}, "Поправка к ориентации по углу места", "°", KindNumeric, 2, -1000, 11},
    {{0, 35, 35, 0}, "Причина прекращения выпуска", "", KindCode, 0, 0, 5},
    {{0, 2, 83, 0}, "Наполнительная", "", KindCode, 0, 0, 4},
}};

// Rows that name each catalogue field (the row index is what a kind-1 entry's Code holds).
enum CatalogueRow : std::uint16_t {
    RowSerialNumber = 0, RowObservationNumber, RowSoundingNumber, RowObserverId, RowSondeConfig,
    RowSuspensionConfig, RowHumidityCorrection, RowGroundSystem, RowCarrierFrequency, RowBalloonMaker,
    RowBalloonType, RowBalloonMass, RowGasType, RowGasAmount, RowSuspensionLength, RowPressureSensor,
    RowTempSensor, RowHumiditySensor, RowAntennaHeight, RowRadome, RowHeightMethod, RowMetaHeight,
    RowSoftwareVersion, RowAzimuthCorrection, RowElevationCorrection, RowTerminationReason, RowBalloonShelter
};

// 3 01 128 expanded, as catalogue rows.
inline constexpr std::array<std::uint16_t, 23> SondeIdentSequence = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 26, 12, 13, 14, 15, 16, 17, 19, 20, 22, 25};

// Index of the row for element 0 X Y, or -1.
int FindCatalogueRow(std::uint8_t X, std::uint8_t Y);

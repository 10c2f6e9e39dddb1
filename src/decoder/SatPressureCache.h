#pragma once
// The saturation vapour pressures met while decoding one subset, by the raw value of the
// temperature or dew point (0 12 101 and 0 12 103 share their hundredths of a kelvin). A sounding
// repeats its values from level to level and the formula is costly in extended precision; each
// entry holds exactly what the formula gives for that value, so the humidity is unchanged.
#include <array>
#include <cstdint>
#include <exception>

#include "decoder/UAReport.h"
#include "decoder/WMOEwEi.h"

class SatPressureCache {
public:
    // The relative humidity of a level from its temperature and dew point (K) and their raw
    // values: RelHumidity (temp - 273.15, dewPoint - 273.15), missing when either is missing or
    // the computation fails.
    double Humidity(double temp, std::uint32_t tempRaw, double dewPoint, std::uint32_t dewRaw) {
        if (IsMissing(temp) || IsMissing(dewPoint)) return MissingValue;
        double dew = 0, air = 0;
        if (!Pressure(dewPoint, dewRaw, dew) || !Pressure(temp, tempRaw, air)) return MissingValue;
        try {
            return HumidityOfPressures(dew, air);
        } catch (const std::exception&) {
            return MissingValue;
        }
    }

private:
    // SatVapourPressure at the kelvin value as RelHumidity passes it on; false when it fails.
    bool Pressure(double kelvin, std::uint32_t raw, double& pressure) {
        Slot& slot = slots[raw % SlotCount];
        if (slot.Key != raw + 1) {
            slot.Key = raw + 1;
            try {
                slot.Value = SatVapourPressure((kelvin - 273.15) + 273.15);
                slot.Failed = false;
            } catch (const std::exception&) {
                slot.Failed = true;
            }
        }
        pressure = slot.Value;
        return !slot.Failed;
    }

    struct Slot {
        std::uint32_t Key = 0;  // raw value + 1; 0 is an empty slot
        bool Failed = false;
        double Value = 0;
    };
    static constexpr std::uint32_t SlotCount = 4096;
    std::array<Slot, SlotCount> slots{};
};

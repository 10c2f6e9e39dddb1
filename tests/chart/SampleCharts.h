// The five sounding charts set up and filled the way the window does, from a made-up sounding.
// Used by the export tests and by the gallery tool that writes them as pictures.
#pragma once

#include "chart/Chart.h"

#include <vector>

namespace chart::test {

struct SampleLevel {
    double time;       // s
    double pressure;   // hPa
    double height;     // m
    double temp;       // degrees C
    double humidity;   // %
    double windDir;    // degrees
    double windSpeed;  // m/s
    double dLat;       // degrees
    double dLon;
};

std::vector<SampleLevel> SampleSounding(int levels);

// The vertical value is the pressure (inverted logarithmic axes) or the height / 1000.
void MakeTemperatureChart(Chart& c, const std::vector<SampleLevel>& levels, bool pressure);
void MakeWindChart(Chart& c, const std::vector<SampleLevel>& levels, bool pressure);
void MakeTrajectoryChart(Chart& c, const std::vector<SampleLevel>& levels);
void MakeAscentChart(Chart& c, const std::vector<SampleLevel>& levels);
void MakeFlightChart(Chart& c, const std::vector<SampleLevel>& levels, bool pressure);

}  // namespace chart::test

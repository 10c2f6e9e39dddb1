#include "products/AerologicalDiagram.h"

#include "products/SoundingIndices.h"
#include "products/Thermodynamics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace products {

namespace {

using thermo::ZeroCelsius;

// Curved background lines are sampled this many times between the bottom and the top of the
// frame, evenly in ln p: about 20 hPa apart near the ground, ample for lines this smooth.
constexpr int CurveSamples = 60;

constexpr double IsothermStep = 10.0;
constexpr double DryAdiabatStep = 10.0;        // of potential temperature, °C
constexpr double PseudoAdiabatStep = 4.0;      // of wet-bulb potential temperature, °C
constexpr double MixingRatioTop = 600.0;       // hPa: higher up the lines crowd into the cold corner
constexpr double MixingRatios[] = {0.4, 1, 2, 3, 5, 8, 12, 16, 20};   // g/kg
constexpr double MarkMerge = 15.0;             // hPa between parcel marks that share a label

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    std::string s = text;
    std::replace(s.begin(), s.end(), '.', ',');   // the decimal comma
    return s;
}

std::vector<double> SamplePressures(const DiagramFrame& frame, double top) {
    std::vector<double> p(CurveSamples + 1);
    const double lo = std::log(frame.bottomPressure), hi = std::log(top);
    for (int i = 0; i <= CurveSamples; ++i) p[i] = std::exp(lo + (hi - lo) * i / CurveSamples);
    return p;
}

bool Crosses(const DiagramFrame& frame, const DiagramLine& line) {
    return std::any_of(line.points.begin(), line.points.end(),
                       [&](const DiagramPoint& pt) { return frame.Contains(pt.x, pt.pressure); });
}

// A line through the temperatures (K) at the pressures, labelled; kept only if it crosses the frame.
void AddCurve(std::vector<DiagramLine>& family, const DiagramFrame& frame, const std::vector<double>& pressures,
              const std::vector<double>& kelvin, std::string label, bool labelAtStart) {
    DiagramLine line;
    for (std::size_t i = 0; i < pressures.size(); ++i)
        if (std::isfinite(kelvin[i])) line.points.push_back({frame.X(kelvin[i] - ZeroCelsius, pressures[i]), pressures[i]});
    line.label = std::move(label);
    line.labelAtStart = labelAtStart;
    if (line.points.size() > 1 && Crosses(frame, line)) family.push_back(std::move(line));
}

// An isotherm is straight on the chart; it crosses the frame when its x range meets the frame's.
std::vector<DiagramLine> Isotherms(const DiagramFrame& frame) {
    std::vector<DiagramLine> lines;
    const double coldest = std::floor(frame.TemperatureAt(frame.leftX, frame.topPressure) / IsothermStep) * IsothermStep;
    for (double t = coldest; t <= frame.rightX; t += IsothermStep) {
        const double xBottom = frame.X(t, frame.bottomPressure), xTop = frame.X(t, frame.topPressure);
        if (std::max(xBottom, xTop) < frame.leftX || std::min(xBottom, xTop) > frame.rightX) continue;
        // The emagram's upright isotherms are named by the temperature axis; the skewed ones by
        // their labels, since x is the temperature only at the frame's bottom, not at a zoomed one.
        const bool named = frame.kind == DiagramKind::SkewT;
        lines.push_back({{{xBottom, frame.bottomPressure}, {xTop, frame.topPressure}}, {}, named ? Number(t) : "", true});
    }
    return lines;
}

std::vector<DiagramLine> Isobars(const DiagramFrame& frame) {
    std::vector<DiagramLine> lines;
    for (double p : StandardIsobars)
        if (p <= frame.bottomPressure && p >= frame.topPressure)
            lines.push_back({{{frame.leftX, p}, {frame.rightX, p}}, {}, {}, true});
    return lines;
}

// Dry adiabats by their potential temperature in °C (the temperature they have at 1000 hPa),
// labelled where they leave the frame at the top or the left.
std::vector<DiagramLine> DryAdiabats(const DiagramFrame& frame) {
    std::vector<DiagramLine> lines;
    const auto pressures = SamplePressures(frame, frame.topPressure);
    std::vector<double> kelvin(pressures.size());
    for (double theta = -40.0; theta <= 200.0; theta += DryAdiabatStep) {
        for (std::size_t i = 0; i < pressures.size(); ++i)
            kelvin[i] = thermo::DryAdiabatTemperature(theta + ZeroCelsius, pressures[i]);
        AddCurve(lines, frame, pressures, kelvin, Number(theta), false);
    }
    return lines;
}

// Pseudo-adiabats by their wet-bulb potential temperature (the temperature at 1000 hPa).
std::vector<DiagramLine> PseudoAdiabats(const DiagramFrame& frame) {
    std::vector<DiagramLine> lines;
    const auto pressures = SamplePressures(frame, frame.topPressure);
    for (double thetaW = -20.0; thetaW <= 40.0; thetaW += PseudoAdiabatStep)
        AddCurve(lines, frame, pressures, thermo::PseudoAdiabat(1000.0, thetaW + ZeroCelsius, pressures),
                 Number(thetaW), false);
    return lines;
}

std::vector<DiagramLine> MixingRatioLines(const DiagramFrame& frame) {
    std::vector<DiagramLine> lines;
    const auto pressures = SamplePressures(frame, std::max(MixingRatioTop, frame.topPressure));
    std::vector<double> kelvin(pressures.size());
    for (double w : MixingRatios) {
        for (std::size_t i = 0; i < pressures.size(); ++i)
            kelvin[i] = thermo::TemperatureAtMixingRatio(w / 1000.0, pressures[i]);
        AddCurve(lines, frame, pressures, kelvin, Number(w), true);
    }
    return lines;
}

DiagramPoint At(const DiagramFrame& frame, double pressure, double kelvin) {
    return {frame.X(kelvin - ZeroCelsius, pressure), pressure};
}

void AddParcel(DiagramSounding& d, const DiagramFrame& frame, const ParcelResult& parcel) {
    for (const ParcelLevel& level : parcel.path) d.parcel.points.push_back(At(frame, level.pressure, level.temperature));
    for (const BuoyantArea& area : parcel.areas) {
        if (area.last >= parcel.path.size() || area.last <= area.first) continue;
        DiagramLine polygon;
        for (std::size_t i = area.first; i <= area.last; ++i)
            polygon.points.push_back(At(frame, parcel.path[i].pressure, parcel.path[i].temperature));
        for (std::size_t i = area.last + 1; i-- > area.first;)
            polygon.points.push_back(At(frame, parcel.path[i].pressure, parcel.path[i].environment));
        (area.positive ? d.positiveAreas : d.negativeAreas).push_back(std::move(polygon));
    }
    const std::pair<PressureTemperature, const char*> marks[] = {
        {parcel.lcl, "УК"}, {parcel.plain.lfc, "УСК"}, {parcel.plain.el, "УНП"}};
    for (const auto& [level, label] : marks) {
        if (!std::isfinite(level.pressure) || !std::isfinite(level.temperature)) continue;
        // Levels this close would hide each other's label: they share one.
        if (!d.marks.empty() && std::abs(d.marks.back().at.pressure - level.pressure) < MarkMerge) {
            d.marks.back().label += std::string(", ") + label;
            continue;
        }
        d.marks.push_back({At(frame, level.pressure, level.temperature), label});
    }
}

}  // namespace

DiagramSounding MakeDiagramSounding(const DiagramFrame& frame, const SoundingProfile& profile,
                                    const ParcelResult* parcel) {
    DiagramSounding d;
    bool gap = false;
    for (const SoundingLevel& level : profile.levels) {
        d.temperature.points.push_back(At(frame, level.pressure, level.temperature));
        if (!std::isfinite(level.dewPoint)) {
            gap = !d.dewPoint.points.empty();
        } else {
            d.dewPoint.points.push_back(At(frame, level.pressure, level.dewPoint));
            d.dewPoint.breakBefore.push_back(gap);
            gap = false;
        }
    }
    // The barbs come from every checked wind level, also those without a temperature (most
    // significant-wind levels of a TEMP).
    for (const SoundingLevel& level : profile.windLevels)
        d.barbs.push_back({level.pressure, level.windDirection, level.windSpeed});
    if (parcel != nullptr && parcel->valid) AddParcel(d, frame, *parcel);
    return d;
}

double DiagramFrame::X(double celsius, double pressure) const {
    return celsius + skew * std::log(bottomPressure / pressure);
}

double DiagramFrame::TemperatureAt(double x, double pressure) const {
    return x - skew * std::log(bottomPressure / pressure);
}

bool DiagramFrame::Contains(double x, double pressure) const {
    return x >= leftX && x <= rightX && pressure <= bottomPressure && pressure >= topPressure;
}

DiagramFrame MakeDiagramFrame(DiagramKind kind) {
    DiagramFrame frame;
    frame.kind = kind;
    if (kind == DiagramKind::Emagram) {
        frame.leftX = -90.0;
        frame.rightX = 40.0;
        return frame;
    }
    // 45°: one pixel right per pixel up. The plot is (rightX - leftX) wide in x and
    // ln(bottom / top) high in ln p, at width / height = aspect.
    frame.skew = (frame.rightX - frame.leftX) / (frame.aspect * std::log(frame.bottomPressure / frame.topPressure));
    return frame;
}

DiagramBackground MakeDiagramBackground(const DiagramFrame& frame) {
    DiagramBackground b;
    b.families[static_cast<int>(DiagramFamily::Isotherm)] = Isotherms(frame);
    b.families[static_cast<int>(DiagramFamily::Isobar)] = Isobars(frame);
    b.families[static_cast<int>(DiagramFamily::DryAdiabat)] = DryAdiabats(frame);
    b.families[static_cast<int>(DiagramFamily::PseudoAdiabat)] = PseudoAdiabats(frame);
    b.families[static_cast<int>(DiagramFamily::MixingRatio)] = MixingRatioLines(frame);
    return b;
}

}  // namespace products

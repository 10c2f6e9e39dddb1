#pragma once
// The geometry of the aerological diagram, without Qt: the frame (which temperature and pressure
// range, how far the isotherms lean), the background families with their labels, and the curves
// of a sounding, all as (x, pressure) points ready for a chart with a linear x axis and a
// logarithmic, inverted pressure axis.
//
// The skew is done here, in the data: x = T + Skew ln(BottomPressure / p). On the pressure axis
// of the chart ln p is linear, so an isotherm is a straight line, and with the plot kept at the
// frame's width-to-height ratio (Aspect) it leans at exactly 45° on any device, screen, printer
// or picture. x is the temperature only at the bottom of the frame, so the skewed isotherms carry
// their own labels. In the emagram Skew is 0: x is the temperature everywhere.
//
// Temperatures here are in °C, pressures in hPa, mixing ratios in g/kg.
#include <array>
#include <string>
#include <vector>

namespace products {

enum class DiagramKind { SkewT, Emagram };

struct DiagramFrame {
    DiagramKind kind = DiagramKind::SkewT;
    double bottomPressure = 1050.0;
    double topPressure = 100.0;
    double leftX = -40.0;    // the x range, °C at the bottom of the frame
    double rightX = 50.0;
    double aspect = 1.0;     // plot width over height the chart keeps
    double skew = 0.0;       // °C of x per unit of ln(bottomPressure / p)

    double X(double celsius, double pressure) const;
    double TemperatureAt(double x, double pressure) const;
    // Whether a point lies in the frame (its edges included).
    bool Contains(double x, double pressure) const;
};

// The frame of each kind: the skew-T from 1050 to 100 hPa and -40..50 °C at the bottom with
// 45° isotherms on a square plot; the emagram over the same pressures and -90..40 °C.
DiagramFrame MakeDiagramFrame(DiagramKind kind);

struct DiagramPoint {
    double x = 0.0;
    double pressure = 0.0;
};

// One line of the diagram. A point with breakBefore starts a new piece (a gap in the data).
struct DiagramLine {
    std::vector<DiagramPoint> points;
    std::vector<bool> breakBefore;   // empty, or one flag per point
    std::string label;               // UTF-8; empty for none
    bool labelAtStart = true;        // the label where the line enters the plot, else where it leaves
};

enum class DiagramFamily { Isotherm, Isobar, DryAdiabat, PseudoAdiabat, MixingRatio };
inline constexpr int DiagramFamilyCount = 5;

struct DiagramBackground {
    std::array<std::vector<DiagramLine>, DiagramFamilyCount> families;
    const std::vector<DiagramLine>& Of(DiagramFamily family) const { return families[static_cast<int>(family)]; }
};

// The standard isobars, drawn across the frame and labelled on the pressure axis.
inline constexpr std::array<double, 11> StandardIsobars = {1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 100};

struct SoundingProfile;
struct ParcelResult;

// A mark on the parcel's path: the LCL «УК», the LFC «УСК», the EL «УНП»; levels less than
// 15 hPa apart share the first one's mark («УК, УСК»).
struct DiagramMark {
    DiagramPoint at;
    std::string label;
};

struct DiagramBarb {
    double pressure = 0.0;
    double direction = 0.0;   // degrees, where the wind blows from
    double speed = 0.0;       // m/s
};

// A sounding on the diagram: its temperature and dew point (a gap in the dew points breaks the
// line), and for the sounding whose parcel is shown, the parcel's path, its marks and the areas
// where it is warmer (positive) or colder (negative) than the air around it, each a closed
// polygon: up the parcel's path, back down the environment.
struct DiagramSounding {
    DiagramLine temperature;
    DiagramLine dewPoint;
    DiagramLine parcel;
    std::vector<DiagramLine> positiveAreas;
    std::vector<DiagramLine> negativeAreas;
    std::vector<DiagramMark> marks;
    std::vector<DiagramBarb> barbs;   // the levels with both wind values, from the ground up
};

// parcel may be null (a sounding shown for comparison) or invalid: then only the curves and barbs.
DiagramSounding MakeDiagramSounding(const DiagramFrame& frame, const SoundingProfile& profile,
                                    const ParcelResult* parcel);

// The background of a frame: isotherms every 10 °C, the standard isobars, dry adiabats every
// 10 °C of potential temperature, pseudo-adiabats every 4 °C of wet-bulb potential temperature,
// saturation mixing-ratio lines of 0.4 … 20 g/kg up to 600 hPa. Only lines that cross the frame
// are given; each carries its label (°C, or g/kg for the mixing ratio), except the isobars and
// the emagram's isotherms: the axes name those.
DiagramBackground MakeDiagramBackground(const DiagramFrame& frame);

}  // namespace products

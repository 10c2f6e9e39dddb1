#include "products/SoundingCsv.h"

#include <charconv>

#include "products/LevelColumns.h"

namespace {

constexpr const char* LineEnd = "\r\n";

// Fixed-point with the column's decimals, never in the C library's locale.
void AppendNumber(std::string& out, double v, int decimals) {
    const std::optional<double> r = Rounded(v, decimals);
    if (!r) return;
    char text[64];
    const auto res = std::to_chars(text, text + sizeof text, *r == 0 ? 0.0 : *r, std::chars_format::fixed, decimals);
    out.append(text, res.ptr);
}

}  // namespace

std::string SoundingCsvText(const tUAInBound& Report) {
    std::string out;
    out.reserve(96 * (Report.Levels.size() + 1));
    for (const LevelColumn& c : LevelColumns) out.append(c.CsvHeader).push_back(',');
    out.append("flags,flag_names").append(LineEnd);
    for (const tUALevelRec& l : Report.Levels) {
        for (const LevelColumn& c : LevelColumns) {
            AppendNumber(out, c.Value(Report, l), c.Decimals);
            out.push_back(',');
        }
        if (FlagsPresent(l.Flags)) {
            out.append(std::to_string(l.Flags)).push_back(',');
            // Names are letters only, joined by blanks: no field needs quotes.
            bool first = true;
            for (const FlagName& f : FlagNames) {
                if (!(l.Flags & f.Bit)) continue;
                if (!first) out.push_back(' ');
                out.append(f.Name);
                first = false;
            }
        } else {
            out.push_back(',');
        }
        out.append(LineEnd);
    }
    return out;
}

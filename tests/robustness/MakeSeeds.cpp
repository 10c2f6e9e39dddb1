// Writes the builder-made seeds of the fuzz corpus (fuzz/corpus/edge_*.bufr): messages that reach
// the corners the generated fixtures do not (operators in every order, wide reference values, the
// level limit, many subsets, many descriptors, Section 2 in edition 3, '7's inside the data, two
// messages in a bulletin). Run: robustness_make_seeds DIR
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "decoder/DescriptorCatalogue.h"
#include "support/BufrBuilder.h"
#include "support/Fixtures.h"
#include "support/TemplateWriter.h"

namespace {

UASubsetRaw Subset(std::uint8_t kind, std::size_t levels, std::size_t shear) {
    UASubsetRaw s;
    s.Kind = kind;
    s.Levels.resize(levels);
    s.Shear.resize(shear);
    for (std::size_t i = 0; i < levels; ++i) s.Levels[i].Pressure = 9958 - 300 * i;
    return s;
}

BitWriter Data(const UASubsetRaw& s) {
    BitWriter w;
    WriteUASubset(w, s);
    return w;
}

// Every element of 3 01 128 with a small value in its catalogue width.
void WriteSondeIdent(BitWriter& w) {
    for (std::uint16_t row : SondeIdentSequence) {
        const tDescriptorRefRec& ref = DescriptorCatalogue[row];
        if (ref.Kind == KindCharacter) w.Chars("SEED", static_cast<std::size_t>(ref.Width / 8));
        else w.Bits(1, static_cast<unsigned>(ref.Width));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const fs::path dir = argv[1];
    fs::create_directories(dir);
    std::vector<std::pair<std::string, ByteVector>> seeds;

    {  // Two subsets written, 65535 declared.
        BitWriter w = Data(Subset(52, 2, 1));
        WriteUASubset(w, Subset(52, 1, 0));
        seeds.push_back({"edge_subsets_65535", BufrBuilder().Subsets(65535).Data(w.PadToOctet()).Build()});
    }
    {  // Width change, reference definition and characters around 3 01 128 and the template.
        BitWriter w;
        w.Bits(1234, 14).Bits(0xFD0, 12).Bits(0x801, 12).Bits(475, 11).Bits(600, 11).Chars("MOSKVA VDNH");
        WriteSondeIdent(w);
        w.Bits(12, 8).Bits(1165, 17);
        WriteUASubset(w, Subset(52, 3, 1));
        w.Chars("REMARK", 60).PadToOctet();
        seeds.push_back({"edge_operators",
                         BufrBuilder()
                             .Descriptors({201131, 25065, 201000, 203012, 25065, 25066, 203255, 25065, 25066, 203000,
                                           205011, 301128, 2102, 7007, 309052, 205060})
                             .Data(w)
                             .Build()});
    }
    {  // A 32-bit reference, a width change of 255 (too wide: no read) and its end, around 3-09-050.
        BitWriter w;
        w.Bits(0xFFFFFFFFu, 32).Bits(3, 11);  // 0 25 066 at 11 + 127 bits is not read
        WriteUASubset(w, Subset(50, 2, 2));
        seeds.push_back({"edge_wide_reference",
                         BufrBuilder()
                             .Descriptors({203032, 25065, 203255, 25065, 203000, 201255, 25066, 201000, 309050})
                             .Data(w.PadToOctet())
                             .Build()});
    }
    {  // 8191 levels declared, one written.
        UASubsetRaw s = Subset(51, 1, 0);
        s.LevelCount = 8191;
        seeds.push_back({"edge_levels_8191", BufrBuilder().Descriptors({309051}).Data(Data(s).PadToOctet()).Build()});
    }
    {  // 255 shear levels declared, one written.
        UASubsetRaw s = Subset(50, 1, 1);
        s.ShearCount = 255;
        seeds.push_back({"edge_shear_255", BufrBuilder().Descriptors({309050}).Data(Data(s).PadToOctet()).Build()});
    }
    {  // Edition 3 with local data in Section 1 and a Section 2.
        seeds.push_back({"edge_ed3_section2", BufrBuilder()
                                                   .Edition(3)
                                                   .Section1Local({1, 2, 3})
                                                   .Section2({9, 8, 7, 6, 5})
                                                   .Descriptors({309050})
                                                   .Data(Data(Subset(50, 2, 0)))
                                                   .Build()});
    }
    {  // '7's inside the data: eleven characters of them before the template.
        BitWriter w;
        w.Chars("77777777777");
        WriteUASubset(w, Subset(52, 1, 0));
        seeds.push_back({"edge_sevens_in_data",
                         BufrBuilder().Descriptors({205011, 309052}).Data(w.PadToOctet()).Build()});
    }
    {  // A bulletin of two messages; only the first is read.
        const ByteVector first = BufrBuilder().Data(Data(Subset(52, 1, 0)).PadToOctet()).Build();
        seeds.push_back({"edge_bulletin_two", BufrBuilder()
                                                  .Descriptors({309051})
                                                  .Data(Data(Subset(51, 1, 0)).PadToOctet())
                                                  .Before(BytesOf("\x01\r\r\n123\r\r\nIUKA01 RUMS 101200\r\r\n"))
                                                  .After(first)
                                                  .Build()});
    }
    {  // Many descriptors: 3 01 128 repeated, then the template, nothing in the data.
        std::vector<std::uint32_t> list(300, 301128);
        list.push_back(309052);
        seeds.push_back({"edge_many_descriptors", BufrBuilder().Descriptors(list).Build()});
    }
    {  // Two templates, and an unsupported one.
        seeds.push_back({"edge_two_templates", BufrBuilder().Descriptors({309052, 309051}).Build()});
        seeds.push_back({"edge_template_053", BufrBuilder().Descriptors({301128, 309053}).Build()});
    }
    {  // 3-09-057 with 65535 levels declared (the high-resolution templates take any count), one written:
        // the fixed part of 906 bits (3 01 150, 3 01 111, 3 01 128, 3 01 113, 3 01 114, 3 02 049,
        // 0 22 043) in zeros, one level of 176 bits, no shear level.
        BitWriter w;
        for (unsigned left = 906; left > 0; left -= std::min(left, 32u)) w.Bits(0, std::min(left, 32u));
        w.Bits(65535, 16);
        for (unsigned left = 176; left > 0; left -= std::min(left, 32u)) w.Bits(0, std::min(left, 32u));
        w.Bits(0, 8);
        seeds.push_back({"edge_hires57_levels_65535", BufrBuilder().Descriptors({309057}).Data(w.PadToOctet()).Build()});
    }
    {  // Compressed data.
        seeds.push_back(
            {"edge_compressed", BufrBuilder().Compressed(true).Data(Data(Subset(52, 1, 0)).PadToOctet()).Build()});
    }

    for (const auto& [name, bytes] : seeds) WriteFileBytes(dir / (name + ".bufr"), bytes);
    std::printf("%zu seeds written to %s\n", seeds.size(), dir.c_str());
    return 0;
}

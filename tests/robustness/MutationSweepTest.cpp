// Every fixture cut, flipped and overwritten, each case decoded in process through the batch run's
// own path (locate, then BatchRun: parse, scan, every subset with its dump, report and name). A case must end with a report, one of the
// path's own false results, or a TavikError; the exact end is checked where it is determined.
// Under the sanitizer build the same cases must stay free of reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "Mutation.h"
#include "app/DecodeDriver.h"
#include "core/Errors.h"
#include "support/Fixtures.h"
#include "support/TemplateWriter.h"

namespace {

const std::string SizeExcess = "Раздел 0:Ошибка размера:перебор!";
const std::string DataTooSmall = "Слишком малый размер данных";
const std::string TooManyLevels = "Слишком много уровней";
const std::string LevelsBeyondSection =
    "Ошибка размера данных: число уровней больше, чем допускает размер раздела данных";

struct SweepFixture {
    std::string Name;
    ByteVector Bytes;
    MessageLayout Layout;
};

// The generated fixtures copied into the seed corpus (the builder-made seeds start with "edge_"
// and are not well-formed on purpose).
const std::vector<SweepFixture>& Fixtures() {
    static const std::vector<SweepFixture> fixtures = [] {
        std::vector<SweepFixture> list;
        for (const fs::path& file : ListBufrFiles(fs::path(TAVIK_SOURCE_DIR) / "fuzz" / "corpus")) {
            const std::string name = file.filename().string();
            if (name.rfind("edge_", 0) == 0) continue;
            ByteVector bytes = ReadFileBytes(file);
            MessageLayout layout = LayoutOf(bytes);
            list.push_back({name, std::move(bytes), layout});
        }
        return list;
    }();
    return fixtures;
}

// Collects the cases that ended otherwise than allowed; the test fails once with the first few.
class Violations {
public:
    void Add(const std::string& Case, const Outcome& outcome, const std::string& Expected) {
        if (count++ < 12) text += "\n  " + Case + ": " + outcome.Describe() + ", expected " + Expected;
    }
    // The weakest requirement on any case: an end of the path, or the system's own error.
    void RequireAcceptable(const std::string& Case, const Outcome& outcome) {
        if (outcome.How == Outcome::Kind::Foreign || (outcome.How == Outcome::Kind::Error && outcome.Message.empty()))
            Add(Case, outcome, "a report or a TavikError");
    }
    // A message cut inside Section 4 with both lengths rewritten to match: the decoder reads the
    // short section and ends with a report or one of the data size errors.
    void RequireReportOrSizeError(const std::string& Case, const Outcome& outcome) {
        if (!(outcome.How == Outcome::Kind::Ended && outcome.End == DecodeEnd::Report) &&
            !outcome.IsError(DataTooSmall) && !outcome.IsError(LevelsBeyondSection))
            Add(Case, outcome, "a report or a data size error");
    }
    bool Empty() const { return count == 0; }
    std::string Text() const { return std::to_string(count) + " case(s):" + text; }

private:
    std::size_t count = 0;
    std::string text;
};

std::string CaseName(const SweepFixture& f, const std::string& what, std::size_t at) {
    return f.Name + " " + what + " " + std::to_string(at);
}

ByteVector Cut(const ByteVector& bytes, std::size_t n) { return ByteVector(bytes.begin(), bytes.begin() + static_cast<long>(n)); }

// Positions From..To-1 to mutate: every one in small fixtures; in large ones every one near both
// ends and a stride between them, so that the sweep stays quick.
std::vector<std::size_t> Positions(std::size_t from, std::size_t to, std::size_t fileSize) {
    constexpr std::size_t Edge = 512, Stride = 13;
    std::vector<std::size_t> list;
    for (std::size_t p = from; p < to; ++p)
        if (fileSize <= 4096 || p < from + Edge || p + Edge >= to || (p - from) % Stride == 0) list.push_back(p);
    return list;
}

// The message cut at Cut inside Section 4 and closed again with "7777"; with the declared total
// length and the Section 4 length rewritten to match when asked.
ByteVector CutInsideSection4(const SweepFixture& f, std::size_t cut, bool patchTotal, bool patchSection4) {
    ByteVector bytes = Cut(f.Bytes, cut);
    for (int i = 0; i < 4; ++i) bytes.push_back('7');
    const std::size_t total = bytes.size() - f.Layout.Start;
    if (patchTotal) PutBits(bytes, (f.Layout.Start + 4) * 8, 24, total);
    if (patchSection4) PutBits(bytes, f.Layout.Section4 * 8, 24, cut - f.Layout.Section4);
    return bytes;
}

// The path under the sweep is the batch export itself: for every subset the text it keeps is the
// file that "tavik EXPORT" writes, but for the path and size lines; with unknown descriptors both
// stop after the first subset.
TEST(MutationSweep, PathIsTheBatchExport) {
    for (const char* name : {"temp52_3subsets.bufr", "temp52_unsupported.bufr", "synop_no_template.bufr"}) {
        SCOPED_TRACE(name);
        const fs::path file = fs::path(TAVIK_SOURCE_DIR) / "fuzz" / "corpus" / name;
        const TempDir dir;
        std::string error;
        try {
            RunBatch(true, {"EXPORT", file.string(), dir.Path().string()});
        } catch (const TavikError& e) {
            error = e.what();
        }
        std::vector<LineList> written;
        for (const auto& entry : fs::directory_iterator(dir.Path())) written.push_back(ReadCrLfLines(entry.path()));

        const ByteVector bytes = ReadFileBytes(file);
        LineList lines;
        const DecodeResult result = DecodeBytes(bytes.data(), bytes.size(), lines);
        EXPECT_EQ(result.End, DecodeEnd::Report);
        EXPECT_EQ(result.SubsetsDecoded, error.empty() ? written.size() : 1u) << error;
        ASSERT_GE(lines.size(), 2u);
        const auto same = [&](const LineList& text) {
            return text.size() == lines.size() && std::equal(text.begin() + 2, text.end(), lines.begin() + 2);
        };
        EXPECT_TRUE(std::any_of(written.begin(), written.end(), same)) << "the last text is no file of the export";
    }
}

TEST(MutationSweep, FixturesDecodeWhole) {
    ASSERT_FALSE(Fixtures().empty()) << "no fixtures in fuzz/corpus";
    for (const SweepFixture& f : Fixtures()) {
        const Outcome o = RunDecode(f.Bytes);
        EXPECT_EQ(o.How, Outcome::Kind::Ended) << f.Name << ": " << o.Describe();
        EXPECT_EQ(o.End, DecodeEnd::Report) << f.Name << ": " << o.Describe();
    }
}

// Before the end of the message there is no closing run (the fixtures hold no "7777" inside), so
// the loader finds no message; a cut that leaves a run of four (data ending in '7' and part of
// Section 5) is located but fails the declared length. Cuts after the message change nothing.
TEST(MutationSweep, PlainTruncationAtEveryByte) {
    Violations bad;
    for (const SweepFixture& f : Fixtures()) {
        const Outcome whole = RunDecode(f.Bytes);
        for (std::size_t n = 0; n < f.Bytes.size(); ++n) {
            const Outcome o = RunDecode(Cut(f.Bytes, n));
            const std::string name = CaseName(f, "cut at", n);
            if (n < f.Layout.End) {
                if (!(o.How == Outcome::Kind::Ended && o.End == DecodeEnd::NoMessage) && !o.IsError(SizeExcess))
                    bad.Add(name, o, "no message or the Section 0 size error");
            } else if (o.How != Outcome::Kind::Ended || o.Lines != whole.Lines) {
                bad.Add(name, o, "the report of the whole file");
            }
        }
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

// Short data reach the parser and the decoder, not only the loader: with the lengths as they were
// Section 0 refuses; with the total length rewritten Section 4 runs into Section 5; with both
// rewritten the decoder reads the short section and ends with a report or a size error.
TEST(MutationSweep, TruncationInsideSection4WithSection5PutBack) {
    Violations bad;
    for (const SweepFixture& f : Fixtures()) {
        for (const std::size_t cut : Positions(f.Layout.Section4, f.Layout.Section5, f.Bytes.size())) {
            const Outcome asWas = RunDecode(CutInsideSection4(f, cut, false, false));
            if (!asWas.IsError(SizeExcess)) bad.Add(CaseName(f, "lengths kept, cut at", cut), asWas, SizeExcess);

            const Outcome totalOnly = RunDecode(CutInsideSection4(f, cut, true, false));
            if (!(totalOnly.How == Outcome::Kind::Ended && totalOnly.End == DecodeEnd::NotParsed))
                bad.Add(CaseName(f, "total rewritten, cut at", cut), totalOnly, "parse false");

            if (cut < f.Layout.Section4 + 4) continue;  // the Section 4 length itself is cut
            bad.RequireReportOrSizeError(CaseName(f, "both rewritten, cut at", cut),
                                         RunDecode(CutInsideSection4(f, cut, true, true)));
        }
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

// The large shared fixture (8000 levels) is cut at a sample of points only.
TEST(MutationSweep, LargeFixtureCutInsideSection4) {
    const fs::path file = FixturesDir() / "temp52_ed4_hires.bufr";
    TAVIK_REQUIRE_PATH(file);
    SweepFixture f{"temp52_ed4_hires.bufr", ReadFileBytes(file), {}};
    f.Layout = LayoutOf(f.Bytes);
    Violations bad;
    std::mt19937 rng(8000);
    std::uniform_int_distribution<std::size_t> pick(f.Layout.Section4 + 4, f.Layout.Section5 - 1);
    for (int i = 0; i < 60; ++i) {
        const std::size_t cut = i < 8 ? f.Layout.Section4 + 4 + static_cast<std::size_t>(i) * 7 : pick(rng);
        bad.RequireReportOrSizeError(CaseName(f, "both rewritten, cut at", cut),
                                     RunDecode(CutInsideSection4(f, cut, true, true)));
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

TEST(MutationSweep, SeededRandomBitFlips) {
    Violations bad;
    std::mt19937 rng(20231010);
    for (const SweepFixture& f : Fixtures()) {
        const std::size_t headerEnd = f.Layout.Section4 + 4;
        const int cases = f.Bytes.size() > 4096 ? 60 : 300;  // the large one decodes hundreds of levels
        for (int i = 0; i < cases; ++i) {
            ByteVector bytes = f.Bytes;
            // A third of the cases aim at Sections 0 to 3 and the Section 4 header, where the lengths are.
            const std::size_t from = f.Layout.Start, to = i % 3 == 0 ? headerEnd : f.Layout.End;
            std::uniform_int_distribution<std::size_t> at(from * 8, to * 8 - 1);
            const int flips = 1 + i % 8;
            for (int k = 0; k < flips; ++k) {
                const std::size_t bit = at(rng);
                bytes[bit / 8] ^= static_cast<std::uint8_t>(0x80u >> (bit % 8));
            }
            bad.RequireAcceptable(CaseName(f, "bit flips, case", static_cast<std::size_t>(i)), RunDecode(bytes));
        }
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

// Every length and count field overwritten with values around its limits.
TEST(MutationSweep, OverwrittenLengthAndCountFields) {
    struct Field {
        std::string Name;
        std::uint64_t BitOffset;
        std::uint32_t Width;
    };
    Violations bad;
    for (const SweepFixture& f : Fixtures()) {
        const MessageLayout& l = f.Layout;
        std::vector<Field> fields = {
            {"total length", (l.Start + 4) * 8, 24}, {"Section 1 length", l.Section1 * 8, 24},
            {"Section 3 length", l.Section3 * 8, 24}, {"subset count", (l.Section3 + 4) * 8, 16},
            {"Section 4 length", l.Section4 * 8, 24},
        };
        if (l.Section2) fields.push_back({"Section 2 length", *l.Section2 * 8, 24});
        if (l.SoleTemplate) {
            const std::uint64_t levelCountAt = (l.Section4 + 4) * 8 + UAFixedBits(*l.SoleTemplate);
            const std::uint64_t levels = GetBits(f.Bytes, levelCountAt, 16);
            fields.push_back({"level count", levelCountAt, 16});
            fields.push_back({"shear count", levelCountAt + 16 + levels * UALevelBits(*l.SoleTemplate), 8});
        }
        for (const Field& field : fields) {
            const std::uint64_t mask = (std::uint64_t(1) << field.Width) - 1;
            const std::uint64_t original = GetBits(f.Bytes, field.BitOffset, field.Width);
            const std::set<std::uint64_t> values = {0,        1,          2,          3,         4,        7,
                                                    8,        17,         18,         21,        22,       original - 1,
                                                    original + 1, original * 2, 0x7FFF, 0x8000, 0xFFFF, 8191,
                                                    8192,     0x7FFFFF,   0xFFFFFF};
            for (const std::uint64_t value : values) {
                ByteVector bytes = f.Bytes;
                PutBits(bytes, field.BitOffset, field.Width, value & mask);
                bad.RequireAcceptable(f.Name + " " + field.Name + " = " + std::to_string(value & mask), RunDecode(bytes));
            }
        }
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

// Where the end of an overwritten field is determined, it is the one expected.
TEST(MutationSweep, OverwrittenFieldsEndAsDetermined) {
    const auto small = std::find_if(Fixtures().begin(), Fixtures().end(),
                                    [](const SweepFixture& f) { return f.Name == "temp52_ed4_small.bufr"; });
    ASSERT_NE(small, Fixtures().end());
    const MessageLayout& l = small->Layout;
    const std::uint64_t levelCountAt = (l.Section4 + 4) * 8 + UAFixedBits(52);
    struct Row {
        const char* What;
        std::uint64_t BitOffset;
        std::uint32_t Width;
        std::uint64_t Value;
        std::string Error;  // empty: Ended with End
        DecodeEnd End = DecodeEnd::Report;
    };
    const std::uint32_t total = static_cast<std::uint32_t>(l.End - l.Start);
    const Row rows[] = {
        {"total length one too long", (l.Start + 4) * 8, 24, total + 1, SizeExcess},
        {"Section 1 of 21 octets", l.Section1 * 8, 24, 21, "Ошибка длины Section1 (core/uBUFRDefs, line 497)"},
        {"Section 3 below its header", l.Section3 * 8, 24, 6, "Раздел 3:Ошибка размера:длина меньше заголовка!"},
        {"Section 4 below its header", l.Section4 * 8, 24, 3, "Раздел 4:Ошибка размера:длина меньше заголовка!"},
        {"Section 4 into Section 5", l.Section4 * 8, 24, l.Section4Length + 1, "", DecodeEnd::NotParsed},
        {"no subsets", (l.Section3 + 4) * 8, 16, 0, "", DecodeEnd::NoSubsets},
        {"8192 levels", levelCountAt, 16, 8192, TooManyLevels},
        {"8191 levels", levelCountAt, 16, 8191, LevelsBeyondSection},
        {"65535 levels", levelCountAt, 16, 0xFFFF, TooManyLevels},
    };
    for (const Row& row : rows) {
        ByteVector bytes = small->Bytes;
        PutBits(bytes, row.BitOffset, row.Width, row.Value);
        const Outcome o = RunDecode(bytes);
        if (row.Error.empty()) {
            EXPECT_EQ(o.How, Outcome::Kind::Ended) << row.What << ": " << o.Describe();
            EXPECT_EQ(o.End, row.End) << row.What << ": " << o.Describe();
        } else {
            EXPECT_TRUE(o.IsError(row.Error)) << row.What << ": " << o.Describe();
        }
    }
    // A Section 1 or 3 length reaching past the message is refused before anything is read there.
    for (const std::size_t at : {l.Section1, l.Section3}) {
        ByteVector bytes = small->Bytes;
        PutBits(bytes, at * 8, 24, 0xFFFFFF);
        const Outcome o = RunDecode(bytes);
        EXPECT_EQ(o.How, Outcome::Kind::Error) << "length 0xFFFFFF at " << at << ": " << o.Describe();
        EXPECT_EQ(o.Message.rfind("Раздел ", 0), 0u) << o.Message;
    }
}

// The builder-made seeds end as they were built to (so that the fuzzer starts from those corners),
// and stay acceptable under bit flips.
TEST(MutationSweep, BuilderSeedsEndAsBuilt) {
    struct Row {
        const char* Name;
        std::string Error;  // empty: a report
    };
    const Row rows[] = {
        {"edge_subsets_65535", ""},
        {"edge_operators", ""},
        {"edge_wide_reference", ""},
        {"edge_levels_8191", LevelsBeyondSection},
        {"edge_hires57_levels_65535", LevelsBeyondSection},
        {"edge_shear_255", ""},
        {"edge_ed3_section2", ""},
        {"edge_sevens_in_data", ""},
        {"edge_bulletin_two", ""},
        {"edge_many_descriptors", DataTooSmall},
        {"edge_two_templates", "Поддерживается использование только одного из шаблонов:3-09-050,3-09-051 или 3-09-052!"},
        {"edge_template_053", ""},
        {"edge_compressed", "Сжатые данные не поддерживаются"},
    };
    Violations bad;
    std::mt19937 rng(309052);
    for (const Row& row : rows) {
        const ByteVector seed = ReadFileBytes(fs::path(TAVIK_SOURCE_DIR) / "fuzz" / "corpus" / (std::string(row.Name) + ".bufr"));
        const Outcome o = RunDecode(seed);
        if (row.Error.empty()) {
            EXPECT_TRUE(o.How == Outcome::Kind::Ended && o.End == DecodeEnd::Report) << row.Name << ": " << o.Describe();
        } else {
            EXPECT_TRUE(o.IsError(row.Error)) << row.Name << ": " << o.Describe();
        }
        std::uniform_int_distribution<std::size_t> at(0, seed.size() * 8 - 1);
        for (int i = 0; i < 200; ++i) {
            ByteVector bytes = seed;
            for (int k = 0; k <= i % 4; ++k) {
                const std::size_t bit = at(rng);
                bytes[bit / 8] ^= static_cast<std::uint8_t>(0x80u >> (bit % 8));
            }
            bad.RequireAcceptable(std::string(row.Name) + " bit flips, case " + std::to_string(i), RunDecode(bytes));
        }
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

// Runs of '7' written over the message: the loader may end the message early at them. Inside the
// data, with Section 0 intact, they are only other data, so a stride and one run length do there.
TEST(MutationSweep, RunsOfSevensOverwritten) {
    Violations bad;
    for (const SweepFixture& f : Fixtures()) {
        const std::size_t dataFrom = f.Layout.Section4 + 4 + 16, dataTo = f.Layout.Section5 - 16;
        const std::size_t stride = std::max<std::size_t>(23, f.Bytes.size() / 128);
        for (std::size_t p = f.Layout.Start; p < f.Layout.End; p += (p >= dataFrom && p < dataTo) ? stride : 1)
            for (const std::size_t run : {3u, 4u, 5u, 8u}) {
                if (p >= dataFrom && p < dataTo && run != 4) continue;
                ByteVector bytes = f.Bytes;
                for (std::size_t k = p; k < std::min(p + run, bytes.size()); ++k) bytes[k] = '7';
                bad.RequireAcceptable(CaseName(f, "run of " + std::to_string(run) + " at", p), RunDecode(bytes));
            }
    }
    EXPECT_TRUE(bad.Empty()) << bad.Text();
}

}  // namespace

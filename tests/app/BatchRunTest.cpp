// The built executable run with DECODE and EXPORT: the files it writes, their names and bytes,
// the output folder rules, the console line and the exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/AppTestHelpers.h"
#include "app/BatchMode.h"
#include "app/TavikRunner.h"
#include "support/Fixtures.h"

namespace {

const std::string UnknownLine = "Часть дескрипторов неизвестна, декодирование прервано!\r\n";

// Names in a folder, sorted; folders get a trailing '/'.
std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

std::string Joined(const LineList& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string FileText(const fs::path& file) {
    const ByteVector bytes = ReadFileBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

LineList Append(LineList head, const LineList& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The path and size lines of Input.
LineList FileLines(const fs::path& input, std::size_t size) {
    return {W(input.string()), W("Размер файла(Бт):") + std::to_string(size)};
}

std::string SetLine(int k, int n) { return W("Набор " + std::to_string(k) + "/" + std::to_string(n) + ":"); }

// The text of a batch decode of Message saved as Input: the file lines, one dump, then the set
// line and the report of each of the first Written subsets of Count.
std::string DecodeText(const fs::path& input, const ByteVector& message, int written, int count) {
    LineList lines = Append(FileLines(input, message.size()), DumpOf(message));
    for (int j = 0; j < written; ++j) {
        lines.push_back(SetLine(j + 1, count));
        lines = Append(lines, ReportOf(message, static_cast<std::uint32_t>(j)));
    }
    return Joined(lines);
}

// The text of the export file of subset J of Count.
std::string ExportText(const fs::path& input, const ByteVector& message, int j, int count) {
    LineList lines = Append(FileLines(input, message.size()), DumpOf(message));
    lines.push_back(SetLine(j + 1, count));
    return Joined(Append(lines, ReportOf(message, static_cast<std::uint32_t>(j))));
}

void ExpectQuietSuccess(const TavikRun& run) {
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
}

void ExpectReported(const TavikRun& run, const std::string& line) {
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, line);
    EXPECT_EQ(run.Err, "");
}

ByteVector ThreeSubsets() {
    return UAMessage({UASubset(27, 612, 11, 6, 37), UASubset(26, 63, 11, 1, 3), UASubset(34, 122, 10, 58, 50)});
}

TEST(CommandWord, TwoArgumentsWithDecodeOrExportInAnyCaseAreABatchRun) {
    struct Case {
        std::vector<std::string> args;
        bool batch;
        bool exportMode;
    } cases[] = {
        {{"DECODE", "f.bin"}, true, false},
        {{"decode", "f.bin"}, true, false},
        {{"Decode", "f.bin", "out", "more"}, true, false},
        {{"EXPORT", "f.bin"}, true, true},
        {{"eXpOrT", "f.bin", "out"}, true, true},
        {{"DECODE"}, false, false},
        {{"export"}, false, false},
        {{}, false, false},
        {{"DECODER", "f.bin"}, false, false},
        {{"f.bin", "DECODE"}, false, false},
        {{" DECODE", "f.bin"}, false, false},
    };
    for (const Case& c : cases) {
        bool exportMode = !c.exportMode;
        const bool batch = IsBatchCommand(c.args, exportMode);
        EXPECT_EQ(batch, c.batch) << ::testing::PrintToString(c.args);
        if (c.batch) {
            EXPECT_EQ(exportMode, c.exportMode) << ::testing::PrintToString(c.args);
        }
    }
}

TEST(BatchRun, CommandWordInAnyCaseRunsWithoutAWindowSystem) {
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37)});
    struct Case {
        const char* word;
        const char* written;
    } cases[] = {
        {"DECODE", "in.bin.PRN"}, {"decode", "in.bin.PRN"}, {"Decode", "in.bin.PRN"},
        {"EXPORT", "27612_20231010110637.PRN"}, {"export", "27612_20231010110637.PRN"},
        {"eXpOrT", "27612_20231010110637.PRN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        TempDir dir;
        const fs::path input = dir.Write("in.bin", message);
        fs::create_directory(dir.Path() / "out");

        const TavikRun run = RunTavik({c.word, input.string(), "out"}, dir.Path());

        ExpectQuietSuccess(run);
        EXPECT_EQ(Entries(dir.Path() / "out"), std::vector<std::string>{c.written});
    }
}

TEST(BatchRun, DecodeWritesTheTextByteForByteOverAnOlderFile) {
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37)});
    TempDir dir;
    const fs::path input = dir.Write("in.bin", message);
    fs::create_directory(dir.Path() / "out");
    // An older and longer file of that name is replaced, not partly overwritten.
    WriteFileBytes(dir.Path() / "out" / "in.bin.PRN", ByteVector(100000, 'x'));

    ExpectQuietSuccess(RunTavik({"DECODE", input.string(), "out"}, dir.Path()));

    const std::string text = FileText(dir.Path() / "out" / "in.bin.PRN");
    EXPECT_EQ(text, DecodeText(input, message, 1, 1));
    // Windows-1251 bytes: "Размер файла(Бт):" and "Набор 1/1:".
    EXPECT_NE(text.find("\r\n\xD0\xE0\xE7\xEC\xE5\xF0 \xF4\xE0\xE9\xEB\xE0(\xC1\xF2):" + std::to_string(message.size()) +
                        "\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n\xCD\xE0\xE1\xEE\xF0 1/1:\r\n"), std::string::npos);
    ReadCrLfLines(dir.Path() / "out" / "in.bin.PRN");  // adds a failure for any line end but CR LF
}

// Two runs writing the same name at once: each file appears whole under the name, so what stays
// is one complete listing of one of them, never a mix, and no temporary file.
TEST(BatchRun, TwoRunsWritingTheSameNameAtOnceLeaveOneCompleteListing) {
    // Listings of several blocks each and of different lengths, so that writes which interleave
    // or cut each other short would show.
    constexpr int Rounds = 20;
    constexpr int SubsetsA = 240, SubsetsB = 180;
    std::vector<UASubsetRaw> many, others;
    for (int j = 0; j < SubsetsA; ++j) many.push_back(UASubset(27, 612, 11, j / 60, j % 60));
    for (int j = 0; j < SubsetsB; ++j) others.push_back(UASubset(34, 122, 10, j / 60, j % 60));
    const ByteVector first = UAMessage(many);
    const ByteVector second = UAMessage(others);
    TempDir dir;
    fs::create_directory(dir.Path() / "a");
    fs::create_directory(dir.Path() / "b");
    fs::create_directory(dir.Path() / "out");
    const fs::path inputA = dir.Write("a/temp.bufr", first);
    const fs::path inputB = dir.Write("b/temp.bufr", second);
    const std::string textA = DecodeText(inputA, first, SubsetsA, SubsetsA);
    const std::string textB = DecodeText(inputB, second, SubsetsB, SubsetsB);
    ASSERT_GT(textB.size(), 3u * 65536) << "a listing of several blocks";

    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TavikRun runA, runB;
        std::thread other([&] { runB = RunTavik({"DECODE", inputB.string(), "out"}, dir.Path()); });
        runA = RunTavik({"DECODE", inputA.string(), "out"}, dir.Path());
        other.join();
        ExpectQuietSuccess(runA);
        ExpectQuietSuccess(runB);
        EXPECT_EQ(Entries(dir.Path() / "out"), std::vector<std::string>{"temp.bufr.PRN"});
        const std::string text = FileText(dir.Path() / "out" / "temp.bufr.PRN");
        EXPECT_TRUE(text == textA || text == textB) << text.size() << " bytes, neither listing";
    }
}

// A control character in the input's name (a line break, say) is shown as '?' on the path line,
// so that every line of the listing still ends in CR LF.
TEST(BatchRun, ControlCharactersInTheInputNameDoNotBreakTheLines) {
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37)});
    const std::string names[] = {"new\nline.bufr", "carriage\rreturn.bufr", "tab\tand\x7f" "del.bufr",
                                 "\x01\x1f.bufr"};
    for (const std::string& name : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        TempDir dir;
        const fs::path input = dir.Write(name, message);
        ExpectQuietSuccess(RunTavik({"DECODE", input.string()}, dir.Path()));
        std::string shown = input.string();
        std::replace_if(
            shown.begin(), shown.end(),
            [](char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F; }, '?');
        const LineList lines = ReadCrLfLines(dir.Path() / (name + ".PRN"));  // a failure for any bare CR or LF
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], W(shown));
        // The rest of the listing is the usual one.
        const std::string usual = DecodeText(input, message, 1, 1);
        EXPECT_EQ(FileText(dir.Path() / (name + ".PRN")), W(shown) + usual.substr(W(input.string()).size()));
    }
}

TEST(BatchRun, DecodeOfThreeSubsetsWritesOneFileWithOneDump) {
    const ByteVector message = ThreeSubsets();
    TempDir dir;
    const fs::path input = dir.Write("three.bin", message);

    ExpectQuietSuccess(RunTavik({"DECODE", input.string()}, dir.Path()));

    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"three.bin", "three.bin.PRN"}));
    const LineList lines = ReadCrLfLines(dir.Path() / "three.bin.PRN");
    EXPECT_EQ(CountEqual(lines, W("::::Раздел указателя(0)")), 1u);
    EXPECT_EQ(CountPrefixed(lines, W("Набор ")), 3u);
    EXPECT_EQ(FileText(dir.Path() / "three.bin.PRN"), DecodeText(input, message, 3, 3));
}

TEST(BatchRun, ExportOfThreeSubsetsWritesAFileEachWithItsOwnDump) {
    const ByteVector message = ThreeSubsets();
    TempDir dir;
    const fs::path input = dir.Write("three.bin", message);

    ExpectQuietSuccess(RunTavik({"EXPORT", input.string()}, dir.Path()));

    const std::vector<std::string> names{"27612_20231010110637.PRN", "26063_20231010110103.PRN",
                                         "34122_20231010105850.PRN"};
    std::vector<std::string> expected = names;
    expected.push_back("three.bin");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Entries(dir.Path()), expected);
    for (int j = 0; j < 3; ++j) {
        SCOPED_TRACE(names[j]);
        EXPECT_EQ(CountEqual(ReadCrLfLines(dir.Path() / names[j]), W("::::Раздел указателя(0)")), 1u);
        EXPECT_EQ(FileText(dir.Path() / names[j]), ExportText(input, message, j, 3));
    }
}

TEST(BatchRun, ExportOfTwoSubsetsOfOneStationAndTimeKeepsTheSecond) {
    UASubsetRaw second = UASubset(27, 612, 11, 6, 37);
    second.Levels.resize(1);
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37), second});
    TempDir dir;
    const fs::path input = dir.Write("twice.bin", message);

    ExpectQuietSuccess(RunTavik({"EXPORT", input.string()}, dir.Path()));

    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"27612_20231010110637.PRN", "twice.bin"}));
    EXPECT_EQ(FileText(dir.Path() / "27612_20231010110637.PRN"), ExportText(input, message, 1, 2));
}

TEST(BatchRun, ExportWithoutTemplateNamesTheFilesAfterTheInputAndSubset) {
    // 0 01 082 alone: every descriptor known, no template; three subsets.
    const ByteVector message = BufrBuilder().Descriptors({1082}).Subsets(3).Data(ByteVector(6, 0)).Build();
    TempDir dir;
    const fs::path input = dir.Write("name.bin", message);
    fs::create_directory(dir.Path() / "out");

    ExpectQuietSuccess(RunTavik({"EXPORT", input.string(), "out/"}, dir.Path()));

    EXPECT_EQ(Entries(dir.Path() / "out"),
              (std::vector<std::string>{"name.bin_0.PRN", "name.bin_1.PRN", "name.bin_2.PRN"}));
    for (int j = 0; j < 3; ++j) {
        const std::string name = "name.bin_" + std::to_string(j) + ".PRN";
        SCOPED_TRACE(name);
        const LineList lines = ReadCrLfLines(dir.Path() / "out" / name);
        const LineList expected = Append(Append(FileLines(input, message.size()), DumpOf(message)),
                                       {SetLine(j + 1, 3), W("Данных 3-09-050, 3-09-051 или 3-09-052 нет")});
        EXPECT_EQ(lines, expected);
    }
}

TEST(BatchRun, UnknownDescriptorsWriteTheFirstSubsetThenReportIt) {
    const ByteVector message = UAMessage(
        {UASubset(27, 612, 11, 6, 37), UASubset(26, 63, 11, 1, 3), UASubset(34, 122, 10, 58, 50)}, {309052, 1001});
    {
        TempDir dir;
        const fs::path input = dir.Write("unknown.bin", message);
        ExpectReported(RunTavik({"DECODE", input.string()}, dir.Path()), UnknownLine);
        EXPECT_EQ(FileText(dir.Path() / "unknown.bin.PRN"), DecodeText(input, message, 1, 3));
    }
    {
        TempDir dir;
        const fs::path input = dir.Write("unknown.bin", message);
        ExpectReported(RunTavik({"EXPORT", input.string()}, dir.Path()), UnknownLine);
        EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"27612_20231010110637.PRN", "unknown.bin"}));
        EXPECT_EQ(FileText(dir.Path() / "27612_20231010110637.PRN"), ExportText(input, message, 0, 3));
    }
}

TEST(BatchRun, ZeroSubsetsDecodeSavesTheHeaderAndExportNothing) {
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37)}, {309052}, 0);
    TempDir dir;
    const fs::path input = dir.Write("zero.bin", message);
    fs::create_directory(dir.Path() / "decoded");
    fs::create_directory(dir.Path() / "exported");

    ExpectQuietSuccess(RunTavik({"DECODE", input.string(), "decoded"}, dir.Path()));
    ExpectQuietSuccess(RunTavik({"EXPORT", input.string(), "exported"}, dir.Path()));

    EXPECT_EQ(FileText(dir.Path() / "decoded" / "zero.bin.PRN"), DecodeText(input, message, 0, 0));
    EXPECT_TRUE(Entries(dir.Path() / "exported").empty());
}

TEST(BatchRun, FilesThatCannotBeDecodedAreReportedWithAFailingStatus) {
    struct Case {
        const char* name;
        ByteVector bytes;
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {"plain.txt", BytesOf("just text, no message"), {"DECODE", "plain.txt"}, "plain.txt нет данных BUFR!\r\n"},
        {"plain.txt", BytesOf("just text, no message"), {"export", "./plain.txt", "."},
         "./plain.txt нет данных BUFR!\r\n"},
        {"Зонд.txt", BytesOf("7777 BUFR"), {"DECODE", "Зонд.txt"}, "Зонд.txt нет данных BUFR!\r\n"},
        {"overlong.bin", BufrBuilder().Data(ByteVector(100, 0)).SetSection4Length(108).Build(),
         {"DECODE", "overlong.bin"}, "overlong.bin ошибка чтения BUFR!\r\n"},
        {"nodesc.bin", BufrBuilder().Descriptors({}).Data(ByteVector(8, 0)).Build(), {"EXPORT", "nodesc.bin"},
         "nodesc.bin ошибка чтения дескрипторов!\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        TempDir dir;
        dir.Write(c.name, c.bytes);

        ExpectReported(RunTavik(c.args, dir.Path()), c.line);

        EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{c.name});
    }
}

TEST(BatchRun, MissingFileIsReportedByName) {
    TempDir dir;
    const TavikRun run = RunTavik({"DECODE", "missing.bufr"}, dir.Path());

    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, "Нет такого файла или папки: «missing.bufr»\r\n");
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

TEST(BatchRun, OutputFolderThatDoesNotExistIsReported) {
    TempDir dir;
    dir.Write("in.bin", UAMessage({UASubset(27, 612, 11, 6, 37)}));

    const TavikRun run = RunTavik({"DECODE", "in.bin", "absent"}, dir.Path());

    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Out.find("absent/in.bin.PRN"), std::string::npos) << run.Out;
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"in.bin"});
}

// An empty third argument names the working folder, never the root of the file system.
TEST(BatchRun, EmptyOutputFolderIsTheWorkingFolder) {
    TempDir dir;
    fs::create_directory(dir.Path() / "data");
    dir.Write("data/in.bin", UAMessage({UASubset(27, 612, 11, 6, 37)}));

    ExpectQuietSuccess(RunTavik({"DECODE", "data/in.bin", ""}, dir.Path()));

    EXPECT_TRUE(fs::exists(dir.Path() / "in.bin.PRN"));
    EXPECT_FALSE(fs::exists(dir.Path() / "data" / "in.bin.PRN"));
}

// Where the file goes for the second and third argument, relative and absolute; the first line is
// always the full path of the input.
TEST(BatchRun, OutputFolderRules) {
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37)});
    struct Case {
        std::string input;   // as typed, relative to the working folder or "@" for its absolute path
        std::string output;  // third argument; empty: none; "@" prefix: absolute
        std::string written; // relative to the working folder
    } cases[] = {
        {"in.bin", "", "in.bin.PRN"},
        {"data/in.bin", "", "data/in.bin.PRN"},
        {"@data/in.bin", "", "data/in.bin.PRN"},
        {"data/in.bin", "out", "out/in.bin.PRN"},
        {"data/in.bin", "out/", "out/in.bin.PRN"},
        {"@data/in.bin", "@out", "out/in.bin.PRN"},
        {"in.bin", "@out/", "out/in.bin.PRN"},
        {"in.bin", ".", "in.bin.PRN"},
        {"./data/../in.bin", "data/./", "data/in.bin.PRN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input + " -> " + c.output);
        TempDir dir;
        fs::create_directory(dir.Path() / "data");
        fs::create_directory(dir.Path() / "out");
        dir.Write("in.bin", message);
        dir.Write("data/in.bin", message);
        const auto expand = [&](const std::string& arg) {
            return arg.rfind('@', 0) == 0 ? (dir.Path() / arg.substr(1)).string() : arg;
        };
        std::vector<std::string> args{"DECODE", expand(c.input)};
        if (!c.output.empty()) args.push_back(expand(c.output));

        ExpectQuietSuccess(RunTavik(args, dir.Path()));

        const fs::path written = dir.Path() / c.written;
        ASSERT_TRUE(fs::exists(written));
        const fs::path input = (dir.Path() / (c.input[0] == '@' ? c.input.substr(1) : c.input)).lexically_normal();
        EXPECT_EQ(ReadCrLfLines(written).at(0), W(input.string()));
        std::size_t prn = 0;
        for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
            prn += entry.path().extension() == ".PRN";
        EXPECT_EQ(prn, 1u);
    }
}

TEST(BatchRun, CyrillicFolderNames) {
    const ByteVector message = UAMessage({UASubset(27, 612, 11, 6, 37)});
    TempDir dir;
    fs::create_directory(dir.Path() / "Зонды");
    fs::create_directory(dir.Path() / "Выход");
    const fs::path input = dir.Write("Зонды/Зонд.bin", message);

    ExpectQuietSuccess(RunTavik({"decode", "Зонды/Зонд.bin", "Выход"}, dir.Path()));
    ExpectQuietSuccess(RunTavik({"export", input.string()}, dir.Path()));

    EXPECT_EQ(Entries(dir.Path() / "Выход"), std::vector<std::string>{"Зонд.bin.PRN"});
    EXPECT_EQ(Entries(dir.Path() / "Зонды"), (std::vector<std::string>{"27612_20231010110637.PRN", "Зонд.bin"}));
    const LineList lines = ReadCrLfLines(dir.Path() / "Выход" / "Зонд.bin.PRN");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], W(input.string()));
    // "/Зонды/Зонд.bin" in Windows-1251.
    const std::string tail = "/\xC7\xEE\xED\xE4\xFB/\xC7\xEE\xED\xE4.bin";
    EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail);
    EXPECT_EQ(FileText(dir.Path() / "Выход" / "Зонд.bin.PRN"), DecodeText(input, message, 1, 1));
}

// A TEMP SHIP names its export file after the ship identifier. Whatever its characters, the name
// is one file in the output folder.
TEST(BatchRun, ShipIdentifiersNameFilesInsideTheOutputFolder) {
    using namespace std::string_literals;
    struct Case {
        std::string shipId;
        std::string name;
    } cases[] = {
        {"UBRS5", "UBRS5    _20231010110637.PRN"},
        {"A\x01" "B\x1F" "C\x7F", "A_B_C_   _20231010110637.PRN"},
        {"AB\0CD"s, "AB_20231010110637.PRN"},
        {"..", "..       _20231010110637.PRN"},
        {"../../up", "xxxxx_20231010110637.PRN"},
        {"A/B", "xxxxx_20231010110637.PRN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UASubsetRaw ship = UASubset(RawMissing, RawMissing, 11, 6, 37);
        ship.ShipId = c.shipId;
        TempDir dir;
        fs::create_directories(dir.Path() / "a" / "out");
        const fs::path input = dir.Write("ship.bin", UAMessage({ship}));

        ExpectQuietSuccess(RunTavik({"EXPORT", input.string(), "a/out"}, dir.Path()));

        EXPECT_EQ(Entries(dir.Path() / "a" / "out"), std::vector<std::string>{c.name});
        EXPECT_EQ(Entries(dir.Path() / "a"), std::vector<std::string>{"out/"});
        EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"a/", "ship.bin"}));
    }
}

// A launch time that is no date falls back to the message's date, whose too-wide fields print as
// slashes: they become '_' in the file name.
TEST(BatchRun, SlashesOfTheMessageDateBecomeUnderscoresInTheName) {
    UASubsetRaw subset = UASubset(27, 612, 11, 6, 37);
    subset.Month = 13;
    BitWriter data;
    WriteUASubset(data, subset);
    data.PadToOctet();
    TempDir dir;
    fs::create_directory(dir.Path() / "out");
    const fs::path input = dir.Write("in.bin", BufrBuilder().TypicalDate(2023, 200, 10, 12, 0).Data(data).Build());

    ExpectQuietSuccess(RunTavik({"EXPORT", input.string(), "out"}, dir.Path()));

    EXPECT_EQ(Entries(dir.Path() / "out"), std::vector<std::string>{"27612_2023__10120000.PRN"});
}

// The shared fixtures through both modes: the files written, their names, their first lines,
// one dump each, the set lines, and the console line.
TEST(BatchRun, SharedFixtures) {
    TAVIK_REQUIRE_PATH(FixturesDir());
    struct Case {
        const char* fixture;
        const char* word;
        const char* output;  // third argument, or nullptr: beside the input
        std::vector<std::pair<std::string, std::vector<std::string>>> files;  // name, its set lines
        std::string console;
    } cases[] = {
        {"temp52_ed4_small.bufr", "DECODE", nullptr, {{"temp52_ed4_small.bufr.PRN", {"1/1"}}}, ""},
        {"temp52_ed4_small.bufr", "EXPORT", "out", {{"27612_20231010110637.PRN", {"1/1"}}}, ""},
        {"temp52_3subsets.bufr", "DECODE", "out/", {{"temp52_3subsets.bufr.PRN", {"1/3", "2/3", "3/3"}}}, ""},
        {"temp52_3subsets.bufr", "EXPORT", nullptr,
         {{"26063_20231010110103.PRN", {"2/3"}}, {"27612_20231010110637.PRN", {"1/3"}},
          {"34122_20231010105850.PRN", {"3/3"}}},
         ""},
        {"synop_no_template.bufr", "DECODE", "out", {{"synop_no_template.bufr.PRN", {"1/1"}}}, UnknownLine},
        {"synop_no_template.bufr", "EXPORT", "out/", {{"synop_no_template.bufr_0.PRN", {"1/1"}}}, UnknownLine},
        {"temp52_unsupported.bufr", "DECODE", nullptr, {{"temp52_unsupported.bufr.PRN", {"1/1"}}}, UnknownLine},
        {"temp52_unsupported.bufr", "EXPORT", "out", {{"27612_20231010110637.PRN", {"1/1"}}}, UnknownLine},
        {"temp52_bulletin.bufr", "DECODE", "out", {{"temp52_bulletin.bufr.PRN", {"1/1"}}}, ""},
        {"temp52_bulletin.bufr", "EXPORT", "out", {{"27612_20231010110637.PRN", {"1/1"}}}, ""},
        {"temp52_edges.bufr", "EXPORT", "out", {{"UBRS5    _20231010111400.PRN", {"1/1"}}}, ""},
        {"pilot51_ed4.bufr", "EXPORT", "out", {{"34122_20231010173120.PRN", {"1/1"}}}, ""},
        {"temp52_ed3.bufr", "EXPORT", "out", {{"26063_20231010110412.PRN", {"1/1"}}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + c.fixture);
        TempDir dir;
        fs::create_directory(dir.Path() / "in");
        fs::create_directory(dir.Path() / "out");
        const fs::path input = dir.Path() / "in" / c.fixture;
        fs::copy_file(FixturesDir() / c.fixture, input);
        std::vector<std::string> args{c.word, std::string("in/") + c.fixture};
        if (c.output) args.push_back(c.output);

        const TavikRun run = RunTavik(args, dir.Path());

        EXPECT_EQ(run.Out, c.console);
        EXPECT_EQ(run.Status, c.console.empty() ? 0 : 1);
        EXPECT_EQ(run.Err, "");
        const fs::path outDir = dir.Path() / (c.output ? "out" : "in");
        std::vector<std::string> expected;
        for (const auto& file : c.files) expected.push_back(file.first);
        if (!c.output) expected.push_back(c.fixture);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Entries(outDir), expected);
        for (const auto& [name, sets] : c.files) {
            SCOPED_TRACE(name);
            if (!fs::exists(outDir / name)) continue;
            const LineList lines = ReadCrLfLines(outDir / name);
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[0], W(input.string()));
            EXPECT_EQ(lines[1], W("Размер файла(Бт):") + std::to_string(fs::file_size(input)));
            EXPECT_EQ(CountEqual(lines, W("::::Раздел указателя(0)")), 1u);
            std::vector<std::string> setLines;
            for (const std::string& line : lines)
                if (line.rfind(W("Набор "), 0) == 0) setLines.push_back(line);
            std::vector<std::string> expectedSets;
            for (const std::string& set : sets) expectedSets.push_back(W("Набор " + set + ":"));
            EXPECT_EQ(setLines, expectedSets);
        }
    }
}

// 3-09-057 and 3-09-056 name their files after the station and the launch time as 3-09-052 does;
// without block and station numbers the WIGOS local identifier comes before the ship identifier.
TEST(BatchRun, ExportOfHighResolutionTemplates) {
    const fs::path data = fs::path(TAVIK_SOURCE_DIR) / "tests" / "decoder" / "data";
    const struct {
        const char* file;
        std::vector<std::pair<std::string, std::string>> files;  // name, its set line
    } cases[] = {
        {"hires57_2subsets.bufr", {{"01001_20260106051128.PRN", "1/2"}, {"DBBH_20260106051128.PRN", "2/2"}}},
        {"hires56_descent.bufr", {{"01001_20260106051128.PRN", "1/1"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const fs::path input = dir.Path() / c.file;
        fs::copy_file(data / c.file, input);
        fs::create_directory(dir.Path() / "out");
        ExpectQuietSuccess(RunTavik({"EXPORT", input.string(), "out"}, dir.Path()));
        std::vector<std::string> expected;
        for (const auto& file : c.files) expected.push_back(file.first);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Entries(dir.Path() / "out"), expected);
        for (const auto& [name, set] : c.files) {
            if (!fs::exists(dir.Path() / "out" / name)) continue;
            const LineList lines = ReadCrLfLines(dir.Path() / "out" / name);
            EXPECT_EQ(CountEqual(lines, W("Набор " + set + ":")), 1u) << name;
            EXPECT_EQ(CountEqual(lines, W("Данных 3-09-050, 3-09-051 или 3-09-052 нет")), 0u) << name;
        }
    }
}

}  // namespace

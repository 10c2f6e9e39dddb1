// The built executable run with JSON and CSV: the command words, the bulletins of the real files
// (every distinct message, repeats written once), the suffix of a name written twice, a message
// that cannot be decoded among good ones, and the failures of the output (missing folder, a file
// where the folder should be, a disk that fills up part-way).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppTestHelpers.h"
#include "app/BatchMode.h"
#include "app/TavikRunner.h"
#include "support/FileSizeLimit.h"
#include "support/Fixtures.h"

namespace {

using nlohmann::json;

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> WithExtension(const std::vector<std::string>& stems, const std::string& extension) {
    std::vector<std::string> names;
    for (const std::string& stem : stems) names.push_back(stem + extension);
    return names;
}

ByteVector Joined(const std::vector<ByteVector>& parts) {
    ByteVector all;
    for (const ByteVector& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(DataCommand, JsonOrCsvInAnyCaseWithAFileAfterIt) {
    struct Case {
        std::vector<std::string> args;
        std::optional<DataFormat> format;
    } cases[] = {
        {{"JSON", "a.bufr"}, DataFormat::Json},
        {{"json", "a.bufr", "out"}, DataFormat::Json},
        {{"Csv", "a.bufr"}, DataFormat::Csv},
        {{"JSON"}, std::nullopt},  // a lone word is a file name for the window
        {{"CSV"}, std::nullopt},
        {{"JSONS", "a.bufr"}, std::nullopt},
        {{"DECODE", "a.bufr"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " with " + std::to_string(c.args.size()) + " argument(s)");
        EXPECT_EQ(DataCommand(c.args), c.format);
        bool exportMode = false;
        if (c.args[0] != "DECODE") {
            EXPECT_FALSE(IsBatchCommand(c.args, exportMode)) << "DECODE and EXPORT keep to their own words";
        }
    }
}

// The bulletins of the real files: one file per distinct subset, the repeats written once.
TEST(DataBatch, RealBulletinsGiveOneFilePerDistinctSubset) {
    TAVIK_REQUIRE_PATH(RealDataDir());
    struct Case {
        const char* file;
        std::vector<std::string> stems;
    } cases[] = {
        {"07_czech_IUSD40OKLI_ed3_309052_4msgs.bufr",
         {"11520_20071119231500", "11520_20071120052900", "11520_20071120111500", "11520_20071120173000"}},
        {"12_italy_cnmc_309052_meta_2msgs.bufr", {}},
        {"13_mixed_ingv_pretoria_delhi_309052_3msgs_empty.bufr",
         {"40265_20140130000000", "43128_20140130000000", "xxxxx_20140130000000"}},
        {"16_australia_IUKK71AMMC_309052_mtv21_2dupmsgs.bufr", {}},
        {"18_newzealand_IUSK18NZKL_309052_hires_4dupmsgs.bufr", {"93417_20171210093034"}},
    };
    const std::size_t counts[] = {4, 2, 3, 1, 1};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        for (const char* word : {"JSON", "csv"}) {
            SCOPED_TRACE(std::string(c.file) + " " + word);
            TempDir dir;
            const TavikRun run = RunTavik({word, (RealDataDir() / c.file).string(), dir.Path().string()}, dir.Path());
            EXPECT_EQ(run.Status, 0);
            EXPECT_EQ(run.Out, "");
            const std::vector<std::string> names = Entries(dir.Path());
            EXPECT_EQ(names.size(), counts[i]);
            const std::string extension = word == std::string("JSON") ? ".json" : ".csv";
            if (!c.stems.empty()) {
                EXPECT_EQ(names, WithExtension(c.stems, extension));
            }
            for (const std::string& name : names) EXPECT_EQ(fs::path(name).extension(), extension);
        }
    }
}

// Two messages of the same station and launch time that differ, a repeat of the first, and between
// them a message that cannot be read: both distinct ones are written, the second under a suffix, the
// broken one is the console line naming its message, and the status says that something failed.
TEST(DataBatch, SuffixForANameWrittenTwiceAndABrokenMessageAmongGoodOnes) {
    const ByteVector first = UAMessage({UASubset(27, 612, 11, 6, 37)});
    const ByteVector second = UAMessage({UASubset(27, 612, 11, 6, 37), UASubset(27, 612, 11, 6, 37)});
    const ByteVector broken = BufrBuilder().Data(ByteVector(100, 0)).SetSection4Length(108).Build();
    TempDir dir;
    dir.Write("bulletin.bin", Joined({first, broken, second, first}));

    const TavikRun run = RunTavik({"JSON", "bulletin.bin"}, dir.Path());

    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "bulletin.bin (сообщение 2) ошибка чтения BUFR!\r\n");
    EXPECT_EQ(Entries(dir.Path()),
              (std::vector<std::string>{"27612_20231010110637.json", "27612_20231010110637_2.json",
                                        "27612_20231010110637_3.json", "bulletin.bin"}));
    const json a = LoadJson(dir.Path() / "27612_20231010110637.json");
    const json b = LoadJson(dir.Path() / "27612_20231010110637_2.json");
    const json c = LoadJson(dir.Path() / "27612_20231010110637_3.json");
    EXPECT_EQ(a["source"], json({{"file", "bulletin.bin"}, {"message", 1}, {"messages", 4}, {"subset", 1}}));
    EXPECT_EQ(b["source"], json({{"file", "bulletin.bin"}, {"message", 3}, {"messages", 4}, {"subset", 1}}));
    EXPECT_EQ(c["source"]["subset"], 2);
}

TEST(DataBatch, NothingToReadIsOneLine) {
    TempDir dir;
    dir.Write("plain.txt", BytesOf("no message here"));
    const TavikRun text = RunTavik({"CSV", "plain.txt"}, dir.Path());
    EXPECT_EQ(text.Status, 1);
    EXPECT_EQ(text.Out, "plain.txt нет данных BUFR!\r\n");
    const TavikRun missing = RunTavik({"JSON", "missing.bufr"}, dir.Path());
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Out.find(": «missing.bufr»\r\n"), std::string::npos) << missing.Out;
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"plain.txt"});
}

// A folder that is not there, or a file where the folder should be: the line names the file that
// could not be written, and nothing is left behind.
TEST(DataBatch, OutputFolderThatCannotTakeTheFile) {
    TempDir dir;
    dir.Write("in.bin", UAMessage({UASubset(27, 612, 11, 6, 37)}));
    dir.Write("plain", BytesOf("a file"));
    for (const char* folder : {"absent", "plain"}) {
        SCOPED_TRACE(folder);
        const TavikRun run = RunTavik({"json", "in.bin", folder}, dir.Path());
        EXPECT_EQ(run.Status, 1);
        EXPECT_NE(run.Out.find(std::string(folder) + "/27612_20231010110637.json»\r\n"), std::string::npos) << run.Out;
        EXPECT_EQ(run.Out.find("\r\n"), run.Out.size() - 2) << "one line";
        EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"in.bin", "plain"}));
    }
}

// Blanks, Cyrillic and a line break in the input's name: the files go to the output folder and the
// name is kept, escaped, in the JSON.
TEST(DataBatch, OddInputNames) {
    TempDir dir;
    const std::string name = "Зонд 27612\n.bin";
    dir.Write(name, UAMessage({UASubset(27, 612, 11, 6, 37)}));
    fs::create_directory(dir.Path() / "Выход");
    const TavikRun run = RunTavik({"JSON", name, "Выход"}, dir.Path());
    EXPECT_EQ(run.Status, 0) << run.Out;
    EXPECT_EQ(LoadJson(dir.Path() / "Выход" / "27612_20231010110637.json")["source"]["file"], name);
}

// A disk that fills up part-way through the 8000-level JSON, made with the file size limit of a
// child process: the line, status 1, the older file under the name as it was, no temporary file.
TEST(DataBatch, AWriteThatFailsPartWayLeavesTheOlderFile) {
    const fs::path input = FixturesDir() / "temp52_ed4_hires.bufr";
    TAVIK_REQUIRE_PATH(input);
    constexpr rlim_t FileSizeLimit = 65536;
    TempDir dir;
    for (const char* word : {"JSON", "CSV"}) {
        SCOPED_TRACE(word);
        const fs::path out = dir.Path() / word;
        fs::create_directory(out);
        const std::string written = std::string("27612_20231010110205") + (word == std::string("JSON") ? ".json" : ".csv");
        const ByteVector older = BytesOf("an older complete file\n");
        WriteFileBytes(out / written, older);
        const fs::path console = dir.Path() / (std::string("console-") + word);

        const int status = ExitStatusUnderFileSizeLimit(FileSizeLimit, [&] {
            if (!RedirectStandardOutput(console)) return 90;
            const std::vector<std::string> args = {word, input.string(), out.string()};
            const int result = RunDataCommand(args, *DataCommand(args));
            std::fflush(nullptr);
            return result;
        });
        EXPECT_EQ(status, 1);
        const ByteVector printed = ReadFileBytes(console);
        EXPECT_EQ(std::string(printed.begin(), printed.end()), "Превышен предельный размер файла: «" + (out / written).string() + "»\r\n");
        EXPECT_EQ(ReadFileBytes(out / written), older);
        EXPECT_EQ(Entries(out), std::vector<std::string>{written});
    }
}

}  // namespace

// DecodeFile: the subset question answered from a script, the lines it leaves, the base names and
// the messages of a failed file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppTestHelpers.h"
#include "app/DecodeDriver.h"
#include "core/Errors.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompts.h"

namespace {

const std::string SubsetCaption = "В сообщении несколько поднаборов данных!";

// The three stations of a three-subset message: 27612 at 11:06:37, 26063 at 11:01:03, 34122 at
// 10:58:50.
ByteVector ThreeSubsets() {
    return UAMessage({UASubset(27, 612, 11, 6, 37), UASubset(26, 63, 11, 1, 3), UASubset(34, 122, 10, 58, 50)});
}

// The path, size and dump lines that every decoded text of File starts with.
LineList HeaderLines(const fs::path& File, const ByteVector& Bytes) {
    LineList lines{W(File.string()), W("Размер файла(Бт):") + std::to_string(Bytes.size())};
    const LineList dump = DumpOf(Bytes);
    lines.insert(lines.end(), dump.begin(), dump.end());
    return lines;
}

LineList Concat(LineList head, const std::string& line, const LineList& tail) {
    head.push_back(line);
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

void ExpectSameLines(const LineList& actual, const LineList& expected) {
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());
}

class DecodeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrimaryBaseName = "before";
        SecondaryBaseName = "before";
    }

    TempDir dir;
    ScriptedPrompts prompts;
    LineList lines{"old line"};
};

TEST_F(DecodeFileTest, ThreeSubsetsAnswerTwoShowsTheSecondSubset) {
    const ByteVector bytes = ThreeSubsets();
    const fs::path file = dir.Write("three.bin", bytes);
    prompts.Answer("2");

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    ExpectSameLines(lines, Concat(HeaderLines(file, bytes), "\xCD\xE0\xE1\xEE\xF0 2/3:", ReportOf(bytes, 1)));
    ASSERT_EQ(prompts.Asked.size(), 1u);
    EXPECT_EQ(prompts.Asked[0].Kind, PromptKind::Input);
    EXPECT_EQ(prompts.Asked[0].Caption, SubsetCaption);
    EXPECT_EQ(prompts.Asked[0].Text, "Какой поднабор из 3 выбрать?");
    EXPECT_EQ(prompts.Asked[0].Preset, "1");
    EXPECT_EQ(PrimaryBaseName, "26063_20231010110103");
    EXPECT_EQ(SecondaryBaseName, "before");
    EXPECT_EQ(UAPrimary.StationIndex, 26063);
}

TEST_F(DecodeFileTest, AnswersOutsideOneToThreeAskAgainWithOnePreset) {
    const std::vector<std::string> badAnswers{"0", "4", "-1", "abc", "", "2.5", "1x", "99999999999999999999"};
    const ByteVector bytes = ThreeSubsets();
    const fs::path file = dir.Write("three.bin", bytes);
    for (const std::string& answer : badAnswers) prompts.Answer(answer);
    prompts.Answer("3");

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    ASSERT_EQ(prompts.Asked.size(), badAnswers.size() + 1);
    for (const PromptRecord& asked : prompts.Asked) {
        EXPECT_EQ(asked.Kind, PromptKind::Input);
        EXPECT_EQ(asked.Caption, SubsetCaption);
        EXPECT_EQ(asked.Text, "Какой поднабор из 3 выбрать?");
        EXPECT_EQ(asked.Preset, "1");
    }
    ExpectSameLines(lines, Concat(HeaderLines(file, bytes), W("Набор 3/3:"), ReportOf(bytes, 2)));
    EXPECT_EQ(PrimaryBaseName, "34122_20231010105850");
}

TEST_F(DecodeFileTest, CancelAbortsSilentlyAndLeavesTheHeaderLines) {
    const ByteVector bytes = ThreeSubsets();
    const fs::path file = dir.Write("three.bin", bytes);
    for (bool afterBadAnswer : {false, true}) {
        SCOPED_TRACE(afterBadAnswer ? "Cancel after a bad answer" : "Cancel at once");
        ScriptedPrompts script;
        if (afterBadAnswer) script.Answer("7");
        script.Cancel();
        LineList text{"old line"};

        EXPECT_THROW(DecodeFile(file.string(), true, text, script), SilentAbort);

        ExpectSameLines(text, HeaderLines(file, bytes));
        EXPECT_EQ(script.Asked.size(), afterBadAnswer ? 2u : 1u);
        EXPECT_EQ(PrimaryBaseName, "before");
    }
}

TEST_F(DecodeFileTest, OneSubsetAsksNothing) {
    const ByteVector bytes = UAMessage({UASubset(27, 612, 11, 6, 37)});
    const fs::path file = dir.Write("one.bin", bytes);

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    EXPECT_TRUE(prompts.Asked.empty());
    ExpectSameLines(lines, Concat(HeaderLines(file, bytes), W("Набор 1/1:"), ReportOf(bytes, 0)));
    EXPECT_EQ(PrimaryBaseName, "27612_20231010110637");
}

TEST_F(DecodeFileTest, ZeroSubsetsAnsweredNoReturnsFalseWithTheHeaderLines) {
    const ByteVector bytes = UAMessage({UASubset(27, 612, 11, 6, 37)}, {309052}, 0);
    const fs::path file = dir.Write("zero.bin", bytes);
    prompts.AnswerYesNo(false);

    EXPECT_FALSE(DecodeFile(file.string(), true, lines, prompts));

    ASSERT_EQ(prompts.Asked.size(), 1u);
    EXPECT_EQ(prompts.Asked[0].Kind, PromptKind::YesNo);
    EXPECT_EQ(prompts.Asked[0].Text, "zero.bin\rКоличество поднаборов данных равно нулю! Игнорировать?");
    ExpectSameLines(lines, HeaderLines(file, bytes));
    EXPECT_EQ(PrimaryBaseName, "before");
}

TEST_F(DecodeFileTest, ZeroSubsetsAnsweredYesDecodesOneOfOne) {
    const ByteVector bytes = UAMessage({UASubset(27, 612, 11, 6, 37)}, {309052}, 0);
    const fs::path file = dir.Write("zero.bin", bytes);
    prompts.AnswerYesNo(true);

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    EXPECT_EQ(prompts.Asked.size(), 1u);
    ExpectSameLines(lines, Concat(HeaderLines(file, bytes), W("Набор 1/1:"), ReportOf(bytes, 0)));
    EXPECT_EQ(PrimaryBaseName, "27612_20231010110637");
}

TEST_F(DecodeFileTest, SecondaryFillsOnlyTheSecondaryDecoderAndName) {
    const fs::path primary = dir.Write("primary.bin", UAMessage({UASubset(27, 612, 11, 6, 37)}));
    const fs::path secondary = dir.Write("secondary.bin", UAMessage({UASubset(34, 122, 10, 58, 50)}));
    LineList secondaryLines;

    ASSERT_TRUE(DecodeFile(primary.string(), true, lines, prompts));
    ASSERT_TRUE(DecodeFile(secondary.string(), false, secondaryLines, prompts));

    EXPECT_EQ(PrimaryBaseName, "27612_20231010110637");
    EXPECT_EQ(SecondaryBaseName, "34122_20231010105850");
    EXPECT_EQ(UAPrimary.StationIndex, 27612);
    EXPECT_EQ(UASecondary.StationIndex, 34122);
    EXPECT_EQ(lines[0], W(primary.string()));
    EXPECT_EQ(secondaryLines[0], W(secondary.string()));
}

TEST_F(DecodeFileTest, WithoutTemplateTheBaseNameIsTheFileNameAndSubsetIndex) {
    // 0 01 082 alone: every descriptor known, no template.
    const ByteVector bytes = BufrBuilder().Descriptors({1082}).Data(BitWriter().Bits(284, 14).PadToOctet()).Build();
    const fs::path file = dir.Write("name.bin", bytes);

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    EXPECT_EQ(PrimaryBaseName, "name.bin_0");
    ExpectSameLines(lines,
                    Concat(HeaderLines(file, bytes), W("Набор 1/1:"), {W("Данных 3-09-050, 3-09-051 или 3-09-052 нет")}));
}

TEST_F(DecodeFileTest, UnknownDescriptorsStopAfterTheFirstSubsetWithAMessage) {
    // 3 07 080 is not taken: no template, one unknown descriptor; the second subset is asked for.
    const ByteVector bytes = BufrBuilder().Descriptors({307080}).Subsets(2).Data(ByteVector(8, 0)).Build();
    const fs::path file = dir.Write("synop.bin", bytes);
    prompts.Answer("2");

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    EXPECT_EQ(prompts.Messages(),
              std::vector<std::string>{file.string() + " часть дескрипторов неизвестна, декодирование прервано!"});
    EXPECT_EQ(PrimaryBaseName, "synop.bin_1");
    ExpectSameLines(lines, Concat(HeaderLines(file, bytes), W("Набор 2/2:"),
                                  {W("Количество неизвестных дескрипторов:1"),
                                   W("Данных 3-09-050, 3-09-051 или 3-09-052 нет")}));
}

TEST_F(DecodeFileTest, UnknownDescriptorsWithTheFirstSubsetChosenShowNoMessage) {
    const ByteVector bytes = UAMessage({UASubset(27, 612, 11, 6, 37), UASubset(26, 63, 11, 1, 3)}, {309052, 1001});
    const fs::path file = dir.Write("unknown.bin", bytes);
    prompts.Answer("1");

    ASSERT_TRUE(DecodeFile(file.string(), true, lines, prompts));

    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(PrimaryBaseName, "27612_20231010110637");
    ExpectSameLines(lines, Concat(HeaderLines(file, bytes), W("Набор 1/2:"), ReportOf(bytes, 0)));
}

TEST_F(DecodeFileTest, FilesThatCannotBeShownAreReportedByName) {
    // Section 4 declared 4 octets longer than written: it runs into "7777".
    const ByteVector overlong = BufrBuilder().Data(ByteVector(100, 0)).SetSection4Length(104 + 4).Build();
    struct Case {
        const char* name;
        ByteVector bytes;
        const char* message;
    } cases[] = {
        {"text.bin", BytesOf("no message in here, 7777"), " нет данных BUFR!"},
        {"open.bin", BytesOf(std::string_view("BUFR\0\0\x20\x04 and no end", 19)), " нет данных BUFR!"},
        {"overlong.bin", overlong, " ошибка чтения BUFR!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir.Write(c.name, c.bytes);
        ScriptedPrompts script;
        LineList text{"old line"};

        EXPECT_FALSE(DecodeFile(file.string(), true, text, script));

        EXPECT_EQ(script.Messages(), std::vector<std::string>{file.string() + c.message});
        EXPECT_EQ(text, LineList{"old line"});
        EXPECT_EQ(PrimaryBaseName, "before");
    }
}

TEST_F(DecodeFileTest, ErrorsRaisedCarryTheFileName) {
    const fs::path noDescriptors = dir.Write("nodesc.bin", BufrBuilder().Descriptors({}).Data(ByteVector(8, 0)).Build());
    try {
        DecodeFile(noDescriptors.string(), true, lines, prompts);
        ADD_FAILURE() << "a message without descriptors was decoded";
    } catch (const TavikError& e) {
        EXPECT_EQ(std::string(e.what()), noDescriptors.string() + " ошибка чтения дескрипторов!");
    }

    const fs::path missing = dir.Path() / "missing.bin";
    try {
        DecodeFile(missing.string(), true, lines, prompts);
        ADD_FAILURE() << "a missing file was decoded";
    } catch (const TavikError& e) {
        EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(prompts.Asked.empty());
    EXPECT_EQ(lines, LineList{"old line"});
}

}  // namespace

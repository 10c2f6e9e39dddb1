// Loading a file and locating its first message: from the first "BUFR" to the end of the closing
// run of '7's, or to the end Section 0 declares when a "7777" inside the message would end it early.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "core/Errors.h"
#include "core/FileLoader.h"
#include "core/uBUFRDefs.h"
#include "support/BufrBuilder.h"
#include "support/Fixtures.h"

namespace {

constexpr std::uint8_t Untouched = 0xEE;
constexpr std::uint32_t UntouchedLength = 0xDEADBEEF;

struct LoadResult {
    bool ok = false;
    std::uint32_t length = UntouchedLength;
    ByteVector buffer = ByteVector(MessageBufferSize, Untouched);
};

LoadResult LoadFile(const fs::path& file) {
    LoadResult load;
    load.ok = LoadBUFRFile(file, load.buffer.data(), load.length);
    return load;
}

LoadResult LoadBytes(const TempDir& dir, const ByteVector& content) { return LoadFile(dir.Write("input.bufr", content)); }

ByteVector Concat(std::initializer_list<ByteVector> parts) {
    ByteVector out;
    for (const ByteVector& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A message whose data section holds "7777" (a serial number, say) at data octet 3.
BufrBuilder WithSevensInData(std::string_view sevens = "7777") {
    return BufrBuilder().Data(BitWriter().Chars("SN-").Chars(sevens).Chars("-X"));
}

std::string Message(const TavikError& e) { return e.what(); }

TEST(LoadBUFRFileTest, LocatesTheFirstMessage) {
    const ByteVector msg = BufrBuilder().Centre(4).Build();
    const ByteVector second = BufrBuilder().Centre(98).Build();
    const ByteVector heading = BytesOf("\x01\r\r\n017\r\r\nIUKA01 RUMS 101200\r\r\n");
    const BuiltMessage sevensInData = WithSevensInData().Assemble();
    const std::size_t innerRunEnd = sevensInData.Section4 + 4 + 3 + 4;  // just after the inner "7777"

    struct Case {
        const char* what;
        ByteVector content;
        bool found;
        std::size_t start;
        std::size_t length;
    };
    const Case cases[] = {
        {"empty file", {}, false, 0, 0},
        {"no BUFR", BytesOf("IUKA01 RUMS 101200 7777\r\n"), false, 0, 0},
        {"BUFR without four '7's", BytesOf("BUFR 777 77 7x777"), false, 0, 0},
        {"three '7's at the end", BytesOf("BUFR....777"), false, 0, 0},
        {"'7's only before BUFR", BytesOf("7777BUFR...."), false, 0, 0},
        {"bare message", msg, true, 0, msg.size()},
        {"'B' before BUFR", Concat({BytesOf("B"), msg}), true, 1, msg.size()},
        {"'BUF' before BUFR", Concat({BytesOf("BUF"), msg}), true, 3, msg.size()},
        {"bulletin heading and trailer", Concat({heading, msg, BytesOf("\r\r\n\x03")}), true, heading.size(), msg.size()},
        {"beyond the first 65536 bytes", Concat({ByteVector(70000, 'x'), msg}), true, 70000, msg.size()},
        {"fifth '7' at the end of the file", Concat({msg, BytesOf("7")}), true, 0, msg.size() + 1},
        {"fifth and sixth '7' then text", Concat({msg, BytesOf("77\r\n")}), true, 0, msg.size() + 2},
        {"second message after it", Concat({msg, second}), true, 0, msg.size()},
        {"data ending in '7': a closing run of five", BufrBuilder().Data(BitWriter().Chars("A7")).Build(), true, 0,
         BufrBuilder().Data(BitWriter().Chars("A7")).Build().size()},
        {"shortest run: BUFR7777", BytesOf("BUFR7777"), true, 0, 8},
        {"'7777' in the data, declared end closed", sevensInData.Bytes, true, 0, sevensInData.Bytes.size()},
        {"'77777' in the data, declared end closed", WithSevensInData("77777").Build(), true, 0,
         WithSevensInData("77777").Build().size()},
        {"'7777' in the data, then a fifth '7' after the end", Concat({sevensInData.Bytes, BytesOf("7")}), true, 0,
         sevensInData.Bytes.size()},
        {"'7777' in the data, declared end beyond the file", WithSevensInData().SetTotalLength(5000).Build(), true, 0,
         innerRunEnd},
        {"'7777' in the data, declared end not '7777'", WithSevensInData().Section5("7770").Build(), true, 0,
         innerRunEnd},
        {"'7777' in Section 1 local data, in a bulletin",
         Concat({heading, BufrBuilder().Section1Local(BytesOf("77777")).Build()}), true, heading.size(),
         BufrBuilder().Section1Local(BytesOf("77777")).Build().size()},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LoadResult load = LoadBytes(dir, c.content);
        ASSERT_EQ(load.ok, c.found);
        if (!c.found) {
            EXPECT_EQ(load.length, UntouchedLength) << "Length untouched";
            EXPECT_TRUE(std::all_of(load.buffer.begin(), load.buffer.end(), [](std::uint8_t b) { return b == Untouched; }))
                << "Dest untouched";
            continue;
        }
        ASSERT_EQ(load.length, c.length);
        EXPECT_TRUE(std::equal(load.buffer.begin(), load.buffer.begin() + c.length, c.content.begin() + c.start))
            << "the located bytes are copied to index 0";
        EXPECT_EQ(load.buffer[c.length], Untouched) << "nothing is copied past the message";
    }
}

TEST(LoadBUFRFileTest, LocatedLengthMeetsTheSectionZeroCheck) {
    TempDir dir;
    // A fifth '7' is part of the located message; the longer length is accepted.
    {
        const LoadResult load = LoadBytes(dir, Concat({BufrBuilder().Build(), BytesOf("7")}));
        ASSERT_TRUE(load.ok);
        TBUFRMessage message;
        EXPECT_TRUE(message.Parse(load.buffer.data(), load.length));
    }
    // Without a closed declared end a "7777" in the data ends the message early: the size error.
    {
        const LoadResult load = LoadBytes(dir, WithSevensInData().Section5("7770").Build());
        ASSERT_TRUE(load.ok);
        TBUFRMessage message;
        try {
            message.Parse(load.buffer.data(), load.length);
            ADD_FAILURE() << "no error raised";
        } catch (const TavikError& e) {
            EXPECT_EQ(Message(e), "Раздел 0:Ошибка размера:перебор!");
        }
    }
    // With one, the whole message is there and parses.
    {
        const LoadResult load = LoadBytes(dir, WithSevensInData().Build());
        ASSERT_TRUE(load.ok);
        TBUFRMessage message;
        EXPECT_TRUE(message.Parse(load.buffer.data(), load.length));
        EXPECT_EQ(message.Section4->SectionLength(), 4u + 9u);
    }
}

TEST(LoadBUFRFileTest, FileSizeLimit) {
    TempDir dir;
    const ByteVector msg = BufrBuilder().Build();
    ByteVector largest(MaxBUFRFileSize - msg.size(), 'x');
    largest.insert(largest.end(), msg.begin(), msg.end());
    ASSERT_EQ(largest.size(), 655344u);
    const LoadResult load = LoadBytes(dir, largest);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.length, msg.size());
    EXPECT_TRUE(std::equal(msg.begin(), msg.end(), load.buffer.begin()));

    largest.push_back('x');
    LoadResult refused;
    try {
        refused = LoadBytes(dir, largest);
        ADD_FAILURE() << "a file of 655345 bytes was read";
    } catch (const TavikError& e) {
        EXPECT_EQ(Message(e), "Файл слишком велик");
    }
    EXPECT_EQ(refused.length, UntouchedLength);
}

TEST(LoadBUFRFileTest, UnreadableNamesRaiseTheSystemsDescription) {
    TempDir dir;
    LoadResult load;
    const auto expectError = [&](const fs::path& name, const std::string& expected) {
        try {
            LoadBUFRFile(name, load.buffer.data(), load.length);
            ADD_FAILURE() << name << " loaded";
        } catch (const TavikError& e) {
            EXPECT_EQ(Message(e), expected);
        }
    };
    expectError("no-such-folder-of-tavik/temp.bin", "Нет такого файла или папки: «no-such-folder-of-tavik/temp.bin»");
    expectError(dir.Path() / "temp.bin", "Нет такого файла или папки: «" + (dir.Path() / "temp.bin").string() + "»");
    dir.Write("plain.bin", BufrBuilder().Build());
    expectError(dir.Path() / "plain.bin" / "x",
                "Часть пути не является папкой: «" + (dir.Path() / "plain.bin" / "x").string() + "»");
    EXPECT_EQ(load.length, UntouchedLength);
}

TEST(LoadBUFRFileTest, DirectoryAndFifoAreRefusedByName) {
    TempDir dir;
    const fs::path fifo = dir.Path() / "pipe.bufr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const fs::path& name : {dir.Path(), fifo}) {
        LoadResult load;
        try {
            LoadBUFRFile(name, load.buffer.data(), load.length);
            ADD_FAILURE() << name << " loaded";
        } catch (const TavikError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(name.string()), std::string::npos) << text;
            EXPECT_GT(text.size(), name.string().size() + 2) << text;
        }
        EXPECT_EQ(load.length, UntouchedLength);
    }
}

}  // namespace

// The configuration file reader and writer.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <limits>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "UiTestApp.h"
#include "core/Cp1251.h"
#include "core/Errors.h"
#include "support/FileSizeLimit.h"
#include "ui/IniFile.h"

using ui::test::ReadFile;
using ui::test::WriteFile;

namespace {

// The file's bytes for a text written here in UTF-8.
QByteArray Cp1251(const QByteArray& utf8) {
    return QByteArray::fromStdString(Utf8ToCp1251(utf8.toStdString()));
}

class IniFileTest : public ::testing::Test {
protected:
    QString FileWith(const QByteArray& content) {
        WriteFile(fileName, content);
        return fileName;
    }
    QTemporaryDir dir;
    QString fileName = dir.filePath(QStringLiteral("TAVIK.CNF"));
};

struct IntegerCase {
    const char* text;
    bool valid;
    int value;
};

TEST_F(IniFileTest, ReadsIntegersInDecimalAndAfterHexPrefixesAndTheDefaultForAnythingElse) {
    const IntegerCase cases[] = {
        {"12", true, 12},
        {"0", true, 0},
        {"-5", true, -5},
        {"+5", true, 5},
        {"007", true, 7},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"$FF", true, 255},
        {"$ff", true, 255},
        {"-$10", true, -16},
        {"2147483647", true, std::numeric_limits<int>::max()},
        {"-2147483648", true, std::numeric_limits<int>::min()},
        {"0x7FFFFFFF", true, std::numeric_limits<int>::max()},
        {"2147483648", false, 0},
        {"99999999999999999999999", false, 0},
        {"12abc", false, 0},
        {"1 2", false, 0},
        {"1.5", false, 0},
        {"abc", false, 0},
        {"FF", false, 0},
        {"0x", false, 0},
        {"$", false, 0},
        {"0xG1", false, 0},
        {"-", false, 0},
        {"", false, 0},
        {"\xd9\xa3", false, 0},   // ARABIC-INDIC DIGIT THREE
    };
    for (const IntegerCase& c : cases) {
        const IniFile ini(FileWith(QByteArray("[S]\nK=") + c.text + "\n"));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("K"), 4242), c.valid ? c.value : 4242)
            << '"' << c.text << '"';
        int parsed = 0;
        EXPECT_EQ(IniFile::ParseInteger(QString::fromUtf8(c.text), parsed), c.valid) << c.text;
    }
}

TEST_F(IniFileTest, MatchesSectionAndKeyNamesWithoutRegardToCaseTheFirstOneCounting) {
    const IniFile ini(FileWith(Cp1251("; a comment line\n"
                                      "loose=before any section\n"
                                      "[Options]\n"
                                      "showsig = 1\n"
                                      "ShowSig=0\n"
                                      "no equals sign here\n"
                                      ";LeftAxisP=0\n"
                                      "[ПУТИ]\n"
                                      "Папка=/данные/\n"
                                      "[OPTIONS]\n"
                                      "SortYAxis=1\n")));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSig"), false));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("options"), QStringLiteral("LEFTAXISP"), true));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("OPTIONS"), QStringLiteral("SortYAxis"), false));
    EXPECT_EQ(ini.ReadString(QStringLiteral("пути"), QStringLiteral("ПАПКА"), {}), QStringLiteral("/данные/"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("OPTIONS"), QStringLiteral("loose"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("OPTIONS"), QStringLiteral("no equals sign here"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    const IniFile missing(dir.filePath(QStringLiteral("absent.cnf")));
    EXPECT_EQ(missing.ReadString(QStringLiteral("PATHS"), QStringLiteral("DATA"), QStringLiteral("/cur")),
              QStringLiteral("/cur"));
    EXPECT_EQ(missing.ReadInteger(QStringLiteral("RECENT"), QStringLiteral("N"), 0), 0);
    EXPECT_TRUE(missing.ReadBool(QStringLiteral("OPTIONS"), QStringLiteral("LeftAxisP"), true));

    const IniFile ini(FileWith("[RECENT]\nN=2\n[OPTIONS]\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("RECENT"), QStringLiteral("0"), {}), QString());
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSig"), false));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("PATHS"), QStringLiteral("N"), 7), 7);
}

TEST_F(IniFileTest, ReadsStringsUpTo2047Characters) {
    const QString limit(IniFile::MaxValueLength, QChar(u'ж'));
    const IniFile ini(FileWith(Cp1251("[S]\nexact=" + limit.toUtf8() + "\nlonger=" + (limit + "xyz").toUtf8() +
                                      "\n[S2]\nnext=1\n")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("exact"), {}), limit);
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("longer"), {}), limit);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S2"), QStringLiteral("next"), 0), 1);
}

TEST_F(IniFileTest, ReadsCrLfLines) {
    const IniFile ini(FileWith("[RECENT]\r\nN=1\r\n0=/data/a.bin\r\n"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("RECENT"), QStringLiteral("N"), 0), 1);
    EXPECT_EQ(ini.ReadString(QStringLiteral("RECENT"), QStringLiteral("0"), {}), QStringLiteral("/data/a.bin"));
}

TEST_F(IniFileTest, WritesInPlaceKeepingEveryOtherLine) {
    IniFile ini(FileWith("; kept comment\n"
                         "[RECENT]\n"
                         "n=3\n"
                         "0=/a\n"
                         "1=/b\n"
                         "2=/c\n"
                         "\n"
                         "[OPTIONS]\n"
                         "ShowSplash=0\n"
                         "showsig=0\n"));
    ini.WriteInteger(QStringLiteral("RECENT"), QStringLiteral("N"), 1);
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("0"), QStringLiteral("/new"));
    ini.WriteString(QStringLiteral("Recent"), QStringLiteral("5"), QStringLiteral("/five"));
    ini.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSig"), true);
    ini.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("LeftAxisP"), false);
    ini.WriteString(QStringLiteral("PATHS"), QStringLiteral("DATA"), QStringLiteral("/data/"));
    ini.UpdateFile();
    // Every line ends in CR LF, those read with LF alone too.
    EXPECT_EQ(ReadFile(fileName).toStdString(),
              "; kept comment\r\n"
              "[RECENT]\r\n"
              "N=1\r\n"
              "0=/new\r\n"
              "1=/b\r\n"
              "2=/c\r\n"
              "5=/five\r\n"
              "\r\n"
              "[OPTIONS]\r\n"
              "ShowSplash=0\r\n"
              "ShowSig=1\r\n"
              "LeftAxisP=0\r\n"
              "[PATHS]\r\n"
              "DATA=/data/\r\n");
}

TEST_F(IniFileTest, StoresValuesAsTheyAreAndReadsThemBackUnchanged) {
    const QString values[] = {
        QStringLiteral("/home/оператор/Данные зондирования/27612 & 27613.bin"),
        QStringLiteral("/a=b;c/[x]/y"),
        QStringLiteral("$12"),
        QString(),
    };
    {
        IniFile ini(fileName);
        for (int i = 0; i < 4; ++i) ini.WriteString(QStringLiteral("S"), QString::number(i), values[i]);
        ini.UpdateFile();
    }
    const IniFile ini(fileName);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QString::number(i), QStringLiteral("default")), values[i]);
    EXPECT_EQ(ReadFile(fileName), Cp1251("[S]\r\n0=/home/оператор/Данные зондирования/27612 & 27613.bin\r\n"
                                         "1=/a=b;c/[x]/y\r\n2=$12\r\n3=\r\n"));
}

TEST_F(IniFileTest, AValueWithACharacterWindows1251LacksRemovesItsKey) {
    IniFile ini(FileWith("[RECENT]\r\nN=2\r\n0=/old\r\n1=/b\r\n"));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("0"), QStringLiteral("/данные/αβγ.bin"));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("2"), QStringLiteral("/data/\u65e5.bin"));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("3"), QStringLiteral("/data/\ufffd.bin"));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("1"), QStringLiteral("/данные/№5.bin"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(fileName), Cp1251("[RECENT]\r\nN=2\r\n1=/данные/№5.bin\r\n"));
}

TEST_F(IniFileTest, AValueWithALineBreakRemovesItsKeyInsteadOfBreakingTheFile) {
    IniFile ini(FileWith("[RECENT]\nN=2\n0=/old\n1=/b\n"));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("0"), QStringLiteral("/x\n[OPTIONS]\nShowSig=1"));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("2"), QStringLiteral("/y\r"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(fileName).toStdString(), "[RECENT]\r\nN=2\r\n1=/b\r\n");
}

TEST_F(IniFileTest, AFileThatCannotBeWrittenRaisesUnableToWrite) {
    const QString unwritable = dir.filePath(QStringLiteral("no such folder/TAVIK.CNF"));
    IniFile ini(unwritable);
    ini.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSig"), true);
    try {
        ini.UpdateFile();
        FAIL() << "no error";
    } catch (const TavikError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "Unable to write to " + unwritable);
    }
}

// The child process may write at most FileSizeLimit bytes into a file, so the new text stops
// part-way. Exit code 0: "Unable to write to"; 1: no error; 2: another error.
TEST_F(IniFileTest, AWriteThatFailsPartWayLeavesTheOldFileWithItsModeAndNothingElse) {
    constexpr rlim_t FileSizeLimit = 1024;
    const QByteArray old = "[OPTIONS]\r\nShowSig=1\r\n";
    IniFile ini(FileWith(old));
    ASSERT_TRUE(QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner));
    ini.WriteString(QStringLiteral("RECENT"), QStringLiteral("0"), QString(4 * FileSizeLimit, QLatin1Char('x')));
    const int status = ExitStatusUnderFileSizeLimit(FileSizeLimit, [&] {
        try {
            ini.UpdateFile();
        } catch (const TavikError& e) {
            return QString::fromUtf8(e.what()) == "Unable to write to " + fileName ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(fileName), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("TAVIK.CNF")});

    // Written whole, the replaced file keeps its owner-only mode.
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(fileName), old + "[RECENT]\r\n0=" + QByteArray(4 * FileSizeLimit, 'x') + "\r\n");
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    EXPECT_FALSE(QFile::permissions(fileName) & others);
}

TEST_F(IniFileTest, AnUnchangedTextIsNotWrittenAgain) {
    IniFile ini(FileWith("[OPTIONS]\r\nShowSig=1\r\n"));
    ini.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSig"), true);
    // Replaced behind the reader's back: an update that changes nothing leaves the file alone.
    WriteFile(fileName, "[OPTIONS]\nShowSig=0\n");
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(fileName).toStdString(), "[OPTIONS]\nShowSig=0\n");
    ini.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("SortYAxis"), false);
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(fileName).toStdString(), "[OPTIONS]\r\nShowSig=1\r\nSortYAxis=0\r\n");

    // A file of LF lines is rewritten with CR LF even when no value changed.
    IniFile lf(FileWith("[OPTIONS]\nShowSig=1\n"));
    lf.WriteBool(QStringLiteral("OPTIONS"), QStringLiteral("ShowSig"), true);
    lf.UpdateFile();
    EXPECT_EQ(ReadFile(fileName).toStdString(), "[OPTIONS]\r\nShowSig=1\r\n");
}

}  // namespace

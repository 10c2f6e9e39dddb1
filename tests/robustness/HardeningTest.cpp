// The decode driver and the batch modes given inputs and outputs that are not what they expect:
// names that are not regular files, unreadable files, output folders that are missing or not
// writable, a device in place of the output, a disk that fills up part-way, Cyrillic and blank
// characters in paths, the input size limit, and a run of hostile files before a good one through
// the global objects.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <cstdio>
#include <future>
#include <iostream>

#include "Mutation.h"
#include "app/BatchMode.h"
#include "app/DecodeDriver.h"
#include "core/Cp1251.h"
#include "core/Errors.h"
#include "support/FileSizeLimit.h"
#include "support/Fixtures.h"
#include "support/TemplateWriter.h"

namespace {

fs::path CorpusFile(const std::string& name) { return fs::path(TAVIK_SOURCE_DIR) / "fuzz" / "corpus" / name; }

ByteVector SmallFixture() { return ReadFileBytes(CorpusFile("temp52_ed4_small.bufr")); }

// Answers Yes and "1"; records the information messages.
class RecordingPrompts : public DecodePrompts {
public:
    void ShowMessage(const std::string& text) override { Shown.push_back(text); }
    bool AskYesNo(const std::string&) override { return true; }
    std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
        return "1";
    }
    std::vector<std::string> Shown;
};

// The error DecodeFile raises for Name, or "" when it raised none.
std::string DecodeFileError(const std::string& name, LineList& lines, RecordingPrompts& prompts) {
    try {
        DecodeFile(name, true, lines, prompts);
    } catch (const TavikError& e) {
        return e.what();
    }
    return {};
}

// What the batch command prints on the console (one line ended by CR LF, or nothing).
std::string BatchConsole(const std::vector<std::string>& args) {
    bool exportMode = false;
    EXPECT_TRUE(IsBatchCommand(args, exportMode));
    testing::internal::CaptureStdout();
    RunBatchCommand(args, exportMode);
    return testing::internal::GetCapturedStdout();
}

std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    return files;
}

// Runs Body and fails instead of waiting when it has not ended within a few seconds; Release is
// then called to let it go (so that the test binary can still end).
template <class Body, class Release>
void WithoutHang(const std::string& what, Body body, Release release) {
    auto done = std::async(std::launch::async, body);
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << what << " did not return within 10 s";
        release();
    }
    done.get();
}

// Not regular files: refused by name, in the window's decode and in the batch run, without a hang
// and without any output file.
TEST(Hardening, NamesThatAreNotRegularFilesAreRefused) {
    TempDir dir;
    const fs::path fifo = dir.Path() / "drop.bufr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = dir.Path() / "folder.bufr";
    fs::create_directory(folder);
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);

    for (const fs::path& name : {fifo, folder, fs::path("/dev/null"), fs::path("/dev/zero")}) {
        const std::string expected = "Это не обычный файл: «" + name.string() + "»";
        LineList lines = {"earlier text"};
        RecordingPrompts prompts;
        std::string error, console;
        WithoutHang(
            name.string(),
            [&] {
                error = DecodeFileError(name.string(), lines, prompts);
                console = BatchConsole({"DECODE", name.string(), out.string()});
            },
            [&] {  // a reader blocked in open() on the FIFO is released by a writer
                const int fd = ::open(fifo.c_str(), O_WRONLY);
                if (fd >= 0) ::close(fd);
            });
        EXPECT_EQ(error, expected);
        EXPECT_EQ(lines, LineList{"earlier text"}) << name;
        EXPECT_TRUE(prompts.Shown.empty()) << name;
        EXPECT_EQ(console, expected + "\r\n");
    }
    EXPECT_TRUE(FilesIn(out).empty());
}

// Runs Body in a child process, as an unprivileged user when the tests run as root (permissions
// do not stop root); the child's exit status is Body's result.
int InChildWithoutPrivileges(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(90);
        const int status = body();
        std::fflush(nullptr);
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

TEST(Hardening, UnreadableInputAndUnwritableOutputFolder) {
    TempDir dir;
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path secret = dir.Path() / "secret.bufr";
    WriteFileBytes(secret, SmallFixture());
    fs::permissions(secret, fs::perms::none);
    const fs::path input = dir.Path() / "open.bufr";
    WriteFileBytes(input, SmallFixture());
    fs::permissions(input, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const fs::path locked = dir.Path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

    // The child reports through its exit status: 0 when the console line is the expected one.
    const auto consoleIs = [](std::vector<std::string> args, std::string expected) {
        return [args, expected] {
            std::string line;
            try {
                bool exportMode = false;
                IsBatchCommand(args, exportMode);
                RunBatch(exportMode, args);
                return 1;
            } catch (const TavikError& e) {
                line = e.what();
            }
            if (line != expected) {
                std::cerr << "got: " << line << "\nexpected: " << expected << "\n";
                return 2;
            }
            return 0;
        };
    };
    EXPECT_EQ(InChildWithoutPrivileges(consoleIs({"DECODE", secret.string()}, "Нет прав доступа: «" + secret.string() + "»")), 0);
    EXPECT_EQ(InChildWithoutPrivileges(consoleIs({"DECODE", input.string(), locked.string()},
                                                 "Нет прав доступа: «" + (locked / "open.bufr.PRN").string() + "»")),
              0);
    EXPECT_EQ(InChildWithoutPrivileges(consoleIs({"EXPORT", input.string(), locked.string()},
                                                 "Нет прав доступа: «" + (locked / "27612_20231010110637.PRN").string() + "»")),
              0);
    EXPECT_TRUE(FilesIn(locked).empty());
}

TEST(Hardening, OutputFolderMissingOrNotAFolder) {
    TempDir dir;
    const fs::path input = dir.Write("temp.bufr", SmallFixture());
    const fs::path missing = dir.Path() / "no" / "such";
    const fs::path plainFile = dir.Write("plain", BytesOf("x"));
    struct Row {
        const char* Word;
        fs::path Folder;
        std::string Expected;
    };
    const Row rows[] = {
        {"DECODE", missing, "Нет такого файла или папки: «" + (missing / "temp.bufr.PRN").string() + "»"},
        {"EXPORT", missing, "Нет такого файла или папки: «" + (missing / "27612_20231010110637.PRN").string() + "»"},
        {"DECODE", plainFile, "Часть пути не является папкой: «" + (plainFile / "temp.bufr.PRN").string() + "»"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(BatchConsole({row.Word, input.string(), row.Folder.string()}), row.Expected + "\r\n") << row.Word;
    EXPECT_FALSE(fs::exists(dir.Path() / "no"));
}

// A device and a FIFO in place of the output file: a listing is only ever a whole regular file,
// so the name is refused at once (no wait for a reader) and the device or FIFO stays as it was.
TEST(Hardening, OutputThatIsNotARegularFileIsRefused) {
    TempDir dir;
    const fs::path input = dir.Write("temp.bufr", SmallFixture());
    const fs::path full = dir.Path() / "full";
    fs::create_directory(full);
    fs::create_symlink("/dev/full", full / "temp.bufr.PRN");
    EXPECT_EQ(BatchConsole({"DECODE", input.string(), full.string()}),
              "Это не обычный файл: «" + (full / "temp.bufr.PRN").string() + "»\r\n");
    EXPECT_TRUE(fs::is_symlink(full / "temp.bufr.PRN"));
    EXPECT_EQ(FilesIn(full), std::vector<fs::path>{"temp.bufr.PRN"});

    const fs::path piped = dir.Path() / "piped";
    fs::create_directory(piped);
    const fs::path fifo = piped / "temp.bufr.PRN";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string console;
    WithoutHang(
        "writing into a FIFO without a reader",
        [&] { console = BatchConsole({"DECODE", input.string(), piped.string()}); },
        [&] {  // a writer blocked in open() is released by a reader, which then drains it
            const int fd = ::open(fifo.c_str(), O_RDONLY);
            char sink[4096];
            while (fd >= 0 && ::read(fd, sink, sizeof sink) > 0) {
            }
            if (fd >= 0) ::close(fd);
        });
    EXPECT_EQ(console, "Это не обычный файл: «" + fifo.string() + "»\r\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(FilesIn(piped), std::vector<fs::path>{"temp.bufr.PRN"});
}

// A disk that fills up part-way through a listing, made with the file size limit of a child
// process: the run reports the failure with a failing status, the listing that stood under the
// name stays byte for byte, and no temporary file is left.
TEST(Hardening, AWriteThatFailsPartWayLeavesTheOlderListing) {
    constexpr rlim_t FileSizeLimit = 2048;
    TempDir dir;
    const fs::path input = dir.Write("temp.bufr", SmallFixture());
    const fs::path whole = dir.Path() / "whole";
    fs::create_directory(whole);
    ASSERT_EQ(BatchConsole({"DECODE", input.string(), whole.string()}), "");
    ASSERT_GT(fs::file_size(whole / "temp.bufr.PRN"), FileSizeLimit) << "the listing must outgrow the limit";

    struct Row {
        const char* Word;
        const char* Written;  // the name of the listing
    };
    const Row rows[] = {{"DECODE", "temp.bufr.PRN"}, {"EXPORT", "27612_20231010110637.PRN"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Word);
        const fs::path out = dir.Path() / (std::string("out-") + row.Word);
        fs::create_directory(out);
        const ByteVector older = BytesOf("an older complete listing\r\n");
        WriteFileBytes(out / row.Written, older);
        const fs::path console = dir.Path() / (std::string("console-") + row.Word);

        const int status = ExitStatusUnderFileSizeLimit(FileSizeLimit, [&] {
            if (!RedirectStandardOutput(console)) return 90;
            bool exportMode = false;
            IsBatchCommand({row.Word, input.string(), out.string()}, exportMode);
            const int result = RunBatchCommand({row.Word, input.string(), out.string()}, exportMode);
            std::fflush(nullptr);
            return result;
        });
        EXPECT_EQ(status, 1);
        const ByteVector printed = ReadFileBytes(console);
        EXPECT_EQ(std::string(printed.begin(), printed.end()),
                  "Превышен предельный размер файла: «" + (out / row.Written).string() + "»\r\n");
        EXPECT_EQ(ReadFileBytes(out / row.Written), older);
        EXPECT_EQ(FilesIn(out), std::vector<fs::path>{row.Written});
    }
}

TEST(Hardening, CyrillicAndBlankCharactersInPaths) {
    TempDir dir;
    const fs::path folder = dir.Path() / "Данные зонда 2023";
    fs::create_directory(folder);
    const fs::path input = folder / "ТЕМП 27612 .bufr";
    WriteFileBytes(input, SmallFixture());
    const fs::path out = dir.Path() / "Выход файлы";
    fs::create_directory(out);

    LineList lines;
    RecordingPrompts prompts;
    ASSERT_TRUE(DecodeFile(input.string(), true, lines, prompts));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], Utf8ToCp1251(input.string()));
    EXPECT_EQ(lines[1], Utf8ToCp1251("Размер файла(Бт):") + std::to_string(fs::file_size(input)));
    EXPECT_EQ(PrimaryBaseName, "27612_20231010110637");

    EXPECT_EQ(BatchConsole({"decode", input.string(), out.string()}), "");
    const fs::path prn = out / "ТЕМП 27612 .bufr.PRN";
    ASSERT_TRUE(fs::exists(prn)) << "files: " << testing::PrintToString(FilesIn(out));
    const ByteVector saved = ReadFileBytes(prn);
    const ByteVector firstLine = BytesOf(Utf8ToCp1251(input.string()) + "\r\n");
    ASSERT_GE(saved.size(), firstLine.size());
    EXPECT_TRUE(std::equal(firstLine.begin(), firstLine.end(), saved.begin()));

    // Without an output folder the file goes beside the input.
    EXPECT_EQ(BatchConsole({"EXPORT", input.string()}), "");
    EXPECT_TRUE(fs::exists(folder / "27612_20231010110637.PRN"));
}

// The largest file that is read, its message at the very end (beyond the first 65536 bytes), and
// one byte more, through the batch run.
TEST(Hardening, FileSizeLimitInTheBatchRun) {
    TempDir dir;
    const ByteVector msg = SmallFixture();
    ByteVector content(MaxBUFRFileSize - msg.size(), 0);
    content.insert(content.end(), msg.begin(), msg.end());
    ASSERT_EQ(content.size(), 655344u);
    const fs::path largest = dir.Write("largest.bufr", content);
    content.insert(content.begin(), 'B');
    const fs::path tooLarge = dir.Write("toolarge.bufr", content);
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);

    EXPECT_EQ(BatchConsole({"DECODE", largest.string(), out.string()}), "");
    const ByteVector saved = ReadFileBytes(out / "largest.bufr.PRN");
    const std::string text(saved.begin(), saved.end());
    EXPECT_NE(text.find("\r\n" + Utf8ToCp1251("Размер файла(Бт):") + "655344\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n" + Utf8ToCp1251("Набор ") + "1/1:\r\n"), std::string::npos);

    EXPECT_EQ(BatchConsole({"DECODE", tooLarge.string(), out.string()}), "Файл слишком велик\r\n");
    EXPECT_FALSE(fs::exists(out / "toolarge.bufr.PRN"));
}

// The global message and decoder are reused for every file: a run of hostile files leaves nothing
// behind that changes the decoding of the next good one.
TEST(Hardening, HostileFilesLeaveNoStateBehind) {
    TempDir dir;
    const ByteVector good = SmallFixture();
    const MessageLayout l = LayoutOf(good);
    const fs::path goodFile = dir.Write("good.bufr", good);
    RecordingPrompts prompts;
    LineList reference;
    ASSERT_TRUE(DecodeFile(goodFile.string(), true, reference, prompts));

    std::vector<ByteVector> hostile;
    hostile.push_back(ReadFileBytes(CorpusFile("temp52_section2.bufr")));
    hostile.push_back(ReadFileBytes(CorpusFile("temp52_meta.bufr")));
    const auto patched = [&](std::uint64_t bitOffset, std::uint32_t width, std::uint64_t value) {
        ByteVector bytes = good;
        PutBits(bytes, bitOffset, width, value);
        hostile.push_back(bytes);
    };
    patched((l.Start + 4) * 8, 24, l.End - l.Start + 1);               // Section 0 size error
    patched((l.Section1 + 9) * 8, 8, 0x80);                            // a Section 2 that is not there
    patched(l.Section3 * 8, 24, 0xFFFFFF);                             // Section 3 beyond the message
    patched((l.Section3 + 6) * 8, 8, 0xC0);                            // compressed data
    patched(l.Section4 * 8, 24, l.Section4Length + 1);                 // Section 4 into Section 5
    patched((l.Section4 + 4) * 8 + UAFixedBits(52), 16, 8192);         // too many levels
    patched((l.Section3 + 7) * 8, 16, 0xC935);                         // 3 09 053: no template
    patched((l.Section3 + 4) * 8, 16, 0);                              // no subsets
    hostile.push_back(ByteVector(good.begin(), good.end() - 1));  // no closing run

    for (std::size_t i = 0; i < hostile.size(); ++i) {
        const fs::path file = dir.Write("hostile" + std::to_string(i) + ".bufr", hostile[i]);
        LineList lines;
        DecodeFileError(file.string(), lines, prompts);
        LineList again;
        ASSERT_TRUE(DecodeFile(goodFile.string(), true, again, prompts)) << "after hostile file " << i;
        EXPECT_EQ(again, reference) << "after hostile file " << i;
    }
}

}  // namespace

// Whole-file writing: the new bytes under the name, or the old file untouched and nothing left behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/FileWriter.h"
#include "support/FileSizeLimit.h"
#include "support/Fixtures.h"

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask) : saved(::umask(mask)) {}
    ~UmaskGuard() { ::umask(saved); }

private:
    mode_t saved;
};

TEST(FileWriterTest, NewFileHoldsTheBytesWithModeLessTheUmask) {
    struct Case {
        mode_t umask, mode;
    };
    const Case cases[] = {{022, 0644}, {077, 0600}, {002, 0664}};
    constexpr char Text[] = "line 1\r\nzero \0 byte\n\xC0\xFF";
    const std::string bytes(Text, sizeof Text - 1);
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path target = dir.Path() / "new.kml";
        {
            UmaskGuard mask(c.umask);
            WriteWholeFile(target, bytes);
        }
        EXPECT_EQ(ReadText(target), bytes);
        EXPECT_EQ(ModeOf(target), c.mode) << std::oct << c.umask;
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"new.kml"});
    }
}

TEST(FileWriterTest, ReplacedFileKeepsItsModeAndGetsOnlyTheNewBytes) {
    for (const mode_t mode : {mode_t{0600}, mode_t{0754}, mode_t{0640}}) {
        TempDir dir;
        const fs::path target = dir.Path() / "page.htm";
        WriteText(target, std::string(5000, 'x'));
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        {
            UmaskGuard mask(022);
            WriteWholeFile(target, "short");
        }
        EXPECT_EQ(ReadText(target), "short");
        EXPECT_EQ(ModeOf(target), mode) << std::oct << mode;
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"page.htm"});
    }
}

TEST(FileWriterTest, EmptyBytesGiveAnEmptyFile) {
    TempDir dir;
    const fs::path target = dir.Path() / "empty";
    WriteText(target, "old contents");
    WriteWholeFile(target, "");
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

// The child process may write at most FileSizeLimit bytes into any file; the write of more stops
// with EFBIG part-way. Exit code 0: FileWriteError with EFBIG; 1: no error; 2: another error.
TEST(FileWriterTest, WriteFailingPartWayLeavesTheOldFileAndNoTemporaryFile) {
    constexpr rlim_t FileSizeLimit = 4096;
    TempDir dir;
    const fs::path target = dir.Path() / "27612_20240115233000.kml";
    const std::string old = "the old document, which must survive\n";
    WriteText(target, old);
    const int status = ExitStatusUnderFileSizeLimit(FileSizeLimit, [&] {
        try {
            WriteWholeFile(target, std::string(10 * FileSizeLimit, 'n'));
        } catch (const FileWriteError& e) {
            return e.ErrorNumber() == EFBIG ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadText(target), old);
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{target.filename().string()});
}

TEST(FileWriterTest, RefusedTargetsRaiseTheSystemErrorAndLeaveNothingBehind) {
    struct Case {
        const char* what;
        const char* name;  // under the test folder
        int errorNumber;
    };
    const Case cases[] = {
        {"a folder of that name", "folder", EISDIR},
        {"a folder that does not exist", "missing/file.kml", ENOENT},
        {"a path through a file", "plain/file.kml", ENOTDIR},
    };
    for (const Case& c : cases) {
        TempDir dir;
        fs::create_directory(dir.Path() / "folder");
        WriteText(dir.Path() / "folder" / "inside", "kept");
        WriteText(dir.Path() / "plain", "kept");
        const fs::path target = dir.Path() / c.name;
        try {
            WriteWholeFile(target, "new");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const FileWriteError& e) {
            EXPECT_EQ(e.ErrorNumber(), c.errorNumber) << c.what;
            EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"folder", "plain"})) << c.what;
        EXPECT_EQ(NamesIn(dir.Path() / "folder"), std::vector<std::string>{"inside"}) << c.what;
        EXPECT_EQ(ReadText(dir.Path() / "plain"), "kept") << c.what;
    }
}

TEST(FileWriterTest, ThroughASymbolicLinkTheFileItPointsToIsReplaced) {
    TempDir dir;
    const fs::path real = dir.Path() / "real.htm";
    const fs::path link = dir.Path() / "link.htm";
    WriteText(real, "old");
    fs::create_symlink(real.filename(), link);
    WriteWholeFile(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(real), "new");
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"link.htm", "real.htm"}));
}

TEST(FileWriterTest, LongestFileNameStillGetsATemporaryFileBesideIt) {
    TempDir dir;
    const fs::path target = dir.Path() / std::string(255, 'n');
    WriteWholeFile(target, "bytes");
    EXPECT_EQ(ReadText(target), "bytes");
    EXPECT_EQ(NamesIn(dir.Path()).size(), 1u);
}

TEST(FileWriterTest, RelativeNameIsWrittenInTheCurrentFolder) {
    TempDir dir;
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    WriteWholeFile("bare.kml", "bytes");
    fs::current_path(saved);
    EXPECT_EQ(ReadText(dir.Path() / "bare.kml"), "bytes");
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"bare.kml"});
}

}  // namespace

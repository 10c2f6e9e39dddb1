// The Russian causes of a failed open, read or write, from real failures where the test can make
// them and from the errno alone where it cannot (a full disk, a read-only file system).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/Errors.h"
#include "core/FileLoader.h"
#include "core/FileWriter.h"
#include "core/SystemErrorText.h"
#include "core/uBUFRDefs.h"
#include "support/BufrBuilder.h"
#include "support/Fixtures.h"

namespace {

namespace fs = std::filesystem;

std::string LoadError(const fs::path& name) {
    std::vector<std::uint8_t> buffer(MessageBufferSize);
    std::uint32_t length = 0;
    try {
        LoadBUFRFile(name, buffer.data(), length);
    } catch (const TavikError& e) {
        return e.what();
    }
    return "no error";
}

std::string WriteError(const fs::path& name) {
    try {
        WriteWholeFile(name, "text");
    } catch (const FileWriteError& e) {
        return e.what();
    }
    return "no error";
}

TEST(SystemErrorTextTest, RealFailuresNameTheirCauseInRussianAndTheFileLast) {
    TempDir dir;
    fs::create_directory(dir.Path() / "folder");
    dir.Write("plain", BytesOf("x"));
    const fs::path missing = dir.Path() / "x.bufr";
    const fs::path folder = dir.Path() / "folder";
    const fs::path throughFile = dir.Path() / "plain" / "x.bufr";
    struct Row {
        std::string got;
        std::string expected;
    };
    const Row rows[] = {
        {LoadError(missing), "Нет такого файла или папки: «" + missing.string() + "»"},
        {LoadError(throughFile), "Часть пути не является папкой: «" + throughFile.string() + "»"},
        {WriteError(dir.Path() / "no" / "x.PRN"), "Нет такого файла или папки: «" + (dir.Path() / "no" / "x.PRN").string() + "»"},
        {WriteError(folder), "Это папка, а не файл: «" + folder.string() + "»"},
        {WriteError(throughFile), "Часть пути не является папкой: «" + throughFile.string() + "»"},
        {LoadError(folder), "Это не обычный файл: «" + folder.string() + "»"},
        {LoadError("/dev/null"), "Это не обычный файл: «/dev/null»"},
        {WriteError("/dev/null"), "Это не обычный файл: «/dev/null»"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.expected);
}

TEST(SystemErrorTextTest, EveryCommonCauseHasItsOwnTextAndTheRestTheSystems) {
    struct Row {
        int errorNumber;
        std::string cause;
    };
    const Row rows[] = {
        {EACCES, "Нет прав доступа"},
        {EPERM, "Нет прав доступа"},
        {ENOSPC, "Нет места на диске"},
        {EDQUOT, "Превышена дисковая квота"},
        {EFBIG, "Превышен предельный размер файла"},
        {EROFS, "Файловая система только для чтения"},
        {EISDIR, "Это папка, а не файл"},
        {EINVAL, "Недопустимый аргумент"},
        {EIO, std::strerror(EIO)},
        {EMFILE, std::strerror(EMFILE)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SystemErrorText(row.errorNumber, "/data/x.bufr"), row.cause + ": «/data/x.bufr»") << row.errorNumber;
}

}  // namespace

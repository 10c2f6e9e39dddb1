#include "core/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace {

struct CauseRow {
    int errorNumber;
    const char* text;
};

constexpr CauseRow Causes[] = {
    {ENOENT, "Нет такого файла или папки"},
    {ENOTDIR, "Часть пути не является папкой"},
    {EACCES, "Нет прав доступа"},
    {EPERM, "Нет прав доступа"},
    {EISDIR, "Это папка, а не файл"},
    {ENOSPC, "Нет места на диске"},
    {EFBIG, "Превышен предельный размер файла"},
    {EDQUOT, "Превышена дисковая квота"},
    {EROFS, "Файловая система только для чтения"},
    {EINVAL, "Недопустимый аргумент"},
};

std::string WithName(const std::string& cause, const std::filesystem::path& fileName) {
    return cause + ": «" + fileName.string() + "»";
}

}  // namespace

std::string SystemErrorText(int errorNumber, const std::filesystem::path& fileName) {
    std::string cause = std::strerror(errorNumber);
    for (const CauseRow& row : Causes)
        if (row.errorNumber == errorNumber) cause = row.text;
    return WithName(cause, fileName);
}

std::string NotRegularFileText(const std::filesystem::path& fileName) {
    return WithName("Это не обычный файл", fileName);
}

#include "core/LinesFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/Errors.h"

namespace {

[[noreturn]] void RaiseWriteError(int err, const std::filesystem::path& name) {
    throw TavikError(std::string(std::strerror(err)) + ": " + name.string());
}

}  // namespace

void SaveLines(const TLines& Lines, const std::filesystem::path& FileName) {
    std::size_t total = 0;
    for (const std::string& line : Lines) total += line.size() + 2;
    std::string text;
    text.reserve(total);
    for (const std::string& line : Lines) {
        text += line;
        text += "\r\n";
    }

    const int fd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) RaiseWriteError(errno, FileName);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            RaiseWriteError(err, FileName);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) RaiseWriteError(errno, FileName);
}

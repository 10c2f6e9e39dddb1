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

    // Non-blocking open so that a FIFO without a reader in place of the file is refused (ENXIO)
    // instead of waited on; the writes themselves block as usual.
    const int fd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) RaiseWriteError(errno, FileName);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int err = errno;
        ::close(fd);
        RaiseWriteError(err, FileName);
    }
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

#include "core/LinesFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "core/Errors.h"

namespace {

[[noreturn]] void RaiseWriteError(int err, const std::filesystem::path& name) {
    throw TavikError(std::string(std::strerror(err)) + ": " + name.string());
}

// Writes all of data, or raises the error (the file is closed first).
void WriteAll(int fd, const char* data, std::size_t size, const std::filesystem::path& name) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            RaiseWriteError(err, name);
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

void SaveLines(const LineList& Lines, const std::filesystem::path& FileName) {
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
    // The lines, each ended by CR LF, go out in blocks of 64 KiB: no copy of the whole text.
    constexpr std::size_t BlockSize = 65536;
    const std::unique_ptr<char[]> block = std::make_unique_for_overwrite<char[]>(BlockSize);
    std::size_t used = 0;
    const auto put = [&](const char* data, std::size_t size) {
        while (size > 0) {
            if (used == BlockSize) {
                WriteAll(fd, block.get(), used, FileName);
                used = 0;
            }
            const std::size_t n = std::min(size, BlockSize - used);
            std::memcpy(block.get() + used, data, n);
            used += n;
            data += n;
            size -= n;
        }
    };
    for (const std::string& line : Lines) {
        put(line.data(), line.size());
        put("\r\n", 2);
    }
    WriteAll(fd, block.get(), used, FileName);
    if (::close(fd) != 0) RaiseWriteError(errno, FileName);
}

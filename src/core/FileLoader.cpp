#include "core/FileLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/Errors.h"
#include "core/SystemErrorText.h"

namespace {

constexpr std::uint8_t Seven = 0x37;
constexpr std::uint8_t Magic[4] = {'B', 'U', 'F', 'R'};

[[noreturn]] void RaiseSystemError(int err, const std::filesystem::path& name) {
    throw TavikError(SystemErrorText(err, name));
}

// Closes the descriptor on every way out.
struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0) ::close(fd);
    }
};

// True when the four bytes at the end that Section 0 declares are "7777" inside the data.
bool DeclaredEndIsClosed(const std::uint8_t* data, std::size_t size, std::size_t start, std::size_t& declaredEnd) {
    if (start + 8 > size) return false;
    const std::size_t total = (std::size_t(data[start + 4]) << 16) | (std::size_t(data[start + 5]) << 8) | data[start + 6];
    if (total < 8 || start + total > size) return false;
    declaredEnd = start + total;
    return std::all_of(data + declaredEnd - 4, data + declaredEnd, [](std::uint8_t b) { return b == Seven; });
}

}  // namespace

bool LocateBUFRMessage(const std::uint8_t* Data, std::size_t Size, std::size_t& Start, std::size_t& Length) {
    const std::uint8_t* found = std::search(Data, Data + Size, std::begin(Magic), std::end(Magic));
    if (found == Data + Size) return false;
    const std::size_t start = static_cast<std::size_t>(found - Data);

    std::size_t declaredEnd = 0;
    const bool declaredClosed = DeclaredEndIsClosed(Data, Size, start, declaredEnd);

    // One forward pass for the first run of at least four '7's; the run is taken whole.
    std::size_t run = 0;
    for (std::size_t i = start + 4; i < Size; ++i) {
        if (Data[i] == Seven) {
            ++run;
            continue;
        }
        if (run >= 4) {
            std::size_t last = i - 1;
            // A "7777" inside the data ends the run before the declared, closed end: trust the declared end.
            if (declaredClosed && last < declaredEnd - 1) last = declaredEnd - 1;
            Start = start;
            Length = last - start + 1;
            return true;
        }
        run = 0;
    }
    if (run < 4) return false;
    Start = start;
    Length = Size - start;  // the run reaches the last byte of the file
    return true;
}

bool LoadBUFRFile(const std::filesystem::path& FileName, std::uint8_t* Dest, std::uint32_t& Length) {
    const std::vector<std::uint8_t> bytes = ReadBUFRFile(FileName);
    std::size_t start = 0, length = 0;
    if (!LocateBUFRMessage(bytes.data(), bytes.size(), start, length)) return false;
    std::memcpy(Dest, bytes.data() + start, length);
    Length = static_cast<std::uint32_t>(length);
    return true;
}

std::vector<std::uint8_t> ReadBUFRFile(const std::filesystem::path& FileName) {
    // Non-blocking open so that a FIFO or a device is refused instead of waited on.
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) RaiseSystemError(errno, FileName);
    FileCloser closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) RaiseSystemError(errno, FileName);
    if (!S_ISREG(st.st_mode)) throw TavikError(NotRegularFileText(FileName));
    if (st.st_size > static_cast<off_t>(MaxBUFRFileSize)) throw TavikError("Файл слишком велик");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            RaiseSystemError(errno, FileName);
        }
        if (n == 0) break;  // the file shrank meanwhile: use what is there
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

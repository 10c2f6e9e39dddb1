#include "core/FileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <random>
#include <string>

#include "core/SystemErrorText.h"

FileWriteError::FileWriteError(int errorNumber, const std::filesystem::path& fileName)
    : TavikError(SystemErrorText(errorNumber, fileName)), errorNumber(errorNumber) {}

FileWriteError::FileWriteError(int errorNumber, const std::string& message)
    : TavikError(message), errorNumber(errorNumber) {}

namespace {

namespace fs = std::filesystem;

// Where the bytes end up: through a symbolic link the file it points to is replaced, not the link.
fs::path FinalTarget(const fs::path& fileName) {
    std::error_code ec;
    if (!fs::is_symlink(fileName, ec)) return fileName;
    fs::path resolved = fs::canonical(fileName, ec);
    return ec ? fileName : resolved;
}

// The permission bits of the file that will be replaced; none for a new file. Only a regular
// file is replaced: a rename over a folder, a device or a pipe would not write into it.
std::optional<mode_t> ReplacedMode(const fs::path& target, const fs::path& fileName) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw FileWriteError(errno, fileName);
    }
    if (S_ISDIR(st.st_mode)) throw FileWriteError(EISDIR, fileName);
    if (!S_ISREG(st.st_mode)) throw FileWriteError(EINVAL, NotRegularFileText(fileName));
    return st.st_mode & 07777;
}

// A hidden name beside the target that no other file has yet: the name (cut so that the result
// stays within the 255 bytes of a file name), a random part and ".tmp".
fs::path TempName(const fs::path& target, std::mt19937_64& random) {
    constexpr std::size_t KeptNameBytes = 200;
    constexpr char Alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = "." + target.filename().string().substr(0, KeptNameBytes) + ".";
    for (int i = 0; i < 10; ++i) name += Alphabet[random() % (sizeof Alphabet - 1)];
    return target.parent_path() / (name + ".tmp");
}

// The temporary file; it removes itself unless it was renamed into place.
class TempFile {
public:
    TempFile(const fs::path& target, const fs::path& fileName) {
        constexpr int Attempts = 100;
        std::mt19937_64 random(std::random_device{}());
        for (int i = 0; i < Attempts; ++i) {
            name = TempName(target, random);
            // 0666: the kernel takes the umask off for a new file.
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) return;
            if (errno != EEXIST) break;
        }
        const int err = errno;
        name.clear();
        throw FileWriteError(err, fileName);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        if (!name.empty()) ::unlink(name.c_str());
    }

    int Descriptor() const { return fd; }
    const fs::path& Name() const { return name; }
    // Closes the file; the error of the close, or 0.
    int Close() {
        const int result = ::close(fd);
        fd = -1;
        return result == 0 ? 0 : errno;
    }
    // The file now stands under the target's name: nothing to remove any more.
    void Renamed() { name.clear(); }

private:
    fs::path name;
    int fd = -1;
};

// Writes all of bytes; the errno of the failed write, or 0.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Makes the rename itself durable. The file is complete under its name by now, so a folder that
// cannot be synced is no failure of the write.
void SyncFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void WriteWholeFile(const fs::path& fileName, std::string_view bytes) {
    const fs::path target = FinalTarget(fileName);
    const std::optional<mode_t> mode = ReplacedMode(target, fileName);
    TempFile temp(target, fileName);
    const auto check = [&](int err) {
        if (err != 0) throw FileWriteError(err, fileName);
    };
    if (mode && ::fchmod(temp.Descriptor(), *mode) != 0) check(errno);
    check(WriteAll(temp.Descriptor(), bytes));
    if (::fsync(temp.Descriptor()) != 0) check(errno);
    check(temp.Close());
    if (::rename(temp.Name().c_str(), target.c_str()) != 0) check(errno);
    temp.Renamed();
    SyncFolder(target);
}

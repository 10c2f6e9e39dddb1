#pragma once
// Access to the shared test data (../shared/fixtures, ../shared/realdata), file helpers and a
// per-test temporary directory. Tests that need the shared folder skip with a clear message
// where it is absent, so that a plain clone still passes.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/Lines.h"
#include "support/BufrBuilder.h"

namespace fs = std::filesystem;

fs::path SharedDir();    // TAVIK_SHARED_DIR
fs::path FixturesDir();  // SharedDir() / "fixtures"
fs::path RealDataDir();  // SharedDir() / "realdata"

// Empty when Path exists; otherwise the reason a test skips.
std::string MissingReason(const fs::path& Path);

// Skips the current test (return from its body) when Path does not exist.
#define TAVIK_REQUIRE_PATH(Path)                                            \
    do {                                                                    \
        const std::string tavikMissingReason = MissingReason(Path);         \
        if (!tavikMissingReason.empty()) GTEST_SKIP() << tavikMissingReason; \
    } while (0)

ByteVector ReadFileBytes(const fs::path& Path);  // throws std::runtime_error when unreadable
void WriteFileBytes(const fs::path& Path, const ByteVector& Bytes);
// The lines of a file whose every line ends with CR LF (a .PRN file, a golden listing); a failure
// is added for a last line without CR LF and for a lone CR or LF.
LineList ReadCrLfLines(const fs::path& File);
nlohmann::json LoadJson(const fs::path& Path);

// The .bufr and .bin files of a folder, sorted by name; empty when the folder is absent.
std::vector<fs::path> ListBufrFiles(const fs::path& Dir);

// The JSON beside a data file (same stem); may not exist.
fs::path JsonBeside(const fs::path& DataFile);

// A fresh directory for the running test under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& Path() const { return path; }
    // Writes Bytes to a file of that name in the directory and returns its path.
    fs::path Write(const std::string& Name, const ByteVector& Bytes) const;

private:
    fs::path path;
};

// Copies a message to index 0 of a zeroed buffer of the message buffer's size (655360 bytes).
ByteVector InMessageBuffer(const ByteVector& Message);

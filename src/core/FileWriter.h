#pragma once
// The one way the program writes a whole file: the new contents appear under the name complete,
// or the file that stood there before stays as it was.
#include <filesystem>
#include <string>
#include <string_view>

#include "core/Errors.h"

// A file that could not be written: what() is SystemErrorText of the cause and the name (as
// SaveLines words it); ErrorNumber() is the errno of the failed call.
class FileWriteError : public TavikError {
public:
    FileWriteError(int errorNumber, const std::filesystem::path& fileName);
    // With a message of its own instead of SystemErrorText.
    FileWriteError(int errorNumber, const std::string& message);
    int ErrorNumber() const noexcept { return errorNumber; }

private:
    int errorNumber;
};

// Writes bytes as the whole contents of fileName. The bytes go to a new temporary file in the
// same folder, which is synced, closed and renamed over fileName; a new file gets 0666 less the
// umask, a replaced one keeps its permission bits. On any failure the temporary file is removed,
// fileName is left as it was and FileWriteError is raised.
void WriteWholeFile(const std::filesystem::path& fileName, std::string_view bytes);

#pragma once
// Runs code in a child process that may write at most a given number of bytes into any file: a
// write beyond it fails part-way with EFBIG (the signal it would raise is ignored), as on a disk
// that fills up.
#include <sys/resource.h>

#include <filesystem>
#include <functional>

// The exit status of body() run in the child (0 to 255), or -1 when the child could not be made,
// limited, or did not end normally. body must not return through the test framework: its result
// is the child's exit status.
int ExitStatusUnderFileSizeLimit(rlim_t bytes, const std::function<int()>& body);

// Sends the process's standard output to a new file (made or emptied): for a child of the above
// whose console line a test reads. False when the file cannot be opened.
bool RedirectStandardOutput(const std::filesystem::path& file);

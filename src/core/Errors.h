#pragma once
// The two exception types of the system: an error whose what() is the Russian message (UTF-8),
// and the silent abort of a cancelled operation, which top-level handlers ignore.
#include <stdexcept>
#include <string>

class TavikError : public std::runtime_error {
public:
    explicit TavikError(const std::string& message) : std::runtime_error(message) {}
};

class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};

#pragma once
// Switches the process (C locale and std::locale::global) to a locale whose decimal separator is
// a comma for the life of the object, and restores the previous locales afterwards. Formatting
// that must write '.' whatever the locale is tested inside one.
#include <gtest/gtest.h>

#include <locale>
#include <string>

class DecimalCommaLocale {
public:
    DecimalCommaLocale();
    ~DecimalCommaLocale();
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    // False when the system has none of the candidate locales (the package locales-all has them).
    bool Active() const { return !name.empty(); }
    const std::string& Name() const { return name; }

private:
    std::string name;
    std::string previousC;
    std::locale previousGlobal;
};

// Declares Guard and skips the test when no decimal-comma locale is available.
#define TAVIK_DECIMAL_COMMA_LOCALE(Guard)                                                            \
    DecimalCommaLocale Guard;                                                                        \
    if (!Guard.Active())                                                                             \
    GTEST_SKIP() << "no locale with a decimal comma (de_DE.UTF-8, ru_RU.UTF-8, ...) is installed; " \
                    "install locales-all"

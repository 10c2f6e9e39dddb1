#include "support/LocaleGuard.h"

#include <clocale>
#include <cstring>
#include <stdexcept>

DecimalCommaLocale::DecimalCommaLocale() : previousGlobal(std::locale()) {
    const char* current = std::setlocale(LC_ALL, nullptr);
    previousC = current ? current : "C";
    for (const char* candidate : {"de_DE.UTF-8", "ru_RU.UTF-8", "de_DE.utf8", "ru_RU.utf8", "fr_FR.UTF-8", "de_DE"}) {
        if (!std::setlocale(LC_ALL, candidate)) continue;
        const std::lconv* conv = std::localeconv();
        if (!conv || std::strcmp(conv->decimal_point, ",") != 0) continue;
        try {
            std::locale::global(std::locale(candidate));
        } catch (const std::runtime_error&) {
            continue;
        }
        name = candidate;
        return;
    }
    std::setlocale(LC_ALL, previousC.c_str());
}

DecimalCommaLocale::~DecimalCommaLocale() {
    std::locale::global(previousGlobal);
    std::setlocale(LC_ALL, previousC.c_str());
}

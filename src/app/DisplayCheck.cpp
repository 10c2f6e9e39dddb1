#include "app/DisplayCheck.h"

#include <algorithm>
#include <cstdlib>

#include "app/BatchMode.h"

namespace {

constexpr const char* DisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayNamed(const std::vector<std::string>& args) {
    if (std::any_of(std::begin(DisplayVariables), std::end(DisplayVariables), IsSet)) return true;
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& arg) { return arg == "-platform" || arg == "--platform"; });
}

std::string NoDisplayLine() {
    std::string words;
    for (const char* word : BatchCommandWords) words += (words.empty() ? "" : ", ") + std::string(word);
    return "Нет дисплея, окно открыть нельзя. Без окна работают команды " + words +
           ": tavik <команда> <файл> [<папка>]";
}

#include "app/UsageText.h"

#include <array>
#include <span>
#include <string_view>

namespace {

// Line 6 keeps the blank after its tab as the text has always had it.
constexpr std::array<std::string_view, 10> UsageLines = {
    "Тавик: декодирование и просмотр аэрологических данных в коде BUFR",
    "Использование:",
    "Вызов графического интерфейса:",
    "\ttavik",
    "Вызов графического интерфейса с загрузкой файла:",
    "\t tavik bufr-файл",
    "Вызов в пакетном режиме, сохранение результата в файл \"bufr-файл.prn\":",
    "\ttavik decode bufr-файл <путь для сохранения>",
    "Вызов в пакетном режиме, сохранение результата в файл \"станция_выпуск.prn\":",
    "\ttavik export bufr-файл <путь для сохранения>",
};

// The data commands, on the console only: the help window keeps its ten lines.
constexpr std::array<std::string_view, 4> DataUsageLines = {
    "Вызов в пакетном режиме, данные каждого набора всех сообщений файла в JSON (\"станция_выпуск.json\"):",
    "\ttavik json bufr-файл <путь для сохранения>",
    "Вызов в пакетном режиме, уровни каждого набора всех сообщений файла в CSV (\"станция_выпуск.csv\"):",
    "\ttavik csv bufr-файл <путь для сохранения>",
};

std::string JoinUsageLines() {
    std::string text;
    for (const std::string_view line : UsageLines) {
        if (!text.empty()) text += '\r';
        text += line;
    }
    return text;
}

}  // namespace

const std::string& UsageText() {
    static const std::string text = JoinUsageLines();
    return text;
}

std::string ConsoleUsageText() {
    std::string text;
    for (const auto& lines : {std::span<const std::string_view>(UsageLines), std::span<const std::string_view>(DataUsageLines)}) {
        for (const std::string_view line : lines) {
            text += line;
            text += '\n';
        }
    }
    return text;
}

#include "app/DecodeDriver.h"

#include <clocale>
#include <charconv>
#include <locale>

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/LinesFile.h"
#include "core/TextHelpers.h"

void UseDecimalPoint() {
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(std::locale::classic());
}

namespace {

// Module start-up, before main: the decimal point, then the global objects in their order.
struct DriverStartup {
    DriverStartup() { UseDecimalPoint(); }
} driverStartup;

}  // namespace

std::uint8_t MessageBuffer[MessageBufferSize];
tUAInBound UAPrimary;
tUAInBound UASecondary;
TBUFRMessage BUFRMessage;

std::string PrimaryFileName;
std::string SecondaryFileName;
std::string PrimaryBaseName;
std::string SecondaryBaseName;

namespace {

std::string FullPath(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(name, ec);
    return ec ? name : full.lexically_normal().string();
}

std::string NameWithoutDirectory(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// The first lines of every decoded text: the full path and the file size.
void AddFileLines(TLines& lines, const std::string& fileName) {
    lines.push_back(Utf8ToCp1251(FullPath(fileName)));
    lines.push_back(Utf8ToCp1251("Размер файла(Бт):") + std::to_string(FileSizeOf(fileName)));
}

std::string SetLine(std::uint32_t index, std::uint32_t count) {
    return Utf8ToCp1251("Набор ") + std::to_string(index) + "/" + std::to_string(count) + ":";
}

// A whole number from 1 to count, or nothing.
std::optional<std::uint32_t> SubsetAnswer(const std::string& text, std::uint32_t count) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    long long value = 0;
    const auto res = std::from_chars(begin, end, value);
    if (res.ec != std::errc() || res.ptr != end || value < 1 || value > count) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// The index (from 0) of the subset to show, or nothing when the user declined. A message that
// declares no subset is taken, when the user agrees, as one of one.
std::optional<std::uint32_t> ChooseSubset(const std::string& fileName, std::uint32_t& count, TDecodePrompts& prompts) {
    if (count == 0) {
        if (!prompts.AskYesNo(NameWithoutDirectory(fileName) + "\r" +
                              "Количество поднаборов данных равно нулю! Игнорировать?"))
            return std::nullopt;
        count = 1;
        return 0;
    }
    if (count == 1) return 0;
    const std::string prompt = "Какой поднабор из " + std::to_string(count) + " выбрать?";
    for (;;) {
        const std::optional<std::string> answer =
            prompts.InputBox("В сообщении несколько поднаборов данных!", prompt, "1");
        if (!answer) throw SilentAbort();
        if (const auto chosen = SubsetAnswer(*answer, count)) return *chosen - 1;
    }
}

}  // namespace

bool DecodeFile(const std::string& FileName, bool Primary, TLines& Lines, TDecodePrompts& Prompts) {
    tUAInBound& decoder = Primary ? UAPrimary : UASecondary;
    std::uint32_t length = 0;
    if (!LoadBUFRFile(FileName, MessageBuffer, length)) {
        Prompts.ShowMessage(FileName + " нет данных BUFR!");
        return false;
    }
    if (!BUFRMessage.Parse(MessageBuffer, length)) {
        Prompts.ShowMessage(FileName + " ошибка чтения BUFR!");
        return false;
    }
    if (!decoder.ScanDescriptors(BUFRMessage)) throw TavikError(FileName + " ошибка чтения дескрипторов!");

    Lines.clear();
    AddFileLines(Lines, FileName);
    BUFRMessage.DumpSections(&Lines);

    std::uint32_t count = BUFRMessage.Section3->NumSubsets;
    const std::optional<std::uint32_t> chosen = ChooseSubset(FileName, count, Prompts);
    if (!chosen) return false;
    Lines.push_back(SetLine(*chosen + 1, count));

    std::uint32_t bytePos = 0, bitPos = 0;
    std::uint32_t j = 0;
    for (; j < count; ++j) {
        if (j > 0 && !decoder.AllKnown) {
            Prompts.ShowMessage(FileName + " часть дескрипторов неизвестна, декодирование прервано!");
            break;
        }
        if (!decoder.DecodeData(BUFRMessage, bytePos, bitPos)) {
            Prompts.ShowMessage(FileName + " ошибка декодирования BUFR!");
            return false;
        }
        if (j == *chosen) break;
        decoder.Reset(true, false);  // subsets before the chosen one only move the cursor on
    }

    const std::string baseName = decoder.HasTemplate ? decoder.StationText() + "_" + decoder.LaunchTimeText()
                                                     : NameWithoutDirectory(FileName) + "_" + std::to_string(j);
    (Primary ? PrimaryBaseName : SecondaryBaseName) = baseName;
    decoder.WriteReport(&Lines);
    return true;
}

std::string SafeFileNamePart(const std::string& Text) {
    std::string safe = Text;
    for (char& ch : safe)
        if (ch == '/' || static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = '_';
    return safe;
}

namespace {

std::filesystem::path OutputDirectory(const std::vector<std::string>& args) {
    if (args.size() > 2) {
        // An empty third argument is the current directory, not the root.
        std::string dir = args[2];
        if (!dir.empty() && dir.back() != '/') dir += '/';
        return dir;
    }
    const std::string& p = args[1];
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

// A file name taken from the data or from the input name, in the output directory.
std::filesystem::path OutputFile(const std::filesystem::path& dir, const std::string& name) {
    return dir.empty() ? std::filesystem::path(name) : dir / name;
}

}  // namespace

bool RunBatch(bool Export, const std::vector<std::string>& Args) {
    const std::string& p = Args.at(1);
    std::uint32_t length = 0;
    if (!LoadBUFRFile(p, MessageBuffer, length)) throw TavikError(p + " нет данных BUFR!");
    if (!BUFRMessage.Parse(MessageBuffer, length)) throw TavikError(p + " ошибка чтения BUFR!");
    if (!UAPrimary.ScanDescriptors(BUFRMessage)) throw TavikError(p + " ошибка чтения дескрипторов!");

    const std::filesystem::path outDir = OutputDirectory(Args);
    const std::string inputName = NameWithoutDirectory(p);
    TLines lines;
    lines.reserve(256);
    AddFileLines(lines, p);
    if (!Export) BUFRMessage.DumpSections(&lines);

    const std::uint32_t count = BUFRMessage.Section3->NumSubsets;
    std::uint32_t bytePos = 0, bitPos = 0;
    try {
        for (std::uint32_t j = 0; j < count; ++j) {
            if (!UAPrimary.DecodeData(BUFRMessage, bytePos, bitPos)) throw TavikError(p + " ошибка декодирования BUFR!");
            if (Export) {
                if (j > 0) {
                    lines.clear();
                    AddFileLines(lines, p);
                }
                BUFRMessage.DumpSections(&lines);
            }
            lines.push_back(SetLine(j + 1, count));
            UAPrimary.WriteReport(&lines);
            if (Export) {
                const std::string name =
                    UAPrimary.HasTemplate
                        ? SafeFileNamePart(UAPrimary.StationText()) + "_" + SafeFileNamePart(UAPrimary.LaunchTimeText())
                        : inputName + "_" + std::to_string(j);
                SaveLines(lines, OutputFile(outDir, name + ".PRN"));
            }
            if (!UAPrimary.AllKnown) throw TavikError("Часть дескрипторов неизвестна, декодирование прервано!");
            if (j + 1 < count) UAPrimary.Reset(true, false);
        }
    } catch (...) {
        if (!Export) SaveLines(lines, OutputFile(outDir, inputName + ".PRN"));
        throw;
    }
    if (!Export) SaveLines(lines, OutputFile(outDir, inputName + ".PRN"));
    return true;
}

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

std::string NameWithoutDirectory(const std::string& Name) {
    const std::size_t slash = Name.rfind('/');
    return slash == std::string::npos ? Name : Name.substr(slash + 1);
}

std::uint8_t MessageBuffer[MessageBufferSize];
tUAInBound UAPrimary;
tUAInBound UASecondary;
TBUFRMessage BUFRMessage;

std::string PrimaryFileName;
std::string SecondaryFileName;
std::string PrimaryBaseName;
std::string SecondaryBaseName;
SoundingSource PrimarySource;
SoundingSource SecondarySource;

namespace {

std::string FullPath(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(name, ec);
    return ec ? name : full.lexically_normal().string();
}

// The full path as a line of the text: a control character of the name (a line break, say) is
// shown as '?', so that it cannot break the text's lines.
std::string PathLine(const std::string& fileName) {
    std::string line = Utf8ToCp1251(FullPath(fileName));
    for (char& ch : line)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = '?';
    return line;
}

// The first lines of every decoded text: the full path and the file size.
void AddFileLines(LineList& lines, const std::string& fileName) {
    lines.push_back(PathLine(fileName));
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
std::optional<std::uint32_t> ChooseSubset(const std::string& fileName, std::uint32_t& count, DecodePrompts& prompts) {
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

// The window's walk: the path, size and dump lines, the subset the user chooses and its set line;
// the subsets before the chosen one are decoded only to move the cursor on.
class WindowDecode : public SubsetSink {
public:
    WindowDecode(const std::string& fileName, LineList& lines, DecodePrompts& prompts)
        : fileName(fileName), lines(lines), prompts(prompts) {}

    std::uint32_t Scanned(const TBUFRMessage& message) override {
        lines.clear();
        AddFileLines(lines, fileName);
        message.DumpSections(&lines);
        std::uint32_t count = message.Section3->NumSubsets;
        chosen = ChooseSubset(fileName, count, prompts);
        if (!chosen) return 0;
        lines.push_back(SetLine(*chosen + 1, count));
        return *chosen + 1;
    }
    bool Decoded(const tUAInBound&, std::uint32_t, std::uint64_t) override { return true; }

    // The index (from 0) of the chosen subset, or nothing when the user declined.
    std::optional<std::uint32_t> Chosen() const { return chosen; }

private:
    const std::string& fileName;
    LineList& lines;
    DecodePrompts& prompts;
    std::optional<std::uint32_t> chosen;
};

}  // namespace

bool DecodeFile(const std::string& FileName, bool Primary, LineList& Lines, DecodePrompts& Prompts) {
    tUAInBound& decoder = Primary ? UAPrimary : UASecondary;
    std::uint32_t length = 0;
    if (!LoadBUFRFile(FileName, MessageBuffer, length)) {
        Prompts.ShowMessage(FileName + NoBUFRData);
        return false;
    }
    WindowDecode window(FileName, Lines, Prompts);
    const DecodedMessage result = DecodeMessage(MessageBuffer, length, BUFRMessage, decoder, window);
    switch (result.End) {
        case DecodedMessageEnd::NotParsed:
            Prompts.ShowMessage(FileName + BUFRNotRead);
            return false;
        case DecodedMessageEnd::NoDescriptors:
            throw TavikError(FileName + DescriptorsNotRead);
        case DecodedMessageEnd::NotDecoded:
            Prompts.ShowMessage(FileName + BUFRNotDecoded);
            return false;
        case DecodedMessageEnd::Unknown:
            Prompts.ShowMessage(FileName + " часть дескрипторов неизвестна, декодирование прервано!");
            break;
        case DecodedMessageEnd::Decoded:
            if (!window.Chosen()) return false;
            break;
    }
    // The index at which the walk ended: the subset refused for unknown descriptors, or the chosen one.
    const std::uint32_t j = result.End == DecodedMessageEnd::Unknown ? result.Subsets : result.Subsets - 1;
    const std::string baseName = decoder.HasTemplate ? decoder.StationText() + "_" + decoder.LaunchTimeText()
                                                     : NameWithoutDirectory(FileName) + "_" + std::to_string(j);
    (Primary ? PrimaryBaseName : SecondaryBaseName) = baseName;
    (Primary ? PrimarySource : SecondarySource) = {NameWithoutDirectory(FileName), 1, 1, j + 1, HeaderOf(BUFRMessage)};
    decoder.WriteReport(&Lines);
    return true;
}

std::string SafeFileNamePart(const std::string& Text) {
    std::string safe = Text;
    for (char& ch : safe)
        if (ch == '/' || static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = '_';
    return safe;
}

std::filesystem::path OutputDirectory(const std::vector<std::string>& Args) {
    if (Args.size() > 2) {
        // An empty third argument is the current directory, not the root.
        std::string dir = Args[2];
        if (!dir.empty() && dir.back() != '/') dir += '/';
        return dir;
    }
    const std::string& p = Args[1];
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

std::filesystem::path OutputFile(const std::filesystem::path& Dir, const std::string& Name) {
    return Dir.empty() ? std::filesystem::path(Name) : Dir / Name;
}

std::string SubsetBaseName(const tUAInBound& Decoder, const std::string& InputName, std::uint32_t Index) {
    return Decoder.HasTemplate ? SafeFileNamePart(Decoder.StationText()) + "_" + SafeFileNamePart(Decoder.LaunchTimeText())
                               : InputName + "_" + std::to_string(Index);
}

BatchRun::BatchRun(bool Export, const std::string& FileName, SaveLinesAs Save)
    : exportMode(Export), fileName(FileName), inputName(NameWithoutDirectory(FileName)), save(std::move(Save)) {}

DecodedMessage BatchRun::Run(const std::uint8_t* Data, std::uint32_t Length, TBUFRMessage& Message,
                              tUAInBound& Decoder) {
    DecodedMessage result;
    try {
        result = DecodeMessage(Data, Length, Message, Decoder, *this);
    } catch (...) {
        SaveDecodeText();
        throw;
    }
    SaveDecodeText();
    if (stoppedUnknown) result.End = DecodedMessageEnd::Unknown;
    return result;
}

std::uint32_t BatchRun::Scanned(const TBUFRMessage& Message) {
    message = &Message;
    lines.reserve(256);
    AddFileLines(lines, fileName);
    if (!exportMode) Message.DumpSections(&lines);
    count = Message.Section3->NumSubsets;
    scanned = true;
    return count;
}

bool BatchRun::Decoded(const tUAInBound& Decoder, std::uint32_t Index, std::uint64_t) {
    if (exportMode) {
        if (Index > 0) {
            lines.clear();
            AddFileLines(lines, fileName);
        }
        message->DumpSections(&lines);
    }
    lines.push_back(SetLine(Index + 1, count));
    Decoder.WriteReport(&lines);
    if (exportMode) {
        save(lines, SubsetBaseName(Decoder, inputName, Index) + ".PRN");
    }
    stoppedUnknown = !Decoder.AllKnown;
    return !stoppedUnknown;
}

void BatchRun::SaveDecodeText() {
    if (!exportMode && scanned) save(lines, inputName + ".PRN");
}

bool RunBatch(bool Export, const std::vector<std::string>& Args) {
    const std::string& p = Args.at(1);
    std::uint32_t length = 0;
    if (!LoadBUFRFile(p, MessageBuffer, length)) throw TavikError(p + NoBUFRData);
    const std::filesystem::path outDir = OutputDirectory(Args);
    BatchRun run(Export, p, [&](const LineList& lines, const std::string& name) { SaveLines(lines, OutputFile(outDir, name)); });
    switch (run.Run(MessageBuffer, length, BUFRMessage, UAPrimary).End) {
        case DecodedMessageEnd::NotParsed: throw TavikError(p + BUFRNotRead);
        case DecodedMessageEnd::NoDescriptors: throw TavikError(p + DescriptorsNotRead);
        case DecodedMessageEnd::NotDecoded: throw TavikError(p + BUFRNotDecoded);
        case DecodedMessageEnd::Unknown: throw TavikError(DescriptorsUnknown);
        case DecodedMessageEnd::Decoded: break;
    }
    return true;
}

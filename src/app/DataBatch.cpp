#include "app/DataBatch.h"

#include <cstring>
#include <new>
#include <set>
#include <string_view>

#include "app/DecodeDriver.h"
#include "core/Errors.h"
#include "core/FileWriter.h"
#include "products/SoundingCsv.h"
#include "products/SoundingJson.h"

namespace {

std::string UpperAscii(std::string text) {
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

struct DataWord {
    const char* Word;
    DataFormat Format;
    const char* Extension;
};

constexpr DataWord DataWords[] = {
    {"JSON", DataFormat::Json, ".json"},
    {"CSV", DataFormat::Csv, ".csv"},
};

const DataWord& WordOf(DataFormat format) {
    for (const DataWord& w : DataWords)
        if (w.Format == format) return w;
    return DataWords[0];
}

// The messages of a file, from the first "BUFR" on, each ended where LocateBUFRMessage ends it.
std::vector<std::string_view> MessagesOf(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string_view> messages;
    std::size_t pos = 0;
    std::size_t start = 0, length = 0;
    while (pos < bytes.size() && LocateBUFRMessage(bytes.data() + pos, bytes.size() - pos, start, length)) {
        messages.emplace_back(reinterpret_cast<const char*>(bytes.data() + pos + start), length);
        pos += start + length;
    }
    return messages;
}

// Writes every decoded subset of one message as soon as it is decoded.
class DataSink : public SubsetSink {
public:
    using Write = std::function<void(const tUAInBound&, std::uint32_t)>;
    explicit DataSink(Write write) : write(std::move(write)) {}

    std::uint32_t Scanned(const TBUFRMessage& Message) override { return Message.Section3->NumSubsets; }
    // As EXPORT: when not all descriptors are known, the first subset is written and no more.
    bool Decoded(const tUAInBound& Decoder, std::uint32_t Index, std::uint64_t) override {
        write(Decoder, Index);
        stoppedUnknown = !Decoder.AllKnown;
        return !stoppedUnknown;
    }
    bool StoppedUnknown() const { return stoppedUnknown; }

private:
    Write write;
    bool stoppedUnknown = false;
};

class DataRun {
public:
    DataRun(DataFormat format, const std::vector<std::string>& args, const std::function<void(const std::string&)>& report)
        : word(WordOf(format)), fileName(args.at(1)), inputName(NameWithoutDirectory(fileName)),
          outDir(OutputDirectory(args)), report(report) {}

    void Run() {
        const std::vector<std::uint8_t> bytes = ReadBUFRFile(fileName);
        const std::vector<std::string_view> messages = MessagesOf(bytes);
        if (messages.empty()) throw TavikError(fileName + NoBUFRData);
        std::set<std::string_view> seen;
        for (std::size_t k = 0; k < messages.size(); ++k) {
            if (!seen.insert(messages[k]).second) continue;  // a repeat of an earlier message
            RunMessage(messages[k], static_cast<std::uint32_t>(k + 1), static_cast<std::uint32_t>(messages.size()));
        }
    }
    bool Failed() const { return failed; }

private:
    // A failure of one message: its line, and the walk goes on. With several messages in the
    // file the line names the message.
    void MessageFailed(const std::string& text, bool startsWithName) {
        failed = true;
        if (messageCount <= 1) {
            report(startsWithName ? fileName + text : text);
            return;
        }
        const std::string label = fileName + " (сообщение " + std::to_string(messageNumber) + ")";
        report(startsWithName ? label + text : label + ": " + text);
    }

    void RunMessage(std::string_view message, std::uint32_t number, std::uint32_t count) {
        messageNumber = number;
        messageCount = count;
        std::memcpy(MessageBuffer, message.data(), message.size());
        DataSink sink([&](const tUAInBound& decoder, std::uint32_t index) { WriteSubset(decoder, index); });
        DecodedMessage result;
        try {
            result = DecodeMessage(MessageBuffer, static_cast<std::uint32_t>(message.size()), BUFRMessage, UAPrimary, sink);
        } catch (const FileWriteError&) {
            throw;  // the output cannot be written: nothing after it would be
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            MessageFailed(e.what(), false);
            return;
        }
        if (sink.StoppedUnknown()) result.End = DecodedMessageEnd::Unknown;
        switch (result.End) {
            case DecodedMessageEnd::NotParsed: MessageFailed(BUFRNotRead, true); break;
            case DecodedMessageEnd::NoDescriptors: MessageFailed(DescriptorsNotRead, true); break;
            case DecodedMessageEnd::NotDecoded: MessageFailed(BUFRNotDecoded, true); break;
            case DecodedMessageEnd::Unknown: MessageFailed(DescriptorsUnknown, false); break;
            case DecodedMessageEnd::Decoded: break;
        }
    }

    void WriteSubset(const tUAInBound& decoder, std::uint32_t index) {
        const std::string text = word.Format == DataFormat::Json
                                     ? SoundingJsonText(decoder, {inputName, messageNumber, messageCount, index + 1,
                                                                  HeaderOf(BUFRMessage)})
                                     : SoundingCsvText(decoder);
        WriteWholeFile(OutputFile(outDir, UniqueName(SubsetBaseName(decoder, inputName, index))), text);
    }

    // The name of a subset's file, made different from every name written before in this run.
    std::string UniqueName(const std::string& base) {
        std::string name = base + word.Extension;
        for (int n = 2; !written.insert(name).second; ++n) name = base + "_" + std::to_string(n) + word.Extension;
        return name;
    }

    const DataWord& word;
    std::string fileName;
    std::string inputName;
    std::filesystem::path outDir;
    const std::function<void(const std::string&)>& report;
    std::set<std::string> written;
    std::uint32_t messageNumber = 1, messageCount = 1;
    bool failed = false;
};

}  // namespace

std::optional<DataFormat> DataCommand(const std::vector<std::string>& Args) {
    if (Args.size() < 2) return std::nullopt;
    const std::string word = UpperAscii(Args[0]);
    for (const DataWord& w : DataWords)
        if (word == w.Word) return w.Format;
    return std::nullopt;
}

int RunDataBatch(DataFormat Format, const std::vector<std::string>& Args,
                 const std::function<void(const std::string&)>& Report) {
    DataRun run(Format, Args, Report);
    try {
        run.Run();
    } catch (const std::bad_alloc&) {
        Report("Недостаточно памяти");
        return 1;
    } catch (const std::exception& e) {
        Report(e.what());
        return 1;
    }
    return run.Failed() ? 1 : 0;
}

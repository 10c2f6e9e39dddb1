#pragma once
// The one road from a file name to decoded text, and the global objects it works on.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/DecodeMessage.h"
#include "app/Prompts.h"
#include "core/FileLoader.h"
#include "core/Lines.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"
#include "products/SoundingSource.h"

// Created before main runs and kept for the whole process.
extern std::uint8_t MessageBuffer[MessageBufferSize];
extern tUAInBound UAPrimary;
extern tUAInBound UASecondary;
extern TBUFRMessage BUFRMessage;

extern std::string PrimaryFileName;    // as the window opened it
extern std::string SecondaryFileName;  // without directory
extern std::string PrimaryBaseName;    // station "_" launch time, or file name "_" subset index
extern std::string SecondaryBaseName;
// The file, subset and message header of each sounding, kept at its load: the data exports need
// them after the message buffer has taken another file.
extern SoundingSource PrimarySource;
extern SoundingSource SecondarySource;

// Makes '.' the decimal separator of the C library's number formatting and parsing again (the
// windowing toolkit may have installed the user's locale).
void UseDecimalPoint();

// Decodes FileName into UAPrimary (Primary) or UASecondary and replaces Lines with the decoded
// text. True when the report was written. Raises TavikError, or SilentAbort on Cancel.
bool DecodeFile(const std::string& FileName, bool Primary, LineList& Lines, DecodePrompts& Prompts);

// The batch run of the command words DECODE (Export false) and EXPORT: Args are the command-line
// arguments after the program name (command word, file, optional output directory). Returns
// true when it ends normally; raises TavikError for every failure.
bool RunBatch(bool Export, const std::vector<std::string>& Args);

// A name taken from the data made safe as one file-name component.
std::string SafeFileNamePart(const std::string& Text);

// The failures of the load and of DecodeMessage, after the file name: the window shows them, the
// batch runs raise them.
inline constexpr const char* NoBUFRData = " нет данных BUFR!";
inline constexpr const char* BUFRNotRead = " ошибка чтения BUFR!";
inline constexpr const char* DescriptorsNotRead = " ошибка чтения дескрипторов!";
inline constexpr const char* BUFRNotDecoded = " ошибка декодирования BUFR!";
inline constexpr const char* DescriptorsUnknown = "Часть дескрипторов неизвестна, декодирование прервано!";

// The file name without its folder.
std::string NameWithoutDirectory(const std::string& Name);

// The output folder of a batch run: the third argument with '/' appended when it lacks one, or
// the folder part of the file name as typed (empty: the current folder).
std::filesystem::path OutputDirectory(const std::vector<std::string>& Args);
// A file name taken from the data or from the input name, in the output folder.
std::filesystem::path OutputFile(const std::filesystem::path& Dir, const std::string& Name);

// The name of a subset's file without its extension: station "_" launch time, each made safe, or
// without a template the input's name "_" the subset's index (from 0).
std::string SubsetBaseName(const tUAInBound& Decoder, const std::string& InputName, std::uint32_t Index);

// The batch run over its message once the file is loaded: RunBatch is the load, this and the
// raising of its failures. The fuzz target and the robustness tests drive it on messages held in
// memory, with a Save of their own.
class BatchRun : public SubsetSink {
public:
    // Receives each text with the name of its file (in the output folder) as soon as it is complete.
    using SaveLinesAs = std::function<void(const LineList& Lines, const std::string& Name)>;

    // FileName: the input as typed; its full path and size begin every text, and its name part
    // names the DECODE file and the EXPORT files of a message without a template.
    BatchRun(bool Export, const std::string& FileName, SaveLinesAs Save);

    // Decodes the message Data[0..Length) on Message and Decoder (DecodeMessage) and saves its
    // texts. EXPORT: one per subset, named after its station and launch time, each with the path
    // and size lines, the section dump, its "Набор k/n:" line and its report. DECODE: one, named
    // after the input, with the path and size lines, the dump once, and the set line and report of
    // every subset; it is saved once the message is scanned, also when an error ends the run (the
    // error then goes on). Not all descriptors known: the run stops after the first subset's text,
    // and the end is Unknown. Raises what DecodeMessage and Save raise.
    DecodedMessage Run(const std::uint8_t* Data, std::uint32_t Length, TBUFRMessage& Message, tUAInBound& Decoder);

    std::uint32_t Scanned(const TBUFRMessage& Message) override;
    bool Decoded(const tUAInBound& Decoder, std::uint32_t Index, std::uint64_t CursorBits) override;

private:
    void SaveDecodeText();

    bool exportMode;
    std::string fileName;
    std::string inputName;  // the file name without its folder
    SaveLinesAs save;
    const TBUFRMessage* message = nullptr;
    LineList lines;
    std::uint32_t count = 0;
    bool scanned = false;
    bool stoppedUnknown = false;
};

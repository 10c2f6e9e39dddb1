#pragma once
// The one road from a file name to decoded text, and the global objects it works on.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Prompts.h"
#include "core/FileLoader.h"
#include "core/Lines.h"
#include "core/uBUFRDefs.h"
#include "decoder/UAReport.h"

// Created before main runs and kept for the whole process.
extern std::uint8_t MessageBuffer[MessageBufferSize];
extern tUAInBound UAPrimary;
extern tUAInBound UASecondary;
extern TBUFRMessage BUFRMessage;

extern std::string PrimaryFileName;    // as the window opened it
extern std::string SecondaryFileName;  // without directory
extern std::string PrimaryBaseName;    // station "_" launch time, or file name "_" subset index
extern std::string SecondaryBaseName;

// Makes '.' the decimal separator of the C library's number formatting and parsing again (the
// windowing toolkit may have installed the user's locale).
void UseDecimalPoint();

// Decodes FileName into UAPrimary (Primary) or UASecondary and replaces Lines with the decoded
// text. True when the report was written. Raises TavikError, or SilentAbort on Cancel.
bool DecodeFile(const std::string& FileName, bool Primary, TLines& Lines, TDecodePrompts& Prompts);

// The batch run of the command words DECODE (Export false) and EXPORT: Args are the command-line
// arguments after the program name (command word, file, optional output directory). Returns
// true when it ends normally; raises TavikError for every failure.
bool RunBatch(bool Export, const std::vector<std::string>& Args);

// A name taken from the data made safe as one file-name component.
std::string SafeFileNamePart(const std::string& Text);

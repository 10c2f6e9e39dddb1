#pragma once
// The command words of the command line: DECODE, EXPORT, JSON and CSV run without any window.
#include <string>
#include <vector>

#include "app/DataBatch.h"

// The command words of a batch run, as the usage and the no-display line name them: the two text
// commands first, then the data commands.
inline constexpr const char* BatchCommandWords[] = {"DECODE", "EXPORT", "JSON", "CSV"};

// True when Args (the arguments after the program name) ask for a batch run: two or more
// arguments whose first is DECODE or EXPORT in any case. Sets Export for EXPORT.
bool IsBatchCommand(const std::vector<std::string>& Args, bool& Export);

// Runs the batch mode and writes its one error line, if any, to standard output (CR LF).
// Returns the exit status: 0 on success, 1 when an error was reported.
int RunBatchCommand(const std::vector<std::string>& Args, bool Export);

// Runs the data command JSON or CSV (app/DataBatch.h), each of its error lines on standard output
// (CR LF). Returns the exit status: 0 on success, 1 when a line was written.
int RunDataCommand(const std::vector<std::string>& Args, DataFormat Format);

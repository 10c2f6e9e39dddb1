#pragma once
// The batch commands for data centres, JSON and CSV: every message of a file (a bulletin), every
// subset of each, one file per subset.
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class DataFormat { Json, Csv };

// The data command that Args (the arguments after the program name) ask for: two or more
// arguments whose first is JSON or CSV in any case.
std::optional<DataFormat> DataCommand(const std::vector<std::string>& Args);

// Runs the data command: reads the file named by Args[1], walks its messages (a message byte for
// byte equal to an earlier one is skipped) and writes each decoded subset into the output folder
// (the rules of DECODE) as SubsetBaseName + ".json" / ".csv"; a name already written in this run
// gets "_2", "_3", ... before the extension. A message that fails gives its line to Report and the
// walk goes on; a file that cannot be read or written ends the run with its line. Returns the exit
// status: 0 when no line was reported, else 1.
int RunDataBatch(DataFormat Format, const std::vector<std::string>& Args,
                 const std::function<void(const std::string&)>& Report);

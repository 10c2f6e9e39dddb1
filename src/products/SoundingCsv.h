#pragma once
// The levels of one decoded subset as CSV (RFC 4180): a header line naming each column with its
// unit, one row per level, '.' as the decimal point, an empty field for a missing value, UTF-8.
// Lines end with CR LF, as RFC 4180 has them; spreadsheets and CSV readers take both line ends.
#include <string>

#include "decoder/UAReport.h"

std::string SoundingCsvText(const tUAInBound& Report);

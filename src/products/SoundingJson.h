#pragma once
// The JSON document of one decoded subset: the message header, the template, the station, the
// launch, the equipment, the metadata, the clouds, the sea temperature, every level and every
// shear level, in SI units as decoded, and the stability indices derived from the levels; a missing
// value is null, character fields are UTF-8. Its layout is described by
// schema/sounding.schema.json; SoundingSchemaVersion names that layout.
#include <string>

#include "decoder/UAReport.h"
#include "products/SoundingSource.h"

inline constexpr const char* SoundingSchemaName = "tavik-sounding";
inline constexpr int SoundingSchemaVersion = 2;  // 2: the indices object added

// The document as UTF-8 text with LF line ends, ending with a line end. Report holds the decoded
// subset (its template and scan included).
std::string SoundingJsonText(const tUAInBound& Report, const SoundingSource& Source);

// The system save "TVQESys.sav": the system record and the read-text map's bytes in use, range-coded
// behind the header and the raw length.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstddef>
#include <span>
#include <vector>

class TReadMesTable;
class TSystemState;

inline constexpr const char* SystemSaveName = "TVQESys.sav";

// The whole file; empty when coding fails.
std::vector<unsigned char> EncodeSystemSave(const TSystemState& system, const TReadMesTable& readMes);
// Checks size, header, raw length, coding and the map's structure first; only then replaces both
// records. False, records untouched, on any failure.
bool DecodeSystemSave(std::span<const unsigned char> file, TSystemState& system, TReadMesTable& readMes);

// The same on "TVQESys.sav" in `folder` (the game passes the program folder). Never raise.
bool SaveSystemData(const AnsiString& folder, const TSystemState& system, const TReadMesTable& readMes);
bool LoadSystemData(const AnsiString& folder, TSystemState& system, TReadMesTable& readMes);

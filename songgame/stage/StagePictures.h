// The stage script's picture loaders: name patterns of background animations, background pictures
// kept as open streams, and characters' picture entries from a script line or a definition file.
#pragma once

#include "songgame/stage/StageResources.h"

#include "platform/classes/AnsiString.h"

#include <string_view>
#include <vector>

class TFileMan;

// "bg[1-3].png" gives bg1.png, bg2.png, bg3.png; "a[15]" gives a1, a5. Inside the brackets x-y
// stands for every character after x up to y. Without "[", or with the first "]" less than two
// characters after it, the text is the one name. At most maxNames names.
std::vector<AnsiString> ExpandNamePattern(std::string_view text, std::size_t maxNames);

// Opens the file (only when it exists) for a background slot; ".BMP", ".JPG" or ".PNG" in any case.
// The stream the slot held is closed first. False when not found or of another kind.
bool OpenStagePicture(TFileMan& files, const AnsiString& fileName, StagePicture& picture);

// A picture entry from the rest of a script line (file, play word, durations): 64 x 96 cells in one
// column, one frame a row (at most 24), each frame's duration the next field (at least 1) or 8.
// False (the entry left empty) when the picture does not load or is smaller than one cell. Raises
// EConvertError for a duration that is not a number.
bool LoadPictureEntry(TFileMan& files, AnsiString rest, PictureEntry& entry);

// A picture entry from a definition file: its first line names the picture, the cell size and the
// play word ("on": plain, else off); each later line is a cell index and a duration ("T" n: n x 30
// / tempo frames, "S" n: n milliseconds at 30 frames a second, else 1). False (the entry left
// empty) for a missing file, a picture that does not load, a bad cell size or a bad number.
bool LoadDefinitionEntry(TFileMan& files, const AnsiString& fileName, int tempo, PictureEntry& entry);

// A line of a stage file without its "//" comment; false for a line to skip (a comment or empty).
bool StripStageComment(AnsiString& line);

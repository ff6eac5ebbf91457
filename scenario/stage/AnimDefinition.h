// The animated-picture definition: the text file beside a character sheet that gives the panel's
// base size, the images cut from the sheet, the animations (frames of an image and a duration)
// and the four entries that show them.
#pragma once

#include "platform/classes/StringList.h"
#include "scenario/stage/StageBlocks.h"

// Reads the lines into the block's base size, images, animations and entries. Lines are
// case-blind; blank lines and lines starting with "#" are skipped; "[BASE]", "[IMG]", "[ANIM]"
// and "[ENTRY]" open sections; other lines are KEY = VALUE and anything not understood (an unknown
// key, a missing "=", a bad number, an ID outside the section's range or negative, a second ID in
// one section) is passed over. Image rectangles are cut to the sheetWidth x sheetHeight sheet,
// negative sizes counting as 0.
void ParseAnimDefinition(TCharStat& block, const TStringList& lines, int sheetWidth, int sheetHeight);

// GNY pictures: the game's own raw 24-bit format, scrambled byte by byte with a 256-byte table
// that the caller supplies.
//
// File layout: width (int32 little-endian), height (int32 little-endian), then the rows top to
// bottom, each width pixels of blue, green, red with no padding. Every byte of the file, header
// included, is stored XORed with table[p mod 256], p being its offset from the start of the file.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "platform/classes/Stream.h"

#include <cstddef>

// XORs byte i of the run with table[(start + i) mod 256]; scrambling and unscrambling are the same.
void GnyScramble(unsigned char* data, std::size_t length, std::size_t start, const unsigned char* table);

// Decodes a GNY picture from the stream's position on into a packed block of `format` pixels,
// following the block convention of PictureBlock.h (pixels null: only the size is read). width
// and height receive the size when it is valid. False for a null stream or table or a format
// outside 1..7 (nothing read), a size outside 1..16384, a stream shorter than the picture, or no
// memory; nothing is raised.
bool LoadGny(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format,
             const unsigned char* table);

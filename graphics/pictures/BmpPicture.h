// Windows BMP pictures, 8-bit palette and 24-bit, uncompressed: LoadBmp into a packed block of any
// TPixFormat, LoadAlpha as grey alpha values, LoadPalette as the colour table and raw indices.
//
// Each reads from the stream's position on: the 14-byte file header, the 40-byte info header (a
// longer info header is skipped), the colour table of 8-bit files (biClrUsed entries, 256 when it
// is 0), then the rows, padded to 4 bytes, bottom row first (top row first when biHeight is
// negative). A gap that bfOffBits leaves before the rows is skipped. Blocks come out top row
// first, rows packed, and follow the block convention of PictureBlock.h; width and height (either
// may be null) receive the size whenever the headers give a valid one, also when the bit count is
// refused. A null stream is refused. Nothing is ever raised: every failure is a false result.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "graphics/bitmaps/TXeRGB.h"
#include "platform/classes/Stream.h"

// Pixels in `format` (a colour-table entry's reserved byte becomes the alpha of pf16_4444 and
// pf32_8888; an index beyond the table is black). With pixels null only the size is read. False
// for a format outside 1..7 (nothing read), a bit count other than 8 or 24, compressed data, a
// size beyond 16384 x 16384, a colour count above 256, a stream that ends early or no memory.
bool LoadBmp(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format);

// An 8-bit file as one byte per pixel: the grey (blue + green + red) div 3 of each index's
// colour-table entry. Other bit counts: false (size stored).
bool LoadAlpha(TStream* stream, unsigned char** pixels, int* width, int* height);

// An 8-bit file's colour table (a block of 256 entries; those beyond the file's colour count are
// zero) and its raw indices, one byte per pixel. Either may be null. Other bit counts: false
// (size stored).
bool LoadPalette(TStream* stream, tagRGBQUAD** palette, unsigned char** indices, int* width, int* height);

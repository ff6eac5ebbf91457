// PNG pictures through libpng: the channel test of a file's header, loading into a packed block of
// any TPixFormat with an optional plane of alpha bytes (plainly, or taking the colours back from a
// blend over white), and writing a block as an 8-bit RGB or RGB + alpha PNG.
//
// Every function reads or writes from the stream's position on. No C++ exception crosses libpng:
// its errors come back through its own longjmp and end the call with the failure result.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "platform/classes/Stream.h"

// Channels of the file's colour type: 1 palette, 3 RGB, 4 RGB + alpha; 0 for any other type, for
// a stream that is no PNG and for a broken header. The stream is left after the header chunks. A
// stream that ends inside the header raises Exception "Png Error. Read Error.".
int ChkChannelPng(TStream* stream);

// Decodes an 8-bit palette, RGB or RGB + alpha PNG (16-bit samples keep their high byte; interlaced
// files are read) into a packed block of `format` pixels and a plane of alpha bytes, width bytes a
// row, 255 opaque. Both follow the block convention of PictureBlock.h; with neither, only the
// header is read. The alpha of RGB + alpha pixels goes into the plane and, for pf16_4444 and
// pf32_8888, into the pixels; palette and RGB pixels are opaque (palette transparency is
// ignored). width and height (either may be null) receive the size on success. False for a
// format outside 1..7, a stream that is no PNG, a broken file, a grey file, a palette of fewer
// than 8 bits, a picture beyond 16384 x 16384 or no memory.
bool LoadPng(TStream* stream, unsigned char** pixels, unsigned char** alpha, int* width, int* height,
             TPixFormat format);
bool LoadPng(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format);

// As LoadPng, but each colour value c of an RGB + alpha pixel with alpha a is first mapped back to
// the colour that, blended over white at a, gave c (the white-matte table).
bool LoadPngWhiteMat(TStream* stream, unsigned char** pixels, unsigned char** alpha, int* width, int* height,
                     TPixFormat format);
bool LoadPngWhiteMat(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format);

// Entry [a][c] of the white-matte table: 0 for a = 0, else the low byte of the quotient
// ((c + a) x 255 - 65025) / a truncated toward zero.
unsigned char PngWhiteMatte(unsigned char a, unsigned char c);

// Writes a width x height packed block of `format` pixels as an 8-bit RGB PNG, or RGB + alpha when
// an alpha plane (width bytes a row) is given; no interlacing, default compression and filters, no
// other chunk. With pixels null only the signature and header chunk are written. False for a
// format outside 1..7, a size outside 1..16384, a short write or no memory.
bool SavePng(TStream* stream, const unsigned char* pixels, const unsigned char* alpha, int width, int height,
             TPixFormat format);
bool SavePng(TStream* stream, const unsigned char* pixels, int width, int height, TPixFormat format);

// JPEG pictures through libjpeg: LoadJpeg decodes into a packed block of any TPixFormat.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "platform/classes/Stream.h"

// Decodes a JPEG from the stream's position on into a packed block of `format` pixels, following
// the block convention of PictureBlock.h; with pixels null only the header is read. Baseline,
// progressive and arithmetic-coded files are read; grey comes out as equal red, green and blue,
// CMYK is converted as djpeg converts it. width and height (either may be null) receive the size
// on success. Damage the library reads past (it reports a warning) still decodes; the end of the
// stream inside the picture ends it as the library does for a truncated file. False for a format
// outside 1..7 or a null stream (nothing read), an empty stream, data the library refuses (its message goes to
// stderr, as libjpeg reports errors), a picture beyond 16384 x 16384 or no memory. Nothing is
// raised; no exception crosses libjpeg.
bool LoadJpeg(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format);

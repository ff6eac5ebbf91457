// The save slot's thumbnail: the screen reduced to 134 x 100 pixels of blue, green and red bytes
// (40,200 bytes), stored with the slot as its extra data.
#pragma once

class TXeRGBBits;

inline constexpr int kThumbnailWidth = 134;
inline constexpr int kThumbnailHeight = 100;

// A new 24-bit kThumbnailWidth x kThumbnailHeight bitmap (made through the memory registry; the
// caller frees it there) holding the screen, of any pixel format, averaged down by area: a 24-bit
// or 32-bit screen is read as it is, any other is first converted to a 24-bit copy. Null for no
// screen, a screen without pixels or smaller than the thumbnail, or when a bitmap cannot be made.
TXeRGBBits* MakeSaveThumbnail(TXeRGBBits* screen);

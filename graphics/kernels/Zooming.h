// Nearest-neighbour scaling of a block of 8-bit pixels (Zooming) or of TXeRGB pixels (Zooming24).
//
// Both step over the larger size in each direction with a digital differential: enlarging repeats
// source pixels and rows; shrinking writes a destination pixel several times, so it keeps the last
// source pixel (and row) that maps to it. Pitches count pixels between row starts. Nothing is
// clipped: both blocks must be large enough.
#pragma once

#include "graphics/bitmaps/TXeRGB.h"

void Zooming(unsigned char* src, int sw, int sh, int spitch, unsigned char* dst, int dw, int dh, int dpitch);
void Zooming24(TXeRGB* src, int sw, int sh, int spitch, TXeRGB* dst, int dw, int dh, int dpitch);

// Level row kernels on 8-bit alpha rows: saturating add and subtract of a constant, and the
// extraction ramp that turns the top sixteen levels into 0, 17, ..., 255.
//
// Each takes (dst, src, k, count), count in bytes, returns dst; dst may be src. k8 is the low
// 8 bits of k taken as 0..255.
//   RGBSAddAlpha: min(src + k8, 255).  RGBSSubAlpha: max(src - k8, 0).
//   RGBExtractAlpha: v = min(src + k8, 255); 17 x (v - 240) when v >= 240, else 0.
// The MMX forms give identical results.
#pragma once

using TAlphaLevelRow = void*(void* dst, const void* src, const int k, unsigned count);

void* RGBExtractAlpha(void* dst, const void* src, const int k, unsigned count);
void* RGBSAddAlpha(void* dst, const void* src, const int k, unsigned count);
void* RGBSSubAlpha(void* dst, const void* src, const int k, unsigned count);
void* RGBExtractAlpha_MMX(void* dst, const void* src, const int k, unsigned count);
void* RGBSAddAlpha_MMX(void* dst, const void* src, const int k, unsigned count);
void* RGBSSubAlpha_MMX(void* dst, const void* src, const int k, unsigned count);

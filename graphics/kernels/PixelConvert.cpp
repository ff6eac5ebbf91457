// Tables of the single-value colour converters, indexed by TPixFormat.
#include "graphics/kernels/PixelConvert.h"

const TPixFormatTable<TPixelConvert> RGBtoTable = {
    nullptr,           &RGBto<pf16_565>,  &RGBto<pf16_555>,  &RGBto<pf16_5551>,
    &RGBto<pf16_4444>, &RGBto<pf24_888>,  &RGBto<pf32_888>,  &RGBto<pf32_8888>};

const TPixFormatTable<TPixelConvert> RGBfromTable = {
    nullptr,             &RGBfrom<pf16_565>, &RGBfrom<pf16_555>, &RGBfrom<pf16_5551>,
    &RGBfrom<pf16_4444>, &RGBfrom<pf24_888>, &RGBfrom<pf32_888>, &RGBfrom<pf32_8888>};

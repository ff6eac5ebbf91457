// Display modes and pixel-format detection: the two conversions, the screen-size table, ModeCmp, and the version probe.
#include "graphics/display/DisplayMode.h"
#include "graphics/display/GetDXVersion.h"
#include "platform/video/headless/HeadlessVideo.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

namespace {

using namespace DirectX;

DDPIXELFORMAT Rgb(std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a = 0,
                  bool alphaFlag = false)
{
    DDPIXELFORMAT pf;
    pf.dwSize = 32;
    pf.dwFlags = DDPF_RGB | (alphaFlag ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRBitMask = r;
    pf.dwGBitMask = g;
    pf.dwBBitMask = b;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

TEST(DDPFToFormat, ClassifiesByBitCountAndMasks)
{
    struct Case {
        DDPIXELFORMAT pf;
        TBitDepth depth;
        TPixFormat format;
    };
    DDPIXELFORMAT palette;
    palette.dwFlags = DDPF_PALETTEINDEXED8;
    palette.dwRGBBitCount = 8;
    DDPIXELFORMAT palette4 = palette;
    palette4.dwRGBBitCount = 4;
    DDPIXELFORMAT yuv;
    yuv.dwRGBBitCount = 16;
    const Case cases[] = {
        {Rgb(16, 0xF800, 0x07E0, 0x001F), bd16, pf16_565},
        {Rgb(16, 0x7C00, 0x03E0, 0x001F), bd16, pf16_555},
        {Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000, true), bd16, pf16_5551},
        {Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000, false), bd16, pf16_555}, // alpha mask without the flag
        {Rgb(16, 0x7C00, 0x03E0, 0x001F, 0, true), bd16, pf16_555},      // the flag with a zero mask
        {Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000, true), bd16, pf16_4444},
        {Rgb(16, 0x001F, 0x07E0, 0xF800), bd16, pfNone},
        {Rgb(24, 0xFF0000, 0xFF00, 0xFF), bd24, pf24_888},
        {Rgb(32, 0xFF0000, 0xFF00, 0xFF), bd32, pf32_888},
        {Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, true), bd32, pf32_8888},
        {Rgb(32, 0xFF, 0xFF00, 0xFF0000), bd32, pfNone}, // blue-green-red order
        {Rgb(15, 0x7C00, 0x03E0, 0x001F), bdNone, pfNone},
        {palette, bd8, pfNone},
        {palette4, bdNone, pfNone},
        {yuv, bdNone, pfNone},
    };
    for (const Case& c : cases) {
        TBitDepth depth = bd32;
        TPixFormat format = pf32_8888;
        DDPFToFormat(c.pf, depth, format);
        EXPECT_EQ(depth, c.depth) << c.pf.dwRGBBitCount << " " << std::hex << c.pf.dwRBitMask;
        EXPECT_EQ(format, c.format) << c.pf.dwRGBBitCount << " " << std::hex << c.pf.dwRBitMask;
    }
}

TEST(FormatToDDPF, DescribesEachDepthAndFormat)
{
    DDPIXELFORMAT pf;
    FormatToDDPF(pf, bd24, pfNone);
    EXPECT_EQ(pf.dwSize, 32u);
    EXPECT_EQ(pf.dwFlags, DDPF_RGB);
    EXPECT_EQ(pf.dwRGBBitCount, 24u);
    EXPECT_EQ(pf.dwRBitMask, 0xFF0000u);
    EXPECT_EQ(pf.dwBBitMask, 0xFFu);

    DDPIXELFORMAT alpha;
    FormatToDDPF(alpha, bd32, pf32_8888);
    EXPECT_EQ(alpha.dwFlags, DDPF_RGB | DDPF_ALPHAPIXELS);
    EXPECT_EQ(alpha.dwRGBAlphaBitMask, 0xFF000000u);

    DDPIXELFORMAT p8;
    FormatToDDPF(p8, bd8, pfNone);
    EXPECT_EQ(p8.dwFlags, DDPF_PALETTEINDEXED8);
    EXPECT_EQ(p8.dwRGBBitCount, 0u) << "nothing else is written";

    // Every agreeing pair comes back as itself (pfNone as the depth's plain layout).
    const std::pair<TBitDepth, TPixFormat> pairs[] = {
        {bd16, pf16_565}, {bd16, pf16_555}, {bd16, pf16_5551}, {bd16, pf16_4444},
        {bd24, pf24_888}, {bd32, pf32_888}, {bd32, pf32_8888}, {bd16, pfNone},
    };
    for (const auto& [depth, format] : pairs) {
        DDPIXELFORMAT round;
        FormatToDDPF(round, depth, format);
        TBitDepth d = bdNone;
        TPixFormat f = pfNone;
        DDPFToFormat(round, d, f);
        EXPECT_EQ(d, depth);
        EXPECT_EQ(f, format == pfNone ? pf16_565 : format);
    }
}

TEST(TDisplayMode, DefaultsAndModeCmpIgnoresMasks)
{
    TDisplayMode a;
    EXPECT_EQ(a.BitDepth, bdNone);
    EXPECT_EQ(a.PixFormat, pfNone);
    EXPECT_EQ(a.ScreenSize, ss640x480);
    EXPECT_EQ(a.RMask | a.GMask | a.BMask | a.AMask, 0u);
    TDisplayMode b = a;
    b.RMask = 0xF800;
    EXPECT_TRUE(a.ModeCmp(b));
    b.ScreenSize = ss800x600;
    EXPECT_FALSE(a.ModeCmp(b));
}

TEST(TScreenSize, TableBothWays)
{
    int w = 0;
    int h = 0;
    ASSERT_TRUE(ScreenSizeDimensions(ss1152x864, w, h));
    EXPECT_EQ(w, 1152);
    EXPECT_EQ(h, 864);
    EXPECT_FALSE(ScreenSizeDimensions(static_cast<TScreenSize>(7), w, h));
    TScreenSize s = ss320x240;
    ASSERT_TRUE(ScreenSizeOf(1280, 1024, s));
    EXPECT_EQ(s, ss1280x1024);
    EXPECT_FALSE(ScreenSizeOf(1600, 1200, s));
}

TEST(GetDXVersion, SevenWhenTheVideoBackEndStartsElseZero)
{
    video::HeadlessVideo back;
    EXPECT_EQ(GetDXVersion(back), 0x700u);
    back.settings.startFails = true;
    EXPECT_EQ(GetDXVersion(back), 0u);
    const TestSupport::ScopedVideoBackEnd headless(std::make_shared<video::HeadlessVideo>());
    EXPECT_EQ(GetDXVersion(), 0x700u);
}

} // namespace

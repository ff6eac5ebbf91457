// Tests of device-independent bitmaps: header checks, row layout in both directions, masks and colours.
#include "platform/font/DibSection.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

BitmapInfoHeader Header(int w, int h, int bits, std::uint32_t compression = BI_RGB)
{
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = h;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biCompression = compression;
    return header;
}

constexpr std::uint32_t kMasks565[3] = {0xF800, 0x07E0, 0x001F};

} // namespace

TEST(DibSection, RowsAreFourByteAlignedInEitherDirection)
{
    const auto bottomUp = DibSection::Create(Header(3, 2, 24));
    ASSERT_NE(bottomUp, nullptr);
    EXPECT_EQ(bottomUp->Stride(), 12);
    EXPECT_FALSE(bottomUp->TopDown());
    EXPECT_EQ(bottomUp->Row0(), bottomUp->Start() + 12);
    EXPECT_EQ(bottomUp->RowPitch(), -12);
    const auto topDown = DibSection::Create(Header(3, -2, 24));
    ASSERT_NE(topDown, nullptr);
    EXPECT_EQ(topDown->Height(), 2);
    EXPECT_EQ(topDown->Row0(), topDown->Start());
    EXPECT_EQ(topDown->RowPitch(), 12);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(topDown->Start()[i], 0);
    EXPECT_EQ(DibSection::Create(Header(5, 1, 8))->Stride(), 8);
    EXPECT_EQ(DibSection::Create(Header(3, 1, 16))->Stride(), 8);
}

TEST(DibSection, MasksAndColourTable)
{
    const auto bitFields = DibSection::Create(Header(4, 4, 16, BI_BITFIELDS), kMasks565);
    ASSERT_NE(bitFields, nullptr);
    EXPECT_EQ(bitFields->RedMask(), 0xF800u);
    EXPECT_EQ(bitFields->GreenMask(), 0x07E0u);
    EXPECT_EQ(bitFields->BlueMask(), 0x001Fu);
    EXPECT_EQ(DibSection::Create(Header(4, 4, 16))->RedMask(), 0x7C00u);
    EXPECT_EQ(DibSection::Create(Header(4, 4, 32))->RedMask(), 0xFF0000u);
    EXPECT_TRUE(bitFields->Colours().empty());
    std::uint32_t grey[256];
    for (std::uint32_t i = 0; i < 256; ++i)
        grey[i] = i * 0x010101;
    const auto indexed = DibSection::Create(Header(4, 4, 8), {}, grey);
    ASSERT_NE(indexed, nullptr);
    ASSERT_EQ(indexed->Colours().size(), 256u);
    EXPECT_EQ(indexed->Colours()[200], 0xC8C8C8u);
}

TEST(DibSection, RefusesHeadersItCannotHold)
{
    const BitmapInfoHeader bad[] = {
        Header(0, 4, 24), Header(-1, 4, 24), Header(4, 0, 24), Header(4, INT_MIN, 24), Header(4, 4, 1),
        Header(4, 4, 15), Header(4, 4, 24, BI_BITFIELDS), Header(4, 4, 8, BI_BITFIELDS), Header(4, 4, 32, 1),
        Header(INT_MAX, INT_MAX, 32),
    };
    for (const BitmapInfoHeader& header : bad)
        EXPECT_EQ(DibSection::Create(header, kMasks565), nullptr) << header.biWidth << "x" << header.biHeight;
    // BI_BITFIELDS needs three masks.
    EXPECT_EQ(DibSection::Create(Header(4, 4, 16, BI_BITFIELDS)), nullptr);
}

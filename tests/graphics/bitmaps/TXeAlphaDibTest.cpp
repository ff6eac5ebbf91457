// Tests of the DIB-backed alpha map: stride, grey table, direction, contexts and resizing.
#include "graphics/bitmaps/TXeAlphaDib.h"

#include <gtest/gtest.h>

TEST(TXeAlphaDib, RowsAreFourByteAlignedWithAGreyTable)
{
    TXeAlphaDib alpha(nullptr);
    alpha.Resize(5, 3);
    EXPECT_TRUE(alpha.Palette().empty());
    ASSERT_TRUE(alpha.Create());
    EXPECT_EQ(alpha.Handle()->Stride(), 8);
    EXPECT_EQ(alpha.Pitch(), -8);
    EXPECT_EQ(alpha.Bits(), alpha.Handle()->Start() + 16);
    ASSERT_EQ(alpha.Palette().size(), 256u);
    EXPECT_EQ(alpha.Palette()[200], 0xC8C8C8u);
    EXPECT_EQ(alpha.PGet(4, 2), 0);  // a new section is zero
    ASSERT_TRUE(alpha.PSet(4, 0, 77));
    EXPECT_EQ(alpha.Handle()->Start()[16 + 4], 77);
}

TEST(TXeAlphaDib, DirectionIsFixedWhileCreated)
{
    TXeAlphaDib alpha(nullptr);
    alpha.SetDirection(ddTopDown);
    alpha.Resize(4, 2);
    ASSERT_TRUE(alpha.Create());
    EXPECT_EQ(alpha.Pitch(), 4);
    alpha.SetDirection(ddBottomUp);
    EXPECT_EQ(alpha.Direction(), ddTopDown);
    EXPECT_FALSE(alpha.Create());
}

TEST(TXeAlphaDib, ContextsAndResize)
{
    TXeAlphaDib alpha(nullptr);
    void* dc = nullptr;
    EXPECT_FALSE(alpha.GetDC(&dc));
    alpha.Resize(8, 8);
    ASSERT_TRUE(alpha.Create());
    ASSERT_TRUE(alpha.GetDC(&dc));
    void* second = nullptr;
    EXPECT_FALSE(alpha.GetDC(&second));
    alpha.Fill(9);
    EXPECT_FALSE(alpha.Resize(0, 1));
    ASSERT_TRUE(alpha.Resize(16, 4));
    EXPECT_EQ(static_cast<DeviceContext*>(dc)->Bitmap(), alpha.Handle());
    EXPECT_EQ(alpha.PGet(15, 3), 0);
    EXPECT_FALSE(alpha.ReleaseDC(&second));
    EXPECT_TRUE(alpha.ReleaseDC(dc));
    EXPECT_TRUE(alpha.ReleaseDC(dc));
}

TEST(TXeAlphaDib, WhiteTextGivesFullValues)
{
    TXeAlphaDib alpha(nullptr);
    alpha.Resize(48, 48);
    ASSERT_TRUE(alpha.Create());
    void* handle = nullptr;
    ASSERT_TRUE(alpha.GetDC(&handle));
    auto* dc = static_cast<DeviceContext*>(handle);
    LogicalFont font;
    font.height = -48;
    font.quality = kNonAntialiasedQuality;
    dc->SelectFont(&font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    ASSERT_TRUE(dc->TextOutA(0, 0, "\xD6\xD0", 2));
    alpha.ReleaseDC(handle);
    int full = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const int v = alpha.PGet(x, y);
            EXPECT_TRUE(v == 0 || v == 255);
            full += v == 255;
        }
    EXPECT_GT(full, 100);
}

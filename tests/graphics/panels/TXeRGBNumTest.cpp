// Tests of the number panel: digits laid out right-aligned from a ten-band strip, clipping,
// the column limit and the cases that draw nothing.
#include "graphics/panels/TXeRGBNum.h"

#include "tests/graphics/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A number panel 4 places wide with a strip of 3 x 2 digits whose band k is filled with value
// 0x100 + k, over a root cleared to 0; Read() gives the digit shown in each place ('.' for none).
struct TNumber : TPanelScene {
    TXeRGBBits* dst = Solid(20, 10, pf32_888, 0);
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 20, 10);
    TXeRGBNum* number = new TXeRGBNum(owner.get(), root);

    TNumber()
    {
        root->SetMaskMode(mmNone);
        number->SetOffsetX(2);
        number->SetSizeX(12);
        number->SetSizeY(2);
        number->SetImage(Picture(3, 20, pf32_888, [](int, int y) { return 0x100u + y / 2; }));
        root->AllCreate();
    }
    std::string Read()
    {
        dst->Cls();
        root->Draw(dst);
        std::string digits;
        for (int place = 3; place >= 0; --place) {
            const std::uint32_t v = dst->PGet(2 + 12 - 3 * (place + 1), 0);
            digits += v == 0 ? '.' : static_cast<char>('0' + (v - 0x100));
        }
        return digits;
    }
};

} // namespace

TEST(TXeRGBNum, ConstructionDefaults)
{
    TXeRGBNum alone(nullptr);
    EXPECT_EQ(alone.SizeX(), 98);
    EXPECT_EQ(alone.SizeY(), 31);
    EXPECT_FALSE(alone.AutoSize());
    EXPECT_EQ(alone.Column(), 1);
    EXPECT_EQ(alone.NumBlock(), 1);
    TXeRGBPanel root(nullptr);
    TXeRGBNum child(nullptr, &root);
    EXPECT_EQ(child.NumBlock(), 10);
}

TEST(TXeRGBNum, DigitsAreRightAlignedWithoutLeadingZeros)
{
    struct Case {
        int column;
        int number;
        const char* shown;
    };
    const Case cases[] = {
        {3, 0, "...0"},    {3, 7, "...7"},     {3, 42, "..42"},    {4, 9876, "9876"},
        {2, 9876, "..76"}, {0, 5, "...."},     {4, 100, ".100"},   {4, -5, "...."},
        {4, -123, "...."}, {4, 2147483647, "3647"},
    };
    for (const Case& c : cases) {
        TNumber t;
        t.number->SetColumn(c.column);
        t.number->SetNumber(c.number);
        EXPECT_EQ(t.Read(), c.shown) << c.column << " " << c.number;
    }
}

TEST(TXeRGBNum, ColumnOutsideItsRangeIsIgnored)
{
    TNumber t;
    t.number->SetColumn(10);
    t.number->SetColumn(11);
    t.number->SetColumn(-1);
    EXPECT_EQ(t.number->Column(), 10);
}

TEST(TXeRGBNum, ChangesDirtyTheShownPanel)
{
    TNumber t;
    t.root->ClrModifyToChild();
    t.number->SetNumber(12);
    EXPECT_TRUE(t.number->GetModified());
    t.root->ClrModifyToChild();
    t.number->SetNumber(12);
    EXPECT_FALSE(t.number->GetModified());
}

TEST(TXeRGBNum, APartialRepaintDrawsOnlyItsPart)
{
    TNumber t;
    t.number->SetColumn(4);
    t.number->SetNumber(1234);
    t.dst->Cls();
    // Only the tens cell (x 8..10 in the number panel) is asked for.
    ASSERT_TRUE(t.number->Draw(t.dst, 2, 0, 6, 0, 3, 2));
    EXPECT_EQ(t.dst->PGet(8, 0), 0x103u);
    EXPECT_EQ(t.dst->PGet(11, 0), 0u);
    EXPECT_EQ(t.dst->PGet(5, 0), 0u);
}

TEST(TXeRGBNum, AShortStripDrawsLikeAPlainPanel)
{
    TNumber t;
    t.number->SetNumBlock(1);
    t.number->SetImage(t.Solid(12, 9, pf32_888, 0x777));
    t.number->SetNumber(5);
    t.root->Draw(t.dst);
    for (int x = 2; x < 14; ++x)
        EXPECT_EQ(t.dst->PGet(x, 1), 0x777u) << x;
}

TEST(TXeRGBNum, AHandledOnDrawDrawsThePanel)
{
    TNumber t;
    int calls = 0;
    t.number->OnDraw = [&](TObject*, TXeRGBBits*, int, int, int, int, int, int) { return ++calls, true; };
    t.number->SetNumber(5);
    EXPECT_EQ(t.Read(), "....");
    EXPECT_EQ(calls, 1);
}

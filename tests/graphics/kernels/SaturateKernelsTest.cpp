// Saturating add and subtract kernels: plain and MMX tables against a per-field reference in every
// format, rows of 0..67 pixels with guard bytes, and known values.
#include "graphics/kernels/SaturateKernels.h"

#include "tests/graphics/RowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace rowtest;

namespace {

Bytes Reference(TPixFormat f, const Bytes& dst, const Bytes& src, unsigned n, bool add)
{
    const auto op = [add](int d, int s, int max) { return add ? std::min(d + s, max) : std::max(d - s, 0); };
    Bytes out(dst.size());
    if (PixFormatBytes(f) != 2) {
        for (std::size_t i = 0; i < dst.size(); ++i)
            out[i] = static_cast<std::uint8_t>(op(dst[i], src[i], 255));
        return out;
    }
    const TFields16 fields = FieldsOf(f);
    for (unsigned i = 0; i < n; ++i) {
        const std::uint32_t pd = Get(dst, i, 2), ps = Get(src, i, 2);
        std::uint32_t p = 0;
        for (const TField& c : fields.colour)
            p |= c.To(op(c.Of(pd), c.Of(ps), c.Max()));
        if (add && fields.extra.bits != 0)
            p |= fields.extra.To(fields.extra.Of(pd) + fields.extra.Of(ps));  // wraps in its width
        Put(out, i, 2, p);
    }
    return out;
}

void CheckTable(const TPixFormatTable<TSaturateRow>& table, bool add)
{
    std::mt19937 rng(31);
    for (TPixFormat f : kFormats) {
        const int bytes = PixFormatBytes(f);
        for (unsigned n = 0; n <= kMaxCount; ++n) {
            const Bytes before = RandomBytes(rng, std::size_t{n} * bytes);
            const Bytes src = RandomBytes(rng, before.size());
            TGuardedRow dst(before, rng);
            EXPECT_EQ(table[f](dst.data(), src.data(), n), dst.data());
            ASSERT_TRUE(SameRow(dst.Row(), Reference(f, before, src, n, add), bytes)) << "format " << int{f} << " count " << n;
            ASSERT_TRUE(dst.GuardIntact()) << "format " << int{f} << " count " << n;
        }
    }
}

template <typename T> T Apply(TSaturateRow* kernel, T dst, T src)
{
    kernel(&dst, &src, 1);
    return dst;
}

}  // namespace

TEST(SaturateKernels, AddPlainMatchesReference) { CheckTable(RGBAddTable, true); }
TEST(SaturateKernels, AddMMXMatchesReference) { CheckTable(RGBAddTableMMX, true); }
TEST(SaturateKernels, SubPlainMatchesReference) { CheckTable(RGBSubTable, false); }
TEST(SaturateKernels, SubMMXMatchesReference) { CheckTable(RGBSubTableMMX, false); }

TEST(SaturateKernels, KnownValues)
{
    EXPECT_EQ(Apply<std::uint16_t>(&RGBAdd<pf16_565>, 0xF800, 0x0800), 0xF800);
    EXPECT_EQ(Apply<std::uint16_t>(&RGBAdd<pf16_555>, 0x8000, 0x8000), 0x0000);
    EXPECT_EQ(Apply<std::uint16_t>(&RGBAdd<pf16_4444>, 0xF000, 0x1000), 0x0000);
    EXPECT_EQ(Apply<std::uint16_t>(&RGBSub<pf16_4444>, 0xF555, 0x0111), 0x0444);
    EXPECT_EQ(Apply<std::uint32_t>(&RGBAdd_MMX<pf32_8888>, 0xC8C8C8C8, 0x64646464), 0xFFFFFFFFu);
    EXPECT_EQ(Apply<std::uint32_t>(&RGBSub<pf32_888>, 0x10203040, 0x20202020), 0x00001020u);
}

// The front buffer and the rectangle list that feed a window's presenter.
#include "platform/video/FrontBuffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace video;

std::vector<Rect> Pending(FrontBuffer& front)
{
    std::vector<Rect> taken;
    front.TakePending([&](const FrontBuffer::View&, std::span<const Rect> rects) {
        taken.assign(rects.begin(), rects.end());
    });
    return taken;
}

TEST(FrontBuffer, ResetMakesEverythingPendingOnce)
{
    FrontBuffer front;
    front.Reset(8, 4, kLayout565);
    EXPECT_EQ(Pending(front), (std::vector<Rect>{{0, 0, 8, 4}}));
    EXPECT_TRUE(Pending(front).empty());
    front.MarkAllPending();
    EXPECT_EQ(Pending(front).size(), 1u);
}

TEST(FrontBuffer, PublishMarksOnlyWhatChanged)
{
    FrontBuffer front;
    front.Reset(16, 8, kLayoutX888);
    Pending(front);
    std::vector<std::uint32_t> src(16 * 8, 0);
    src[3 * 16 + 5] = 0x123456;
    src[4 * 16 + 9] = 0x654321;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(src.data());
    const auto before = front.Generation();
    front.Publish({0, 0, 16, 8}, bytes, 16 * 4);
    EXPECT_EQ(Pending(front), (std::vector<Rect>{{5, 3, 10, 5}}));
    EXPECT_EQ(front.Copy().Pixel(5, 3), 0x123456u);
    EXPECT_EQ(front.Copy().Pixel(9, 4), 0x654321u);
    front.Publish({0, 0, 16, 8}, bytes, 16 * 4);
    EXPECT_TRUE(Pending(front).empty()) << "an unchanged picture presents nothing";
    EXPECT_EQ(front.Generation(), before + 1);
    front.Publish({10, 0, 17, 8}, bytes, 16 * 4);
    EXPECT_TRUE(Pending(front).empty()) << "a rectangle outside the picture is ignored";
}

TEST(FrontBuffer, PixelToRgbWidensEachChannel)
{
    EXPECT_EQ(PixelToRgb(0xF800, kLayout565), 0xFF0000u);
    EXPECT_EQ(PixelToRgb(0x0421, kLayout555), 0x080808u);
    EXPECT_EQ(PixelToRgb(0x07E0, kLayout565), 0x00FF00u);
    EXPECT_EQ(PixelToRgb(0x7F, kLayout8), 0x7F7F7Fu);
    const PixelLayout l4444{16, 0x0F00, 0x00F0, 0x000F, 0xF000};
    EXPECT_EQ(PixelToRgb(0x0A50, l4444), 0xAA5500u);
}

TEST(RectList, DropsCoveredRectanglesAndCollapsesPastTheCap)
{
    RectList list;
    list.Add({0, 0, 10, 10});
    list.Add({2, 2, 5, 5});
    list.Add(Rect{});
    EXPECT_EQ(list.Rects().size(), 1u);
    list.Add({-1, -1, 11, 11});
    ASSERT_EQ(list.Rects().size(), 1u);
    EXPECT_EQ(list.Rects()[0], (Rect{-1, -1, 11, 11}));
    list.Clear();
    for (int i = 0; i <= static_cast<int>(RectList::kMaxRects); ++i)
        list.Add({i * 10, 0, i * 10 + 5, 5});
    ASSERT_EQ(list.Rects().size(), 1u);
    EXPECT_EQ(list.Rects()[0], (Rect{0, 0, static_cast<int>(RectList::kMaxRects) * 10 + 5, 5}));
}

} // namespace

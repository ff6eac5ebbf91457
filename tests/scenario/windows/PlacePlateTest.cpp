// PlacePlate through TSubWinUnit: a missing picture, and the slide in, the stay and the slide out.
#include "scenario/windows/PlacePlate.h"

#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PlacePlate, AMissingPictureShowsNothing)
{
    WindowTest::UnitFixture f;
    EXPECT_FALSE(f.unit->PlaceWinOpen(7));
    EXPECT_FALSE(f.unit->PlaceWinIsActive());
    EXPECT_FALSE(f.unit->Panel("PlaceWin")->Visible());
}

TEST(PlacePlate, SlidesInStaysSixtyStepsAndSlidesOut)
{
    WindowTest::UnitFixture f;
    ASSERT_TRUE(f.unit->PlaceWinOpen(3)); // a 200 x 40 picture
    const TXeRGBPanel* plate = f.unit->Panel("PlaceWin");
    EXPECT_EQ(plate->OffsetX(), -200);
    EXPECT_EQ(plate->OffsetY(), 65);
    EXPECT_EQ(plate->SizeX(), 200);
    std::vector<int> xs;
    for (int step = 0; step < 9; ++step) {
        f.unit->PlaceWinUpdate(1, false);
        xs.push_back(plate->OffsetX());
    }
    EXPECT_EQ(xs, (std::vector<int>{-166, -133, -100, -67, -34, -1, 32, 65, 65}));
    for (int step = 0; step < 59; ++step)
        f.unit->PlaceWinUpdate(1, false);
    EXPECT_EQ(f.unit->Panel("PlaceWin")->OffsetX(), 65);
    f.unit->PlaceWinUpdate(1, false); // the sixtieth step starts the slide out
    f.unit->PlaceWinUpdate(1, false);
    EXPECT_EQ(plate->OffsetX(), 32);
    f.unit->PlaceWinUpdate(1, true);
    EXPECT_FALSE(f.unit->PlaceWinIsActive());
    EXPECT_FALSE(plate->Visible());
    EXPECT_EQ(plate->Image(), nullptr);
}

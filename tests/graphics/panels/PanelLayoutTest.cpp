#include "graphics/panels/PanelLayout.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "graphics/panels/TXeRGBText.h"

#include <gtest/gtest.h>

namespace {

constexpr TPanelRow kRows[] = {
    {"Top", pkPanel, kNoParent, 0, 0, 640, 480, "Back.png", 0, plKeys, {}, kNoPart},
    {"Strip", pkPanel, 0, 10, 20, 30, 40, "Strip.png", 4, plHidden | plNoMouse, {}, 3},
    {"Button", pkButton, 1, 5, 6, 46, 22, "Btn.png", 0, 0, {1, 1, 1, 1, 1}, kNoPart},
    {"Number", pkNumber, 0, 7, 8, 24, 10, "", 0, 0, {}, kNoPart},
    {"Text", pkText, 3, 1, 2, 0, 0, "words", 0, 0, {}, kNoPart},
    {"Orphan", pkPanel, 9, 0, 0, 0, 0, "", 0, 0, {}, kNoPart},
};

TEST(PanelLayout, BuildsEachRowOwnedByTheOwnerAndIndexedLikeTheTable)
{
    TComponent owner(nullptr);
    const std::vector<TXeRGBPanel*> panels = BuildPanels(&owner, kRows);
    ASSERT_EQ(panels.size(), std::size(kRows));
    EXPECT_EQ(owner.ComponentCount(), static_cast<int>(std::size(kRows)));

    const int parents[] = {-1, 0, 1, 0, 3, -1};
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const TPanelRow& row = kRows[i];
        const TXeRGBPanel* p = panels[i];
        EXPECT_EQ(p->Name, row.name);
        EXPECT_EQ(p->Parent(), parents[i] < 0 ? nullptr : panels[static_cast<std::size_t>(parents[i])]) << row.name;
        EXPECT_EQ(p->OffsetX(), row.x) << row.name;
        EXPECT_EQ(p->OffsetY(), row.y) << row.name;
        EXPECT_EQ(p->GetText(), row.text) << row.name;
        EXPECT_EQ(p->Visible(), (row.flags & plHidden) == 0) << row.name;
        EXPECT_EQ(p->KeyControl(), (row.flags & plKeys) != 0) << row.name;
        EXPECT_EQ(p->MouseControl(), (row.flags & plNoMouse) == 0) << row.name;
        if (row.width > 0) {
            EXPECT_EQ(p->SizeX(), row.width) << row.name;
        }
    }
    EXPECT_EQ(panels[1]->SizeY(), 40);
    EXPECT_EQ(panels[1]->NumBlock(), 4);
    ASSERT_NE(dynamic_cast<TXeRGBBtn*>(panels[2]), nullptr);
    EXPECT_EQ(panels[2]->NumBlock(), 5) << "the button's blocks are its patterns' sum";
    EXPECT_EQ(static_cast<TXeRGBBtn*>(panels[2])->PatDisable(), 1);
    EXPECT_NE(dynamic_cast<TXeRGBNum*>(panels[3]), nullptr);
    ASSERT_NE(dynamic_cast<TXeRGBText*>(panels[4]), nullptr);
    EXPECT_EQ(panels[4]->SizeX(), 160) << "a zero size keeps the kind's own";
}

} // namespace

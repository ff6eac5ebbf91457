// PanelLayout: a table of rows becomes a panel tree with places, sizes, pictures, button looks,
// mouse and visibility, found by name.
#include "shell/helpers/PanelLayout.h"

#include "graphics/panels/TXeRGBNum.h"
#include "graphics/panels/TXeRGBText.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

TEST(PanelLayout, BuildsTheTreeTheTableStates)
{
    const ButtonLook look{1, 2, 3, 1, 1, 4, batRoundtrip};
    const PanelRow rows[] = {
        {"Root", PanelKind::Panel, nullptr, 10, 20, 300, 200, nullptr},
        {"Back", PanelKind::Panel, "Root", 0, 0, 300, 200, "Back.png", 4},
        {"Ok", PanelKind::Button, "Back", 5, 6, 40, 20, "Ok.png", 1, look, true, false},
        {"Text", PanelKind::Panel, "Root", 7, 8, 100, 30, nullptr, 1, {}, false},
    };
    std::vector<TObject*> created;
    TComponent owner(nullptr);
    const PanelLayout layout(&owner, rows, [&](TObject* sender) { created.push_back(sender); });

    TXeRGBPanel* root = layout["Root"];
    EXPECT_EQ(root->Parent(), nullptr);
    EXPECT_EQ(layout["Back"]->Parent(), root);
    EXPECT_EQ(layout["Ok"]->Parent(), layout["Back"]);
    EXPECT_EQ(layout["Text"]->Parent(), root);
    EXPECT_EQ(root->OffsetX(), 10);
    EXPECT_EQ(root->SizeY(), 200);
    EXPECT_EQ(layout["Back"]->NumBlock(), 4);
    EXPECT_EQ(layout["Back"]->GetText(), "Back.png");
    EXPECT_FALSE(layout["Text"]->MouseControl());
    TXeRGBBtn* ok = layout.Button("Ok");
    EXPECT_FALSE(ok->Visible());
    EXPECT_EQ(ok->NumBlock(), 8);
    EXPECT_EQ(ok->PatSelected(), 3);
    EXPECT_EQ(ok->AnimeWait(), 4);
    EXPECT_EQ(ok->AnimeType(), batRoundtrip);
    EXPECT_EQ(ok->Name, "Ok");
    EXPECT_THROW(layout["Missing"], std::out_of_range);
    EXPECT_THROW(layout.Button("Back"), std::out_of_range);

    root->AllCreate();
    EXPECT_EQ(created, (std::vector<TObject*>{layout["Back"], ok})); // only the rows with a picture
}

TEST(PanelLayout, MakesNumberAndTextPanelsAndFindsRowsByIndex)
{
    const PanelRow rows[] = {
        {"Root", PanelKind::Panel, nullptr, 0, 0, 640, 480, nullptr},
        {"Score", PanelKind::Number, "Root", 10, 20, 24, 10, nullptr},
        {"Caption", PanelKind::Text, "Root", 30, 40, 208, 16, nullptr},
    };
    TComponent owner(nullptr);
    const PanelLayout layout(&owner, rows);
    ASSERT_NE(dynamic_cast<TXeRGBNum*>(layout["Score"]), nullptr);
    EXPECT_EQ(layout["Score"]->NumBlock(), 10);
    ASSERT_NE(dynamic_cast<TXeRGBText*>(layout["Caption"]), nullptr);
    EXPECT_EQ(layout["Caption"]->SizeX(), 208);
    EXPECT_EQ(layout.Row(2), layout["Caption"]);
    EXPECT_THROW(layout.Row(3), std::out_of_range);
}

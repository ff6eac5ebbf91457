#include "scenario/stage/AnimDefinition.h"

#include <gtest/gtest.h>

namespace {

TCharStat Parse(const char* text, int sheetW = 200, int sheetH = 200)
{
    TStringList lines;
    lines.SetText(text);
    TCharStat block;
    ParseAnimDefinition(block, lines, sheetW, sheetH);
    return block;
}

std::vector<std::pair<int, int>> Frames(const TCharStat& block, int anim, int count)
{
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < count; ++i)
        out.emplace_back(block.Anim[anim][i].Image, block.Anim[anim][i].Duration);
    return out;
}

} // namespace

TEST(AnimDefinition, ReadsTheExampleSheetCaseBlindSkippingCommentsAndBlankLines)
{
    const TCharStat b = Parse("# a girl\r\n"
                              "\r\n"
                              "[base]\r\nWidth = 120\r\nheight=180\r\n"
                              "[IMG]\r\nID=0\r\nPOSX=0\r\nPOSY=0\r\nWIDTH=120\r\nHEIGHT=180\r\n"
                              "[IMG]\r\nid=2\r\nposx=120\r\nposy=10\r\nwidth=30\r\nheight=12\r\n"
                              "[ANIM]\r\nID=0\r\nANIMATION=<1,1><2,3><1,1><END>\r\n"
                              "[Anim]\r\nID=1\r\nanimation = <3,4><4,4><loop>\r\n"
                              "[ENTRY]\r\nID=1\r\nPOSX=40\r\nPOSY=30\r\nANIM_ID=0\r\n"
                              "#[ENTRY]\r\n"
                              "[ENTRY]\r\nID=0\r\nIMG_ID=0\r\n");
    EXPECT_EQ(b.BaseWidth, 120);
    EXPECT_EQ(b.BaseHeight, 180);
    EXPECT_EQ(b.Img[2].PosX, 120);
    EXPECT_EQ(b.Img[2].PosY, 10);
    EXPECT_EQ(b.Img[2].Width, 30);
    EXPECT_EQ(b.Img[2].Height, 12);
    EXPECT_EQ(Frames(b, 0, 5), (std::vector<std::pair<int, int>>{{1, 1}, {2, 3}, {1, 1}, {-1, 1}, {-1, 1}}));
    EXPECT_EQ(Frames(b, 1, 3), (std::vector<std::pair<int, int>>{{3, 4}, {4, 4}, {-2, 1}}));
    EXPECT_EQ(b.Entry[1].PosX, 40);
    EXPECT_EQ(b.Entry[1].PosY, 30);
    EXPECT_EQ(b.Entry[1].AnimId, 0);
    EXPECT_EQ(b.Entry[1].ImgId, -1);
    EXPECT_EQ(b.Entry[0].ImgId, 0);
}

TEST(AnimDefinition, PassesOverLinesItCannotUse)
{
    struct Case {
        const char* what;
        const char* text;
        int baseWidth, imgWidth; // BaseWidth and Img[1].Width afterwards
    };
    const Case cases[] = {
        {"before any section", "WIDTH=5\n[IMG]\nID=1\nWIDTH=3", 0, 3},
        {"missing =", "[BASE]\nWIDTH 5\n[IMG]\nID=1\nWIDTH 3", 0, 0},
        {"= first", "[BASE]\n=WIDTH=5\n[IMG]\nID=1\n=WIDTH=3", 0, 0},
        {"section with a space", "[BASE] \nWIDTH=5\n[IMG]\nID=1\nWIDTH=3", 0, 3},
        {"bad number", "[BASE]\nWIDTH=5x\n[IMG]\nID=1\nWIDTH=q", 0, 0},
        {"second ID ignored", "[BASE]\nWIDTH=5\n[IMG]\nID=1\nID=2\nWIDTH=3", 5, 3},
        {"out-of-range ID", "[IMG]\nID=16\nWIDTH=3", 0, 0},
        {"negative ID", "[IMG]\nID=-1\nWIDTH=3", 0, 0},
        {"keys before the ID", "[IMG]\nWIDTH=3\nID=1", 0, 0},
        {"no [BASE]: a 0 x 0 panel", "[IMG]\nID=1\nWIDTH=3", 0, 3},
    };
    for (const Case& c : cases) {
        const TCharStat b = Parse((std::string(c.text) + "\nHEIGHT=4").c_str());
        EXPECT_EQ(b.BaseWidth, c.baseWidth) << c.what;
        EXPECT_EQ(b.BaseHeight, 0) << c.what;
        EXPECT_EQ(b.Img[1].Width, c.imgWidth) << c.what;
        EXPECT_EQ(b.Img[2].Width, 0) << c.what << ": a second ID opens no record";
    }
}

TEST(AnimDefinition, RangesOfAnimationAndEntryIDsAreFour)
{
    const TCharStat b = Parse("[ANIM]\nID=4\nANIMATION=<1,2>\n[ENTRY]\nID=4\nPOSX=9\n[ENTRY]\nID=3\nPOSX=7\n"
                              "[ANIM]\nID=3\nANIMATION=<5,6>");
    for (int a = 0; a < 3; ++a)
        EXPECT_EQ(b.Anim[a][0].Image, -1);
    EXPECT_EQ(b.Anim[3][0].Image, 5);
    EXPECT_EQ(b.Entry[3].PosX, 7);
}

TEST(AnimDefinition, ReadsFramesUntilTheFirstMalformedOne)
{
    struct Case {
        const char* value;
        std::vector<std::pair<int, int>> frames; // the first four afterwards
    };
    const std::pair<int, int> none{-1, 1};
    const Case cases[] = {
        {"<1,0><2,5>", {{1, 1}, {2, 5}, none, none}},                 // duration 0 and below become 1
        {"<1,-4>", {{1, 1}, none, none, none}},
        {"<1,><2,5>", {none, none, none, none}},                      // ">" less than four after "<"
        {"<1,2><3,>", {{1, 2}, none, none, none}},
        {"<12,><2,5>", {none, none, none, none}},                     // the comma last
        {"<,12><2,5>", {none, none, none, none}},                     // the comma first
        {"<1.2><2,5>", {none, none, none, none}},                     // no comma
        {"<END><4,2><LOOP><5,1>", {none, {4, 2}, {-2, 1}, {5, 1}}},   // reading goes on after both
        {"<A,B><3,3>", {none, {3, 3}, none, none}},                   // bad numbers take the defaults
        {"<1,2> junk <3,4>", {{1, 2}, {3, 4}, none, none}},
        {"<1,2", {none, none, none, none}},
    };
    for (const Case& c : cases) {
        const TCharStat b = Parse((std::string("[ANIM]\nID=0\nANIMATION=") + c.value).c_str());
        EXPECT_EQ(Frames(b, 0, 4), c.frames) << c.value;
    }
    std::string seventeen;
    for (int i = 0; i < 17; ++i)
        seventeen += "<" + std::to_string(i % 16) + ",2>";
    const TCharStat b = Parse(("[ANIM]\nID=2\nANIMATION=" + seventeen).c_str());
    EXPECT_EQ(b.Anim[2][15].Image, 15) << "sixteen frames are read, the rest dropped";
}

TEST(AnimDefinition, CutsImagesToTheSheet)
{
    struct Case {
        const char* img;
        TImgRect expected;
    };
    const Case cases[] = {
        {"POSX=10\nPOSY=20\nWIDTH=30\nHEIGHT=40", {10, 20, 30, 40}},
        {"POSX=90\nPOSY=50\nWIDTH=30\nHEIGHT=40", {90, 50, 10, 10}},
        {"POSX=-5\nPOSY=0\nWIDTH=30\nHEIGHT=40", {0, 0, 25, 40}},
        {"POSX=0\nPOSY=0\nWIDTH=-30\nHEIGHT=40", {0, 0, 0, 0}},
        {"POSX=200\nPOSY=0\nWIDTH=30\nHEIGHT=40", {0, 0, 0, 0}},
        {"POSX=2147483600\nPOSY=0\nWIDTH=2147483600\nHEIGHT=40", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const TCharStat b = Parse((std::string("[IMG]\nID=5\n") + c.img).c_str(), 100, 60);
        EXPECT_EQ(b.Img[5].PosX, c.expected.PosX) << c.img;
        EXPECT_EQ(b.Img[5].PosY, c.expected.PosY) << c.img;
        EXPECT_EQ(b.Img[5].Width, c.expected.Width) << c.img;
        EXPECT_EQ(b.Img[5].Height, c.expected.Height) << c.img;
    }
}

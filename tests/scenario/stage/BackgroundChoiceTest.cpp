#include "scenario/stage/BackgroundChoice.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(BackgroundChoice, DecisionTable)
{
    // What the background pack holds.
    const std::set<std::string> pack = {"bg005.jpg", "bg005.png", "an005a.ini", "bg006.png", "an007b.ini",
                                        "bg007.bmp", "bg650.lzh", "bg123.bmp", "an008a.ini", "an008b.ini",
                                        "bg900.bmp", "bg550.png", "bg850.png", "an850a.ini"};
    std::vector<std::string> asked;
    auto exists = [&](const AnsiString& name) {
        asked.push_back(name);
        return pack.count(name) != 0;
    };
    struct Case {
        int request, mode;
        int picture, suffix, weather, tone;
        const char* file;
        int seenBit;
        bool needsAlpha;
    };
    const Case cases[] = {
        // Groups by mode 2: streaks, spreading for groups 2 and 4, narrowing for 3 and 5; suffix b,
        // falling back to a, then to the plain picture.
        {5, 2, 5, 0, 5, 0, "Dammy.jpg", -1, false},
        {2005, 2, 5, 0, 6, 0, "Dammy.jpg", -1, false},
        {3007, 2, 7, 1, 7, 0, "Dammy.jpg", -1, false},
        {4006, 2, 6, 255, 6, 0, "bg006.png", -1, true},
        {5006, 2, 6, 255, 7, 0, "bg006.png", -1, true},
        {1008, 2, 8, 1, 5, 0, "Dammy.jpg", -1, true},
        // Mode 3: snow except for groups 1, 4, 5; suffix a.
        {1005, 3, 5, 0, 0, 0, "Dammy.jpg", -1, true},
        {6, 3, 6, 255, 2, 0, "bg006.png", -1, false},
        {7, 3, 7, 255, 2, 0, "bg007.bmp", -1, false},
        // Modes 4 and 5: scratches with sepia, quiet with monochrome and negative; 0 and 1 none.
        {123, 4, 123, 255, 3, 1, "bg123.bmp", -1, false},
        {123, 5, 123, 255, 4, 2, "bg123.bmp", -1, false},
        {123, 0, 123, 255, 0, 0, "bg123.bmp", -1, false},
        {123, 1, 123, 255, 0, 0, "bg123.bmp", -1, false},
        {123, 9, 123, 255, 0, 0, "bg123.bmp", -1, false},
        // The first extension found; nothing found.
        {5, 0, 5, 0, 0, 0, "Dammy.jpg", -1, false},
        {6, 0, 6, 255, 0, 0, "bg006.png", -1, false},
        {9, 4, 9, 255, 3, 1, "", -1, false},
        // 500 and up: the plain picture only, no weather or tone; 500..799 mark seen bits.
        {650, 2, 650, 255, 0, 0, "bg650.lzh", 150, false},
        {550, 5, 550, 255, 0, 0, "bg550.png", 50, false},
        {799, 0, 799, 255, 0, 0, "", 299, false},
        {850, 0, 850, 255, 0, 0, "bg850.png", -1, false},
        // 900 and up: nothing looked up; 997 x 1000 + p is black.
        {900, 0, 900, 255, 0, 0, "", -1, false},
        {998, 3, 998, 255, 0, 0, "", -1, false},
        {999, 3, 999, 255, 0, 0, "", -1, false},
        {997 * 1000 + 123, 3, 999, 255, 0, 0, "", -1, false},
    };
    for (const Case& c : cases) {
        const TBackgroundChoice choice = ChooseBackground(c.request, c.mode, exists);
        const std::string what = std::to_string(c.request) + " in mode " + std::to_string(c.mode);
        EXPECT_EQ(choice.picture, c.picture) << what;
        EXPECT_EQ(choice.suffix, c.suffix) << what;
        EXPECT_EQ(choice.weather, c.weather) << what;
        EXPECT_EQ(choice.tone, c.tone) << what;
        EXPECT_EQ(choice.file, c.file) << what;
        EXPECT_EQ(choice.pageWait, std::string(c.file) == "Dammy.jpg" ? 4 : 0) << what;
        EXPECT_EQ(choice.seenBit, c.seenBit) << what;
        EXPECT_EQ(choice.streaksNeedAlpha, c.needsAlpha) << what;
    }
    asked.clear();
    ChooseBackground(5, 2, exists);
    EXPECT_EQ(asked, (std::vector<std::string>{"an005b.ini", "an005a.ini"})) << "lookup order";
    asked.clear();
    ChooseBackground(6, 2, exists);
    EXPECT_EQ(asked, (std::vector<std::string>{"an006b.ini", "an006a.ini", "bg006.bmp", "bg006.jpg", "bg006.png"}));
    asked.clear();
    ChooseBackground(999, 0, exists);
    ChooseBackground(905, 0, exists);
    EXPECT_TRUE(asked.empty());
}

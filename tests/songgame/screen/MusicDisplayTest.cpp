#include "songgame/screen/TMusicUnit.h"
#include "songgame/screen/MusicRun.h"

#include "songgame/MusicScreen.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameGlobals.h"
#include "support/BmpFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using songtest::MusicScreen;

namespace {

// The columns where the lyric line has ink: pixels off the key colour (normal quality) or with a
// mask value (high quality).
TXeRect Ink(const TMusicUnit& unit)
{
    TXeRect box{};
    bool any = false;
    TXeRGBBits* line = unit.Panel("WordP")->Image();
    TXeAlpha* mask = unit.LyricMask();
    const int w = unit.Panel("WordP")->SizeX();
    const int h = unit.Panel("WordP")->SizeY();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool ink = unit.WordMode() == 2 ? mask->PGet(x, y) != 0
                                                  : line->PixeltoTXeRGB(line->PGet(x, y)).ToDWORD() != 0x00FF00;
            if (!ink)
                continue;
            box = any ? TXeRect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                                std::max(box.bottom, y + 1)}
                      : TXeRect{x, y, x + 1, y + 1};
            any = true;
        }
    return box;
}

} // namespace

// A bitmap of the display's depth filled with one colour.
std::unique_ptr<TXeRGBBits> Canvas(int w, int h, std::uint32_t fill)
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetBitDepth(DisplayBitDepth);
    bits->Resize(w, h);
    bits->Create();
    bits->BoxFill(0, 0, w - 1, h - 1, bits->TXeRGBtoPixel(fill));
    return bits;
}

std::uint32_t Colour(TXeRGBBits& bits, int x, int y)
{
    return bits.PixeltoTXeRGB(bits.PGet(x, y)).ToDWORD();
}

TEST(MusicDisplay, LyricLineIsCentredByItsByteCount)
{
    // 12 pixels a byte: a GBK character of two bytes is as wide as two letters.
    const std::string texts[] = {"a", "Hi", "abcdefgh", "\xC4\xE3", "\xC4\xE3\xBA\xC3", "ab\xC4\xE3"};
    for (const int mode : {1, 2}) {
        MusicScreen s;
        auto unit = s.Unit();
        unit->SetWordMode(static_cast<std::uint8_t>(mode));
        ASSERT_TRUE(s.SetupOnce(*unit));
        TXeRGBPanel* word = unit->Panel("WordP");
        for (const std::string& text : texts) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << text.size() << " bytes");
            unit->DrawLyrics(text);
            EXPECT_TRUE(word->Visible());
            EXPECT_EQ(unit->LyricLength(), static_cast<int>(text.size()));
            const int left = (576 - 12 * static_cast<int>(text.size())) / 2;
            const TXeRect ink = Ink(*unit);
            ASSERT_FALSE(ink.IsRectEmpty());
            // Inside the text's cells, give or take the outline and the high quality's shift.
            EXPECT_GE(ink.left, left - 1);
            EXPECT_LE(ink.right, left + 12 * static_cast<int>(text.size()) + 2);
            EXPECT_NEAR((ink.left + ink.right) / 2.0, 288.0, 2.0);
        }
        unit->DrawLyrics("");
        EXPECT_FALSE(word->Visible()) << "an empty line hides it";
    }
}

TEST(MusicDisplay, NoLyricsInWordModeZero)
{
    MusicScreen s;
    auto unit = s.Unit();
    unit->SetWordMode(0);
    ASSERT_TRUE(s.SetupOnce(*unit));
    unit->DrawLyrics("Hi");
    EXPECT_FALSE(unit->Panel("WordP")->Visible());
    EXPECT_EQ(unit->LyricLength(), 0);
}

TEST(MusicDisplay, LyricLineOverTheStage)
{
    // Drawn over mid grey: nearly white text with a dark edge, only across the text widened by 4 pixels.
    for (const int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        MusicScreen s;
        auto unit = s.Unit();
        unit->SetWordMode(static_cast<std::uint8_t>(mode));
        ASSERT_TRUE(s.SetupOnce(*unit));
        unit->DrawLyrics("HHHH");
        TXeRGBPanel* word = unit->Panel("WordP");
        const auto dest = Canvas(576, 26, 0x808080);
        word->Draw(dest.get(), 0, 0, 0, 0, 576, 26);
        int white = 0, black = 0, changedOutside = 0;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 576; ++x) {
                const std::uint32_t c = Colour(*dest, x, y);
                const std::uint32_t high = std::max({c >> 16, (c >> 8) & 0xFF, c & 0xFF});
                const std::uint32_t low = std::min({c >> 16, (c >> 8) & 0xFF, c & 0xFF});
                white += low >= 0xE0;
                black += high <= 0x40;
                changedOutside += (x < 264 - 4 || x >= 312 + 4) && c != 0x808080;
            }
        EXPECT_GT(white, 20);
        EXPECT_GT(black, 20);
        EXPECT_EQ(changedOutside, 0);
    }
}

TEST(MusicDisplay, StageAndSheetDrawThroughTheirHooks)
{
    MusicScreen s;
    s.tree.Write(std::string(songtest::SongData) + "\\bg.bmp",
                 TestSupport::Bmp24(640, 300, [](int x, int) { return x < 320 ? 0x336699u : 0x996633u; }));
    s.WriteStage("[Load]\nBGPIC,0,bg.bmp\n[Init]\n0,BGPIC,0\n[Before]\n[Perform]\n[After]\n");
    s.WriteChart("88200,1,CLAP,a\r\n");
    std::uint32_t ms = 0;
    s.devices.musicMs = [&ms] { return ms; };
    auto unit = s.Unit();
    unit->SetTimingMode(0);
    ASSERT_TRUE(s.SetupOnce(*unit));
    const auto stage = Canvas(640, 300, 0);
    unit->Panel("BGPanel")->Draw(stage.get(), 0, 0, 0, 0, 640, 300);
    EXPECT_EQ(Colour(*stage, 10, 10), 0x336699u);
    EXPECT_EQ(Colour(*stage, 630, 290), 0x996633u);

    // The sheet draws its notes only while the song is performed.
    TXeRGBPanel* sheet = unit->Panel("SheetP");
    const auto drawSheet = [sheet] {
        const auto out = Canvas(486, 180, 0x010203);
        sheet->Draw(out.get(), 0, 0, 0, 0, 486, 180);
        return Colour(*out, 84 + 2, 86 + 2);
    };
    const std::uint32_t plain = drawSheet();
    unit->Start();
    for (int i = 0; i < 60 + 21 + 2; ++i)
        unit->Step(1);
    ASSERT_EQ(unit->Phase(), 3);
    ms = 990; // the note is 2 pixels before the judgement line
    unit->Step(1);
    ASSERT_EQ(unit->Run()->Sheet().Count(), 1);
    EXPECT_NE(drawSheet(), plain) << "the note's cell lies over the sheet";
}

// The message window's text layer after two rows of GBK text, compared with a stored picture so
// that a broken glyph path or code-page conversion shows. Drawn with the CJK package's face;
// skipped where another face would be picked. XE_UPDATE_GOLDEN=1 rewrites the picture.
#include "scenario/windows/TSubWinUnit.h"

#include "platform/codepage/CodePage.h"
#include "platform/font/TextRasterizer.h"
#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string GoldenPath() { return XE_SCENARIO_DATA "/MessageWindowGolden.pgm"; }

// The two rows' part of the layer: 468 x 42.
constexpr int Width = 468;
constexpr int Height = 42;

} // namespace

TEST(MessageWindowGolden, TwoRowsOfGbkTextMatchTheStoredPicture)
{
    LogicalFont probe;
    probe.faceName = RowRenderer::FaceName;
    probe.charSet = GB2312_CHARSET;
    probe.pitchAndFamily = kFixedPitch;
    if (TextRasterizer::FamilyOf(probe).find("WenQuanYi") == std::string::npos)
        GTEST_SKIP() << "the golden picture is drawn with the WenQuanYi Zen Hei face (fonts-wqy-zenhei)";

    WindowTest::UnitFixture f;
    f.unit->MesWinOpen(true);
    f.unit->MesWinSetText(CodePage::FromUtf8("你好，世界！这是消息窗口的第一行。", CodePage::Gbk), 0);
    f.unit->MesWinNewLine();
    f.unit->MesWinSetText(CodePage::FromUtf8("第二行：汉字显示测试，龍鳳齊飛。", CodePage::Gbk), 100);
    while (f.unit->MesWinUpdate(1, false)) {
    }
    const TXeAlpha& layer = *f.unit->Panel("MesText")->Alpha();

    if (std::getenv("XE_UPDATE_GOLDEN") != nullptr) {
        std::ofstream out(GoldenPath(), std::ios::binary);
        out << "P5\n" << Width << " " << Height << "\n255\n";
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                out.put(static_cast<char>(layer.PGet(x, y)));
    }
    std::ifstream in(GoldenPath(), std::ios::binary);
    ASSERT_TRUE(in) << GoldenPath();
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    ASSERT_EQ(magic, "P5");
    ASSERT_EQ(w, Width);
    ASSERT_EQ(h, Height);
    // Font versions may move an edge by a level or a pixel: allow small differences only.
    long totalDifference = 0;
    long ink = 0;
    int farOff = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int stored = in.get();
            const int difference = std::abs(stored - layer.PGet(x, y));
            totalDifference += difference;
            farOff += difference > 64;
            ink += stored;
        }
    EXPECT_GT(ink, 0) << "the stored picture holds text";
    EXPECT_LE(totalDifference / (w * h), 3);
    EXPECT_LE(farOff, w * h / 100);
}

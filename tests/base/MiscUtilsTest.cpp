// Memory status, document opening and font creation.
#include "base/util/FontUtils.h"
#include "base/memory/MemoryInfo.h"
#include "base/util/XeFileExec.h"

#include "platform/classes/Application.h"
#include "platform/system/DocumentLauncher.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryInfo, FiguresArePositiveAndConsistent)
{
    EXPECT_GT(TotalPhysicalMemory(), 0);
    EXPECT_LE(AvailPhysicalMemory(), TotalPhysicalMemory());
    EXPECT_GT(TotalVirtualMemory(), 0);
    EXPECT_LE(AvailVirtualMemory(), TotalVirtualMemory());
}

class XeFileExecTest : public ::testing::Test {
protected:
    void TearDown() override { SetDocumentLauncher({}); }

    TestSupport::CapturedApplication application_;
    std::vector<TestSupport::CapturedApplication::Box>& boxes = application_.boxes;
};

TEST_F(XeFileExecTest, StartsTheOpenerWithTheFileAndItsFolder)
{
    std::filesystem::path file, folder;
    SetDocumentLauncher([&](const std::filesystem::path& f, const std::filesystem::path& w) {
        file = f;
        folder = w;
        return kLaunchStarted;
    });
    XeFileExec("\\tmp\\readme; rm -rf x.txt");
    EXPECT_EQ(file, "/tmp/readme; rm -rf x.txt") << "one argument, no shell";
    EXPECT_EQ(folder, "/tmp");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(XeFileExecTest, FailuresShowTheirText)
{
    const std::pair<int, const char*> cases[] = {
        {2, "指定されたファイルが見つかりませんでした。"},
        {31, "指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。"},
        {5, "不明なエラー"},
    };
    for (const auto& [code, text] : cases) {
        boxes.clear();
        SetDocumentLauncher([code = code](const auto&, const auto&) { return code; });
        XeFileExec("x.txt");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "エラー");
        EXPECT_EQ(boxes[0].flags, mbOK | mbIconStop);
    }
}

TEST_F(XeFileExecTest, AMissingFileIsReportedByTheRealOpener)
{
    XeFileExec("\\no\\such\\folder\\x.txt");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "指定されたパスが見つかりませんでした。");
}

TEST_F(XeFileExecTest, AnEmptyNameDoesNothing)
{
    XeFileExec("");
    EXPECT_TRUE(boxes.empty());
}

TEST(FontUtils, BuildsTheLogicalFontFromTheFont)
{
    TFont font;
    font.Name = "default";
    font.Height = -16;
    font.Style = fsBold | fsItalic | fsStrikeOut;
    font.Charset = SHIFTJIS_CHARSET;
    font.Pitch = fpFixed;
    const FontHandle smooth = GetAntiAliasedFont(&font);
    ASSERT_NE(smooth, nullptr);
    EXPECT_EQ(smooth->faceName, "MS UI Gothic");
    EXPECT_EQ(smooth->height, -16);
    EXPECT_EQ(smooth->weight, 700);
    EXPECT_TRUE(smooth->italic);
    EXPECT_FALSE(smooth->underline);
    EXPECT_TRUE(smooth->strikeOut);
    EXPECT_EQ(smooth->charSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(smooth->quality, kAntialiasedQuality);
    EXPECT_EQ(smooth->pitchAndFamily, kFixedPitch);

    font.Name = "Some Face";
    font.Style = 0;
    font.Pitch = fpVariable;
    const FontHandle plain = GetNonAntiAliasedFont(&font);
    EXPECT_EQ(plain->faceName, "Some Face");
    EXPECT_EQ(plain->weight, 400);
    EXPECT_EQ(plain->quality, kNonAntialiasedQuality);
    EXPECT_EQ(plain->pitchAndFamily, kVariablePitch);
    EXPECT_EQ(GetAntiAliasedFont(nullptr), nullptr);
}

} // namespace

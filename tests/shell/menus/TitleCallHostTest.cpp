#include "shell/menus/TitleCallHost.h"

#include "base/memory/TMemMan.h"
#include "shell/helpers/PictureLoading.h"
#include "tests/shell/FormTestSupport.h"

namespace {

using namespace ShellTest;

constexpr std::uint32_t kFrom = 0x102030;
constexpr std::uint32_t kTo = 0xC0B0A0;

// A form in window mode with a work surface, in the menu state the title call runs in.
class TitleCallHostTest : public FormFixture {
protected:
    void SetUp() override
    {
        Make();
        ASSERT_NE(form->Display(), nullptr);
        EnableDisplay(false, true);
        form->EnterState2();
    }

    static TXeRGBBits* Picture(std::uint32_t colour)
    {
        TXeRGBBits* bits = CreateScreenBits();
        bits->BoxFill(0, 0, 639, 479, bits->TXeRGBtoPixel(TXeRGB(colour)));
        return bits;
    }

    std::uint32_t Shown(int x, int y)
    {
        const auto front = window->Front().Copy();
        const std::uint8_t* p = &front.pixels[(static_cast<std::size_t>(y) * front.width + x) * 4];
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
};

TEST_F(TitleCallHostTest, TheHooksDrawTheFormsTransitionUntilItEndsAndAreClearedAfter)
{
    FormTitleCallHost host(*form);
    const std::size_t listed = MemMan->Records().size();
    ASSERT_TRUE(host.StartTransition(2, Picture(kFrom), Picture(kTo)));
    host.SetTransitionHooks(true);
    host.ResetFrameCounters();
    form->Redraw();
    EXPECT_EQ(Shown(320, 240), kFrom);
    int frames = 0;
    while (!host.IsTransitionDone() && frames < 200) {
        host.AdvanceTransition(1);
        form->Draw(1);
        ++frames;
    }
    EXPECT_TRUE(host.IsTransitionDone());
    EXPECT_EQ(Shown(320, 240), kTo);
    host.SetTransitionHooks(false);
    host.ResetTransition();
    EXPECT_EQ(MemMan->Records().size(), listed) << "the form freed both pictures";
    EXPECT_FALSE(host.IsSystemSEPlaying());
}

TEST_F(TitleCallHostTest, ARefusedStartLeavesThePicturesTheCallers)
{
    FormTitleCallHost host(*form);
    TXeRGBBits* from = Picture(kFrom);
    TXeRGBBits* to = MemMan->CreateVCL<TXeRGBBits>();
    EXPECT_FALSE(host.StartTransition(2, from, to));
    EXPECT_TRUE(host.IsTransitionDone());
    MemMan->Delete(from);
    MemMan->Delete(to);
}

} // namespace

// The shell's pictures: cursor, wait sign, snapshot marks, title menu, yes/no dialog,
// configuration menu and save menu.
#include "tools/samplegen/PictureStyle.h"

#include <array>
#include <cmath>
#include <string_view>

namespace samplegen {
namespace {

// The sample's own title, drawn on the title pictures.
constexpr std::string_view kGameTitle = "星河旋律";

void Cursor(Canvas& c)
{
    // Eight 32 x 32 cells. Kinds 0 to 3 point with their top-left corner: an arrow whose sparkle
    // grows from cell to cell. Kinds 4 to 7 have their hot spot at (15, 15): a ring that turns.
    for (int cell = 0; cell < 4; ++cell) {
        const double x = cell * 32.0;
        c.Polygon({{x + 1, 1}, {x + 1, 24}, {x + 7, 18}, {x + 12, 28}, {x + 16, 26}, {x + 11, 16}, {x + 19, 16}}, kInk);
        c.Polygon({{x + 3, 5}, {x + 3, 19}, {x + 7, 15}, {x + 12, 25}, {x + 13, 24}, {x + 8, 14}, {x + 14, 14}}, kPaper);
        const double reach = 3 + cell;
        c.Line(x + 24 - reach, 8, x + 24 + reach, 8, 1.5, kGold);
        c.Line(x + 24, 8 - reach, x + 24, 8 + reach, 1.5, kGold);
    }
    for (int cell = 4; cell < 8; ++cell) {
        const double cx = cell * 32.0 + 15.5;
        const double cy = 15.5;
        for (int k = 0; k < 24; ++k) {
            const double a0 = k * 3.14159265 / 12;
            const double a1 = (k + 1) * 3.14159265 / 12;
            c.Line(cx + 9 * std::cos(a0), cy + 9 * std::sin(a0), cx + 9 * std::cos(a1), cy + 9 * std::sin(a1), 4, WithAlpha(kInk, 200));
        }
        for (int k = 0; k < 8; ++k) {
            const double a = (k + (cell - 4) * 2) * 3.14159265 / 4;
            c.Disc(cx + 9 * std::cos(a), cy + 9 * std::sin(a), k == 0 ? 2.5 : 1.5, k == 0 ? kGold : kPaper);
        }
    }
}

void Wait(Canvas& c)
{
    // Header strip 240 x 44, then nine step rows of 240 x 28 with a dot walking along.
    c.FillRect(0, 0, 240, c.Height(), kNight);
    c.Gradient(0, 0, 240, 44, kDusk, kNight);
    c.Text(120, 10, "请稍候", 22, kPaper, TextAlign::Centre, true);
    for (int step = 0; step < 9; ++step) {
        const int y = 44 + 28 * step;
        for (int dot = 0; dot < 9; ++dot)
            c.Disc(32 + dot * 22, y + 14, dot == step ? 6 : 3, dot == step ? kGold : kGrey);
    }
}

void CapLogo(Canvas& c)
{
    c.RoundRect(0, 0, c.Width(), c.Height(), 8, WithAlpha(kNight, 180));
    c.Text(c.Width() / 2, 6, kGameTitle, 18, kGold, TextAlign::Centre, true);
}

void CapCopy(Canvas& c)
{
    c.RoundRect(0, 0, c.Width(), c.Height(), 6, WithAlpha(kNight, 160));
    c.Text(c.Width() / 2, 3, "Tvqe 示例游戏", 13, kPaper, TextAlign::Centre);
}

void Stars(Canvas& c, unsigned seed, int count)
{
    Scatter scatter(seed);
    for (int i = 0; i < count; ++i)
        c.Disc(scatter.Next(c.Width()), scatter.Next(c.Height() * 2 / 3), 0.6 + scatter.Next(10) / 10.0,
               WithAlpha(kWhite, 120 + scatter.Next(135)));
}

void TitleBase(Canvas& c)
{
    Backdrop(c, kNight, kDusk, 1);
    Stars(c, 2, 160);
    // A river of light across the sky, hills below.
    for (int i = 0; i < 60; ++i)
        c.Glow(260 + i * 7, 120 + i * 3 + (i % 5) * 6, 28, WithAlpha(Rgb(0xB8, 0xD8, 0xFF), 26));
    c.Polygon({{0, 480}, {0, 400}, {160, 360}, {330, 395}, {470, 350}, {640, 380}, {640, 480}}, Rgb(0x10, 0x14, 0x28));
    c.Text(450, 300, kGameTitle, 56, kPaper, TextAlign::Centre, true, WithAlpha(kInk, 200));
    c.Text(450, 366, "A Tvqe Sample Story", 16, kGold, TextAlign::Centre);
}

void TitleCall(Canvas& c, std::string_view line1, std::string_view line2, unsigned seed)
{
    Backdrop(c, Rgb(0x08, 0x0A, 0x18), kNight, seed);
    c.Text(320, 190, line1, 44, kGold, TextAlign::Centre, true);
    c.Text(320, 256, line2, 18, kPaper, TextAlign::Centre);
}

void TitleCall01(Canvas& c) { TitleCall(c, "Tvqe", "示例游戏制作组", 3); }
void TitleCall02(Canvas& c) { TitleCall(c, kGameTitle, "一个关于星星与歌声的小故事", 4); }

template <const std::string_view& Label> void TitleButton(Canvas& c)
{
    ButtonStrip(c, Label, {Look::Normal, Look::Focus, Look::Down}, 16);
}
constexpr std::string_view kStart = "开始游戏";
constexpr std::string_view kLoad = "读取进度";
constexpr std::string_view kAlbum = "鉴赏";
constexpr std::string_view kSound = "音乐欣赏";
constexpr std::string_view kFreePlay = "自由演奏";
constexpr std::string_view kScore = "演奏成绩";
constexpr std::string_view kRanking = "网络排行";
constexpr std::string_view kConfig = "设置";
constexpr std::string_view kExit = "退出";

void DlgFrame(Canvas& c)
{
    GlassWindow(c, 0, 0, c.Width(), c.Height());
    c.Text(c.Width() / 2, 22, "要结束游戏吗？", 16, kPaper, TextAlign::Centre);
}

void DlgYes(Canvas& c) { ButtonStrip(c, "是", {Look::Normal, Look::Focus, Look::Down}, 14); }
void DlgNo(Canvas& c) { ButtonStrip(c, "否", {Look::Normal, Look::Focus, Look::Down}, 14); }

// The configuration menu's row labels and where their controls sit.
struct ConfigLabel {
    int x, y;
    std::string_view text;
    bool heading;
};
constexpr ConfigLabel ConfigLabels[] = {
    {40, 53, "系统", true},       {40, 78, "BGM音量", false},   {40, 95, "语音音量", false},
    {40, 112, "音效音量", false}, {40, 129, "环境音量", false}, {40, 162, "画面", false},
    {40, 190, "帧率", false},     {40, 264, "剧情", true},      {40, 289, "文字速度", false},
    {40, 345, "消息窗口", false}, {40, 376, "自动等待", false}, {40, 409, "效果", false},
    {360, 53, "演奏", true},      {360, 86, "音乐音量", false}, {360, 104, "按键音量", false},
    {360, 143, "自动前进", false}, {360, 172, "自动演奏", false},
    // The message-window sample at (312, 290) reaches into this column: the lower labels sit above
    // or just left of their buttons.
    {406, 212, "难度", false},    {406, 271, "歌词", false},    {410, 346, "动画", false},
    {410, 374, "节拍", false},
};
// Slider tracks (the knob runs on them; the sliders draw only their knob).
constexpr std::array<std::pair<int, int>, 9> SliderTracks = {
    {{147, 79}, {147, 96}, {147, 113}, {147, 130}, {147, 290}, {147, 346}, {147, 377}, {467, 87}, {467, 105}}};

void CfgBack(Canvas& c)
{
    Backdrop(c, Rgb(0x22, 0x2C, 0x50), kNight, 5);
    GlassWindow(c, 24, 40, 296, 420, Rgb(0x1A, 0x24, 0x44));
    GlassWindow(c, 336, 40, 300, 380, Rgb(0x1A, 0x24, 0x44));
    for (const ConfigLabel& label : ConfigLabels)
        c.Text(label.x, label.y, label.text, label.heading ? 16 : 12, label.heading ? kGold : kPaper,
               TextAlign::Left, label.heading);
    for (const auto& [x, y] : SliderTracks) {
        c.FillRect(x, y + 6, 117, 3, Rgb(0x0C, 0x10, 0x20));
        c.FillRect(x, y + 6, 117, 1, kGrey);
    }
}

// Part labels of the parts sheet, parts 0 to 14.
constexpr std::string_view PartLabels[15] = {"完全", "窗口", "不同步", "30帧", "标准", "简单", "开", "关",
                                             "容易", "困难", "高画质", "音乐", "计时器", "默认", "返回"};

void CfgParts(Canvas& c)
{
    for (int part = 0; part < 15; ++part) {
        Canvas strip(69, 112);
        ButtonStrip(strip, PartLabels[part], {Look::Normal, Look::Focus, Look::Selected, Look::Down}, 12);
        c.Draw(strip, 69 * (part % 8), part < 8 ? 0 : 112);
    }
    Canvas digits(8, 100);
    DigitStrip(digits, kPaper, 9);
    c.Draw(digits, 483, 112);
    // The knob, then the arrows, four patterns each (normal, focus, selected, down).
    const std::uint32_t shades[4] = {kPaper, Rgb(0x9C, 0xE8, 0xE4), kGold, Rgb(0xA0, 0xA0, 0xA8)};
    for (int k = 0; k < 4; ++k) {
        c.RoundRect(491, 112 + 15 * k, 9, 15, 3, shades[k]);
        c.Polygon({{509, 112 + 12.0 * k + 1}, {509, 112 + 12.0 * k + 11}, {501, 112 + 12.0 * k + 6}}, shades[k]);
        c.Polygon({{513, 112 + 12.0 * k + 1}, {513, 112 + 12.0 * k + 11}, {521, 112 + 12.0 * k + 6}}, shades[k]);
    }
}

void CfgMesBox(Canvas& c)
{
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0x30, 0x48, 0x70));
    GlassWindow(c, 4, 18, c.Width() - 8, c.Height() - 22);
    c.Text(10, 26, "文字示例", 12, kPaper);
}

void SaveScreen(Canvas& c, std::string_view title, unsigned seed)
{
    Backdrop(c, kDusk, kNight, seed);
    c.Text(320, 50, title, 28, kPaper, TextAlign::Centre, true, WithAlpha(kInk, 200));
    // The rows print their captions and dates in black: a paper list.
    // The list ends above the buttons at y 330.
    GlassWindow(c, 156, 90, 330, 272, Rgb(0x18, 0x22, 0x40));
    c.RoundRect(164, 98, 290, 231, 6, kPaper);
    for (int row = 0; row < 10; ++row)
        c.FillRect(168, 102 + 22 * row + 21, 282, 1, WithAlpha(kGrey, 120));
    c.FillRect(456, 119, 16, 181, Rgb(0x0C, 0x10, 0x20));
}

void SaveLoadScreen(Canvas& c) { SaveScreen(c, "读取进度", 6); }
void SaveSaveScreen(Canvas& c) { SaveScreen(c, "保存进度", 7); }
void SaveSelect(Canvas& c) { c.Gradient(0, 0, c.Width(), c.Height(), WithAlpha(kTeal, 200), WithAlpha(kTeal, 90), true); }

void ScrollArrow(Canvas& c, bool up)
{
    ButtonStrip(c, "", {Look::Normal, Look::Focus, Look::Down, Look::Disabled});
    for (int k = 0; k < 4; ++k) {
        const double y = 16.0 * k;
        if (up)
            c.Polygon({{8, y + 4}, {13, y + 11}, {3, y + 11}}, kPaper);
        else
            c.Polygon({{3, y + 5}, {13, y + 5}, {8, y + 12}}, kPaper);
    }
}
void SaveScrollUp(Canvas& c) { ScrollArrow(c, true); }
void SaveScrollDown(Canvas& c) { ScrollArrow(c, false); }
void SaveScrollBar(Canvas& c) { ButtonStrip(c, "", {Look::Normal, Look::Down}); }

void SaveSaveBtn(Canvas& c) { ButtonStrip(c, "保存", {Look::Normal, Look::Focus, Look::Down, Look::Disabled}, 14); }
void SaveLoadBtn(Canvas& c) { ButtonStrip(c, "读取", {Look::Normal, Look::Focus, Look::Down, Look::Disabled}, 14); }
void SaveCloseBtn(Canvas& c) { ButtonStrip(c, "关闭", {Look::Normal, Look::Focus, Look::Down, Look::Disabled}, 14); }

constexpr PictureDrawer Drawers[] = {
    {"Cursor.png", Cursor},
    {"Wait.bmp", Wait},
    {"Cap_Logo.png", CapLogo},
    {"Cap_Copy.png", CapCopy},
    {"TitleBase.png", TitleBase},
    {"TitleCall01.png", TitleCall01},
    {"TitleCall02.png", TitleCall02},
    {"TitleStart.png", TitleButton<kStart>},
    {"TitleLoad.png", TitleButton<kLoad>},
    {"TitleAlbum.png", TitleButton<kAlbum>},
    {"TitleSound.png", TitleButton<kSound>},
    {"TitleFreePlay.png", TitleButton<kFreePlay>},
    {"TitleScore.png", TitleButton<kScore>},
    {"TitleNetRanking.png", TitleButton<kRanking>},
    {"TitleConfig.png", TitleButton<kConfig>},
    {"TitleExit.png", TitleButton<kExit>},
    {"DlgF_Exit.png", DlgFrame},
    {"DlgYes.png", DlgYes},
    {"DlgNo.png", DlgNo},
    {"CfgBack.png", CfgBack},
    {"CfgParts.png", CfgParts},
    {"CfgMesBox.bmp", CfgMesBox},
    {"SaveLoadScreen.png", SaveLoadScreen},
    {"SaveSaveScreen.png", SaveSaveScreen},
    {"SaveSelect.png", SaveSelect},
    {"SaveScrollUp.png", SaveScrollUp},
    {"SaveScrollDown.png", SaveScrollDown},
    {"SaveScrollBar.png", SaveScrollBar},
    {"SaveSaveBtn.png", SaveSaveBtn},
    {"SaveLoadBtn.png", SaveLoadBtn},
    {"SaveCloseBtn.png", SaveCloseBtn},
};

} // namespace

std::span<const PictureDrawer> ShellPictures() { return Drawers; }

} // namespace samplegen

// The adventure screen's pictures: message, backlog and choice windows, calendar plates, side
// menu, place plates, the choice window, snow, the backgrounds and the two characters with their
// definition files.
#include "tools/samplegen/PictureStyle.h"

#include <cmath>
#include <string>

namespace samplegen {
namespace {

void MesBack(Canvas& c)
{
    // Shown through a level blend without its mask: an opaque plate.
    c.Gradient(0, 0, c.Width(), c.Height(), Rgb(0x20, 0x2C, 0x58), Rgb(0x10, 0x16, 0x30));
}

void MesFrame(Canvas& c)
{
    c.RoundRect(0, 0, c.Width(), c.Height(), 14, WithAlpha(kPaper, 230));
    Canvas hole(c.Width() - 6, c.Height() - 6);
    hole.RoundRect(0, 0, hole.Width(), hole.Height(), 11, kWhite);
    for (int y = 0; y < hole.Height(); ++y)
        for (int x = 0; x < hole.Width(); ++x)
            if (const int cut = static_cast<int>(hole.At(x, y) >> 24); cut > 0) {
                const std::uint32_t p = c.At(x + 3, y + 3);
                c.Set(x + 3, y + 3, WithAlpha(p, static_cast<int>(p >> 24) * (255 - cut) / 255));
            }
    for (const auto& [x, y] : {std::pair{10, 10}, {590, 10}, {10, 166}, {590, 166}})
        c.Disc(x, y, 4, kGold);
    c.FillRect(548, 20, 1, 130, WithAlpha(kPaper, 120));
}

void MesWait(Canvas& c)
{
    // Seven steps of a star that rises and settles.
    for (int k = 0; k < 7; ++k) {
        const double lift = 3.0 * std::sin(k * 3.14159265 / 6);
        const double cx = 10;
        const double cy = 20.0 * k + 11 - lift;
        std::vector<std::pair<double, double>> star;
        for (int p = 0; p < 10; ++p) {
            const double r = p % 2 == 0 ? 7.5 : 3.2;
            const double a = -3.14159265 / 2 + p * 3.14159265 / 5;
            star.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        c.Polygon(star, k % 2 == 0 ? kGold : Rgb(0xFF, 0xD8, 0x80));
    }
}

void MesHide(Canvas& c) { ButtonStrip(c, "隐", {Look::Normal, Look::Focus, Look::Down, Look::Disabled}, 11); }
void MesAuto(Canvas& c)
{
    ButtonStrip(c, "自", {Look::Normal, Look::Focus, Look::Selected, Look::Selected, Look::Selected, Look::Down, Look::Disabled}, 11);
}
void MesSkip(Canvas& c)
{
    ButtonStrip(c, "跳", {Look::Normal, Look::Focus, Look::Selected, Look::Selected, Look::Selected, Look::Down, Look::Disabled}, 11);
}

void BacklogBar(Canvas& c) { c.RoundRect(0, 0, c.Width(), c.Height(), 6, WithAlpha(kNight, 200)); }
void BacklogPos(Canvas& c) { c.RoundRect(0, 0, c.Width(), c.Height(), 5, kTeal); }
void BacklogArrow(Canvas& c, bool up)
{
    c.RoundRect(0, 0, 20, 20, 5, kTeal);
    if (up)
        c.Polygon({{10, 5}, {16, 14}, {4, 14}}, kPaper);
    else
        c.Polygon({{4, 6}, {16, 6}, {10, 15}}, kPaper);
}
void BacklogUp(Canvas& c) { BacklogArrow(c, true); }
void BacklogDown(Canvas& c) { BacklogArrow(c, false); }

void SelWindow(Canvas& c) { GlassWindow(c, 0, 0, c.Width(), c.Height()); }
void SelCursor(Canvas& c)
{
    c.Gradient(0, 0, c.Width(), c.Height(), WithAlpha(kTeal, 220), WithAlpha(kTeal, 60), true);
}

// Date digits stand 16 pixels apart, hour digits only 10: the glyphs are narrower than their cells.
void CalDateDigits(Canvas& c) { DigitStrip(c, kPaper, 20); }
void CalTimeDigits(Canvas& c) { DigitStrip(c, kPaper, 16); }
void CalSlash(Canvas& c) { c.Line(15, 3, 4, 23, 3, kPaper); }
void CalColon(Canvas& c)
{
    c.Disc(5.5, 6, 2.5, kPaper);
    c.Disc(5.5, 15, 2.5, kPaper);
}

template <int Index> void SideMenu(Canvas& c)
{
    static constexpr std::string_view Labels[9] = {"隐藏文字", "快进", "自动", "回顾", "保存",
                                                   "读取",     "设置", "返回标题", "结束游戏"};
    ButtonStrip(c, Labels[Index], {Look::Normal, Look::Focus, Look::Focus, Look::Focus, Look::Disabled}, 14);
    // The focus blocks pulse: a gold bar grows across them.
    for (int k = 0; k < 3; ++k)
        c.FillRect(6, 24 * (1 + k) + 20, 40 + 60 * k, 2, kGold);
}

void PlacePlate(Canvas& c, std::string_view name)
{
    c.Gradient(0, 0, c.Width(), c.Height(), WithAlpha(kNight, 230), WithAlpha(kNight, 40), true);
    c.FillRect(0, c.Height() - 3, c.Width() - 40, 2, kGold);
    c.Text(14, 9, name, 20, kPaper, TextAlign::Left, true);
}
void AvgPlace01(Canvas& c) { PlacePlate(c, "天台"); }
void AvgPlace02(Canvas& c) { PlacePlate(c, "河边小路"); }
void AvgPlace03(Canvas& c) { PlacePlate(c, "星见广场"); }

void ExSelWin(Canvas& c)
{
    // The window decides on a left click: one way on, whatever the place clicked.
    Backdrop(c, WithAlpha(kNight, 200), WithAlpha(kDusk, 200), 11);
    GlassWindow(c, 200, 160, 240, 160);
    c.Text(320, 200, "左键", 18, kGold, TextAlign::Centre, true);
    c.Text(320, 240, "继续前行", 24, kPaper, TextAlign::Centre, true);
}

void Snow(Canvas& c)
{
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0, 0, 0));
    int x = 0;
    for (const int size : {14, 12, 10, 8}) {
        c.Glow(x + size / 2.0, size / 2.0, size / 2.0 + 1, kWhite);
        x += size;
    }
}

// ---- backgrounds ----

void Skyline(Canvas& c, std::uint32_t colour, int base, unsigned seed)
{
    Scatter scatter(seed);
    for (int x = 0; x < c.Width();) {
        const int w = 30 + scatter.Next(50);
        const int h = 40 + scatter.Next(110);
        c.FillRect(x, base - h, w, h + c.Height(), colour);
        for (int wy = base - h + 8; wy < base - 8; wy += 14)
            for (int wx = x + 6; wx < x + w - 8; wx += 12)
                if (scatter.Next(3) == 0)
                    c.FillRect(wx, wy, 5, 7, WithAlpha(kGold, 200));
        x += w + scatter.Next(8);
    }
}

void Rooftop(Canvas& c)
{
    c.Gradient(0, 0, 640, 480, Rgb(0xF0, 0x9A, 0x6A), Rgb(0x5A, 0x40, 0x80));
    c.Disc(480, 300, 46, WithAlpha(Rgb(0xFF, 0xE0, 0xA0), 230));
    Skyline(c, Rgb(0x3A, 0x2C, 0x58), 360, 21);
    c.FillRect(0, 360, 640, 120, Rgb(0x8C, 0x8C, 0x98));
    for (int x = 0; x < 640; x += 32)
        c.FillRect(x, 300, 4, 60, Rgb(0x50, 0x58, 0x60));
    c.FillRect(0, 300, 640, 4, Rgb(0x50, 0x58, 0x60));
    c.FillRect(0, 330, 640, 3, Rgb(0x50, 0x58, 0x60));
}

void Riverside(Canvas& c)
{
    c.Gradient(0, 0, 640, 300, Rgb(0x88, 0xC8, 0xF0), Rgb(0xD8, 0xF0, 0xF8));
    c.Polygon({{0, 300}, {0, 230}, {140, 190}, {300, 240}, {460, 180}, {640, 230}, {640, 300}}, Rgb(0x6A, 0xA8, 0x70));
    c.Gradient(0, 300, 640, 90, Rgb(0x50, 0x90, 0xC0), Rgb(0x30, 0x60, 0x98));
    c.FillRect(0, 390, 640, 90, Rgb(0xC8, 0xB8, 0x90));
    for (int k = 0; k < 5; ++k) {
        c.FillRect(70 + 130 * k, 250, 8, 50, Rgb(0x60, 0x48, 0x30));
        c.Disc(74 + 130 * k, 240, 34, Rgb(0xF0, 0xB0, 0xC8));
    }
}

void NightStreet(Canvas& c)
{
    c.Gradient(0, 0, 640, 480, kNight, Rgb(0x30, 0x28, 0x50));
    Scatter scatter(31);
    for (int i = 0; i < 80; ++i)
        c.Disc(scatter.Next(640), scatter.Next(200), 1, WithAlpha(kWhite, 180));
    Skyline(c, Rgb(0x18, 0x18, 0x30), 400, 32);
    c.FillRect(0, 400, 640, 80, Rgb(0x28, 0x28, 0x34));
    for (int k = 0; k < 4; ++k) {
        c.FillRect(90 + 160 * k, 250, 5, 150, Rgb(0x50, 0x50, 0x60));
        c.Glow(92 + 160 * k, 250, 50, WithAlpha(kGold, 160));
    }
}

void Room(Canvas& c)
{
    c.Gradient(0, 0, 640, 360, Rgb(0xF4, 0xE4, 0xC8), Rgb(0xE0, 0xC8, 0xA0));
    c.FillRect(0, 360, 640, 120, Rgb(0xA8, 0x78, 0x50));
    c.FillRect(380, 60, 200, 160, Rgb(0x60, 0x80, 0xB0));
    c.Frame(380, 60, 200, 160, 8, Rgb(0xF8, 0xF4, 0xEC));
    c.FillRect(476, 60, 8, 160, Rgb(0xF8, 0xF4, 0xEC));
    c.FillRect(60, 250, 220, 110, Rgb(0x88, 0x58, 0x38));
    c.FillRect(60, 240, 220, 14, Rgb(0x98, 0x68, 0x48));
}

void Plaza(Canvas& c)
{
    Backdrop(c, Rgb(0x0C, 0x10, 0x28), Rgb(0x28, 0x20, 0x58), 41);
    Scatter scatter(42);
    for (int i = 0; i < 200; ++i)
        c.Disc(scatter.Next(640), scatter.Next(320), 0.5 + scatter.Next(10) / 8.0, WithAlpha(kWhite, 100 + scatter.Next(155)));
    c.Polygon({{0, 480}, {0, 380}, {640, 380}, {640, 480}}, Rgb(0x20, 0x24, 0x30));
    c.Disc(320, 380, 60, Rgb(0x40, 0x48, 0x60));
    c.FillRect(316, 300, 8, 80, Rgb(0x80, 0x88, 0xA0));
}

void Dammy(Canvas& c)
{
    // Stands in for an animated background: a plain sky.
    c.Gradient(0, 0, 640, 480, Rgb(0x30, 0x50, 0x90), Rgb(0x90, 0xB0, 0xD8));
}

// ---- characters ----
// A sheet of 320 x 480: the body at (0, 0, 240, 480), standing on the stage's foot (the stage
// centres a character's panel in its height); at x 240 the eyes open (y 0) and closed (y 24),
// 80 x 24 each, and the mouth closed (y 48) and open (y 64), 40 x 16 each.

struct CharacterLook {
    std::uint32_t hair, dress, accent;
};

constexpr std::uint32_t kSkin = Rgb(0xFC, 0xE0, 0xCC);
constexpr std::uint32_t kLips = Rgb(0xB0, 0x50, 0x50);
// Where the face's eyes and mouth sit on the body (the definition's entries 1 and 2).
constexpr int kEyesX = 80;
constexpr int kEyesY = 180;
constexpr int kMouthX = 100;
constexpr int kMouthY = 218;

void EyesOpen(Canvas& c, double x, double y, std::uint32_t iris)
{
    for (const double ex : {x + 22.0, x + 58.0}) {
        c.Disc(ex, y + 12, 7, kWhite);
        c.Disc(ex, y + 13, 5, iris);
        c.Disc(ex + 1.5, y + 11, 1.6, kWhite);
    }
}

void EyesClosed(Canvas& c, double x, double y, std::uint32_t lid)
{
    for (const double ex : {x + 22.0, x + 58.0})
        c.Line(ex - 7, y + 13, ex + 7, y + 13, 2.2, lid);
}

void Character(Canvas& c, const CharacterLook& look)
{
    // The figure, 80 pixels down from the sheet's top: dress, arms, neck, head and hair.
    constexpr double d = 80;
    c.Polygon({{70, d + 400}, {90, d + 190}, {150, d + 190}, {170, d + 400}}, look.dress);
    c.Line(92, d + 200, 60, d + 330, 16, look.dress);
    c.Line(148, d + 200, 180, d + 330, 16, look.dress);
    c.Disc(60, d + 336, 9, kSkin);
    c.Disc(180, d + 336, 9, kSkin);
    c.FillRect(110, static_cast<int>(d) + 160, 20, 36, kSkin);
    c.Disc(120, d + 110, 58, look.hair);
    c.Disc(120, d + 118, 48, kSkin);
    c.Polygon({{66, d + 100}, {120, d + 60}, {176, d + 100}, {160, d + 78}, {120, d + 56}, {80, d + 78}}, look.hair);
    c.FillRect(64, static_cast<int>(d) + 100, 12, 110, look.hair);
    c.FillRect(164, static_cast<int>(d) + 100, 12, 110, look.hair);
    c.Disc(150, d + 70, 9, look.accent);
    c.Polygon({{100, d + 190}, {120, d + 215}, {140, d + 190}}, look.accent);
    // The resting eyes and mouth are part of the face too, so the body alone looks complete.
    EyesOpen(c, kEyesX, kEyesY, look.hair);
    c.Line(kMouthX + 12, kMouthY + 8, kMouthX + 28, kMouthY + 8, 2, kLips);
    // The sheet's images: eyes and mouths on skin.
    c.FillRect(240, 0, 80, 48, kSkin);
    EyesOpen(c, 240, 0, look.hair);
    EyesClosed(c, 240, 24, look.hair);
    c.FillRect(240, 48, 40, 32, kSkin);
    c.Line(252, 56, 268, 56, 2, kLips);
    c.Disc(260, 72, 5, kLips);
}

void Chr001(Canvas& c) { Character(c, {Rgb(0x3A, 0x2A, 0x50), Rgb(0x40, 0x70, 0xB8), kGold}); }
void Chr002(Canvas& c) { Character(c, {Rgb(0xA0, 0x58, 0x30), Rgb(0xD8, 0x70, 0x80), Rgb(0x60, 0xC0, 0x90)}); }

// The definition that cuts the sheet: the body, blinking eyes over the face, a talking mouth.
std::vector<std::uint8_t> CharacterDefinition()
{
    const std::string text = "# Sample character sheet\r\n"
                             "[BASE]\r\nWIDTH=240\r\nHEIGHT=480\r\n"
                             "[IMG]\r\nID=0\r\nPOSX=0\r\nPOSY=0\r\nWIDTH=240\r\nHEIGHT=480\r\n"
                             "[IMG]\r\nID=1\r\nPOSX=240\r\nPOSY=0\r\nWIDTH=80\r\nHEIGHT=24\r\n"
                             "[IMG]\r\nID=2\r\nPOSX=240\r\nPOSY=24\r\nWIDTH=80\r\nHEIGHT=24\r\n"
                             "[IMG]\r\nID=3\r\nPOSX=240\r\nPOSY=48\r\nWIDTH=40\r\nHEIGHT=16\r\n"
                             "[IMG]\r\nID=4\r\nPOSX=240\r\nPOSY=64\r\nWIDTH=40\r\nHEIGHT=16\r\n"
                             "[ANIM]\r\nID=0\r\nANIMATION=<1,1><2,3><1,1><END>\r\n"
                             "[ANIM]\r\nID=1\r\nANIMATION=<3,4><4,4><LOOP>\r\n"
                             "[ENTRY]\r\nID=0\r\nPOSX=0\r\nPOSY=0\r\nIMG_ID=0\r\n"
                             "[ENTRY]\r\nID=1\r\nPOSX=" + std::to_string(kEyesX) + "\r\nPOSY=" + std::to_string(kEyesY) +
                             "\r\nANIM_ID=0\r\n"
                             "[ENTRY]\r\nID=2\r\nPOSX=" + std::to_string(kMouthX) + "\r\nPOSY=" + std::to_string(kMouthY) +
                             "\r\nANIM_ID=1\r\n";
    return {text.begin(), text.end()};
}

// The animated background's definition: only its existence is looked at.
std::vector<std::uint8_t> AnimatedBackground()
{
    const std::string text = "# Animated background 6, shown as its stand-in picture\r\n";
    return {text.begin(), text.end()};
}

constexpr PictureDrawer Drawers[] = {
    {"MesBack.png", MesBack},
    {"MesFrame.png", MesFrame},
    {"MesWait.png", MesWait},
    {"MesHide.png", MesHide},
    {"MesAuto.png", MesAuto},
    {"MesSkip.png", MesSkip},
    {"BacklogBar.png", BacklogBar},
    {"BacklogPos.png", BacklogPos},
    {"BacklogUp.png", BacklogUp},
    {"BacklogDown.png", BacklogDown},
    {"SelWindow.png", SelWindow},
    {"SelCursor.png", SelCursor},
    {"CalDateNum.png", CalDateDigits},
    {"CalSlash.png", CalSlash},
    {"CalTimeNum.png", CalTimeDigits},
    {"CalColon.png", CalColon},
    {"Menu01.png", SideMenu<0>},
    {"Menu02.png", SideMenu<1>},
    {"Menu03.png", SideMenu<2>},
    {"Menu04.png", SideMenu<3>},
    {"Menu05.png", SideMenu<4>},
    {"Menu06.png", SideMenu<5>},
    {"Menu07.png", SideMenu<6>},
    {"Menu08.png", SideMenu<7>},
    {"Menu09.png", SideMenu<8>},
    {"AvgPlace01.png", AvgPlace01},
    {"AvgPlace02.png", AvgPlace02},
    {"AvgPlace03.png", AvgPlace03},
    {"ExSelWin.png", ExSelWin},
    {"Snow.bmp", Snow},
    {"bg001.png", Rooftop},
    {"bg002.png", Riverside},
    {"bg003.jpg", NightStreet},
    {"bg004.bmp", Room},
    {"bg005.png", Plaza},
    {"Dammy.jpg", Dammy},
    {"chr001.png", Chr001},
    {"chr002.png", Chr002},
};

constexpr DataMaker Data[] = {
    {"chr001.ini", CharacterDefinition},
    {"chr002.ini", CharacterDefinition},
    {"an006a.ini", AnimatedBackground},
};

} // namespace

std::span<const PictureDrawer> AdventurePictures() { return Drawers; }
std::span<const DataMaker> AdventureData() { return Data; }

} // namespace samplegen

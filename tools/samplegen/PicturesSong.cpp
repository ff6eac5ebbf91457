// The song game's pictures: the song screen's curtain, sheet, notes, letters, score figures,
// frame, lamp, clef, continue prompt and captions; the ranking-name entry and the song score
// screen; and the sample song's own title plates and stage pictures.
#include "tools/samplegen/PictureStyle.h"

#include <cmath>
#include <string>

namespace samplegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The sample song's title.
constexpr std::string_view kSongTitle = "星之歌";

void Curtain(Canvas& c)
{
    // Three blocks of 16 rows: the velvet closed, half drawn, and only its gold hem.
    for (int block = 0; block < 3; ++block) {
        const int alpha = block == 0 ? 255 : block == 1 ? 150 : 0;
        for (int x = 0; x < 640; ++x) {
            const int fold = static_cast<int>(40 * std::sin(x * 2 * kPi / 48));
            c.FillRect(x, block * 16, 1, 16, WithAlpha(Rgb(0x98 + fold, 0x18, 0x28), alpha));
        }
        if (block > 0)
            c.FillRect(0, block * 16 + 13, 640, 3, kGold);
    }
}

void Sheet(Canvas& c)
{
    c.Gradient(0, 0, c.Width(), c.Height(), Rgb(0xFA, 0xF4, 0xE6), Rgb(0xEC, 0xE0, 0xC8));
    for (int line = 0; line < 5; ++line)
        c.FillRect(0, 50 + 20 * line, c.Width(), 1, Rgb(0x50, 0x48, 0x40));
    c.FillRect(96, 30, 2, 120, WithAlpha(kRose, 200));
}

void Notes(Canvas& c)
{
    // Ten patterns of 27 x 66, the head 33 rows down. Patterns 0 to 4 carry their key letter at the
    // foot, so their stem rises; 5 to 9 carry it at the top, so their stem falls. 4 and 9 are the
    // notes the game plays itself.
    const std::uint32_t colours[5] = {kInk, kTeal, kRose, Rgb(0x20, 0x60, 0xC0), kGrey};
    for (int k = 0; k < 10; ++k) {
        const double x = 27.0 * (k % 5);
        const double y = 66.0 * (k / 5);
        const std::uint32_t colour = colours[k % 5];
        c.Disc(x + 13, y + 33, 8, colour);
        if (k < 5)
            c.Line(x + 20, y + 33, x + 20, y + 6, 2, colour);
        else
            c.Line(x + 6, y + 33, x + 6, y + 60, 2, colour);
    }
}

void Alphabet(Canvas& c)
{
    static constexpr std::string_view Letters = "ASDFJKL;GHQWERUIOPTYZXCVM,./BN";
    for (int lane = 0; lane < 30; ++lane) {
        const int x = 27 * (lane % 10);
        const int y = 23 * (lane / 10);
        c.RoundRect(x + 2, y + 1, 23, 21, 5, WithAlpha(kNight, 200));
        c.Text(x + 13, y + 3, Letters.substr(static_cast<std::size_t>(lane), 1), 15, kPaper, TextAlign::Centre, true);
    }
}

void ScoreFrame(Canvas& c)
{
    c.Gradient(0, 0, c.Width(), c.Height(), Rgb(0x24, 0x30, 0x5C), kNight);
    c.Frame(2, 2, c.Width() - 4, c.Height() - 4, 2, kGold);
    c.Text(c.Width() / 2, 14, "SCORE", 16, kGold, TextAlign::Centre, true);
    c.Text(c.Width() / 2, 88, "GAUGE", 12, kPaper, TextAlign::Centre);
}

// The gauge's colour at segment position t (0 left .. 1 right): green through gold to rose.
std::uint32_t GaugeColour(double t)
{
    const std::uint32_t green = Rgb(0x50, 0xD0, 0x70);
    return t < 0.5 ? Mix(green, kGold, static_cast<int>(t * 2 * 255)) : Mix(kGold, kRose, static_cast<int>((t - 0.5) * 2 * 255));
}

void GaugeLarge(Canvas& c)
{
    // Twenty blocks of 19 x 22: for each of the five segments i, block i unlit, i + 5 lit, and
    // i + 10, i + 15 the two brighter steps of the glow from 40 up.
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0x24, 0x30, 0x5C));
    for (int level = 0; level < 4; ++level)
        for (int i = 0; i < 5; ++i) {
            const int y = 22 * (i + 5 * level);
            const std::uint32_t lit = GaugeColour(i / 4.0);
            const std::uint32_t colour = level == 0 ? Rgb(0x40, 0x48, 0x68) : Mix(lit, kWhite, 70 * (level - 1));
            c.RoundRect(1, y + 2, 17, 18, 4, colour);
            if (level > 0)
                c.FillRect(3, y + 4, 13, 3, WithAlpha(kWhite, 90 + 50 * (level - 1)));
        }
}

void GaugeSmall(Canvas& c)
{
    // Twenty blocks of 8 x 11: tick i unlit (block i) and lit (block i + 10).
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0x24, 0x30, 0x5C));
    for (int i = 0; i < 10; ++i) {
        c.FillRect(1, 11 * i + 2, 6, 8, Rgb(0x40, 0x48, 0x68));
        c.FillRect(1, 11 * (i + 10) + 2, 6, 8, GaugeColour(i / 9.0));
    }
}

void ScoreDigits(Canvas& c)
{
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0x24, 0x30, 0x5C));
    DigitStrip(c, kPaper);
}

void FrameAcross(Canvas& c)
{
    c.Gradient(0, 0, c.Width(), c.Height(), Rgb(0x70, 0x20, 0x30), Rgb(0x40, 0x10, 0x18));
    c.FillRect(0, 7, c.Width(), 2, kGold);
}
void FrameSide(Canvas& c)
{
    c.Gradient(0, 0, c.Width(), c.Height(), Rgb(0x70, 0x20, 0x30), Rgb(0x40, 0x10, 0x18), true);
    c.FillRect(15, 0, 2, c.Height(), kGold);
}

void HitLamp(Canvas& c)
{
    // Drawn opaque at the top of the sheet: a lit lamp on the sheet's paper.
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0xFA, 0xF4, 0xE6));
    c.Glow(12.5, 13.5, 13, kGold);
    c.Disc(12.5, 13.5, 5, Rgb(0xFF, 0xF0, 0xC0));
}

void Clef(Canvas& c)
{
    // A treble clef: a spiral round the G line, a stroke through it, a hook at its foot.
    const double cx = 48;
    const double cy = 150;
    double px = cx;
    double py = cy;
    for (int i = 1; i <= 120; ++i) {
        const double t = i / 120.0 * 2.2 * 2 * kPi;
        const double r = 4 + 3.2 * t;
        const double x = cx + r * std::cos(t + kPi);
        const double y = cy + r * std::sin(t + kPi) * 1.25;
        c.Line(px, py, x, y, 6, kInk);
        px = x;
        py = y;
    }
    c.Line(px, py, 58, 20, 6, kInk);
    c.Line(58, 20, 40, 60, 6, kInk);
    c.Line(40, 60, 54, 215, 6, kInk);
    c.Disc(40, 214, 9, kInk);
}

void Count(Canvas& c)
{
    // Block 0 asks, blocks 1 to 11 count down from 10 to 0.
    for (int block = 0; block < 12; ++block) {
        const int y = block * 120;
        GlassWindow(c, 10, y + 10, 400, 100);
        const std::string text = block == 0 ? std::string("继续？") : std::to_string(11 - block);
        c.Text(210, y + 30, text, 56, block == 0 ? kPaper : kGold, TextAlign::Centre, true);
    }
}

void CountYN(Canvas& c)
{
    GlassWindow(c, 0, 0, c.Width(), c.Height());
    c.Text(c.Width() / 2, 20, "再演奏一次吗？", 20, kPaper, TextAlign::Centre, true);
    c.Text(c.Width() / 2, 58, "Y：是    N：否", 18, kGold, TextAlign::Centre);
}

void Caption(Canvas& c, std::string_view text)
{
    for (int block = 0; block < 2; ++block) {
        c.RoundRect(4, block * 96 + 28, 158, 40, 10, WithAlpha(kNight, block == 0 ? 200 : 120));
        c.Text(83, block * 96 + 36, text, 22, WithAlpha(kGold, block == 0 ? 255 : 140), TextAlign::Centre, true);
    }
}
void CapAuto(Canvas& c) { Caption(c, "自动演奏"); }
void CapDemo(Canvas& c) { Caption(c, "演示"); }

// ---- ranking-name entry and song score screen ----

constexpr std::string_view EntryLetters[46] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L",
                                               "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X",
                                               "Y", "Z", "-", "#", ".", ":", "/", "!", "?", "0", "1", "2",
                                               "3", "4", "5", "6", "7", "8", "9", "*", "+", " "};

void NameBase(Canvas& c)
{
    Backdrop(c, kDusk, kNight, 51);
    c.Text(320, 24, "请输入名字", 28, kPaper, TextAlign::Centre, true, WithAlpha(kInk, 200));
    for (int cell = 0; cell < 48; ++cell) {
        const int x = 200 + 50 * (cell % 8);
        const int y = 69 + 50 * (cell / 8);
        c.RoundRect(x + 3, y + 3, 44, 44, 8, WithAlpha(kNight, 200));
        const std::string_view label = cell < 46 ? EntryLetters[cell] : cell == 46 ? "退格" : "完成";
        c.Text(x + 25, y + (cell < 46 ? 12 : 17), label, cell < 46 ? 24 : 14, kPaper, TextAlign::Centre, true);
    }
    c.Text(80, 412, "SCORE", 18, kGold, TextAlign::Left, true);
    c.Text(400, 412, "NAME", 18, kGold, TextAlign::Left, true);
    c.FillRect(144, 442, 153, 2, kGold);
    c.FillRect(479, 442, 68, 2, kGold);
}

void NameButton(Canvas& c)
{
    // Over the letters the base shows: nothing, a light wash on focus, a deeper one when down.
    c.RoundRect(3, 53, 44, 44, 8, WithAlpha(kTeal, 110));
    c.RoundRect(3, 103, 44, 44, 8, WithAlpha(kGold, 130));
}

void NameFrame(Canvas& c)
{
    for (int block = 0; block < 4; ++block) {
        const int inset = block < 2 ? block : 3 - block;
        c.Frame(inset, block * 50 + inset, 50 - 2 * inset, 50 - 2 * inset, 3, block % 2 == 0 ? kGold : Rgb(0xFF, 0xE0, 0x90));
    }
}

void NameAlphabet(Canvas& c) { GlyphStrip(c, std::span(EntryLetters, 45), kPaper, 26); }
void NameDigits(Canvas& c) { DigitStrip(c, kGold, 26); }

void NameHane(Canvas& c)
{
    for (int block = 0; block < 2; ++block) {
        const double y = 34.0 * block + 17;
        const double lift = block == 0 ? 0 : 6;
        c.Polygon({{62, y}, {8, y - 12 - lift}, {20, y + 2}, {8, y + 12}}, WithAlpha(kPaper, 220));
        c.Polygon({{62, y}, {116, y - 12 - lift}, {104, y + 2}, {116, y + 12}}, WithAlpha(kPaper, 220));
        c.Disc(62, y, 5, kGold);
    }
}

void RankBackground(Canvas& c)
{
    // The tabs sit at the top left, the ten rows from y 64 in steps of 34, the page buttons at 420.
    Backdrop(c, kNight, kDusk, 61);
    c.Text(500, 18, "演奏成绩", 26, kPaper, TextAlign::Centre, true, WithAlpha(kInk, 200));
    GlassWindow(c, 24, 56, 592, 356, Rgb(0x18, 0x22, 0x40));
}

void RankEasy(Canvas& c) { ButtonStrip(c, "容易", {Look::Normal, Look::Focus, Look::Selected, Look::Disabled}, 14); }
void RankNormal(Canvas& c) { ButtonStrip(c, "普通", {Look::Normal, Look::Focus, Look::Selected, Look::Disabled}, 14); }
void RankHard(Canvas& c) { ButtonStrip(c, "困难", {Look::Normal, Look::Focus, Look::Selected, Look::Disabled}, 14); }
void RankBack(Canvas& c) { ButtonStrip(c, "上页", {Look::Normal, Look::Focus, Look::Down, Look::Disabled}, 12); }
void RankNext(Canvas& c) { ButtonStrip(c, "下页", {Look::Normal, Look::Focus, Look::Down, Look::Disabled}, 12); }
void RankExit(Canvas& c) { ButtonStrip(c, "返回", {Look::Normal, Look::Focus, Look::Down}, 14); }
void RankBase(Canvas& c) { c.RoundRect(0, 0, c.Width(), c.Height(), 8, WithAlpha(kTeal, 120)); }
void RankDigits(Canvas& c) { DigitStrip(c, kPaper, 20); }

// ---- the sample song's own pictures ----

void SongPlate(Canvas& c)
{
    GlassWindow(c, 0, 0, c.Width(), c.Height(), kDusk);
    c.Text(c.Width() / 2, 52, kSongTitle, 48, kGold, TextAlign::Centre, true, WithAlpha(kInk, 200));
    c.Text(c.Width() / 2, 124, "作曲：Tvqe 示例制作组", 16, kPaper, TextAlign::Centre);
}

void SongName(Canvas& c)
{
    c.Text(4, 7, kSongTitle, 20, kPaper, TextAlign::Left, true);
}

void StageHall(Canvas& c)
{
    c.Gradient(0, 0, 640, 300, Rgb(0x20, 0x10, 0x30), Rgb(0x50, 0x20, 0x40));
    for (int k = 0; k < 5; ++k)
        c.Polygon({{120.0 + 100 * k, 0}, {90.0 + 100 * k, 300}, {150.0 + 100 * k, 300}}, WithAlpha(kGold, 40));
    c.FillRect(0, 240, 640, 60, Rgb(0x40, 0x28, 0x20));
}

void StageNight(Canvas& c)
{
    Backdrop(c, Rgb(0x08, 0x0C, 0x20), Rgb(0x20, 0x28, 0x58), 71);
    Scatter scatter(72);
    for (int i = 0; i < 120; ++i)
        c.Disc(scatter.Next(640), scatter.Next(240), 0.6 + scatter.Next(8) / 8.0, WithAlpha(kWhite, 160));
    c.FillRect(0, 250, 640, 50, Rgb(0x18, 0x18, 0x28));
}

template <int Frame> void StageAnim(Canvas& c)
{
    // A shower of light that falls a little further each frame.
    StageNight(c);
    for (int k = 0; k < 6; ++k) {
        const double x = 60 + 100 * k + 10 * Frame;
        const double y = 30 + 50 * Frame + 17 * k % 60;
        c.Line(x - 20, y - 20, x, y, 2, WithAlpha(kGold, 220));
        c.Glow(x, y, 10, kWhite);
    }
}

// A dancer of 96 x 160 with her arms at an angle (radians from hanging down).
void Dancer(Canvas& c, int x, int y, double leftArm, double rightArm, std::uint32_t dress)
{
    const std::uint32_t skin = Rgb(0xFC, 0xE0, 0xCC);
    c.Polygon({{x + 30.0, y + 150.0}, {x + 40.0, y + 60.0}, {x + 56.0, y + 60.0}, {x + 66.0, y + 150.0}}, dress);
    for (const auto& [arm, side] : {std::pair{leftArm, -1.0}, {rightArm, 1.0}}) {
        const double sx = x + 48 + side * 8;
        const double sy = y + 66;
        c.Line(sx, sy, sx + side * 34 * std::sin(arm), sy + 34 * std::cos(arm), 6, skin);
    }
    c.Line(x + 42, y + 150, x + 40, y + 159, 5, skin);
    c.Line(x + 54, y + 150, x + 56, y + 159, 5, skin);
    c.Disc(x + 48, y + 40, 18, Rgb(0x40, 0x28, 0x50));
    c.Disc(x + 48, y + 44, 14, skin);
}

void DancerSheet(Canvas& c)
{
    // Eight cells of 96 x 160, four across and two down: the arms swing up and back.
    for (int cell = 0; cell < 8; ++cell) {
        const double swing = kPi * (0.15 + 0.6 * std::sin(cell * kPi / 8));
        Dancer(c, 96 * (cell % 4), 160 * (cell / 4), swing, kPi * 0.9 - swing, kRose);
    }
}

void DancerMiss(Canvas& c)
{
    Dancer(c, 0, 0, 0.2, 0.2, kGrey);
    Dancer(c, 96, 8, 0.1, 0.1, kGrey);
}

constexpr PictureDrawer Drawers[] = {
    {"SongCurtain.png", Curtain},
    {"SongSheet.bmp", Sheet},
    {"SongNote.png", Notes},
    {"SongAlphabet.png", Alphabet},
    {"SongScoreFrame.bmp", ScoreFrame},
    {"SongPopLarge.bmp", GaugeLarge},
    {"SongPopSmall.bmp", GaugeSmall},
    {"SongScore.bmp", ScoreDigits},
    {"SongFrameTop.png", FrameAcross},
    {"SongFrameBottom.png", FrameAcross},
    {"SongFrameLeft.png", FrameSide},
    {"SongFrameRight.png", FrameSide},
    {"SongHitLamp.bmp", HitLamp},
    {"SongGclef.png", Clef},
    {"SongCount.png", Count},
    {"SongCountYN.png", CountYN},
    {"SongCapAuto.png", CapAuto},
    {"SongCapDemo.png", CapDemo},
    {"NameBase.jpg", NameBase},
    {"NameBtn.png", NameButton},
    {"NameFrame.png", NameFrame},
    {"NameAlphabet.png", NameAlphabet},
    {"NameNum.png", NameDigits},
    {"NameHane.png", NameHane},
    {"RankBGScore.jpg", RankBackground},
    {"RankBtnEasy.png", RankEasy},
    {"RankBtnNormal.png", RankNormal},
    {"RankBtnHard.png", RankHard},
    {"RankBtnBack.png", RankBack},
    {"RankBtnNext.png", RankNext},
    {"RankBtnExit.png", RankExit},
    {"RankBase.png", RankBase},
    {"RankAlphabet.png", NameAlphabet},
    {"RankNum.png", RankDigits},
    {"curtain.png", SongPlate},
    {"songname.png", SongName},
    {"StageBG01.png", StageHall},
    {"StageBG02.jpg", StageNight},
    {"StageAnim1.png", StageAnim<0>},
    {"StageAnim2.png", StageAnim<1>},
    {"StageAnim3.png", StageAnim<2>},
    {"Dancer.png", DancerSheet},
    {"DancerMiss.png", DancerMiss},
};

} // namespace

std::span<const PictureDrawer> SongPictures() { return Drawers; }

} // namespace samplegen

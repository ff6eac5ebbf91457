// The transitions' data: the 17 wipe masks (8-bit levels: a pixel turns from the old picture to
// the new one as the wipe passes its level), the halo burst's backdrop and sprites, and the water
// ripple's three tables.
#include "tools/samplegen/PictureStyle.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace samplegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCentreX = 320;
constexpr double kCentreY = 240;
const double kMaxRadius = std::hypot(kCentreX, kCentreY);

// Writes a mask from a function of the place, its levels stretched to span 0 to 255, so that
// every wipe starts with the first pixel and ends with the last.
void Mask(Canvas& c, double (*level)(double x, double y))
{
    std::vector<double> levels;
    levels.reserve(static_cast<std::size_t>(c.Width()) * c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            levels.push_back(level(x + 0.5, y + 0.5));
    const auto [least, most] = std::minmax_element(levels.begin(), levels.end());
    const double low = *least;
    const double span = std::max(*most - low, 1e-9);
    c.Generate([&](int x, int y) {
        const double l = levels[static_cast<std::size_t>(y) * c.Width() + x];
        const int v = std::clamp(static_cast<int>((l - low) / span * 255.0 + 0.5), 0, 255);
        return Rgb(v, v, v);
    });
}

double Fraction(double v) { return v - std::floor(v); }
// Angle from straight up, clockwise, 0..1.
double Turn(double x, double y) { return Fraction(std::atan2(x - kCentreX, kCentreY - y) / (2 * kPi) + 1); }
double Radius(double x, double y) { return std::hypot(x - kCentreX, y - kCentreY) / kMaxRadius; }
// Blinds sweep inside 40-pixel slats while the whole wipe leans a little with x, so that no two
// slats turn at once.
double BlindR(double x, double) { return 0.85 * Fraction(x / 40) + 0.15 * x / 640; }
double BlindL(double x, double y) { return BlindR(640 - x, y); }
double VarekR(double x, double y) { return (x + 0.5 * y) / (640 + 240); }
double VarekL(double x, double y) { return VarekR(640 - x, y); }
double Circle(double x, double y) { return Radius(x, y); }
double CircleR(double x, double y) { return 1 - Radius(x, y); }
double Clock(double x, double y) { return Turn(x, y); }
double Swirl(double x, double y) { return 0.5 * Radius(x, y) + 0.5 * Fraction(Turn(x, y) + Radius(x, y)); }
double StripesB(double x, double) { return 0.8 * Fraction(x / 24) + 0.2 * x / 640; }
double StripesN(double, double y) { return 0.8 * Fraction(y / 24) + 0.2 * y / 480; }
double Star(double x, double y)
{
    // Distance scaled by a five-pointed outline, so the new picture grows as a star.
    const double a = Turn(x, y) * 2 * kPi * 5;
    return std::min(Radius(x, y) / (0.7 + 0.3 * std::cos(a)) * 0.75, 1.0);
}
double Radiation(double x, double y) { return 0.8 * Fraction(Turn(x, y) * 12) + 0.2 * Radius(x, y); }
double RadiationR(double x, double y) { return 1 - Radiation(x, y); }
double Windmill(double x, double y) { return Fraction(Turn(x, y) * 4); }
double Naruto(double x, double y) { return 0.3 * Radius(x, y) + 0.7 * Fraction(Turn(x, y) + 3 * Radius(x, y)); }
double Noise(double x, double y)
{
    // A hash of the 4 x 4 block: the new picture appears in scattered specks.
    std::uint32_t h = static_cast<std::uint32_t>(x) / 4 * 73856093u ^ static_cast<std::uint32_t>(y) / 4 * 19349663u;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return (h & 0xFFFF) / 65535.0;
}
double Crystal(double x, double y)
{
    // Cells around scattered seeds: each cell turns at its own level, its edges a little later.
    static const std::vector<std::pair<double, double>> seeds = [] {
        std::vector<std::pair<double, double>> points;
        Scatter scatter(77);
        for (int i = 0; i < 48; ++i)
            points.emplace_back(scatter.Next(640), scatter.Next(480));
        return points;
    }();
    std::size_t nearest = 0;
    double best = 1e9;
    for (std::size_t i = 0; i < seeds.size(); ++i)
        if (const double d = std::hypot(x - seeds[i].first, y - seeds[i].second); d < best) {
            best = d;
            nearest = i;
        }
    return std::min(0.8 * static_cast<double>(nearest) / seeds.size() + best / 400.0, 1.0);
}

template <double (*Level)(double, double)> void MaskDrawer(Canvas& c) { Mask(c, Level); }

void HaloBack(Canvas& c)
{
    c.FillRect(0, 0, 640, 480, Rgb(0, 0, 0));
    for (int k = 0; k < 6; ++k)
        c.Glow(0, 0, 260.0 + 90 * k, WithAlpha(Rgb(0x30, 0x40, 0x90), 70));
}

void Halo(Canvas& c, std::uint32_t colour)
{
    c.FillRect(0, 0, c.Width(), c.Height(), Rgb(0, 0, 0));
    const double r = c.Width() / 2.0;
    c.Glow(r, r, r, colour);
    c.Glow(r, r, r / 3, kWhite);
}
void HaloBlueB(Canvas& c) { Halo(c, Rgb(0x50, 0x90, 0xFF)); }
void HaloYellowB(Canvas& c) { Halo(c, Rgb(0xFF, 0xD0, 0x40)); }
void HaloYellowS(Canvas& c) { Halo(c, Rgb(0xFF, 0xE0, 0x70)); }
void HaloBlueS(Canvas& c) { Halo(c, Rgb(0x70, 0xB0, 0xFF)); }
void HaloGreen(Canvas& c) { Halo(c, Rgb(0x60, 0xF0, 0x90)); }

// 240 rows of 320 u16 little-endian: the distance of the pixel from the centre, in pixels.
std::vector<std::uint8_t> WaterDistance()
{
    std::vector<std::uint8_t> out;
    out.reserve(240 * 320 * 2);
    for (int row = 0; row < 240; ++row)
        for (int col = 0; col < 320; ++col) {
            const auto d = static_cast<std::uint16_t>(std::lround(std::hypot(row + 0.5, col + 0.5)));
            out.push_back(static_cast<std::uint8_t>(d));
            out.push_back(static_cast<std::uint8_t>(d >> 8));
        }
    return out;
}

// 256 phase steps of a sine between 0 and 254, the multiplier table's columns.
std::vector<std::uint8_t> WaterSine()
{
    std::vector<std::uint8_t> out(256);
    for (int i = 0; i < 256; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::lround(127 + 127 * std::sin(2 * kPi * i / 256)));
    return out;
}

// 32 amplitudes of 255 entries: 127 plus the offset of the sine value s at amplitude a, up to
// eight pixels either way at the largest amplitude.
std::vector<std::uint8_t> WaterMultiplier()
{
    std::vector<std::uint8_t> out;
    out.reserve(32 * 255);
    for (int a = 0; a < 32; ++a)
        for (int s = 0; s < 255; ++s)
            out.push_back(static_cast<std::uint8_t>(127 + std::lround((s - 127) * a / (127.0 * 4))));
    return out;
}

constexpr PictureDrawer Drawers[] = {
    {"FadeMask00_BlindR.bmp", MaskDrawer<BlindR>},
    {"FadeMask01_BlindL.bmp", MaskDrawer<BlindL>},
    {"FadeMask02_VarekR.bmp", MaskDrawer<VarekR>},
    {"FadeMask03_VarekL.bmp", MaskDrawer<VarekL>},
    {"FadeMask04_Circle.bmp", MaskDrawer<Circle>},
    {"FadeMask05_CircleR.bmp", MaskDrawer<CircleR>},
    {"FadeMask06_Clock.bmp", MaskDrawer<Clock>},
    {"FadeMask07_Swirl.bmp", MaskDrawer<Swirl>},
    {"FadeMask08_Crystal.bmp", MaskDrawer<Crystal>},
    {"FadeMask09_StripesB.bmp", MaskDrawer<StripesB>},
    {"FadeMask10_StripesN.bmp", MaskDrawer<StripesN>},
    {"FadeMask11_Star.bmp", MaskDrawer<Star>},
    {"FadeMask12_Radiation.bmp", MaskDrawer<Radiation>},
    {"FadeMask13_RadiationR.bmp", MaskDrawer<RadiationR>},
    {"FadeMask14_Windmill.bmp", MaskDrawer<Windmill>},
    {"FadeMask15_Naruto.bmp", MaskDrawer<Naruto>},
    {"FadeMask16_Noise.bmp", MaskDrawer<Noise>},
    {"HaloBack.bmp", HaloBack},
    {"HaloBlueB.bmp", HaloBlueB},
    {"HaloYellowB.bmp", HaloYellowB},
    {"HaloYellowS.bmp", HaloYellowS},
    {"HaloBlueS.bmp", HaloBlueS},
    {"HaloGreen.bmp", HaloGreen},
};

constexpr DataMaker Data[] = {
    {"WaterDistTbl.bin", WaterDistance},
    {"WaterSinTbl.bin", WaterSine},
    {"WaterMultiTbl.bin", WaterMultiplier},
};

} // namespace

std::span<const PictureDrawer> TransitionPictures() { return Drawers; }
std::span<const DataMaker> TransitionData() { return Data; }

} // namespace samplegen

#include "scenario/stage/StageWeather.h"

#include "base/util/TRandom.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "scenario/stage/LineDrawers.h"

#include <algorithm>

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;
constexpr int kStreakLength = 240;
constexpr int kScratchCount = 4;
// Snow: particles 0..41 and 42..77 fall behind the characters, 78..127 in front.
constexpr int kSnowFrontFirst = 78;
// A flake below this row starts again above the screen.
constexpr int kSnowBottom = 494;
constexpr int kSnowRestartY = -14;

// A flake group: its particles, fall per step, drift index and factor, extra random fall mask,
// and its flake in "Snow.bmp" (square of `size` at sheet x).
struct TFlakeGroup {
    int first, last;
    int fall, drift, driftFactor, randomFall;
    int size, sheetX;
};
constexpr TFlakeGroup kFlakes[] = {
    {0, 41, 4, 0, 1, 0, 8, 36},
    {42, 77, 5, 1, 1, 0, 10, 26},
    {78, 105, 6, 2, 2, 3, 12, 14},
    {106, 127, 6, 3, 2, 7, 14, 0},
};

std::int16_t Short(long long v) { return static_cast<std::int16_t>(v); }

void PlaceStreaks(TBGStat& block, TRandom& random)
{
    for (int i = 0; i < kParticleCount; ++i) {
        block.X[static_cast<std::size_t>(i)] = Short(random.Random(kScreenW));
        block.Y[static_cast<std::size_t>(i)] = Short(random.Random(kScreenH) - 120);
    }
}

void DriftSnow(TBGStat& block)
{
    const int j = block.WeatherCounter / 8 % 4;
    if (j < 3) {
        block.Drift[static_cast<std::size_t>(j)] = block.Drift[static_cast<std::size_t>(j) + 1];
        return;
    }
    int& last = block.Drift[3];
    last += block.Drift[2] - block.Drift[1];
    if (last == -3)
        last = -1;
    else if (last == 3)
        last = 1;
}

void FallSnow(TBGStat& block, TRandom& random)
{
    for (const TFlakeGroup& g : kFlakes)
        for (int i = g.first; i <= g.last; ++i) {
            const auto k = static_cast<std::size_t>(i);
            block.X[k] = Short(block.X[k] + g.driftFactor * block.Drift[static_cast<std::size_t>(g.drift)]);
            block.Y[k] = Short(block.Y[k] + g.fall + static_cast<int>(g.randomFall != 0 ? random.Rnd() & static_cast<unsigned>(g.randomFall) : 0));
        }
    for (std::size_t k = 0; k < kParticleCount; ++k)
        if (block.Y[k] > kSnowBottom) {
            block.X[k] = Short(random.Random(704) - 32);
            block.Y[k] = kSnowRestartY;
        }
}

void MoveScratches(TBGStat& block, TRandom& random)
{
    for (std::size_t k = 0; k < kScratchCount; ++k) {
        if (random.Random(60) == 0) {
            block.X[k] = Short(random.Random(kScreenW));
            block.Drift[k] = 0;
        } else {
            block.Drift[k] = random.Random(5) - 2;
        }
    }
}

// x of a streak end, (320 + (x - 320) x num / den) rounded toward zero; x itself for den 0.
int Converge(int x, int num, int den)
{
    if (den == 0)
        return x;
    return static_cast<int>(kScreenW / 2 + static_cast<long long>(x - kScreenW / 2) * num / den);
}

void DrawStreaks(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int ox, int oy)
{
    const bool masked = block.Alpha != nullptr && block.Alpha->Created();
    const int count = StreakCount(block.WeatherLevel);
    for (int i = 0; i < count; ++i) {
        const int x = block.X[static_cast<std::size_t>(i)], y = block.Y[static_cast<std::size_t>(i)];
        int x1 = x, x2 = x;
        if (block.WeatherKind == kWeatherSpreading)
            x2 = Converge(x, y + 720, y + 480);
        else if (block.WeatherKind == kWeatherNarrowing)
            x1 = Converge(x, y - 960, y - 720);
        if (masked)
            DrawLineAddMasked(dst, x1 + ox, y + oy, x2 + ox, y + kStreakLength + oy, kWeatherLineColour, area, block.Alpha);
        else
            DrawLineAdd(dst, x1 + ox, y + oy, x2 + ox, y + kStreakLength + oy, kWeatherLineColour, area);
    }
}

void DrawFlakes(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int ox, int oy, TXeRGBBits* snow,
                bool front)
{
    if (snow == nullptr || !snow->Created())
        return;
    for (const TFlakeGroup& g : kFlakes) {
        if ((g.first >= kSnowFrontFirst) != front)
            continue;
        for (int i = g.first; i <= g.last; ++i) {
            const int x = block.X[static_cast<std::size_t>(i)] + ox, y = block.Y[static_cast<std::size_t>(i)] + oy;
            TXeRect part;
            if (!part.IntersectRect(XeRect(x, y, x + g.size, y + g.size), area))
                continue;
            dst->SaturationAdd(part.left, part.top, snow, g.sheetX + part.left - x, part.top - y,
                               part.right - part.left, part.bottom - part.top);
        }
    }
}

void DrawScratches(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int ox, int oy)
{
    for (std::size_t k = 0; k < kScratchCount; ++k) {
        const int x = block.X[k] + block.Drift[k] + ox;
        DrawLineSub(dst, x, oy, x, kScreenH - 1 + oy, kWeatherLineColour, area);
        DrawLineSub(dst, x + 1, oy, x + 1, kScreenH - 1 + oy, kWeatherLineColour, area);
    }
}

bool IsStreaks(int kind) { return kind >= kWeatherStreaks && kind <= kWeatherNarrowing; }

} // namespace

bool WeatherShowsBack(int kind) { return kind == kWeatherSnow || IsStreaks(kind); }

bool WeatherShowsFront(int kind) { return kind == kWeatherSnow || kind == kWeatherScratches; }

int StreakCount(int level) { return (kParticleCount * level + kParticleCount) / 5; }

void InitWeather(TBGStat& block, TRandom& random)
{
    block.WeatherCounter = 0;
    if (IsStreaks(block.WeatherKind)) {
        PlaceStreaks(block, random);
    } else if (block.WeatherKind == kWeatherSnow) {
        for (std::size_t k = 0; k < kParticleCount; ++k) {
            block.X[k] = Short(random.Random(704) - 32);
            block.Y[k] = Short(random.Random(kScreenH) - kScreenH);
        }
        block.Drift = {0, 1, 2, 1};
    } else if (block.WeatherKind == kWeatherScratches) {
        for (std::size_t k = 0; k < kScratchCount; ++k) {
            block.X[k] = Short(random.Random(kScreenW));
            block.Drift[k] = 0;
        }
    }
}

TWeatherChange UpdateWeather(TBGStat& block, int frames, TRandom& random)
{
    if (IsStreaks(block.WeatherKind)) {
        block.WeatherCounter += frames;
        if (block.WeatherCounter < 2)
            return {};
        block.WeatherCounter = 0;
        PlaceStreaks(block, random);
        return {true, false};
    }
    if (block.WeatherKind == kWeatherSnow) {
        if (++block.WeatherCounter % 2 == 0)
            return {};
        if (block.WeatherCounter % 8 == 1)
            DriftSnow(block);
        FallSnow(block, random);
        return {true, true};
    }
    if (block.WeatherKind == kWeatherScratches) {
        block.WeatherCounter += frames;
        if (block.WeatherCounter < 2)
            return {};
        block.WeatherCounter = 0;
        MoveScratches(block, random);
        return {false, true};
    }
    return {};
}

void DrawWeatherBack(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int originX, int originY,
                     TXeRGBBits* snow)
{
    if (IsStreaks(block.WeatherKind))
        DrawStreaks(block, dst, area, originX, originY);
    else if (block.WeatherKind == kWeatherSnow)
        DrawFlakes(block, dst, area, originX, originY, snow, false);
}

void DrawWeatherFront(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int originX, int originY,
                      TXeRGBBits* snow)
{
    if (block.WeatherKind == kWeatherSnow)
        DrawFlakes(block, dst, area, originX, originY, snow, true);
    else if (block.WeatherKind == kWeatherScratches)
        DrawScratches(block, dst, area, originX, originY);
}

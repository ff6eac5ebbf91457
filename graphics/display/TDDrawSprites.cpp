// DirectX::TDDraw's sprite layer: pages, patterns and sprites drawn over every presented frame.
//
// Sprites are never drawn into the back surface: each present draws the whole sprite table over
// the buffer about to be shown, priority 15 first and 0 last. Moving or changing a sprite reports
// its old and new rectangles as modified, so the next FlipModifyRect repaints them from the back
// surface before the sprites are drawn again.
#include "graphics/display/TDDraw.h"

#include "platform/classes/Application.h"

#include <algorithm>
#include <exception>
#include <cstdint>
#include <vector>

namespace DirectX {

namespace {

bool InRange(int value, int count)
{
    return value >= 0 && value < count;
}

// The part of a pattern's source block that lands on the destination.
struct TPatternBlock {
    int sx, sy, w, h;
};

// Clips pattern p drawn at (x, y) to a destWidth x destHeight destination, moving (x, y) and the
// source corner with it; false when nothing is left.
bool ClipToDest(const TSpPattern& p, int& x, int& y, int destWidth, int destHeight, TPatternBlock& b)
{
    b = {p.X, p.Y, p.Width, p.Height};
    if (x < 0) {
        b.sx -= x;
        b.w += x;
        x = 0;
    }
    if (x + b.w > destWidth)
        b.w = destWidth - x;
    if (y < 0) {
        b.sy -= y;
        b.h += y;
        y = 0;
    }
    if (y + b.h > destHeight)
        b.h = destHeight - y;
    return b.w > 0 && b.h > 0;
}

// The used sprites in drawing order: priority 15 first, and within a priority the higher index
// first, so that priority 0 and the lowest index end on top.
std::vector<int> DrawingOrder(const TSpSpriteTable& sprites)
{
    std::vector<int> order;
    for (int i = kSpSpriteCount - 1; i >= 0; --i)
        if (sprites[static_cast<std::size_t>(i)].Used)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return sprites[static_cast<std::size_t>(a)].Priority > sprites[static_cast<std::size_t>(b)].Priority;
    });
    return order;
}

} // namespace

// ---- pages ----

bool TDDraw::CreateSpritePages(int from, int to)
{
    for (int i = from; i < to; ++i) {
        auto* page = new TDSurface(this);
        if (!page->Create(bdNone, pfNone, FSpriteWidth, FSpriteHeight, true)) {
            delete page;
            DestroySpritePages(from, i);
            return false;
        }
        FSpSurface[static_cast<std::size_t>(i)] = page;
    }
    return true;
}

// Destroys pages to-1 down to from.
void TDDraw::DestroySpritePages(int from, int to)
{
    for (int i = to - 1; i >= from; --i) {
        delete FSpSurface[static_cast<std::size_t>(i)];
        FSpSurface[static_cast<std::size_t>(i)] = nullptr;
    }
}

void TDDraw::SetSpritePage(int n)
{
    if (n < 0 || n > kSpPageMax)
        return;
    if (!FEnabled) {
        FSpritePage = n;
        return;
    }
    const int current = FSpritePage;
    if (n > current) {
        for (int i = current; i < n; ++i) {
            auto* page = new TDSurface(this);
            if (!page->Create(bdNone, pfNone, FSpriteWidth, FSpriteHeight, true)) {
                delete page;
                FSpritePage = i;
                return;
            }
            FSpSurface[static_cast<std::size_t>(i)] = page;
        }
    } else if (n < current) {
        DestroySpritePages(n, current);
        for (TSpPattern& pattern : *FPatternTable)
            if (pattern.Used && pattern.Page >= n)
                pattern.Used = false;
    }
    FSpritePage = n;
}

TDSurface* TDDraw::GetSpSurface(int page)
{
    if (!FEnabled || !InRange(page, FSpritePage))
        return nullptr;
    return FSpSurface[static_cast<std::size_t>(page)];
}

bool TDDraw::SpPatLoadBmp(int page, TStream* stream, int x, int y)
{
    if (!FEnabled || !InRange(page, FSpritePage) || stream == nullptr)
        return false;
    return FSpSurface[static_cast<std::size_t>(page)]->DrawBmpStream(stream, x, y);
}

bool TDDraw::SpPatCopy(int page, TXeRGBBits* src)
{
    if (!FEnabled || !InRange(page, FSpritePage) || src == nullptr)
        return false;
    return FSpSurface[static_cast<std::size_t>(page)]->ConvertCopy(0, 0, src, 0, 0, src->Width(), src->Height());
}

// ---- patterns ----

bool TDDraw::SpSetPattern(int pattern, int page, int x, int y, int w, int h, TXeRGB key)
{
    if (!FEnabled || !InRange(pattern, kSpPatternCount) || !InRange(page, FSpritePage))
        return false;
    // The screen, not the page, bounds the rectangle.
    if (x < 0 || y < 0 || std::int64_t{x} + w > FScreenWidth || std::int64_t{y} + h > FScreenHeight)
        return false;
    TSpPattern& p = (*FPatternTable)[static_cast<std::size_t>(pattern)];
    p.Page = page;
    p.X = x;
    p.Y = y;
    p.Width = w;
    p.Height = h;
    p.Key = key;
    p.Used = true;
    return true;
}

bool TDDraw::SpSetPattern(int pattern, int page, int x, int y, int w, int h)
{
    if (!FEnabled || !InRange(page, FSpritePage))
        return false;
    TDSurface* surface = FSpSurface[static_cast<std::size_t>(page)];
    const TXeRGB key = surface->PixeltoTXeRGB(surface->PGet(x, y));
    return SpSetPattern(pattern, page, x, y, w, h, key);
}

bool TDDraw::SpSetPatternBmp(int pattern, int page, TStream* stream, int x, int y)
{
    if (!FEnabled || !InRange(page, FSpritePage) || stream == nullptr)
        return false;
    // Every failure, an exception raised while decoding or drawing included, is reported.
    try {
        TXeRGBBits picture(nullptr);
        picture.SetBitDepth(FPrimarySurface->BitDepth());
        picture.SetPixFormat(FPrimarySurface->PixFormat());
        if (!picture.DrawBmpStream(stream, 0, 0))
            return false;
        const TXeRGB key = picture.PixeltoTXeRGB(picture.PGet(0, 0));
        if (!FSpSurface[static_cast<std::size_t>(page)]->Draw(x, y, &picture, 0, 0, picture.Width(), picture.Height()))
            return false;
        return SpSetPattern(pattern, page, x, y, picture.Width(), picture.Height(), key);
    } catch (const std::exception&) {
        return false;
    }
}

bool TDDraw::SpClrPattern(int pattern)
{
    if (!FEnabled || !InRange(pattern, kSpPatternCount))
        return false;
    (*FPatternTable)[static_cast<std::size_t>(pattern)].Used = false;
    return true;
}

TSpPattern* TDDraw::UsedPattern(int pattern) const
{
    if (!InRange(pattern, kSpPatternCount))
        return nullptr;
    TSpPattern& p = (*FPatternTable)[static_cast<std::size_t>(pattern)];
    return p.Used ? &p : nullptr;
}

// ---- sprites ----

void TDDraw::SpSetModifySprite(int sprite)
{
    if (!FEnabled || !FSpriteVisible || FBufferCount <= 0 || !InRange(sprite, kSpSpriteCount))
        return;
    const TSpSprite& s = (*FSpriteTable)[static_cast<std::size_t>(sprite)];
    if (!InRange(s.Pattern, kSpPatternCount))
        return;
    const TSpPattern& p = (*FPatternTable)[static_cast<std::size_t>(s.Pattern)];
    SetModifyRect(XeRect(s.X, s.Y, s.X + p.Width, s.Y + p.Height));
}

void TDDraw::ReportSprite(int sprite)
{
    SpSetModifySprite(sprite);
}

bool TDDraw::SpSetSprite(int sprite, int x, int y, int pattern, int priority)
{
    if (!FEnabled || !InRange(sprite, kSpSpriteCount) || !InRange(pattern, kSpPatternCount) ||
        !InRange(priority, kSpPriorityCount))
        return false;
    TSpSprite& s = (*FSpriteTable)[static_cast<std::size_t>(sprite)];
    if (s.Used)
        ReportSprite(sprite);
    s.X = x;
    s.Y = y;
    s.Pattern = pattern;
    s.Priority = priority;
    s.Used = true;
    ReportSprite(sprite);
    return true;
}

int TDDraw::SpAddSprite(int x, int y, int pattern, int priority)
{
    if (!FEnabled)
        return -1;
    for (int i = 0; i < kSpSpriteCount; ++i)
        if (!(*FSpriteTable)[static_cast<std::size_t>(i)].Used)
            return SpSetSprite(i, x, y, pattern, priority) ? i : -1;
    return -1;
}

bool TDDraw::SpMoveSprite(int sprite, int x, int y)
{
    if (!FEnabled || !InRange(sprite, kSpSpriteCount))
        return false;
    ReportSprite(sprite);
    TSpSprite& s = (*FSpriteTable)[static_cast<std::size_t>(sprite)];
    s.X = x;
    s.Y = y;
    ReportSprite(sprite);
    return true;
}

bool TDDraw::SpChangeSprite(int sprite, int pattern)
{
    if (!FEnabled || !InRange(sprite, kSpSpriteCount) || !InRange(pattern, kSpPatternCount))
        return false;
    ReportSprite(sprite);
    (*FSpriteTable)[static_cast<std::size_t>(sprite)].Pattern = pattern;
    ReportSprite(sprite);
    return true;
}

bool TDDraw::SpClrSprite(int sprite)
{
    if (!FEnabled || !InRange(sprite, kSpSpriteCount))
        return false;
    ReportSprite(sprite);
    (*FSpriteTable)[static_cast<std::size_t>(sprite)].Used = false;
    return true;
}

// ---- showing and drawing ----

bool TDDraw::SpriteShow()
{
    if (!FEnabled)
        return false;
    FSpriteVisible = true;
    SetModifyRect(ScreenRect());
    return true;
}

bool TDDraw::SpriteHide()
{
    if (!FEnabled)
        return false;
    FSpriteVisible = false;
    SetModifyRect(ScreenRect());
    return true;
}

bool TDDraw::SpritePatternWrite(TDSurface* dest, int pattern, int x, int y)
{
    if (!FEnabled || dest == nullptr || !InRange(pattern, kSpPatternCount))
        return false;
    const TSpPattern* p = UsedPattern(pattern);
    TPatternBlock b;
    if (p == nullptr || !ClipToDest(*p, x, y, dest->Width(), dest->Height(), b))
        return true;
    TDSurface* page = InRange(p->Page, FSpritePage) ? FSpSurface[static_cast<std::size_t>(p->Page)] : nullptr;
    if (page == nullptr || page->Surface() == nullptr || dest->Surface() == nullptr)
        return false;
    const std::uint32_t key = page->TXeRGBtoPixel(p->Key);
    page->Surface()->SetColorKey(key, key);
    const video::Rect from{b.sx, b.sy, b.sx + b.w, b.sy + b.h};
    const video::Rect to{x, y, x + b.w, y + b.h};
    dest->Surface()->Blt(&to, page->Surface().get(), &from, video::kBltKeySrc | video::kBltAsync);
    return true;
}

bool TDDraw::SpritePatternWrite(TXeRGBBits* dest, TXeRGBBits** pages, int pattern, int x, int y)
{
    if (!FEnabled || dest == nullptr || pages == nullptr || !InRange(pattern, kSpPatternCount))
        return false;
    const TSpPattern* p = UsedPattern(pattern);
    TPatternBlock b;
    if (p == nullptr || !ClipToDest(*p, x, y, dest->Width(), dest->Height(), b))
        return true;
    TXeRGBBits* page = pages[p->Page];
    return page != nullptr && dest->DrawKey(x, y, page, b.sx, b.sy, b.w, b.h, p->Key);
}

bool TDDraw::SpriteDraw(TXeRGBBits* dest, TXeRGBBits** pages)
{
    if (!FEnabled || dest == nullptr)
        return false;
    if (!dest->Lock())
        return true;
    try {
        for (int i : DrawingOrder(*FSpriteTable)) {
            const TSpSprite& s = (*FSpriteTable)[static_cast<std::size_t>(i)];
            SpritePatternWrite(dest, pages, s.Pattern, s.X, s.Y);
        }
    } catch (const std::exception& error) {
        // The rest of the sprites are skipped; the error still reaches the application.
        Application().HandleException(this, error);
    }
    dest->Unlock();
    return true;
}

bool TDDraw::SpriteDraw(TDSurface* dest)
{
    if (!FEnabled || dest == nullptr)
        return false;
    video::Point offset;
    if (dest == FPrimarySurface && !FFullScreen)
        offset = ClientOrigin();
    for (int i = 0; i < FSpritePage; ++i) {
        TDSurface* page = FSpSurface[static_cast<std::size_t>(i)];
        if (!page->IsLost())
            continue;
        if (!page->Restore())
            return false;
        if (OnSpriteRestore)
            OnSpriteRestore(page, i);
    }
    dest->IsLostAndRestore();
    for (int i : DrawingOrder(*FSpriteTable)) {
        const TSpSprite& s = (*FSpriteTable)[static_cast<std::size_t>(i)];
        SpritePatternWrite(dest, s.Pattern, s.X + offset.x, s.Y + offset.y);
    }
    return true;
}

} // namespace DirectX

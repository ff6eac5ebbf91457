// The SDL2 video back end: a real window, presented by the UI thread from the front buffer the drawing thread fills.
#include "platform/video/sdl/SdlVideo.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace video {

// Converts rows of the front buffer into a 32-bit window surface whose channels are whole bytes,
// widening each channel the system's way (repeating its top bits), so the window shows exactly
// the colours the picture holds. Other window formats are left to SDL's own blits.
class RowConverter {
public:
    bool Prepare(const PixelLayout& from, const SDL_PixelFormat* to)
    {
        if (to->BytesPerPixel != 4 || !ByteChannel(to->Rmask) || !ByteChannel(to->Gmask) || !ByteChannel(to->Bmask))
            return false;
        if (from == layout_ && to->format == format_)
            return true;
        layout_ = from;
        format_ = to->format;
        rShift_ = to->Rshift;
        gShift_ = to->Gshift;
        bShift_ = to->Bshift;
        same_ = from.bitCount == 32 && from.red == to->Rmask && from.green == to->Gmask && from.blue == to->Bmask;
        table_.clear();
        if (from.bitCount == 8 || from.bitCount == 16) {
            table_.resize(std::size_t{1} << from.bitCount);
            for (std::uint32_t v = 0; v < table_.size(); ++v)
                table_[v] = Compose(PixelToRgb(v, from));
        }
        return true;
    }

    void Row(const std::uint8_t* src, std::uint8_t* dst, int count) const
    {
        if (same_) {
            std::memcpy(dst, src, static_cast<std::size_t>(count) * 4);
            return;
        }
        const int bytes = layout_.BytesPerPixel();
        const bool packed888 = layout_.red == 0xFF0000 && layout_.green == 0xFF00 && layout_.blue == 0xFF;
        for (int x = 0; x < count; ++x, src += bytes, dst += 4) {
            const std::uint32_t v = ReadPixel(src, bytes);
            std::uint32_t out;
            if (!table_.empty())
                out = table_[v];
            else
                out = Compose(packed888 ? v : PixelToRgb(v, layout_));
            std::memcpy(dst, &out, 4);
        }
    }

private:
    static bool ByteChannel(std::uint32_t mask)
    {
        return mask == 0xFF || mask == 0xFF00 || mask == 0xFF0000 || mask == 0xFF000000u;
    }

    std::uint32_t Compose(std::uint32_t rgb) const
    {
        return ((rgb >> 16) & 0xFF) << rShift_ | ((rgb >> 8) & 0xFF) << gShift_ | (rgb & 0xFF) << bShift_;
    }

    PixelLayout layout_;
    std::uint32_t format_ = 0;
    int rShift_ = 0;
    int gShift_ = 0;
    int bShift_ = 0;
    bool same_ = false;
    std::vector<std::uint32_t> table_;
};

namespace {

// Where a width x height picture goes in a target of tw x th (video::FitPicture as SDL's rectangle).
SDL_Rect FitRect(int width, int height, int tw, int th)
{
    const Rect r = FitPicture({width, height}, {tw, th});
    return SDL_Rect{r.left, r.top, r.Width(), r.Height()};
}

// The first destination pixel whose nearest source pixel is `s` or later, when `src` pixels are
// shown on `dst` pixels (destination pixel d shows source pixel d * src / dst).
int ScaledEdge(int s, int src, int dst)
{
    return static_cast<int>((static_cast<long long>(s) * dst + src - 1) / src);
}

// Scales `r` of `from` (the picture's size) by nearest neighbour onto `place` of `to`, both in the
// same format; returns the rectangle of `to` that was written.
SDL_Rect ScaleRect(SDL_Surface* from, SDL_Surface* to, const SDL_Rect& place, const Rect& r)
{
    const int bytes = to->format->BytesPerPixel;
    const int x0 = ScaledEdge(r.left, from->w, place.w);
    const int x1 = ScaledEdge(r.right, from->w, place.w);
    const int y0 = ScaledEdge(r.top, from->h, place.h);
    const int y1 = ScaledEdge(r.bottom, from->h, place.h);
    std::vector<int> columns(static_cast<std::size_t>(std::max(0, x1 - x0)));
    for (int x = x0; x < x1; ++x)
        columns[static_cast<std::size_t>(x - x0)] = static_cast<int>(static_cast<long long>(x) * from->w / place.w);
    const auto* srcPixels = static_cast<const std::uint8_t*>(from->pixels);
    auto* dstPixels = static_cast<std::uint8_t*>(to->pixels);
    int previousRow = -1;
    for (int y = y0; y < y1; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * from->h / place.h);
        const std::uint8_t* srcRow = srcPixels + static_cast<std::ptrdiff_t>(sy) * from->pitch;
        std::uint8_t* dstRow = dstPixels + static_cast<std::ptrdiff_t>(place.y + y) * to->pitch +
                               static_cast<std::ptrdiff_t>(place.x) * bytes;
        if (y > y0 && sy == previousRow) { // the same source row again: copy the row just made
            std::memcpy(dstRow + static_cast<std::ptrdiff_t>(x0) * bytes,
                        dstRow - to->pitch + static_cast<std::ptrdiff_t>(x0) * bytes,
                        static_cast<std::size_t>(x1 - x0) * bytes);
            continue;
        }
        previousRow = sy;
        for (int x = x0; x < x1; ++x)
            std::memcpy(dstRow + static_cast<std::ptrdiff_t>(x) * bytes,
                        srcRow + static_cast<std::ptrdiff_t>(columns[static_cast<std::size_t>(x - x0)]) * bytes,
                        static_cast<std::size_t>(bytes));
    }
    return SDL_Rect{place.x + x0, place.y + y0, x1 - x0, y1 - y0};
}

// Copies `r` of the picture to (x, y) of `to`, converting its pixels.
void ConvertRect(RowConverter& converter, const FrontBuffer::View& view, const Rect& r, SDL_Surface* to, int x, int y)
{
    const int bytes = view.layout.BytesPerPixel();
    if (converter.Prepare(view.layout, to->format)) {
        for (int row = 0; row < r.Height(); ++row)
            converter.Row(view.pixels + (r.top + row) * view.pitch + static_cast<std::ptrdiff_t>(r.left) * bytes,
                          static_cast<std::uint8_t*>(to->pixels) + static_cast<std::ptrdiff_t>(y + row) * to->pitch +
                              static_cast<std::ptrdiff_t>(x) * 4,
                          r.Width());
        return;
    }
    const PixelLayout& l = view.layout;
    SDL_Surface* picture = SDL_CreateRGBSurfaceFrom(const_cast<std::uint8_t*>(view.pixels), view.width, view.height,
                                                    l.bitCount, static_cast<int>(view.pitch), l.red, l.green, l.blue,
                                                    l.alpha);
    if (picture == nullptr)
        return;
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    SDL_Rect from{r.left, r.top, r.Width(), r.Height()};
    SDL_Rect place{x, y, r.Width(), r.Height()};
    SDL_BlitSurface(picture, &from, to, &place);
    SDL_FreeSurface(picture);
}

} // namespace

// ---- back end ----

SdlVideo::~SdlVideo()
{
    if (started_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlVideo::Start()
{
    if (tried_)
        return started_;
    tried_ = true;
    // Windows are presented through the window system's own framebuffer, which updates only the
    // rectangles given; SDL would otherwise probe OpenGL for every window and may draw through it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    started_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (started_)
        presentEvent_ = SDL_RegisterEvents(1);
    return started_;
}

std::string SdlVideo::DriverName() const
{
    const char* name = started_ ? SDL_GetCurrentVideoDriver() : nullptr;
    return name != nullptr ? name : "";
}

std::vector<DisplayModeDesc> SdlVideo::DisplayModes() const
{
    static constexpr Size kSizes[] = {{320, 240}, {640, 480}, {800, 600}, {1024, 768},
                                      {1152, 864}, {1280, 960}, {1280, 1024}};
    static constexpr PixelLayout kLayouts[] = {kLayout565, kLayout888, kLayoutX888};
    std::vector<DisplayModeDesc> modes;
    for (const Size& size : kSizes)
        for (const PixelLayout& layout : kLayouts)
            modes.push_back({size.width, size.height, layout, 60});
    return modes;
}

PixelLayout SdlVideo::DesktopLayout() const
{
    SDL_DisplayMode mode;
    if (!started_ || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return {};
    if (SDL_ISPIXELFORMAT_INDEXED(mode.format))
        return kLayout8;
    int bpp = 0;
    PixelLayout layout;
    if (SDL_PixelFormatEnumToMasks(mode.format, &bpp, &layout.red, &layout.green, &layout.blue, &layout.alpha) != SDL_TRUE)
        return {};
    // SDL counts the bits that carry colour; a 4-byte pixel is a 32-bit desktop.
    layout.bitCount = SDL_BYTESPERPIXEL(mode.format) * 8;
    return layout;
}

std::unique_ptr<SdlWindow> SdlVideo::CreateWindow(const std::string& utf8Title, Size client)
{
    if (!Start())
        return nullptr;
    SDL_Window* window = SDL_CreateWindow(utf8Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          client.width, client.height, SDL_WINDOW_SHOWN);
    if (window == nullptr)
        return nullptr;
    return std::make_unique<SdlWindow>(*this, window, client);
}

// ---- window ----

SdlWindow::SdlWindow(SdlVideo& owner, SDL_Window* window, Size client)
    : owner_(owner), window_(window), windowId_(SDL_GetWindowID(window)), client_(client),
      uiThread_(std::this_thread::get_id()),
      converter_(std::make_unique<RowConverter>())
{
    Front().Reset(client.width, client.height, owner.DesktopLayout().Valid() ? owner.DesktopLayout() : kLayoutX888);
}

SdlWindow::~SdlWindow()
{
    SDL_FreeSurface(staging_);
    SDL_DestroyWindow(window_);
}

BackEnd& SdlWindow::Back() const
{
    return owner_;
}

void SdlWindow::SetFullScreen(bool on, int, int)
{
    {
        std::lock_guard guard(modeLock_);
        fullScreen_ = on;
        modePending_ = true;
    }
    if (std::this_thread::get_id() == uiThread_)
        ApplyFullScreen();
    else
        FrontChanged();
}

bool SdlWindow::FullScreen() const
{
    std::lock_guard guard(modeLock_);
    return fullScreen_;
}

void SdlWindow::FrontChanged()
{
    if (std::this_thread::get_id() == uiThread_ || wakePosted_.exchange(true))
        return;
    SDL_Event event{};
    event.type = owner_.PresentEventType();
    event.user.windowID = windowId_;
    SDL_PushEvent(&event);
}

void SdlWindow::ApplyFullScreen()
{
    bool on = false;
    {
        std::lock_guard guard(modeLock_);
        if (!modePending_)
            return;
        modePending_ = false;
        if (fullScreen_ == fullScreenShown_)
            return;
        on = fullScreenShown_ = fullScreen_;
    }
    // Full screen is a borderless window over the whole desktop in its own mode: that needs no
    // mode switch and no window manager's cooperation (a bare X server has none).
    if (on) {
        SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
        SDL_Rect bounds{0, 0, client_.width, client_.height};
        SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &bounds);
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
        SDL_RaiseWindow(window_);
    } else {
        SDL_SetWindowSize(window_, client_.width, client_.height);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
    }
    repaint_ = true;
}

bool SdlWindow::HandleEvent(const SDL_Event& event)
{
    if (event.type == owner_.PresentEventType())
        return true;
    if (event.type == SDL_QUIT) {
        closeRequested_ = true;
        return true;
    }
    if (event.type != SDL_WINDOWEVENT || event.window.windowID != windowId_)
        return false;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        closeRequested_ = true;
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
        repaint_ = true;
        break;
    default:
        break;
    }
    return true;
}

bool SdlWindow::ProcessEvents(int timeoutMs)
{
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeoutMs) != 0) {
        HandleEvent(event);
        while (SDL_PollEvent(&event) != 0)
            HandleEvent(event);
    }
    Present();
    return !closeRequested_;
}

bool SdlWindow::Present()
{
    wakePosted_ = false;
    ApplyFullScreen();
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr)
        return false;
    if (repaint_) {
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        Front().MarkAllPending();
    }
    if (!Draw(target))
        return false;
    ++presented_;
    return true;
}

// Copies the pending rectangles into `target`, then updates those parts of the window.
bool SdlWindow::Draw(SDL_Surface* target)
{
    std::vector<Rect> rects;
    SDL_Rect place{};
    bool scaled = false;
    const bool taken = Front().TakePending([&](const FrontBuffer::View& view, std::span<const Rect> pending) {
        rects.assign(pending.begin(), pending.end());
        place = FitRect(view.width, view.height, target->w, target->h);
        scaled = place.w != view.width || place.h != view.height;
        if (scaled && (staging_ == nullptr || staging_->w != view.width || staging_->h != view.height ||
                       staging_->format->format != target->format->format)) {
            SDL_FreeSurface(staging_);
            staging_ = SDL_CreateRGBSurfaceWithFormat(0, view.width, view.height, 32, target->format->format);
            rects.assign(1, Rect{0, 0, view.width, view.height});
        }
        if (scaled && staging_ == nullptr)
            return;
        for (const Rect& r : rects) {
            if (scaled)
                ConvertRect(*converter_, view, r, staging_, r.left, r.top);
            else
                ConvertRect(*converter_, view, r, target, place.x + r.left, place.y + r.top);
        }
    });
    if (!taken)
        return false;
    std::vector<SDL_Rect> updates;
    for (const Rect& r : rects) {
        if (!scaled)
            updates.push_back(SDL_Rect{place.x + r.left, place.y + r.top, r.Width(), r.Height()});
        else if (staging_ != nullptr)
            updates.push_back(ScaleRect(staging_, target, place, r));
    }
    if (repaint_)
        updates.assign(1, SDL_Rect{0, 0, target->w, target->h});
    repaint_ = false;
    return SDL_UpdateWindowSurfaceRects(window_, updates.data(), static_cast<int>(updates.size())) == 0;
}

std::uint32_t SdlWindow::ShownPixel(int x, int y) const
{
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr || x < 0 || y < 0 || x >= target->w || y >= target->h)
        return 0;
    const int bytes = target->format->BytesPerPixel;
    const auto* p = static_cast<const std::uint8_t*>(target->pixels) + static_cast<std::ptrdiff_t>(y) * target->pitch +
                    static_cast<std::ptrdiff_t>(x) * bytes;
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    SDL_GetRGB(ReadPixel(p, bytes), target->format, &r, &g, &b);
    return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

Size SdlWindow::DesktopSize() const
{
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0)
        return client_;
    return {mode.w, mode.h};
}

Size SdlWindow::ShownSize() const
{
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    return target != nullptr ? Size{target->w, target->h} : Size{};
}

Point SdlWindow::ScreenPosition() const
{
    Point p;
    SDL_GetWindowPosition(window_, &p.x, &p.y);
    return p;
}

} // namespace video

// Surface, Clipper and Palette of the video service: pictures in our own memory, blits, colour keys, flips and loss.
#include "platform/video/VideoSurface.h"

#include "platform/video/DeviceCore.h"
#include "platform/video/VideoBackEnd.h"

#include <algorithm>
#include <cstring>

namespace video {

namespace {

std::atomic<int> nextSurfaceId{1};

void StorePixel(std::uint8_t* p, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i, value >>= 8)
        p[i] = static_cast<std::uint8_t>(value);
}

// Fills `r` of `s` with the low bytes of `value`: the first row pixel by pixel, the others as copies of it.
void FillRect(Storage& s, const Rect& r, std::uint32_t value)
{
    std::uint8_t* first = s.At(r.left, r.top);
    for (int x = 0; x < r.Width(); ++x)
        StorePixel(first + static_cast<std::ptrdiff_t>(x) * s.bytes, value, s.bytes);
    const std::size_t rowBytes = static_cast<std::size_t>(r.Width()) * s.bytes;
    for (int y = r.top + 1; y < r.bottom; ++y)
        std::memcpy(s.At(r.left, y), first, rowBytes);
}

// Copies rows of `rowBytes` between buffers that may be the same one.
void CopyRows(std::uint8_t* dst, std::ptrdiff_t dstPitch, const std::uint8_t* src, std::ptrdiff_t srcPitch,
              std::size_t rowBytes, int rows)
{
    if (dst > src) { // overlapping with the destination below: go bottom up
        dst += (rows - 1) * dstPitch;
        src += (rows - 1) * srcPitch;
        dstPitch = -dstPitch;
        srcPitch = -srcPitch;
    }
    for (int y = 0; y < rows; ++y, dst += dstPitch, src += srcPitch)
        std::memmove(dst, src, rowBytes);
}

// Copies pixels whose value lies outside low..high.
void CopyKeyedRows(std::uint8_t* dst, std::ptrdiff_t dstPitch, const std::uint8_t* src, std::ptrdiff_t srcPitch,
                   int width, int rows, int bytes, std::uint32_t low, std::uint32_t high)
{
    for (int y = 0; y < rows; ++y, dst += dstPitch, src += srcPitch)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* s = src + static_cast<std::ptrdiff_t>(x) * bytes;
            const std::uint32_t v = ReadPixel(s, bytes);
            if (v < low || v > high)
                std::memcpy(dst + static_cast<std::ptrdiff_t>(x) * bytes, s, static_cast<std::size_t>(bytes));
        }
}

} // namespace

// ---- device state, storage, flip chain ----

PixelLayout DeviceCore::DisplayLayout() const
{
    return exclusive && modeSet ? modeLayout : backEnd.DesktopLayout();
}

bool DeviceCore::TakeVideoMemory(std::uint64_t bytes)
{
    const std::uint64_t budget = backEnd.VideoMemoryBytes();
    if (videoUsed > budget || bytes > budget - videoUsed)
        return false;
    videoUsed += bytes;
    return true;
}

void DeviceCore::GiveVideoMemory(std::uint64_t bytes)
{
    videoUsed -= std::min(bytes, videoUsed);
}

std::uint64_t PictureBytes(int width, int height, const PixelLayout& layout)
{
    constexpr std::uint64_t kMaxSide = 1 << 15;
    if (width <= 0 || height <= 0 || !layout.Valid() || static_cast<std::uint64_t>(width) > kMaxSide ||
        static_cast<std::uint64_t>(height) > kMaxSide)
        return 0;
    const std::uint64_t pitch = (static_cast<std::uint64_t>(width) * layout.BytesPerPixel() + 15) & ~std::uint64_t{15};
    return pitch * static_cast<std::uint64_t>(height);
}

Storage::Storage(int width, int height, const PixelLayout& layout)
    : width(width), height(height), layout(layout), bytes(layout.BytesPerPixel()),
      pitch((static_cast<std::ptrdiff_t>(width) * layout.BytesPerPixel() + 15) & ~std::ptrdiff_t{15}),
      pixels(static_cast<std::size_t>(pitch) * height, 0)
{
}

FlipChain::FlipChain(std::shared_ptr<DeviceCore> core, int count, Size size, const PixelLayout& layout, bool windowed)
    : core(std::move(core)), windowed(windowed)
{
    buffers.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        buffers.emplace_back(size.width, size.height, layout);
    stale.resize(static_cast<std::size_t>(count));
}

FlipChain::~FlipChain()
{
    core->GiveVideoMemory(videoBytes);
}

Rect FlipChain::Publish(int index, const Rect& r)
{
    VideoWindow* window = core->window;
    const Point origin = windowed ? window->ClientOrigin() : Point{};
    const Size client = windowed ? window->ClientSize() : Size{buffers[0].width, buffers[0].height};
    const Rect shown = Intersect(r, Rect{origin.x, origin.y, origin.x + client.width, origin.y + client.height});
    if (shown.Empty())
        return {};
    Storage& s = buffers[static_cast<std::size_t>(index)];
    const Rect changed =
        window->Front().Publish(shown.Offset(-origin.x, -origin.y), s.At(shown.left, shown.top), s.pitch);
    return changed.Empty() ? Rect{} : changed.Offset(origin.x, origin.y);
}

void FlipChain::NoteScreenChange(const Rect& changed)
{
    for (int i = 0; i < Count(); ++i)
        if (i != visible)
            stale[static_cast<std::size_t>(i)].Add(changed);
}

void FlipChain::Written(int index, const Rect& r)
{
    if (index != visible) {
        stale[static_cast<std::size_t>(index)].Add(r);
        return;
    }
    NoteScreenChange(Publish(index, r));
    core->window->FrontChanged();
}

void FlipChain::Advance()
{
    visible = (visible + 1) % Count();
    RectList shown;
    std::swap(shown, stale[static_cast<std::size_t>(visible)]);
    for (const Rect& r : shown.Rects())
        NoteScreenChange(Publish(visible, r));
    core->window->FrontChanged();
}

void FlipChain::Renew(std::uint8_t fill)
{
    for (int i = 0; i < Count(); ++i) {
        Storage& s = buffers[static_cast<std::size_t>(i)];
        std::fill(s.pixels.begin(), s.pixels.end(), fill);
        stale[static_cast<std::size_t>(i)].Clear();
        Written(i, s.Bounds());
    }
}

// ---- clipper and palette ----

void Clipper::SetClipList(std::span<const Rect> rects)
{
    list_.assign(rects.begin(), rects.end());
    window_ = nullptr;
}

void Clipper::SetWindow(VideoWindow* window)
{
    window_ = window;
    list_.clear();
}

std::vector<Rect> Clipper::ClipRects() const
{
    if (window_ == nullptr)
        return list_;
    const Point o = window_->ClientOrigin();
    const Size s = window_->ClientSize();
    return {Rect{o.x, o.y, o.x + s.width, o.y + s.height}};
}

Palette::Palette(std::span<const std::uint32_t, 256> entries)
{
    std::copy(entries.begin(), entries.end(), this->entries.begin());
}

// ---- surface ----

Surface::Surface(std::shared_ptr<DeviceCore> core, std::unique_ptr<Storage> storage, bool videoMemory)
    : core_(std::move(core)), own_(std::move(storage)), videoMemory_(videoMemory), id_(nextSurfaceId++)
{
    core_->backEnd.Register(this);
}

Surface::Surface(std::shared_ptr<DeviceCore> core, std::shared_ptr<FlipChain> chain, int role)
    : core_(std::move(core)), chain_(std::move(chain)), role_(role), videoMemory_(true), id_(nextSurfaceId++)
{
    core_->backEnd.Register(this);
}

Surface::~Surface()
{
    core_->backEnd.Unregister(this);
    if (locked_ && chain_)
        --chain_->locks;
    if (own_ && videoMemory_)
        core_->GiveVideoMemory(PictureBytes(own_->width, own_->height, own_->layout));
}

Storage& Surface::Buffer() const
{
    return own_ ? *own_ : chain_->buffers[static_cast<std::size_t>(BufferIndex())];
}

int Surface::BufferIndex() const
{
    return chain_ ? (chain_->visible + role_) % chain_->Count() : -1;
}

bool Surface::Lost() const
{
    return chain_ ? chain_->lost : lost_;
}

Result Surface::Usable() const
{
    if (core_->released)
        return Result::Released;
    if (Lost())
        return Result::SurfaceLost;
    return locked_ ? Result::Busy : Result::Ok;
}

void Surface::Written(const Rect& r)
{
    if (chain_)
        chain_->Written(BufferIndex(), r);
}

void Surface::Log(LogEntry::Kind kind, const Rect& dst, const Surface* src, const Rect& srcRect, Result result) const
{
    LogEntry entry;
    entry.kind = kind;
    entry.surface = id_;
    entry.buffer = BufferIndex();
    entry.dst = dst;
    entry.source = src != nullptr ? src->id_ : 0;
    entry.src = srcRect;
    entry.result = result;
    core_->backEnd.Record(entry);
}

Result Surface::GetDesc(SurfaceDesc& desc) const
{
    if (core_->released)
        return Result::Released;
    const Storage& s = Buffer();
    desc.kind = !chain_ ? SurfaceDesc::OffScreen : role_ == 0 ? SurfaceDesc::Primary : SurfaceDesc::BackBuffer;
    desc.width = s.width;
    desc.height = s.height;
    desc.layout = s.layout;
    desc.videoMemory = videoMemory_;
    desc.backBufferCount = chain_ ? chain_->Count() - 1 : 0;
    return Result::Ok;
}

Result Surface::Lock(LockedView& view)
{
    const Result result = Usable();
    Log(LogEntry::Lock, Buffer().Bounds(), nullptr, {}, result);
    if (result != Result::Ok)
        return result;
    Storage& s = Buffer();
    view.bits = s.pixels.data();
    view.pitch = s.pitch;
    locked_ = true;
    if (chain_)
        ++chain_->locks;
    return Result::Ok;
}

Result Surface::Unlock()
{
    if (!locked_)
        return Result::NotLocked;
    locked_ = false;
    if (chain_)
        --chain_->locks;
    if (core_->released)
        return Result::Released;
    // The caller may have written anywhere.
    Written(Buffer().Bounds());
    return Result::Ok;
}

Result Surface::IsLost() const
{
    if (core_->released)
        return Result::SurfaceLost;
    return Lost() ? Result::SurfaceLost : Result::Ok;
}

Result Surface::Restore()
{
    if (core_->released)
        return Result::Released;
    if (!Lost())
        return Result::Ok;
    if (!core_->backEnd.CanRestore()) {
        Log(LogEntry::Restore, Buffer().Bounds(), nullptr, {}, Result::WrongMode);
        return Result::WrongMode;
    }
    const std::uint8_t fill = core_->backEnd.RestoreFill();
    if (chain_) {
        chain_->lost = false;
        chain_->Renew(fill);
    } else {
        lost_ = false;
        std::fill(own_->pixels.begin(), own_->pixels.end(), fill);
    }
    Log(LogEntry::Restore, Buffer().Bounds(), nullptr, {}, Result::Ok);
    return Result::Ok;
}

void Surface::Lose(LossScope scope)
{
    const bool primary = static_cast<bool>(chain_);
    const bool taken = scope == LossScope::All || primary || (scope == LossScope::VideoMemory && videoMemory_);
    if (!taken)
        return;
    if (chain_)
        chain_->lost = true;
    else
        lost_ = true;
}

// The parts of `dst` a blit may write: trimmed by the clipper, or all of it when it lies inside
// the surface and there is no clipper.
Result Surface::ClipTargets(const Rect& dst, std::vector<Rect>& pieces) const
{
    const Rect bounds = Buffer().Bounds();
    if (!clipper_) {
        if (!bounds.Contains(dst) || dst.Empty())
            return Result::InvalidRect;
        pieces.push_back(dst);
        return Result::Ok;
    }
    for (const Rect& c : clipper_->ClipRects()) {
        const Rect piece = Intersect(Intersect(dst, c), bounds);
        if (!piece.Empty())
            pieces.push_back(piece);
    }
    return Result::Ok;
}

Result Surface::Blt(const Rect* dstRect, Surface* src, const Rect* srcRect, unsigned flags, std::uint32_t fill)
{
    Storage& d = Buffer();
    const Rect dst = dstRect != nullptr ? *dstRect : d.Bounds();
    const bool filling = (flags & kBltColorFill) != 0;
    Rect from;
    const auto finish = [&](Result result) {
        Log(filling ? LogEntry::Fill : LogEntry::Blt, dst, filling ? nullptr : src, from, result);
        return result;
    };
    if (const Result r = Usable(); r != Result::Ok)
        return finish(r);
    std::vector<Rect> pieces;
    if (filling) {
        if (const Result r = ClipTargets(dst, pieces); r != Result::Ok)
            return finish(r);
        for (const Rect& piece : pieces) {
            FillRect(d, piece, fill);
            Written(piece);
        }
        return finish(Result::Ok);
    }
    if (src == nullptr)
        return finish(Result::Failed);
    if (const Result r = src->Usable(); r != Result::Ok)
        return finish(r == Result::Busy ? Result::Busy : r);
    Storage& s = src->Buffer();
    from = srcRect != nullptr ? *srcRect : s.Bounds();
    if (from.Empty() || !s.Bounds().Contains(from) || from.Width() != dst.Width() || from.Height() != dst.Height())
        return finish(Result::InvalidRect);
    if (!(s.layout == d.layout))
        return finish(Result::InvalidFormat);
    const bool keyed = (flags & kBltKeySrc) != 0;
    if (keyed && !src->colorKey_)
        return finish(Result::NoColorKey);
    if (const Result r = ClipTargets(dst, pieces); r != Result::Ok)
        return finish(r);
    for (const Rect& piece : pieces) {
        const int sx = from.left + piece.left - dst.left;
        const int sy = from.top + piece.top - dst.top;
        if (keyed) {
            // A keyed copy within one buffer reads from a copy of it.
            std::optional<Storage> copy;
            if (&s == &d)
                copy.emplace(s);
            Storage& source = copy ? *copy : s;
            CopyKeyedRows(d.At(piece.left, piece.top), d.pitch, source.At(sx, sy), source.pitch, piece.Width(),
                          piece.Height(), d.bytes, src->colorKey_->first, src->colorKey_->second);
        } else {
            CopyRows(d.At(piece.left, piece.top), d.pitch, s.At(sx, sy), s.pitch,
                     static_cast<std::size_t>(piece.Width()) * d.bytes, piece.Height());
        }
        Written(piece);
    }
    return finish(Result::Ok);
}

Result Surface::BltFast(int x, int y, Surface& src, const Rect& srcRect)
{
    Storage& d = Buffer();
    const Rect dst{x, y, x + srcRect.Width(), y + srcRect.Height()};
    const auto finish = [&](Result result) {
        Log(LogEntry::BltFast, dst, &src, srcRect, result);
        return result;
    };
    if (const Result r = Usable(); r != Result::Ok)
        return finish(r);
    if (const Result r = src.Usable(); r != Result::Ok)
        return finish(r);
    Storage& s = src.Buffer();
    if (srcRect.Empty() || !s.Bounds().Contains(srcRect) || !d.Bounds().Contains(dst))
        return finish(Result::InvalidRect);
    if (!(s.layout == d.layout))
        return finish(Result::InvalidFormat);
    CopyRows(d.At(dst.left, dst.top), d.pitch, s.At(srcRect.left, srcRect.top), s.pitch,
             static_cast<std::size_t>(dst.Width()) * d.bytes, dst.Height());
    Written(dst);
    return finish(Result::Ok);
}

Result Surface::Flip(unsigned)
{
    Result result = core_->released ? Result::Released : Lost() ? Result::SurfaceLost : Result::Ok;
    if (result == Result::Ok && (!chain_ || role_ != 0 || chain_->Count() < 2))
        result = Result::NoFlipChain;
    if (result == Result::Ok && chain_->locks > 0)
        result = Result::Busy;
    if (result == Result::Ok)
        chain_->Advance();
    Log(LogEntry::Flip, {}, nullptr, {}, result);
    return result;
}

Result Surface::GetFlipStatus() const
{
    if (const Result r = IsLost(); r != Result::Ok)
        return r;
    return chain_ && role_ == 0 && chain_->Count() >= 2 ? Result::Ok : Result::NoFlipChain;
}

Result Surface::GetBltStatus() const
{
    return IsLost();
}

Result Surface::GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer)
{
    backBuffer.reset();
    if (core_->released)
        return Result::Released;
    if (!chain_ || role_ != 0 || chain_->Count() < 2)
        return Result::NoFlipChain;
    backBuffer = chain_->backView.lock();
    if (!backBuffer) {
        backBuffer = std::make_shared<Surface>(core_, chain_, 1);
        chain_->backView = backBuffer;
    }
    return Result::Ok;
}

void Surface::SetColorKey(std::uint32_t low, std::uint32_t high)
{
    colorKey_ = std::make_pair(low, high);
}

void Surface::ClearColorKey()
{
    colorKey_.reset();
}

void Surface::SetClipper(std::shared_ptr<Clipper> clipper)
{
    clipper_ = std::move(clipper);
}

std::shared_ptr<Clipper> Surface::GetClipper() const
{
    return clipper_;
}

Result Surface::SetPalette(std::shared_ptr<Palette> palette)
{
    if (palette && !Buffer().layout.Palettised())
        return Result::InvalidFormat;
    palette_ = std::move(palette);
    return Result::Ok;
}

std::shared_ptr<Palette> Surface::GetPalette() const
{
    return palette_;
}

} // namespace video

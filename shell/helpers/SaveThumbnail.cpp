#include "shell/helpers/SaveThumbnail.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/helpers/AreaReduce.h"
#include "shell/helpers/RegistryHold.h"

namespace {

RegistryHold<TXeRGBBits> MakeBits24(int width, int height)
{
    RegistryHold<TXeRGBBits> bits = MakeRegistered<TXeRGBBits>();
    if (!bits)
        return bits;
    bits.get()->SetBitDepth(bd24);
    if (!bits.get()->Resize(width, height) || !bits.get()->Create())
        return RegistryHold<TXeRGBBits>(nullptr);
    return bits;
}

// Reduces a 24-bit or 32-bit bitmap, whose pixels begin with blue, green and red bytes, into the
// 24-bit thumbnail.
bool Reduce(TXeRGBBits* from, TXeRGBBits* to)
{
    if (!from->Lock())
        return false;
    bool done = false;
    if (to->Lock()) {
        const auto reduce = from->PixFormat() == pf24_888 ? ReduceRect24 : ReduceRect32To24;
        done = reduce(from->Bits(), from->Width(), from->Height(), from->Pitch(), to->Bits(), to->Width(), to->Height(),
                      to->Pitch());
        to->Unlock();
    }
    from->Unlock();
    return done;
}

bool HasColourBytesFirst(const TXeRGBBits* bits)
{
    const TPixFormat format = bits->PixFormat();
    return format == pf24_888 || format == pf32_888 || format == pf32_8888;
}

} // namespace

TXeRGBBits* MakeSaveThumbnail(TXeRGBBits* screen)
{
    if (screen == nullptr || !screen->Created())
        return nullptr;
    RegistryHold<TXeRGBBits> thumbnail = MakeBits24(kThumbnailWidth, kThumbnailHeight);
    if (!thumbnail)
        return nullptr;
    // Screens of 24 or 32 bits are read as they are; others are converted to 24 bits first.
    if (HasColourBytesFirst(screen))
        return Reduce(screen, thumbnail.get()) ? thumbnail.release() : nullptr;
    const RegistryHold<TXeRGBBits> copy = MakeBits24(screen->Width(), screen->Height());
    if (!copy || !copy.get()->ConvertCopy(0, 0, screen, 0, 0, screen->Width(), screen->Height()))
        return nullptr;
    return Reduce(copy.get(), thumbnail.get()) ? thumbnail.release() : nullptr;
}

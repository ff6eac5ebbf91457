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

// The reduction of one locked 24-bit bitmap into another.
bool Reduce(TXeRGBBits* from, TXeRGBBits* to)
{
    if (!from->Lock())
        return false;
    bool done = false;
    if (to->Lock()) {
        done = ReduceRect24(from->Bits(), from->Width(), from->Height(), from->Pitch(), to->Bits(), to->Width(),
                            to->Height(), to->Pitch());
        to->Unlock();
    }
    from->Unlock();
    return done;
}

} // namespace

TXeRGBBits* MakeSaveThumbnail(TXeRGBBits* screen)
{
    if (screen == nullptr || !screen->Created())
        return nullptr;
    const RegistryHold<TXeRGBBits> copy = MakeBits24(screen->Width(), screen->Height());
    RegistryHold<TXeRGBBits> thumbnail = MakeBits24(kThumbnailWidth, kThumbnailHeight);
    if (!copy || !thumbnail)
        return nullptr;
    if (!copy.get()->ConvertCopy(0, 0, screen, 0, 0, screen->Width(), screen->Height()))
        return nullptr;
    if (!Reduce(copy.get(), thumbnail.get()))
        return nullptr;
    return thumbnail.release();
}

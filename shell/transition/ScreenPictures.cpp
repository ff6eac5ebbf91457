#include "shell/transition/ScreenPictures.h"

#include "graphics/bitmaps/TXeRGBBits.h"

namespace ScreenPictures {

bool IsScreenPicture(const TXeRGBBits* bits)
{
    return bits != nullptr && bits->Created() && bits->Width() == kWidth && bits->Height() == kHeight;
}

void ShowWhole(TXeRGBBits* dest, TXeRGBBits* picture)
{
    if (ChkFormatCompatible(dest->PixFormat(), picture->PixFormat()))
        dest->Draw(0, 0, picture, 0, 0, kWidth, kHeight);
    else
        dest->ConvertCopy(0, 0, picture, 0, 0, kWidth, kHeight);
}

int PixelBytes(const TXeRGBBits* bits)
{
    return PixFormatBytes(bits->PixFormat());
}

LockedPixels::LockedPixels(TXeRGBBits* bits) : picture_(bits), locked_(bits->Lock())
{
    if (!locked_)
        return;
    bits_ = bits->Bits();
    pitch_ = bits->Pitch();
    bytes_ = PixelBytes(bits);
}

LockedPixels::~LockedPixels()
{
    if (locked_)
        picture_->Unlock();
}

} // namespace ScreenPictures

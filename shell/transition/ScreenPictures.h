// ScreenPictures: what the transitions ask of their 640 x 480 pictures: whether one is usable, showing
// one whole in a destination of any pixel format, and raw pixel access for the row kernels.
#pragma once

#include <cstddef>
#include <cstdint>

class TXeRGBBits;

namespace ScreenPictures {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;

// The picture exists with pixels and is 640 x 480.
bool IsScreenPicture(const TXeRGBBits* bits);
// Copies the whole picture into the destination, converting when their pixel formats differ.
void ShowWhole(TXeRGBBits* dest, TXeRGBBits* picture);
// Bytes per pixel of the picture's format (0 without one).
int PixelBytes(const TXeRGBBits* bits);

// A picture locked for raw access for the scope; Ok() is false when it could not be locked.
class LockedPixels {
public:
    explicit LockedPixels(TXeRGBBits* bits);
    ~LockedPixels();
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;

    bool Ok() const { return locked_; }
    int Pitch() const { return pitch_; }
    // The first byte of pixel (x, y).
    std::uint8_t* At(int x, int y) const { return bits_ + static_cast<std::ptrdiff_t>(y) * pitch_ + x * bytes_; }

private:
    TXeRGBBits* picture_;
    bool locked_;
    std::uint8_t* bits_ = nullptr;
    int pitch_ = 0;
    int bytes_ = 0;
};

} // namespace ScreenPictures

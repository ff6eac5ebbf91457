// MovieHost: what the movie player asks of the main form: the movie surface, the sound device and
// the music volume, the silence buffer, the frame locks, the movie-draw hook, the logic thread's
// result, the display listener and the millisecond clock. GameFormMovieHost is the form's own;
// tests use a recording one.
#pragma once

#include <cstdint>
#include <functional>

class TXeRGBBits;
namespace DirectX {
class TDSound;
}

class MovieHost {
public:
    // Told false when the display is about to go away, true once it is back.
    using DisplayListener = std::function<void(bool restored)>;
    using MovieDraw = std::function<void(TXeRGBBits* backSurface)>;

    virtual ~MovieHost() = default;

    // A new 640 x 480 surface of the display: 32 bits (pf32_888) when the display has 4 bytes a
    // pixel, else 24 bits (pf24_888); null when it cannot be made. Freed with DeleteMovieSurface.
    virtual TXeRGBBits* CreateMovieSurface() = 0;
    virtual void DeleteMovieSurface(TXeRGBBits* surface) = 0;
    // The device a movie's sound plays on; null when there is none.
    virtual DirectX::TDSound* SoundDevice() = 0;
    // The player's music volume, 0 to 100.
    virtual int BgmVolume() = 0;
    // Plays the form's silence buffer once.
    virtual void PlayMute() = 0;
    // Takes the draw guard (without waiting) and then the display lock; false, holding neither,
    // when another thread draws. UnlockFrame gives both back.
    virtual bool TryLockFrame() = 0;
    virtual void UnlockFrame() = 0;
    // The movie-draw hook (empty: none) and the form's movie frame, which calls it.
    virtual void SetOnMovieDraw(MovieDraw hook) = 0;
    virtual void DrawMovie() = 0;
    // Hands a result to the running logic thread.
    virtual void SetThreadResult(int value) = 0;
    // Adds or removes (empty) the one display listener of the movie player.
    virtual void SetDisplayListener(DisplayListener listener) = 0;
    // The millisecond clock movies without sound run on.
    virtual std::uint32_t TickCount() = 0;
};

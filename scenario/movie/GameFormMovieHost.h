// GameFormMovieHost: the movie player's host over the main form: its display, sound channels,
// locks, movie-draw hook and clock, the logic thread's result and the memory registry.
#pragma once

#include "scenario/movie/MovieHost.h"

class TGameForm;

class GameFormMovieHost final : public MovieHost {
public:
    explicit GameFormMovieHost(TGameForm& form) : form_(form) {}
    // Takes its listener off the form's display listeners.
    ~GameFormMovieHost() override;

    TXeRGBBits* CreateMovieSurface() override;
    void DeleteMovieSurface(TXeRGBBits* surface) override;
    DirectX::TDSound* SoundDevice() override;
    int BgmVolume() override;
    void PlayMute() override;
    bool TryLockFrame() override;
    void UnlockFrame() override;
    void SetOnMovieDraw(MovieDraw hook) override;
    void DrawMovie() override;
    void SetThreadResult(int value) override;
    void SetDisplayListener(DisplayListener listener) override;
    std::uint32_t TickCount() override;

    // The listener the movie player set (empty: none); it is one of the form's display listeners,
    // which the window and full-screen switch tells before and after.
    const DisplayListener& Listener() const { return listener_; }

private:
    TGameForm& form_;
    DisplayListener listener_;
};

// GameFormMovieHost: the movie player's host over the main form.
#include "scenario/movie/GameFormMovieHost.h"

#include "base/memory/TMemMan.h"
#include "base/util/TXeCriticalSection.h"
#include "graphics/display/TDDraw.h"
#include "graphics/display/TDSurface.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/sound/GameSoundChannels.h"
#include "shell/thread/TMainThread.h"

#include <memory>

TXeRGBBits* GameFormMovieHost::CreateMovieSurface()
{
    DirectX::TDDraw* display = form_.Display();
    if (display == nullptr || !display->Enabled())
        return nullptr;
    const bool deep = display->BitDepth() == bd32;
    DirectX::TDSurface* surface = display->CreateSurface(deep ? bd32 : bd24, deep ? pf32_888 : pf24_888,
                                                         TGameForm::kScreenWidth, TGameForm::kScreenHeight, false);
    if (surface != nullptr && MemMan != nullptr)
        MemMan->AddPtr(surface);
    return surface;
}

void GameFormMovieHost::DeleteMovieSurface(TXeRGBBits* surface)
{
    auto* owned = static_cast<DirectX::TDSurface*>(surface);
    if (MemMan != nullptr)
        MemMan->Delete(owned);
    else
        std::unique_ptr<DirectX::TDSurface> unregistered(owned); // owned by the display as a component
}

DirectX::TDSound* GameFormMovieHost::SoundDevice() { return form_.SoundDevice(); }

int GameFormMovieHost::BgmVolume()
{
    const GameSoundChannels* channels = form_.SoundChannels();
    return channels != nullptr ? channels->GetBGMVolume() : form_.BgmVolume();
}

void GameFormMovieHost::PlayMute()
{
    if (GameSoundChannels* channels = form_.SoundChannels())
        channels->PlayMute();
}

bool GameFormMovieHost::TryLockFrame()
{
    TXeCriticalSection* guard = form_.DrawGuard();
    if (guard == nullptr || !guard->Check())
        return false;
    form_.DisplayLock()->Acquire();
    return true;
}

void GameFormMovieHost::UnlockFrame()
{
    form_.DisplayLock()->Release();
    form_.DrawGuard()->Release();
}

void GameFormMovieHost::SetOnMovieDraw(MovieDraw hook)
{
    if (!hook) {
        form_.SetOnMovieDraw(nullptr);
        return;
    }
    form_.SetOnMovieDraw([hook = std::move(hook)](DirectX::TDSurface* back) { hook(back); });
}

void GameFormMovieHost::DrawMovie() { form_.DrawMovie(); }

void GameFormMovieHost::SetThreadResult(int value) { ::SetThreadResult(value); }

GameFormMovieHost::~GameFormMovieHost()
{
    form_.RemoveDisplayListener(this);
}

void GameFormMovieHost::SetDisplayListener(DisplayListener listener)
{
    listener_ = std::move(listener);
    form_.RemoveDisplayListener(this);
    if (listener_)
        form_.AddDisplayListener(this, [listener = listener_](DirectX::TDDraw*, bool before) { listener(!before); });
}

std::uint32_t GameFormMovieHost::TickCount() { return form_.Services().tickCount(); }

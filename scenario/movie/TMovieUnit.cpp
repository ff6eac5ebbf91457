// TMovieUnit: the adventure's movie player.
#include "scenario/movie/TMovieUnit.h"

#include "platform/fs/FileSystem.h"
#include "platform/movie/MoviePlayer.h"
#include "scenario/movie/MovieHost.h"
#include "scenario/movie/MovieSound.h"
#include "shell/helpers/VolumeCurve.h"

#include <chrono>

namespace {

// How long Start waits for the first picture. Decoding one takes milliseconds; the bound only
// keeps a stalled machine from hanging the game.
constexpr auto kFirstFrameWait = std::chrono::seconds(5);

movie::PixelLayout LayoutOf(const TXeRGBBits& bits)
{
    return bits.BitDepth() == bd32 ? movie::PixelLayout::Bgrx32 : movie::PixelLayout::Bgr24;
}

// Holds the form's draw guard and display lock for one frame copy.
class FrameLock {
public:
    explicit FrameLock(MovieHost& host) : host_(host), held_(host.TryLockFrame()) {}
    ~FrameLock()
    {
        if (held_)
            host_.UnlockFrame();
    }
    FrameLock(const FrameLock&) = delete;
    FrameLock& operator=(const FrameLock&) = delete;
    bool Held() const { return held_; }

private:
    MovieHost& host_;
    bool held_;
};

} // namespace

TMovieUnit::TMovieUnit(TComponent* owner) : TComponent(owner) {}

TMovieUnit::~TMovieUnit() { Finalize(); }

bool TMovieUnit::Initialize(MovieHost& host, TFileMan* files, bool surfaceMode, int resultCode)
{
    Finalize();
    host_ = &host;
    files_ = files;
    surfaceMode_ = surfaceMode;
    resultCode_ = resultCode;
    panel_ = std::make_unique<TXeRGBPanel>(nullptr);
    panel_->Name = "MoviePanel";
    panel_->SetSizeX(kWidth);
    panel_->SetSizeY(kHeight);
    panel_->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        MoviePanelMouseDown(sender, button, shift, x, y);
    };
    if (surfaceMode_) {
        MakeSurface();
    } else {
        frameBits_ = std::make_unique<TXeRGBBits>(nullptr);
        frameBits_->SetBitDepth(bd32);
        frameBits_->Resize(kWidth, kHeight);
        frameBits_->Create();
        host_->SetOnMovieDraw([this](TXeRGBBits* back) { DrawHook(back); });
    }
    host_->SetDisplayListener([this](bool restored) { DisplayChanged(restored); });
    created_ = true;
    return true;
}

void TMovieUnit::Finalize()
{
    if (host_ == nullptr)
        return;
    Close();
    if (panel_ != nullptr) {
        panel_->SetParent(nullptr);
        panel_.reset();
    }
    if (surfaceMode_)
        DeleteSurface();
    else
        host_->SetOnMovieDraw(nullptr);
    frameBits_.reset();
    host_->SetDisplayListener(nullptr);
    host_ = nullptr;
    created_ = false;
}

bool TMovieUnit::MakeSurface()
{
    surface_ = host_->CreateMovieSurface();
    if (surface_ == nullptr)
        return false;
    surface_->Cls();
    if (panel_ != nullptr) {
        panel_->SetImage(surface_);
        panel_->SetMaskMode(mmNormal);
    }
    return true;
}

void TMovieUnit::DeleteSurface()
{
    if (surface_ == nullptr)
        return;
    if (panel_ != nullptr)
        panel_->SetImage(nullptr);
    host_->DeleteMovieSurface(surface_);
    surface_ = nullptr;
}

bool TMovieUnit::Play(const AnsiString& fileName)
{
    if (host_ == nullptr)
        return false;
    if (open_)
        Close();
    fileName_ = fileName;
    TXeRGBBits* target = surfaceMode_ ? surface_ : frameBits_.get();
    if (target == nullptr || !target->Created())
        return false;
    movie::OutputSpec spec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.layout = LayoutOf(*target);
    std::string error;
    player_ = movie::MoviePlayer::Open(FileSystem::NativePath(kMovieFolder + fileName).string(), spec, error);
    if (player_ == nullptr) {
        Close();
        return false;
    }
    sound_ = MovieSound::Create(host_->SoundDevice(), *player_, VolumeToAttenuation(host_->BgmVolume()));
    if (sound_ == nullptr)
        player_->DropAudio();
    open_ = true;
    return true;
}

void TMovieUnit::StartAt(std::int64_t timeMs)
{
    if (!open_)
        return;
    running_ = true;
    started_ = true;
    startMs_ = std::max<std::int64_t>(timeMs, 0);
    player_->Start(startMs_);
    const std::int64_t first = player_->WaitFirstFrame(kFirstFrameWait);
    if (first < 0) {
        Finish();
        return;
    }
    {
        FrameLock lock(*host_);
        if (lock.Held())
            if (const movie::Frame* frame = player_->TakeFrame(first))
                ShowFrame(*frame);
    }
    anchorMs_ = startMs_;
    anchorTick_ = host_->TickCount();
    if (sound_ != nullptr)
        sound_->Play();
}

std::size_t TMovieUnit::QueuedSoundBytes() const { return player_ != nullptr ? player_->QueuedAudioBytes() : 0; }

std::int64_t TMovieUnit::ClockMs()
{
    if (!open_ || !started_)
        return startMs_;
    const std::uint32_t tick = host_->TickCount();
    if (sound_ != nullptr && sound_->IsPlaying()) {
        anchorMs_ = startMs_ + movie::PcmBytesToMs(sound_->HeardBytes(), player_->Spec().pcm);
        anchorTick_ = tick;
        return anchorMs_;
    }
    return anchorMs_ + static_cast<std::uint32_t>(tick - anchorTick_);
}

void TMovieUnit::Update()
{
    if (!open_ || !running_)
        return;
    const std::int64_t clock = ClockMs();
    DropSilencedSound();
    {
        FrameLock lock(*host_);
        // With another drawer busy the picture waits in the queue for the next frame.
        if (!lock.Held())
            return;
        if (const movie::Frame* frame = player_->TakeFrame(clock))
            ShowFrame(*frame);
    }
    if (Ended(clock))
        Finish();
}

void TMovieUnit::DropSilencedSound()
{
    // A stream stops by itself only at the sound's end, when nothing is left to keep; before it,
    // the device was switched off or lost the stream. The clock goes on from the last position
    // heard on the host's clock, and the decoded sound nobody will hear is freed, not kept.
    if (sound_ == nullptr || sound_->IsPlaying())
        return;
    player_->DropAudio();
    sound_.reset();
}

void TMovieUnit::ShowFrame(const movie::Frame& frame)
{
    if (surfaceMode_) {
        if (surface_ == nullptr)
            return;
        surface_->XePutPat(0, 0, kWidth, kHeight, frame.pixels.data(), frame.pitch, false, 0);
        if (panel_ != nullptr)
            panel_->SetModify();
        return;
    }
    frameBits_->XePutPat(0, 0, kWidth, kHeight, frame.pixels.data(), frame.pitch, false, 0);
    host_->DrawMovie();
}

void TMovieUnit::DrawHook(TXeRGBBits* backSurface)
{
    if (backSurface != nullptr && frameBits_ != nullptr)
        backSurface->ConvertCopy(0, 0, frameBits_.get(), 0, 0, kWidth, kHeight);
}

bool TMovieUnit::Ended(std::int64_t clockMs)
{
    const bool picturesShown = player_->VideoEnded() && clockMs >= player_->LastFrameEndMs();
    return picturesShown && (sound_ == nullptr || sound_->Finished());
}

void TMovieUnit::Finish()
{
    if (sound_ != nullptr)
        sound_->Stop();
    running_ = false;
    if (resultCode_ >= 0 && host_ != nullptr)
        host_->SetThreadResult(resultCode_);
}

void TMovieUnit::Close()
{
    if (host_ == nullptr)
        return;
    host_->PlayMute();
    sound_.reset();
    player_.reset();
    open_ = false;
    started_ = false;
}

void TMovieUnit::DisplayChanged(bool restored)
{
    if (!restored) {
        if (open_) {
            interrupted_ = true;
            savedTime_ = ClockMs();
            if (sound_ != nullptr)
                sound_->Stop();
            Close();
        }
        if (surfaceMode_)
            DeleteSurface();
        return;
    }
    if (surfaceMode_ && surface_ == nullptr)
        MakeSurface();
    if (!interrupted_)
        return;
    interrupted_ = false;
    if (Play(fileName_))
        StartAt(savedTime_ < 0 ? 0 : savedTime_);
    else
        Finish();
}

void TMovieUnit::MoviePanelMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    if (running_)
        Finish();
}

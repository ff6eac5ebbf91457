#include "shell/sound/GameSoundChannels.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "platform/classes/Exception.h"
#include "shell/helpers/OpenedFile.h"
#include "shell/helpers/VolumeCurve.h"

#include <algorithm>
#include <cstdio>

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr int kMuteSeconds = 1;
// Volume points a glide moves per frame pulse.
constexpr std::int32_t kGlidePerPulse = 2;
// More pulses than this cross the whole 0 to 100 range anyway.
constexpr int kMaxGlidePulses = 50;

std::int32_t Scaled(std::int32_t volume, std::int32_t level)
{
    return static_cast<std::int32_t>(static_cast<std::int64_t>(volume) * level / 100);
}

// `value` moved toward `target` by at most `step`.
std::int32_t Toward(std::int32_t value, std::int32_t target, std::int32_t step)
{
    return value < target ? std::min(value + step, target) : std::max(value - step, target);
}

AnsiString TrackFileName(std::int32_t track)
{
    char name[32];
    std::snprintf(name, sizeof name, "Track%02d.bgm", static_cast<int>(track));
    return name;
}

bool ValidSlot(int slot)
{
    return slot == 0 || slot == 1;
}

} // namespace

GameSoundChannels::GameSoundChannels(TMemMan* registry, TFileMan* bgmFiles) : registry_(registry), bgmFiles_(bgmFiles)
{
}

GameSoundChannels::~GameSoundChannels()
{
    SetDevice(nullptr);
}

void GameSoundChannels::SetDevice(GameSoundDevice* device)
{
    const Lock lock(soundLock_);
    if (device == device_)
        return;
    ReleaseAll();
    device_ = device;
    if (device_ != nullptr)
        mute_ = Adopt(device_->CreateBufferMute(kMuteSeconds));
}

void GameSoundChannels::ReleaseAll()
{
    ReleaseRetired();
    ReleaseBGM(0);
    ReleaseBGM(1);
    bgmTrack_ = 0;
    bgmLoop_ = false;
    bgmFadeOutVolume_ = 0;
    ReleaseChannel(voice_);
    ReleaseChannel(se_);
    ReleaseChannel(rear_);
    rearFadingOut_ = false;
    ReleaseChannel(systemSE_);
    if (mute_ != nullptr) {
        mute_->Stop();
        registry_->Delete(mute_);
    }
}

void GameSoundChannels::EnterSoundThread()
{
    soundThread_ = std::this_thread::get_id();
    ReleaseRetired();
}

void GameSoundChannels::Retire(GameSound*& sound, TStream*& file)
{
    if (sound == nullptr)
        return;
    PlayMute();
    sound->Stop();
    retired_.push_back({sound, file});
    sound = nullptr;
    file = nullptr;
}

void GameSoundChannels::ReleaseRetired()
{
    for (BGMSlot& slot : retired_) {
        registry_->Delete(slot.stream);
        if (slot.file != nullptr)
            bgmFiles_->Close(slot.file);
    }
    retired_.clear();
}

GameSound* GameSoundChannels::Adopt(std::unique_ptr<GameSound> sound)
{
    if (sound == nullptr)
        return nullptr;
    GameSound* adopted = sound.release();
    registry_->AddPtr(adopted);
    return adopted;
}

void GameSoundChannels::ReleaseSound(GameSound*& sound)
{
    if (sound == nullptr)
        return;
    PlayMute();
    sound->Stop();
    registry_->Delete(sound);
}

void GameSoundChannels::ReleaseChannel(Channel& channel)
{
    ReleaseSound(channel.sound);
    channel.name.clear();
    channel.pair = {};
}

GameSound* GameSoundChannels::LoadWhole(const AnsiString& fileName, TFileMan* files)
{
    const OpenedFile file(files, fileName);
    if (file.get() == nullptr)
        return nullptr;
    try {
        return Adopt(device_->CreateBufferFromOgg(file.get()));
    } catch (const Exception&) {
        return nullptr;
    }
}

void GameSoundChannels::PlayMute()
{
    const Lock lock(soundLock_);
    if (mute_ != nullptr)
        mute_->Play(false);
}

// ---- background music ----

std::int32_t GameSoundChannels::BGMTarget() const
{
    return Scaled(bgmVolume_, bgmLevel_);
}

bool GameSoundChannels::PlayBGM(std::int32_t track, bool loop, bool fade)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (device_ == nullptr)
        return true;
    if (track == bgmTrack_ && loop == bgmLoop_)
        return true;
    RetireCurrentBGM(fade);
    bgmCurrentVolume_ = BGMTarget();
    const bool started = OpenBGMTrack(bgmCurrent_, track, loop, bgmCurrentVolume_);
    bgmTrack_ = started ? track : 0;
    bgmLoop_ = started && loop;
    return started;
}

void GameSoundChannels::RetireCurrentBGM(bool fade)
{
    if (bgm_[static_cast<std::size_t>(bgmCurrent_)].stream == nullptr)
        return;
    const int other = 1 - bgmCurrent_;
    if (bgm_[static_cast<std::size_t>(other)].stream != nullptr) {
        ReleaseBGM(other);
        bgmFadeOutVolume_ = 0;
    }
    bgmCurrent_ = other;
    const int retired = 1 - bgmCurrent_;
    if (fade && bgmCurrentVolume_ > 0) {
        bgmFadeOutVolume_ = bgmCurrentVolume_;
    } else {
        ReleaseBGM(retired);
        bgmFadeOutVolume_ = 0;
    }
}

void GameSoundChannels::StopBGM(bool fade)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (device_ == nullptr)
        return;
    RetireCurrentBGM(fade);
    bgmTrack_ = 0;
    bgmLoop_ = false;
}

bool GameSoundChannels::IsBGMPlaying()
{
    const Lock lock(soundLock_);
    GameSound* stream = bgm_[static_cast<std::size_t>(bgmCurrent_)].stream;
    return stream != nullptr && stream->IsPlay();
}

bool GameSoundChannels::OpenBGMTrack(int slot, std::int32_t track, bool loop, std::int32_t volume)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (device_ == nullptr)
        return true;
    if (!ValidSlot(slot) || bgmFiles_ == nullptr)
        return false;
    ReleaseBGM(slot);
    TStream* file = bgmFiles_->Open(TrackFileName(track));
    if (file == nullptr)
        return false;
    GameSound* stream = nullptr;
    try {
        stream = Adopt(device_->CreateStreamFromOgg(file));
    } catch (const Exception&) {
        stream = nullptr;
    }
    if (stream == nullptr) {
        bgmFiles_->Close(file);
        return false;
    }
    bgm_[static_cast<std::size_t>(slot)] = {stream, file};
    stream->SetVolume(VolumeToAttenuation(volume));
    return stream->Play(loop);
}

bool GameSoundChannels::ReleaseBGM(int slot)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (!ValidSlot(slot))
        return true;
    BGMSlot& released = bgm_[static_cast<std::size_t>(slot)];
    ReleaseSound(released.stream);
    if (released.file != nullptr)
        bgmFiles_->Close(released.file);
    return true;
}

void GameSoundChannels::SetBGMVolume(std::int32_t volume)
{
    if (!InRange(volume))
        return;
    const Lock lock(soundLock_);
    bgmVolume_ = volume;
    GameSound* stream = bgm_[static_cast<std::size_t>(bgmCurrent_)].stream;
    if (stream == nullptr)
        return;
    bgmCurrentVolume_ = BGMTarget();
    stream->SetVolume(VolumeToAttenuation(bgmCurrentVolume_));
}

void GameSoundChannels::SetBGMLevel(std::int32_t level)
{
    if (InRange(level))
        bgmLevel_ = level;
}

// ---- voice, sound effect and system sound ----

std::int32_t GameSoundChannels::VoiceAttenuation() const
{
    return ScaledVolumeToAttenuation(voice_.pair.IsRear() ? rearVolume_ : voiceVolume_, voiceLevel_);
}

std::int32_t GameSoundChannels::SEAttenuation() const
{
    return ScaledVolumeToAttenuation(se_.pair.IsRear() ? rearVolume_ : seVolume_, seLevel_);
}

std::int32_t GameSoundChannels::SystemSEAttenuation() const
{
    return VolumeToAttenuation(seVolume_);
}

bool GameSoundChannels::PlayChannel(Channel& channel, const AnsiString& name, const AnsiString& fileName,
                                    TFileMan* files, Pair pair, bool nameOnly, Attenuation attenuation)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (device_ == nullptr)
        return true;
    if (channel.sound != nullptr && channel.name == name && (nameOnly || channel.pair == pair))
        return channel.sound->Play(false);
    ReleaseChannel(channel);
    channel.sound = LoadWhole(fileName, files);
    if (channel.sound == nullptr)
        return false;
    channel.name = name;
    channel.pair = nameOnly ? Pair{} : pair;
    channel.sound->SetVolume((this->*attenuation)());
    return channel.sound->Play(false);
}

bool GameSoundChannels::PlayVoice(const AnsiString& fileName, TFileMan* files, std::int32_t first, std::int32_t rear)
{
    return PlayChannel(voice_, fileName, fileName, files, {first, rear}, false, &GameSoundChannels::VoiceAttenuation);
}

void GameSoundChannels::StopVoice()
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    ReleaseChannel(voice_);
}

bool GameSoundChannels::IsVoicePlaying()
{
    const Lock lock(soundLock_);
    return voice_.sound != nullptr && voice_.sound->IsPlay();
}

void GameSoundChannels::SetVoiceVolume(std::int32_t volume)
{
    if (!InRange(volume))
        return;
    const Lock lock(soundLock_);
    voiceVolume_ = volume;
    if (voice_.sound != nullptr && !voice_.pair.IsRear())
        voice_.sound->SetVolume(VoiceAttenuation());
}

void GameSoundChannels::SetVoiceLevel(std::int32_t level)
{
    if (!InRange(level))
        return;
    const Lock lock(soundLock_);
    voiceLevel_ = level;
    if (voice_.sound != nullptr)
        voice_.sound->SetVolume(VoiceAttenuation());
}

bool GameSoundChannels::PlaySE(const AnsiString& name, TFileMan* files, std::int32_t first, std::int32_t rear)
{
    return PlayChannel(se_, name, name + ".ogg", files, {first, rear}, false, &GameSoundChannels::SEAttenuation);
}

void GameSoundChannels::StopSE()
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    ReleaseChannel(se_);
}

bool GameSoundChannels::IsSEPlaying()
{
    const Lock lock(soundLock_);
    return se_.sound != nullptr && se_.sound->IsPlay();
}

void GameSoundChannels::SetSEVolume(std::int32_t volume)
{
    if (!InRange(volume))
        return;
    const Lock lock(soundLock_);
    seVolume_ = volume;
    if (se_.sound != nullptr && !se_.pair.IsRear())
        se_.sound->SetVolume(SEAttenuation());
    if (systemSE_.sound != nullptr)
        systemSE_.sound->SetVolume(SystemSEAttenuation());
}

void GameSoundChannels::SetSELevel(std::int32_t level)
{
    if (!InRange(level))
        return;
    const Lock lock(soundLock_);
    seLevel_ = level;
    if (se_.sound != nullptr)
        se_.sound->SetVolume(SEAttenuation());
}

bool GameSoundChannels::PlaySystemSE(const AnsiString& name, TFileMan* files)
{
    return PlayChannel(systemSE_, name, name + ".ogg", files, {}, true, &GameSoundChannels::SystemSEAttenuation);
}

void GameSoundChannels::ReleaseSystemSE()
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    ReleaseChannel(systemSE_);
}

bool GameSoundChannels::IsSystemSEPlaying()
{
    const Lock lock(soundLock_);
    return systemSE_.sound != nullptr && systemSE_.sound->IsPlay();
}

// ---- ambient ----

std::int32_t GameSoundChannels::RearTarget() const
{
    return Scaled(rear_.pair.IsRear() ? rearVolume_ : seVolume_, rearLevel_);
}

bool GameSoundChannels::PlayRear(const AnsiString& name, TFileMan* files, bool fadeIn, std::int32_t first,
                                 std::int32_t rear)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (device_ == nullptr)
        return true;
    const Pair pair{first, rear};
    if (rear_.sound != nullptr && rear_.name == name && rear_.pair == pair) {
        rearFadingOut_ = false;
        return true;
    }
    StopRear(false);
    rear_.sound = LoadWhole(name + ".ogg", files);
    if (rear_.sound == nullptr)
        return false;
    rear_.name = name;
    rear_.pair = pair;
    rearCurrentVolume_ = fadeIn ? 0 : RearTarget();
    rear_.sound->SetVolume(VolumeToAttenuation(rearCurrentVolume_));
    return rear_.sound->Play(true);
}

void GameSoundChannels::StopRear(bool fade)
{
    const Lock lock(soundLock_);
    EnterSoundThread();
    if (fade && rear_.sound != nullptr && rearCurrentVolume_ > 0) {
        rearFadingOut_ = true;
        return;
    }
    ReleaseChannel(rear_);
    rearFadingOut_ = false;
}

bool GameSoundChannels::IsRearPlaying()
{
    const Lock lock(soundLock_);
    return !rearFadingOut_ && rear_.sound != nullptr && rear_.sound->IsPlay();
}

void GameSoundChannels::SetRearVolume(std::int32_t volume)
{
    if (!InRange(volume))
        return;
    const Lock lock(soundLock_);
    rearVolume_ = volume;
    if (voice_.sound != nullptr && voice_.pair.IsRear())
        voice_.sound->SetVolume(VoiceAttenuation());
    if (se_.sound != nullptr && se_.pair.IsRear())
        se_.sound->SetVolume(SEAttenuation());
}

void GameSoundChannels::SetRearLevel(std::int32_t level)
{
    if (InRange(level))
        rearLevel_ = level;
}

void GameSoundChannels::SetRear2Level(std::int32_t level)
{
    if (InRange(level))
        rear2Level_ = level;
}

// ---- the per-frame glide ----

void GameSoundChannels::GlideVolumes(int pulses)
{
    if (pulses <= 0)
        return;
    const Lock lock(soundLock_);
    const std::int32_t step = kGlidePerPulse * std::min(pulses, kMaxGlidePulses);
    const bool onSoundThread = std::this_thread::get_id() == soundThread_;
    if (onSoundThread)
        ReleaseRetired();

    const std::int32_t bgmTarget = BGMTarget();
    if (bgmCurrentVolume_ != bgmTarget) {
        bgmCurrentVolume_ = Toward(bgmCurrentVolume_, bgmTarget, step);
        if (GameSound* stream = bgm_[static_cast<std::size_t>(bgmCurrent_)].stream)
            stream->SetVolume(VolumeToAttenuation(bgmCurrentVolume_));
    }

    const int other = 1 - bgmCurrent_;
    if (GameSound* fading = bgm_[static_cast<std::size_t>(other)].stream; fading != nullptr && bgmFadeOutVolume_ > 0) {
        bgmFadeOutVolume_ = std::max(bgmFadeOutVolume_ - step, 0);
        if (bgmFadeOutVolume_ == 0 && onSoundThread)
            ReleaseBGM(other);
        else if (bgmFadeOutVolume_ == 0)
            Retire(bgm_[static_cast<std::size_t>(other)].stream, bgm_[static_cast<std::size_t>(other)].file);
        else
            fading->SetVolume(VolumeToAttenuation(bgmFadeOutVolume_));
    }

    if (rear_.sound != nullptr) {
        rearCurrentVolume_ = Toward(rearCurrentVolume_, rearFadingOut_ ? 0 : RearTarget(), step);
        if (rearFadingOut_ && rearCurrentVolume_ == 0 && onSoundThread) {
            StopRear(false);
        } else if (rearFadingOut_ && rearCurrentVolume_ == 0) {
            TStream* noFile = nullptr;
            Retire(rear_.sound, noFile);
            ReleaseChannel(rear_);
            rearFadingOut_ = false;
        } else {
            rear_.sound->SetVolume(VolumeToAttenuation(rearCurrentVolume_));
        }
    }
}

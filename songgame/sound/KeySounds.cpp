#include "songgame/sound/KeySounds.h"

#include "base/packs/TFileMan.h"
#include "shell/helpers/VolumeCurve.h"

#include <algorithm>
#include <numeric>

KeySounds::KeySounds()
{
    holds_.fill(-1);
    std::iota(order_.begin(), order_.end(), 0);
}

KeySounds::~KeySounds() = default;

void KeySounds::List(TFileMan& keyFiles)
{
    names_.clear();
    keyFiles.FindFirst("*.*");
    AnsiString name;
    while (names_.size() < static_cast<std::size_t>(MaxKeys) && keyFiles.FindNext(name)) {
        if (!name.empty() && name.size() < NameField)
            names_.push_back(UpperCase(name));
    }
}

bool KeySounds::Load(TFileMan& keyFiles, SongSoundDevice* device, bool memorySave, std::int32_t keyVolume)
{
    device_ = device;
    memorySave_ = memorySave;
    keyVolume_ = keyVolume;
    kinds_.clear();
    sounds_.clear();
    sounds_.resize(memorySave ? CacheSlots : names_.size());
    kept_.assign(names_.size(), nullptr);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        kinds_.push_back(SoundKindOfName(names_[i]));
        TStream* stream = keyFiles.Open(names_[i]);
        if (stream == nullptr)
            return false;
        if (memorySave) {
            kept_[i] = stream;
            continue;
        }
        sounds_[i] = device != nullptr ? device->CreateBuffer(kinds_[i], stream) : nullptr;
        keyFiles.Close(stream);
        if (!sounds_[i])
            return false;
        sounds_[i]->SetVolume(VolumeToAttenuation(keyVolume));
    }
    return true;
}

bool KeySounds::HasSound(int index) const
{
    return !memorySave_ && index >= 0 && static_cast<std::size_t>(index) < sounds_.size() && sounds_[static_cast<std::size_t>(index)];
}

void KeySounds::Play(int index)
{
    const std::size_t loaded = memorySave_ ? kept_.size() : sounds_.size();
    if (index < 0 || index >= Count() || static_cast<std::size_t>(index) >= loaded)
        return;
    const int at = memorySave_ ? CacheSlotFor(index) : index;
    SongSound* sound = sounds_[static_cast<std::size_t>(at)].get();
    if (sound != nullptr)
        sound->Play(false);
}

// The slot that holds the key, else the first empty one, else the least recently used, moved to
// the front of the order and filled with the key's sound.
int KeySounds::CacheSlotFor(int index)
{
    auto found = std::find_if(order_.begin(), order_.end(), [&](int slot) {
        const int held = holds_[static_cast<std::size_t>(slot)];
        return held == index || held == -1;
    });
    if (found == order_.end())
        found = order_.end() - 1;
    const int slot = *found;
    std::rotate(order_.begin(), found, found + 1);
    const auto s = static_cast<std::size_t>(slot);
    if (holds_[s] != index && holds_[s] != -1) {
        sounds_[s].reset();
        holds_[s] = -1;
    }
    if (holds_[s] == -1) {
        TStream* kept = kept_[static_cast<std::size_t>(index)];
        if (kept != nullptr && device_ != nullptr) {
            sounds_[s] = device_->CreateBuffer(kinds_[static_cast<std::size_t>(index)], kept);
            // A cached sound plays at the key volume like a preloaded one.
            if (sounds_[s])
                sounds_[s]->SetVolume(VolumeToAttenuation(keyVolume_));
        }
        holds_[s] = index;
    }
    return slot;
}

void KeySounds::Free(TFileMan* keyFiles)
{
    sounds_.clear();
    for (TStream*& stream : kept_)
        if (stream != nullptr && keyFiles != nullptr)
            keyFiles->Close(stream);
    kept_.clear();
    kinds_.clear();
    names_.clear();
    holds_.fill(-1);
    std::iota(order_.begin(), order_.end(), 0);
}

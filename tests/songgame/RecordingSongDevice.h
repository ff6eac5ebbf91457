// A song sound device for tests: sounds that record what is done to them, made from streams whose
// first bytes decide whether they decode ("bad" fails).
#pragma once

#include "songgame/sound/SongSoundDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace songtest {

// What happened to one sound, kept after the sound is deleted.
struct SoundLog {
    SongSoundKind kind = SongSoundKind::Wave;
    bool stream = false;
    std::string head; // the first bytes of its data
    int plays = 0;
    int stops = 0;
    std::vector<std::int32_t> volumes;
    bool deleted = false;
    bool ended = false; // set by a test: the sound has played to its end
    // The play position a test reports, in bytes of a format of bytesPerSecond (0: no position).
    std::uint64_t position = 0;
    std::uint32_t bytesPerSecond = 0;
};

class RecordingSongDevice : public SongSoundDevice {
public:
    std::unique_ptr<SongSound> CreateBuffer(SongSoundKind kind, TStream* stream) override;
    std::unique_ptr<SongSound> CreateStream(SongSoundKind kind, TStream* stream) override;

    std::vector<std::shared_ptr<SoundLog>> made;

private:
    std::unique_ptr<SongSound> Make(SongSoundKind kind, TStream* stream, bool isStream);
};

} // namespace songtest

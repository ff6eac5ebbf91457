// A sound device for the channel tests that records what is asked of it: each sound is named by
// the bytes of the file it was made from ("bad" makes none), keeps its last volume and a playing
// flag the test can clear (a sound that ended), and every play, stop and deletion goes into a log.
#pragma once

#include "shell/sound/GameSoundDevice.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace shelltest {

class RecordingSoundDevice : public GameSoundDevice {
public:
    struct State {
        std::int32_t volume = 0;
        bool playing = false;
        int made = 0; // how many sounds of this name were made
    };

    std::unique_ptr<GameSound> CreateBufferFromOgg(TStream* stream) override;
    std::unique_ptr<GameSound> CreateStreamFromOgg(TStream* stream) override;
    std::unique_ptr<GameSound> CreateBufferMute(int seconds) override;

    // The live sound of that name, or null.
    const State* Live(const std::string& name) const;
    std::int32_t Volume(const std::string& name) const { return Live(name) ? Live(name)->volume : 1; }
    void EndPlaying(const std::string& name);
    int Made(const std::string& name) const;
    // The log since the last call: "name play", "name play loop", "name stop", "name deleted".
    std::vector<std::string> TakeLog();

private:
    class Sound;
    std::unique_ptr<GameSound> Make(TStream* stream);

    std::map<std::string, State> live_;
    std::map<std::string, int> made_;
    std::vector<std::string> log_;
};

} // namespace shelltest

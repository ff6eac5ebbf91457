// Fuzzes the movie service's opening path: container probing, stream set-up and the first
// pictures and sound. Every input is refused or decoded without a fault, within a time bound.
#include "platform/movie/MoviePlayer.h"

extern "C" {
#include <libavutil/log.h>
}

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Pictures and sound read from each input: enough to pass the probing and the first frames.
constexpr int kPictures = 4;
constexpr std::size_t kSoundBytes = 64 * 1024;
// The longest any wait for the worker may take; decoding a few small pictures needs far less.
constexpr auto kWait = std::chrono::milliseconds(500);

std::string InputPath()
{
    return "/tmp/fuzz_movie_" + std::to_string(::getpid()) + ".mpg";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    av_log_set_level(AV_LOG_QUIET);
    static const std::string path = InputPath();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    movie::OutputSpec spec;
    spec.width = 160; // small pictures keep each run quick; the paths are the same
    spec.height = 120;
    std::string error;
    auto player = movie::MoviePlayer::Open(path, spec, error);
    if (player == nullptr)
        return 0;
    player->Start(0);
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    if (player->WaitFirstFrame(kWait) >= 0) {
        for (int i = 0; i < kPictures && std::chrono::steady_clock::now() < deadline; ++i)
            player->TakeFrame(INT64_MAX);
    }
    std::vector<std::uint8_t> sound(kSoundBytes);
    player->ReadAudio(sound.data(), sound.size(), kWait);
    return 0;
}

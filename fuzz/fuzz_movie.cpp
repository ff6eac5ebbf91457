// Fuzzes the movie service's opening path: container probing, stream set-up and the first
// pictures and sound. Every input is refused or decoded without a fault, within a time bound.
#include "platform/movie/MoviePlayer.h"

extern "C" {
#include <libavutil/log.h>
}

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Pictures and sound read from each input: enough to pass the probing and the first frames.
constexpr int kPictures = 4;
constexpr std::size_t kSoundBytes = 64 * 1024;
// All waits for the worker on one input together; decoding a few small pictures needs far less.
constexpr auto kBudget = std::chrono::milliseconds(500);

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Left(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

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
    const auto deadline = Clock::now() + kBudget;
    for (int i = 0; i < kPictures && player->WaitFirstFrame(Left(deadline)) >= 0; ++i)
        player->TakeFrame(INT64_MAX);
    std::vector<std::uint8_t> sound(kSoundBytes);
    player->ReadAudio(sound.data(), sound.size(), Left(deadline));
    return 0;
}

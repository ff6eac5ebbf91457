// The movie service: decoding and scaling a generated 640 x 480 MPEG-1 clip with MP2 sound as a
// multiple of real time ("xRealtime", goal 8 or more on one core: the worker is one thread and the
// reader here only takes pictures and sound), and the scale of one decoded picture into the
// output layout next to a memcpy of the output picture (goal: at most 3 times the memcpy).
//
// The clip is made once with the ffmpeg command-line encoder (10 s of a moving test pattern with a
// tone) in a temporary folder.
#include "platform/movie/MoviePlayer.h"
#include "platform/movie/ffmpeg/PictureScaler.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

#include <benchmark/benchmark.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kSeconds = 10;
constexpr auto kWait = std::chrono::seconds(10);

// The clip's path, made on first use; empty when ffmpeg is missing.
const std::string& Clip()
{
    static const std::string clip = [] {
        const std::filesystem::path path = std::filesystem::temp_directory_path() / "bench-movie-640x480.mpg";
        if (std::filesystem::exists(path))
            return path.string();
        const std::string command = "ffmpeg -v error -y -f lavfi -i 'testsrc=s=640x480:r=30:d=" +
                                    std::to_string(kSeconds) + "' -f lavfi -i 'sine=f=440:d=" +
                                    std::to_string(kSeconds) + ":r=44100' -ac 2 -c:v mpeg1video -b:v 4M "
                                    "-c:a mp2 -b:a 192k -f mpeg '" + path.string() + "'";
        return std::system(command.c_str()) == 0 ? path.string() : std::string();
    }();
    return clip;
}

void BM_MovieDecodeAndScale(benchmark::State& state)
{
    if (Clip().empty()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    std::vector<std::uint8_t> sound(176400);
    std::int64_t pictures = 0;
    for (auto _ : state) {
        std::string error;
        auto player = movie::MoviePlayer::Open(Clip(), movie::OutputSpec{}, error);
        if (player == nullptr) {
            state.SkipWithError(error.c_str());
            return;
        }
        player->Start(0);
        while (!player->VideoEnded() || !player->AudioEnded()) {
            if (player->TakeFrame(INT64_MAX) != nullptr)
                ++pictures;
            player->ReadAudio(sound.data(), sound.size(), std::chrono::milliseconds(1));
        }
    }
    state.counters["xRealtime"] = benchmark::Counter(kSeconds * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
    state.counters["pictures"] = static_cast<double>(pictures) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_MovieDecodeAndScale)->Unit(benchmark::kMillisecond)->UseRealTime();

// A decoded picture as the decoder gives it: 640 x 480 in planar YUV 4:2:0 with smooth content.
struct DecodedPicture {
    std::vector<std::uint8_t> y = std::vector<std::uint8_t>(640 * 480);
    std::vector<std::uint8_t> u = std::vector<std::uint8_t>(320 * 240);
    std::vector<std::uint8_t> v = std::vector<std::uint8_t>(320 * 240);
    DecodedPicture()
    {
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] = static_cast<std::uint8_t>(i * 7 / 640);
        for (std::size_t i = 0; i < u.size(); ++i) {
            u[i] = static_cast<std::uint8_t>(64 + i % 128);
            v[i] = static_cast<std::uint8_t>(192 - i % 128);
        }
    }
};

void BM_MovieScalePicture(benchmark::State& state)
{
    const movie::OutputSpec spec;
    movie::PictureScaler scaler(spec);
    const DecodedPicture picture;
    const std::uint8_t* planes[] = {picture.y.data(), picture.u.data(), picture.v.data()};
    const int pitches[] = {640, 320, 320};
    movie::Frame frame;
    for (auto _ : state) {
        scaler.Scale(planes, pitches, 640, 480, AV_PIX_FMT_YUV420P, frame);
        benchmark::DoNotOptimize(frame.pixels.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.pixels.size()));
}
BENCHMARK(BM_MovieScalePicture);

// The peer: copying the output picture once.
void BM_MovieMemcpyPicture(benchmark::State& state)
{
    std::vector<std::uint8_t> from(640 * 480 * 4, 1), to(640 * 480 * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * from.size()));
}
BENCHMARK(BM_MovieMemcpyPicture);

} // namespace

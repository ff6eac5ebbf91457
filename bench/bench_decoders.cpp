// Decoding speed of each sound format through the game's stream decoders, as a multiple of real
// time ("xRealtime"), next to libvorbisfile or FFmpeg decoding the same file directly.
//
// The inputs are made once with the ffmpeg command-line encoder (30 s of stereo 44.1 kHz sound)
// in a temporary folder; ADP1 codes are random, which costs the decoder the same as real ones.
// Every decoder reads its file from disk through the page cache, and the game's decoders are
// read in one-second requests as the streaming buffer refills them.
#include "platform/classes/Stream.h"
#include "sound/ZTAdpStream.h"
#include "sound/ZTMp3Stream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTWaveStream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}
#include <vorbis/vorbisfile.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kSeconds = 30;
constexpr int kRate = 44100;
constexpr int kOneSecond = kRate * 4;

namespace fs = std::filesystem;

// The encoded inputs by name, made on first use; empty when ffmpeg is missing.
const std::map<std::string, std::string>& Inputs()
{
    static const std::map<std::string, std::string> inputs = [] {
        av_log_set_level(AV_LOG_ERROR);  // the WAVE demuxer's notes on multi-block packets are not news
        std::map<std::string, std::string> made;
        const fs::path folder = fs::temp_directory_path() / "bench-decoders";
        fs::create_directories(folder);
        const std::string source = "-f lavfi -i 'aevalsrc=0.3*sin(2*PI*440*t)+0.2*sin(2*PI*1234*t*(1+t/30)):s=44100:d=30' "
                                   "-f lavfi -i 'anoisesrc=a=0.05:d=30:r=44100' -filter_complex amix=inputs=2 -ac 2 ";
        const std::pair<const char*, const char*> encodes[] = {
            {"vorbis.ogg", "-c:a libvorbis -q:a 5"},
            {"mp3.mp3", "-c:a libmp3lame -b:a 192k -write_xing 0 -id3v2_version 0"},
            {"pcm.wav", "-c:a pcm_s16le"},
            {"ima.wav", "-c:a adpcm_ima_wav"},
            {"msadpcm.wav", "-c:a adpcm_ms"},
            {"alaw.wav", "-c:a pcm_alaw"},
        };
        for (const auto& [name, codec] : encodes) {
            const fs::path path = folder / name;
            if (!fs::exists(path)) {
                const std::string command = "ffmpeg -v quiet -y " + source + codec + " '" + path.string() + "'";
                if (std::system(command.c_str()) != 0)
                    continue;
            }
            made[name] = path.string();
        }
        // ADP1: the 16-byte header and random codes.
        const fs::path adp = folder / "random.adp";
        std::vector<std::uint8_t> file = {'A', 'D', 'P', '1'};
        for (const std::uint32_t value : {static_cast<std::uint32_t>(kSeconds * kRate), std::uint32_t{kRate}, 2u})
            for (int shift = 0; shift < 32; shift += 8)
                file.push_back(static_cast<std::uint8_t>(value >> shift));
        std::mt19937 random(1);
        for (int i = 0; i < kSeconds * kRate; ++i)
            file.push_back(static_cast<std::uint8_t>(random()));
        std::ofstream(adp, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        made["random.adp"] = adp.string();
        return made;
    }();
    return inputs;
}

// Reports the decoded audio duration per wall second.
void Report(benchmark::State& state, double audioSeconds)
{
    state.counters["xRealtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

// The game's path: a file stream, the adapter, a decoder, one-second reads.
template <typename Decoder> void Ours(benchmark::State& state, const char* name)
{
    const auto found = Inputs().find(name);
    if (found == Inputs().end()) {
        state.SkipWithError("input could not be made (ffmpeg missing?)");
        return;
    }
    std::vector<std::uint8_t> buffer(kOneSecond);
    double seconds = 0;
    for (auto _ : state) {
        TFileStream file(found->second, fmOpenRead);
        T2ZTStream source(&file);
        Decoder decoder(&source);
        std::size_t bytes = 0;
        for (int got; (got = decoder.Read(buffer.data(), kOneSecond)) > 0;)
            bytes += static_cast<std::size_t>(got);
        seconds = static_cast<double>(bytes) / (decoder.GetChannels() * decoder.GetBitsPerSample() / 8) / decoder.GetSamplesPerSec();
        benchmark::DoNotOptimize(buffer.data());
    }
    Report(state, seconds);
}

// libvorbisfile straight over the file.
void DirectVorbis(benchmark::State& state)
{
    const auto found = Inputs().find("vorbis.ogg");
    if (found == Inputs().end()) {
        state.SkipWithError("input could not be made");
        return;
    }
    std::vector<char> buffer(4096);
    double seconds = 0;
    for (auto _ : state) {
        OggVorbis_File file;
        if (ov_fopen(found->second.c_str(), &file) != 0) {
            state.SkipWithError("libvorbisfile refused the file");
            return;
        }
        int bitstream = 0;
        std::size_t bytes = 0;
        for (long got; (got = ov_read(&file, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1, &bitstream)) != 0;)
            if (got > 0)
                bytes += static_cast<std::size_t>(got);
        seconds = static_cast<double>(bytes) / (ov_info(&file, -1)->channels * 2) / ov_info(&file, -1)->rate;
        ov_clear(&file);
        benchmark::DoNotOptimize(buffer.data());
    }
    Report(state, seconds);
}

// FFmpeg straight over the file: demuxer, decoder (the same one ours uses), conversion to 16 bits.
void DirectFfmpeg(benchmark::State& state, const char* name, const char* decoderName)
{
    const auto found = Inputs().find(name);
    if (found == Inputs().end()) {
        state.SkipWithError("input could not be made");
        return;
    }
    std::vector<std::uint8_t> buffer(1 << 20);
    double seconds = 0;
    for (auto _ : state) {
        AVFormatContext* format = nullptr;
        if (avformat_open_input(&format, found->second.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(format, nullptr) < 0) {
            state.SkipWithError("FFmpeg refused the file");
            return;
        }
        const AVCodecParameters* parameters = format->streams[0]->codecpar;
        const AVCodec* codec = decoderName ? avcodec_find_decoder_by_name(decoderName) : avcodec_find_decoder(parameters->codec_id);
        AVCodecContext* context = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(context, parameters);
        avcodec_open2(context, codec, nullptr);
        SwrContext* resampler = nullptr;
        swr_alloc_set_opts2(&resampler, &context->ch_layout, AV_SAMPLE_FMT_S16, context->sample_rate, &context->ch_layout,
                            context->sample_fmt, context->sample_rate, 0, nullptr);
        swr_init(resampler);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        std::size_t samples = 0;
        const auto drain = [&] {
            while (avcodec_receive_frame(context, frame) == 0) {
                std::uint8_t* out = buffer.data();
                samples += static_cast<std::size_t>(swr_convert(resampler, &out, frame->nb_samples,
                    const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples));
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            avcodec_send_packet(context, packet);
            av_packet_unref(packet);
            drain();
        }
        avcodec_send_packet(context, nullptr);
        drain();
        seconds = static_cast<double>(samples) / context->sample_rate;
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&context);
        avformat_close_input(&format);
        benchmark::DoNotOptimize(buffer.data());
    }
    Report(state, seconds);
}

void OursOgg(benchmark::State& state, const char* name) { Ours<ZTOggStream>(state, name); }
void OursMp3(benchmark::State& state, const char* name) { Ours<ZTMp3Stream>(state, name); }
void OursAdp(benchmark::State& state, const char* name) { Ours<ZTAdpStream>(state, name); }
void OursWave(benchmark::State& state, const char* name) { Ours<ZTWaveStream>(state, name); }

BENCHMARK_CAPTURE(OursOgg, Vorbis_ZTOggStream, "vorbis.ogg")->Unit(benchmark::kMillisecond);
BENCHMARK(DirectVorbis)->Name("Vorbis_libvorbisfile")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursMp3, Mp3_ZTMp3Stream, "mp3.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DirectFfmpeg, Mp3_FFmpeg, "mp3.mp3", "mp3float")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursAdp, Adp1_ZTAdpStream, "random.adp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursWave, WavePcm_ZTWaveStream, "pcm.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DirectFfmpeg, WavePcm_FFmpeg, "pcm.wav", nullptr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursWave, WaveImaAdpcm_ZTWaveStream, "ima.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DirectFfmpeg, WaveImaAdpcm_FFmpeg, "ima.wav", nullptr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursWave, WaveMsAdpcm_ZTWaveStream, "msadpcm.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DirectFfmpeg, WaveMsAdpcm_FFmpeg, "msadpcm.wav", nullptr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursWave, WaveALaw_ZTWaveStream, "alaw.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DirectFfmpeg, WaveALaw_FFmpeg, "alaw.wav", nullptr)->Unit(benchmark::kMillisecond);

} // namespace

// The codecs next to their peers on the same corpora: Tovanu (LZ) against zlib level 6 and
// inflate, Brisane (block-sorting) against bzip2 with 900 KB blocks, and the range coder alone.
// Each benchmark reports MB/s of plain data and the coded size ("ratio" = coded / plain).
#include "base/codecs/TBrisane.h"
#include "base/codecs/TRangeCoder.h"
#include "base/codecs/TTovanu.h"
#include "tests/base/CodecCorpus.h"

#include <benchmark/benchmark.h>
#include <bzlib.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

using CodecCorpus::Bytes;

constexpr std::size_t CorpusSize = 4 << 20;

const std::map<std::string, Bytes>& Corpora()
{
    static const std::map<std::string, Bytes> corpora = {
        {"text", CodecCorpus::Text(CorpusSize, 1)},         {"binary", CodecCorpus::Binary(CorpusSize, 2)},
        {"runs", CodecCorpus::Runs(CorpusSize, 3)},         {"periodic", CodecCorpus::MixedPeriods(CorpusSize, 4)},
        {"random", CodecCorpus::Random(CorpusSize, 5)},
    };
    return corpora;
}

// A write callback into a buffer made large enough beforehand.
struct FixedSink {
    unsigned char* out;
    std::size_t* used;
    bool operator()(const unsigned char* buffer, int size)
    {
        std::memcpy(out + *used, buffer, static_cast<std::size_t>(size));
        *used += static_cast<std::size_t>(size);
        return true;
    }
};

// A codec as two functions over whole buffers: encode returns the coded length (0 on failure),
// decode the plain length.
struct Codec {
    std::function<std::size_t(const Bytes& in, Bytes& out)> encode;
    std::function<std::size_t(const Bytes& in, std::size_t plainSize, Bytes& out)> decode;
};

template <typename Encoder, typename Decoder> Codec CallbackCodec()
{
    return {[](const Bytes& in, Bytes& out) -> std::size_t {
                std::size_t used = 0;
                Encoder encoder;
                const int size = static_cast<int>(in.size());
                return encoder.Encode(size, 2 * size, CodecCorpus::Source{in}, FixedSink{out.data(), &used}, nullptr) ? used : 0;
            },
            [](const Bytes& in, std::size_t plainSize, Bytes& out) -> std::size_t {
                std::size_t used = 0;
                Decoder decoder;
                return decoder.Decode(static_cast<int>(in.size()), static_cast<int>(plainSize), CodecCorpus::Source{in},
                                      FixedSink{out.data(), &used}, nullptr)
                           ? used
                           : 0;
            }};
}

Codec RangeCodec()
{
    return {[](const Bytes& in, Bytes& out) -> std::size_t {
                TRangeEncode encoder;
                encoder.CreateBuffer();
                return encoder.Encode(in.data(), out.data(), static_cast<int>(out.size()), static_cast<int>(in.size()))
                           ? static_cast<std::size_t>(encoder.OutSize())
                           : 0;
            },
            [](const Bytes& in, std::size_t plainSize, Bytes& out) -> std::size_t {
                TRangeDecode decoder;
                decoder.CreateBuffer();
                return decoder.Decode(in.data(), out.data(), static_cast<int>(plainSize), static_cast<int>(in.size()))
                           ? static_cast<std::size_t>(decoder.OutSize())
                           : 0;
            }};
}

Codec ZlibCodec()
{
    return {[](const Bytes& in, Bytes& out) -> std::size_t {
                uLongf size = out.size();
                return compress2(out.data(), &size, in.data(), in.size(), 6) == Z_OK ? size : 0;
            },
            [](const Bytes& in, std::size_t plainSize, Bytes& out) -> std::size_t {
                uLongf size = plainSize;
                return uncompress(out.data(), &size, in.data(), in.size()) == Z_OK ? size : 0;
            }};
}

Codec Bzip2Codec()
{
    return {[](const Bytes& in, Bytes& out) -> std::size_t {
                unsigned size = static_cast<unsigned>(out.size());
                return BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &size,
                                                const_cast<char*>(reinterpret_cast<const char*>(in.data())),
                                                static_cast<unsigned>(in.size()), 9, 0, 0) == BZ_OK
                           ? size
                           : 0;
            },
            [](const Bytes& in, std::size_t plainSize, Bytes& out) -> std::size_t {
                unsigned size = static_cast<unsigned>(plainSize);
                return BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &size,
                                                  const_cast<char*>(reinterpret_cast<const char*>(in.data())),
                                                  static_cast<unsigned>(in.size()), 0, 0) == BZ_OK
                           ? size
                           : 0;
            }};
}

void Report(benchmark::State& state, std::size_t plain, std::size_t coded)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain));
    state.counters["coded"] = static_cast<double>(coded);
    state.counters["ratio"] = static_cast<double>(coded) / static_cast<double>(plain);
}

void RunEncode(benchmark::State& state, const Codec& codec, const Bytes& input)
{
    Bytes out(4 * input.size() + 1024);
    std::size_t coded = 0;
    for (auto _ : state) {
        coded = codec.encode(input, out);
        benchmark::DoNotOptimize(out.data());
    }
    if (coded == 0)
        state.SkipWithError("encode failed");
    Report(state, input.size(), coded);
}

void RunDecode(benchmark::State& state, const Codec& codec, const Bytes& input)
{
    Bytes coded(4 * input.size() + 1024);
    coded.resize(codec.encode(input, coded));
    Bytes out(input.size() + 1024);
    std::size_t plain = 0;
    for (auto _ : state) {
        plain = codec.decode(coded, input.size(), out);
        benchmark::DoNotOptimize(out.data());
    }
    if (plain != input.size() || std::memcmp(out.data(), input.data(), input.size()) != 0)
        state.SkipWithError("decode failed");
    Report(state, input.size(), coded.size());
}

const bool registered = [] {
    const std::pair<const char*, Codec> codecs[] = {
        {"tovanu", CallbackCodec<TTovanuEncode, TTovanuDecode>()},
        {"zlib", ZlibCodec()},
        {"brisane", CallbackCodec<TBrisaneEncode, TBrisaneDecode>()},
        {"bzip2", Bzip2Codec()},
        {"range", RangeCodec()},
    };
    for (const auto& [name, codec] : codecs) {
        for (const char* corpus : {"text", "binary", "runs", "periodic", "random"}) {
            benchmark::RegisterBenchmark((std::string("Encode/") + name + "/" + corpus).c_str(),
                                         [codec, corpus](benchmark::State& state) { RunEncode(state, codec, Corpora().at(corpus)); })
                ->Unit(benchmark::kMillisecond);
            // The block-sorting decoder works on two threads: wall time, with the CPU time of both.
            benchmark::RegisterBenchmark((std::string("Decode/") + name + "/" + corpus).c_str(),
                                         [codec, corpus](benchmark::State& state) { RunDecode(state, codec, Corpora().at(corpus)); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MeasureProcessCPUTime();
        }
    }
    return true;
}();

} // namespace

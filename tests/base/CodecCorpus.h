// Generated inputs for the codec tests and benchmarks (text, binary-like records, runs, periodic
// data, random bytes), memory-backed codec callbacks, and the damage applied to coded streams.
#pragma once

#include "base/codecs/XeCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace CodecCorpus {

using Bytes = std::vector<unsigned char>;

inline Bytes Random(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<unsigned char>(rng());
    return out;
}

// Sentences of made-up words drawn with a Zipf-like law, with punctuation and line breaks, so that
// word and letter statistics resemble prose.
inline Bytes Text(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    static const char* syllables[] = {"ka", "to", "ri", "en", "the", "an", "sel", "mo", "ver", "in",  "qu", "est",
                                      "ion", "al", "re", "de", "con", "or", "is", "ly", "ma", "ne", "st", "ar"};
    std::vector<std::string> words;
    for (int i = 0; i < 3000; ++i) {
        std::string word;
        const int parts = 1 + static_cast<int>(rng() % 3);
        for (int p = 0; p < parts; ++p)
            word += syllables[rng() % std::size(syllables)];
        words.push_back(word);
    }
    std::vector<double> weights(words.size());
    for (std::size_t i = 0; i < weights.size(); ++i)
        weights[i] = 1.0 / static_cast<double>(i + 1);
    std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
    Bytes out;
    out.reserve(size + 64);
    int column = 0;
    bool capital = true;
    while (out.size() < size) {
        std::string word = words[pick(rng)];
        if (capital)
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        capital = false;
        const unsigned r = rng() % 100;
        if (r < 8) {
            word += '.';
            capital = true;
        } else if (r < 14) {
            word += ',';
        }
        column += static_cast<int>(word.size()) + 1;
        out.insert(out.end(), word.begin(), word.end());
        out.push_back(column > 72 ? '\n' : ' ');
        if (column > 72)
            column = 0;
    }
    out.resize(size);
    return out;
}

// Fixed-size records like a game's data tables: counters, smooth values, flags, short names, padding.
inline Bytes Binary(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(size + 64);
    std::uint32_t id = 1000;
    double phase = 0;
    while (out.size() < size) {
        unsigned char record[32] = {};
        id += 1 + rng() % 3;
        std::memcpy(record, &id, 4);
        phase += 0.01;
        const float value = static_cast<float>(std::sin(phase) * 100.0);
        std::memcpy(record + 4, &value, 4);
        const std::int16_t x = static_cast<std::int16_t>(rng() % 640), y = static_cast<std::int16_t>(rng() % 480);
        std::memcpy(record + 8, &x, 2);
        std::memcpy(record + 10, &y, 2);
        record[12] = static_cast<unsigned char>(rng() % 4);
        const int nameLength = 3 + static_cast<int>(rng() % 8);
        for (int i = 0; i < nameLength; ++i)
            record[16 + i] = static_cast<unsigned char>('A' + rng() % 26);
        out.insert(out.end(), record, record + sizeof record);
    }
    out.resize(size);
    return out;
}

// Runs of bytes from a small alphabet: mostly short, some of thousands of bytes.
inline Bytes Runs(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::geometric_distribution<int> shortRun(0.05);
    Bytes out;
    out.reserve(size);
    while (out.size() < size) {
        const int length = rng() % 50 == 0 ? 1000 + static_cast<int>(rng() % 20000) : 1 + shortRun(rng);
        out.insert(out.end(), static_cast<std::size_t>(length), static_cast<unsigned char>(rng() % 8 * 31));
    }
    out.resize(size);
    return out;
}

// A random pattern of `period` bytes repeated.
inline Bytes Periodic(std::size_t size, std::size_t period, std::uint32_t seed)
{
    const Bytes pattern = Random(period, seed);
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = pattern[i % period];
    return out;
}

// Stretches of several periods one after the other.
inline Bytes MixedPeriods(std::size_t size, std::uint32_t seed)
{
    static constexpr std::size_t periods[] = {1, 3, 7, 64, 250, 1531, 4000, 20000};
    Bytes out;
    for (std::size_t i = 0; out.size() < size; ++i) {
        const Bytes part = Periodic(size / 8 + 1, periods[i % std::size(periods)], seed + static_cast<std::uint32_t>(i));
        out.insert(out.end(), part.begin(), part.end());
    }
    out.resize(size);
    return out;
}

// Codec callbacks over memory.
struct Source {
    std::span<const unsigned char> data;
    std::size_t position = 0;
    bool operator()(unsigned char* buffer, int size)
    {
        if (size < 0 || static_cast<std::size_t>(size) > data.size() - position)
            return false;
        std::memcpy(buffer, data.data() + position, static_cast<std::size_t>(size));
        position += static_cast<std::size_t>(size);
        return true;
    }
};

struct Sink {
    Bytes* out;
    bool operator()(const unsigned char* buffer, int size)
    {
        out->insert(out->end(), buffer, buffer + size);
        return true;
    }
};

// Runs a callback encoder over `input`; false when it fails.
template <typename Encoder>
bool EncodeAll(Encoder& encoder, std::span<const unsigned char> input, Bytes& out, int limit = -1)
{
    out.clear();
    const int size = static_cast<int>(input.size());
    return encoder.Encode(size, limit < 0 ? 2 * size + 64 : limit, Source{input}, Sink{&out}, nullptr);
}

template <typename Decoder>
bool DecodeAll(Decoder& decoder, std::span<const unsigned char> stored, int plainSize, Bytes& out)
{
    out.clear();
    return decoder.Decode(static_cast<int>(stored.size()), plainSize, Source{stored}, Sink{&out}, nullptr);
}

// Damage to a coded stream. A cut always leaves a decoder short of input; extra bytes at the end
// are refused by decoders that know the stream's length. Changed or removed bytes may go unnoticed
// where the format has no redundancy, but must never make a decoder crash or overrun.
enum class DamageKind { Cut, Extend, Change, Remove };

struct Damage {
    Bytes stream;
    DamageKind kind;
};

inline Damage Damaged(const Bytes& stream, std::mt19937& rng)
{
    Damage damage{stream, static_cast<DamageKind>(rng() % 4)};
    switch (damage.kind) {
    case DamageKind::Cut:
        damage.stream.resize(rng() % stream.size());
        break;
    case DamageKind::Extend:
        for (unsigned i = 1 + rng() % 8; i > 0; --i)
            damage.stream.push_back(static_cast<unsigned char>(rng()));
        break;
    case DamageKind::Change:
        for (unsigned i = 1 + rng() % 4; i > 0; --i)
            damage.stream[rng() % stream.size()] ^= static_cast<unsigned char>(1 + rng() % 255);
        break;
    case DamageKind::Remove: {
        const std::size_t at = rng() % stream.size();
        const std::size_t length = 1 + rng() % std::min<std::size_t>(16, stream.size() - at);
        damage.stream.erase(damage.stream.begin() + static_cast<std::ptrdiff_t>(at),
                            damage.stream.begin() + static_cast<std::ptrdiff_t>(at + length));
        break;
    }
    }
    return damage;
}

} // namespace CodecCorpus

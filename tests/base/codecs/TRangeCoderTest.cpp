// The range coder: exact stream bytes, round trips, capacity limits, model carry-over and damage.
#include "base/codecs/TRangeCoder.h"

#include "tests/base/CodecCorpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

using CodecCorpus::Bytes;

Bytes Encode(TRangeEncode& encoder, const Bytes& input)
{
    Bytes out(4 * input.size() + 16);
    if (!encoder.Encode(input.data(), out.data(), static_cast<int>(out.size()), static_cast<int>(input.size())))
        return {};
    out.resize(static_cast<std::size_t>(encoder.OutSize()));
    return out;
}

Bytes Encode(const Bytes& input)
{
    TRangeEncode encoder;
    encoder.CreateBuffer();
    return Encode(encoder, input);
}

// Decodes with room for `capacity` bytes; empty optional-like flag through `ok`.
Bytes Decode(TRangeDecode& decoder, const Bytes& stream, int capacity, bool& ok)
{
    Bytes out(static_cast<std::size_t>(capacity) + 1);
    ok = decoder.Decode(stream.data(), out.data(), capacity, static_cast<int>(stream.size()));
    out.resize(static_cast<std::size_t>(decoder.OutSize()));
    return out;
}

Bytes Decode(const Bytes& stream, int capacity, bool& ok)
{
    TRangeDecode decoder;
    decoder.CreateBuffer();
    return Decode(decoder, stream, capacity, ok);
}

std::uint64_t Fnv1a(const Bytes& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325;
    for (unsigned char b : bytes)
        hash = (hash ^ b) * 0x100000001b3;
    return hash;
}

Bytes FromText(const char* text) { return Bytes(text, text + std::strlen(text)); }

// Mostly zeros with small codes between, as move-to-front output and save images are; every
// `rareEvery` bytes the end-most byte value, whose narrow slot makes the coder shift out two bytes.
Bytes Skewed(std::size_t size, std::uint32_t seed, std::size_t rareEvery)
{
    std::mt19937 rng(seed);
    std::geometric_distribution<int> code(0.35);
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = i % rareEvery == rareEvery - 1 ? 255 : static_cast<unsigned char>(rng() % 10 < 6 ? 0 : std::min(code(rng), 254));
    return out;
}

} // namespace

// Known answers worked out from the model and coder description by a separate implementation.
TEST(TRangeEncode, WritesTheExactStreamBytes)
{
    EXPECT_EQ(Encode(FromText("A")), (Bytes{0x00, 0xE1, 0xFF, 0xF8, 0x00, 0x00, 0x07}));
    EXPECT_EQ(Encode(FromText("abracadabra")), (Bytes{0x00, 0xE9, 0xDB, 0xE2, 0x55, 0x6A, 0xA3, 0x1C, 0xEF, 0xBC,
                                                      0x8D, 0x1D, 0x97, 0x68, 0xEC, 0x92, 0xE2, 0x00, 0x00, 0x14}));
    // Long enough for the model to rescale many times.
    Bytes first(300);
    for (int i = 0; i < 300; ++i)
        first[i] = static_cast<unsigned char>(i % 5 ? (i * 7 + (i >> 3)) % 256 : 0);
    const Bytes coded = Encode(first);
    EXPECT_EQ(coded.size(), 340u);
    EXPECT_EQ(Fnv1a(coded), 0x4e014cd29c01f0ebu);
    Bytes second(5000);
    for (int i = 0; i < 5000; ++i)
        second[i] = static_cast<unsigned char>(((i * i) >> 5) % 13);
    const Bytes coded2 = Encode(second);
    EXPECT_EQ(coded2.size(), 2321u);
    EXPECT_EQ(Fnv1a(coded2), 0xffc4b337a052a688u);
}

// Streams recorded from the coder as first written, before any tuning: every later version must
// write them byte for byte, since saves already on disk and the block-sorting codec depend on them.
TEST(TRangeEncode, KeepsTheRecordedStreams)
{
    const struct {
        const char* kind;
        Bytes input;
        std::size_t size;
        std::uint64_t hash;
    } cases[] = {
        {"binary", CodecCorpus::Binary(20000, 21), 11338, 0xb5a9b0bb7d48e350u},
        {"runs", CodecCorpus::Runs(60000, 22), 11593, 0x77bfe6f67dbd02a1u},
        {"random", CodecCorpus::Random(30000, 23), 30303, 0xd7c7c18d7cdf8572u},
        {"periods", CodecCorpus::MixedPeriods(40000, 24), 31960, 0x7b0773aea00a7834u},
        {"text", CodecCorpus::Text(25000, 25), 12861, 0xf3a0aac4295ae366u},
        {"skewed", Skewed(50000, 26, 1000000), 10105, 0xf7b00526bb1f2da5u},
        {"skewed with rare bytes", Skewed(50000, 27, 97), 10501, 0xfa10bf2f438881beu},
        {"zeros", Bytes(70000, 0), 847, 0xb30c634998fe39e9u},
    };
    for (const auto& c : cases) {
        const Bytes coded = Encode(c.input);
        EXPECT_EQ(coded.size(), c.size) << c.kind;
        EXPECT_EQ(Fnv1a(coded), c.hash) << c.kind;
    }
}

// Output that outgrows the capacity stops the coding after the byte being coded; the model has
// counted the bytes up to there, and the next call continues from it.
TEST(TRangeEncode, ContinuesFromWhereAnOverflowStopped)
{
    const Bytes first = CodecCorpus::Text(6000, 28), second = CodecCorpus::Binary(6000, 29);
    const std::size_t whole = Encode(first).size();
    const struct {
        int capacity;
        std::size_t size;
        std::uint64_t hash;
    } cases[] = {{1, 3437, 0x725eb182f5b94d7fu},
                 {static_cast<int>(whole / 3), 4275, 0x031b49ebe0552226u},
                 {static_cast<int>(whole) - 1, 4602, 0xf19da22a23b07834u}};
    for (const auto& c : cases) {
        TRangeEncode encoder;
        encoder.CreateBuffer();
        Bytes out(whole);
        EXPECT_FALSE(encoder.Encode(first.data(), out.data(), c.capacity, static_cast<int>(first.size())));
        const Bytes next = Encode(encoder, second);
        EXPECT_EQ(next.size(), c.size) << c.capacity;
        EXPECT_EQ(Fnv1a(next), c.hash) << c.capacity;
    }
}

TEST(TRangeEncode, StreamEndsWithItsOwnLength)
{
    for (const Bytes& input : {CodecCorpus::Text(1000, 1), CodecCorpus::Random(70000, 2), CodecCorpus::Runs(5000, 3)}) {
        const Bytes coded = Encode(input);
        ASSERT_GE(coded.size(), 5u);
        const std::size_t n = coded.size();
        EXPECT_EQ(static_cast<std::size_t>(coded[n - 3] << 16 | coded[n - 2] << 8 | coded[n - 1]), n);
    }
}

TEST(TRangeEncode, EmptyInputIsTrueAndWritesNothing)
{
    TRangeEncode encoder;
    ASSERT_TRUE(encoder.CreateBuffer());
    unsigned char out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_TRUE(encoder.Encode(out, out, 4, 0));
    EXPECT_EQ(encoder.OutSize(), 0);
    EXPECT_EQ(out[0], 0xAA);
}

TEST(TRangeEncode, NeedsAModel)
{
    TRangeEncode encoder;
    unsigned char in = 1, out[16];
    EXPECT_FALSE(encoder.Encode(&in, out, 16, 1));
    encoder.CreateBuffer();
    encoder.ReleaseBuffer();
    EXPECT_FALSE(encoder.Encode(&in, out, 16, 1));
}

TEST(TRangeEncode, CapacityOneShortOfTheStreamFails)
{
    const Bytes input = CodecCorpus::Text(3000, 4);
    const Bytes coded = Encode(input);
    TRangeEncode encoder;
    encoder.CreateBuffer();
    Bytes out(coded.size());
    EXPECT_FALSE(encoder.Encode(input.data(), out.data(), static_cast<int>(coded.size()) - 1, static_cast<int>(input.size())));
    EXPECT_EQ(encoder.OutSize(), 0);
    encoder.Initialize();
    EXPECT_TRUE(encoder.Encode(input.data(), out.data(), static_cast<int>(coded.size()), static_cast<int>(input.size())));
    EXPECT_EQ(out, coded);
}

// Random mixtures of runs, noise and text of random lengths: the stream is the same whatever room
// the caller gives, as long as it fits, and decodes back exactly.
TEST(TRangeDecode, RoundTripsRandomMixtures)
{
    std::mt19937 rng(31);
    for (int round = 0; round < 60; ++round) {
        Bytes input;
        const std::size_t size = 1 + rng() % (round < 30 ? 300 : 40000);
        while (input.size() < size) {
            const std::size_t part = 1 + rng() % 3000;
            const std::uint32_t seed = rng();
            const Bytes piece = rng() % 3 == 0 ? CodecCorpus::Runs(part, seed)
                                : rng() % 2    ? CodecCorpus::Random(part, seed)
                                               : Skewed(part, seed, 1 + rng() % 200);
            input.insert(input.end(), piece.begin(), piece.end());
        }
        input.resize(size);
        const Bytes coded = Encode(input);
        TRangeEncode tight;
        tight.CreateBuffer();
        Bytes exact(coded.size());
        ASSERT_TRUE(tight.Encode(input.data(), exact.data(), static_cast<int>(exact.size()), static_cast<int>(size))) << round;
        EXPECT_EQ(exact, coded) << round;
        bool ok = false;
        EXPECT_EQ(Decode(coded, static_cast<int>(size), ok), input) << round;
        EXPECT_TRUE(ok) << round;
    }
}

TEST(TRangeDecode, StopsAtTheEndSymbol)
{
    bool ok = false;
    EXPECT_EQ(Decode(Encode(FromText("A")), 1000, ok), FromText("A"));
    EXPECT_TRUE(ok);
}

TEST(TRangeDecode, RoundTripsTheCorpus)
{
    const Bytes inputs[] = {FromText("x"), CodecCorpus::Text(10000, 5), CodecCorpus::Binary(20000, 6),
                            CodecCorpus::Runs(30000, 7), CodecCorpus::Random(5000, 8),
                            CodecCorpus::Periodic(4097, 3, 9), Bytes(2001, 0), Bytes(2001, 255)};
    for (const Bytes& input : inputs) {
        const Bytes coded = Encode(input);
        ASSERT_FALSE(coded.empty());
        bool ok = false;
        EXPECT_EQ(Decode(coded, static_cast<int>(input.size()), ok), input);
        EXPECT_TRUE(ok);
        TRangeDecode decoder;
        decoder.CreateBuffer();
        Decode(decoder, coded, static_cast<int>(input.size()) + 10, ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(decoder.InCount(), static_cast<int>(coded.size())) << "a whole stream is taken exactly";
    }
}

// Zeros, the bulk of move-to-front output, are decoded in runs up to each rescale of the model:
// runs of every length around the rescale interval, and room that ends inside a run.
TEST(TRangeDecode, RunsOfZerosCrossRescalesAndRoom)
{
    for (int gap : {1, 7, 17, 18, 19, 150, 1999, 2000, 2001, 9000}) {
        Bytes input(30000, 0);
        for (std::size_t at = static_cast<std::size_t>(gap); at < input.size(); at += static_cast<std::size_t>(gap) + 1)
            input[at] = static_cast<unsigned char>(1 + at % 5);
        const Bytes coded = Encode(input);
        bool ok = false;
        EXPECT_EQ(Decode(coded, static_cast<int>(input.size()), ok), input) << gap;
        EXPECT_TRUE(ok) << gap;
        const int room = std::min(gap / 2 + 1, 29999); // ends inside the first run
        const Bytes part = Decode(coded, room, ok);
        EXPECT_TRUE(ok) << gap;
        EXPECT_EQ(part, Bytes(input.begin(), input.begin() + room)) << gap;
    }
}

// The model runs on from call to call, so the decoder must repeat the encoder's sequence.
TEST(TRangeDecode, FollowsTheEncodersSequenceOfCalls)
{
    const Bytes a = CodecCorpus::Text(4000, 10), b = CodecCorpus::Text(4000, 11);
    TRangeEncode encoder;
    encoder.CreateBuffer();
    const Bytes codedA = Encode(encoder, a), codedB = Encode(encoder, b);
    EXPECT_NE(codedB, Encode(b)) << "the second call starts from the first call's statistics";

    TRangeDecode decoder;
    decoder.CreateBuffer();
    bool ok = false;
    EXPECT_EQ(Decode(decoder, codedA, 4000, ok), a);
    EXPECT_EQ(Decode(decoder, codedB, 4000, ok), b);
    EXPECT_TRUE(ok);
    const Bytes fresh = Decode(codedB, 4000, ok);
    EXPECT_TRUE(!ok || fresh != b);
}

TEST(TRangeDecode, RefusesStreamsTooShortToStart)
{
    bool ok = true;
    Decode(Bytes{0x00}, 10, ok);
    EXPECT_FALSE(ok);
    TRangeDecode decoder;
    decoder.CreateBuffer();
    unsigned char out[1];
    EXPECT_TRUE(decoder.Decode(out, out, 1, 0)) << "no input at all is the empty stream";
}

TEST(TRangeDecode, DamagedStreamsFailOrStayInBounds)
{
    std::mt19937 rng(1234);
    const Bytes inputs[] = {CodecCorpus::Text(3000, 12), CodecCorpus::Runs(3000, 13), CodecCorpus::Random(500, 14)};
    int refused = 0;
    for (int round = 0; round < 1000; ++round) {
        const Bytes& input = inputs[round % 3];
        const Bytes coded = Encode(input);
        const CodecCorpus::Damage damage = CodecCorpus::Damaged(coded, rng);
        bool ok = false;
        const Bytes out = Decode(damage.stream, static_cast<int>(input.size()), ok);
        if (damage.kind == CodecCorpus::DamageKind::Cut) {
            EXPECT_FALSE(ok) << "round " << round;
        }
        if (damage.kind == CodecCorpus::DamageKind::Extend) {
            EXPECT_EQ(out, input) << "bytes after the end symbol are not read";
        }
        EXPECT_LE(out.size(), input.size());
        refused += ok ? 0 : 1;
    }
    EXPECT_GT(refused, 250);
}

TEST(TQSModel, StartsFromTheMoveToFrontTable)
{
    const TQSModel model(TQSModel::InitialCounts, false);
    EXPECT_EQ(model.Width(0), 1400u);
    EXPECT_EQ(model.Width(11), 24u);
    EXPECT_EQ(model.Width(133), 3u);
    EXPECT_EQ(model.Width(TQSModel::EndSymbol), 2u);
}

TEST(TQSModel, FallsBackToAnEvenStartForABadTable)
{
    const std::uint16_t bad[3] = {1, 2, 3};
    const TQSModel model(bad, true);
    // 4096 = 257 × 15 + 241: the first 241 symbols start one count higher.
    EXPECT_EQ(model.Width(0), 16u);
    EXPECT_EQ(model.Width(240), 16u);
    EXPECT_EQ(model.Width(241), 15u);
    EXPECT_EQ(model.Width(256), 15u);
    EXPECT_EQ(model.Low(256) + model.Width(256), TQSModel::Total);
    for (unsigned v = 0; v < TQSModel::Total; v += 7) {
        const int s = model.Find(v);
        EXPECT_TRUE(model.Low(s) <= v && v < model.Low(s) + model.Width(s));
    }
}

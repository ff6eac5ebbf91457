// The Tovanu LZ codec: exact streams, match coding, round trips at every buffer edge, hostile
// streams and damage; the hash chains.
#include "base/codecs/TTovanu.h"

#include "tests/base/CodecCorpus.h"

#include <gtest/gtest.h>

namespace {

using CodecCorpus::Bytes;

Bytes Encode(const Bytes& input)
{
    TTovanuEncode encoder;
    Bytes out;
    EXPECT_TRUE(CodecCorpus::EncodeAll(encoder, input, out));
    EXPECT_EQ(encoder.OutSize(), static_cast<int>(out.size()));
    return out;
}

bool Decode(const Bytes& stream, int plainSize, Bytes& out)
{
    TTovanuDecode decoder;
    return CodecCorpus::DecodeAll(decoder, stream, plainSize, out);
}

struct Item {
    bool match;
    int length;   // 1 for a literal
    int distance; // 0 for a literal
    int token;    // the token byte of a match
};

// Reads a stream's items, independently of the decoder.
std::vector<Item> Items(const Bytes& stream, int plainSize)
{
    std::vector<Item> items;
    std::size_t at = 0;
    int produced = 0;
    while (produced < plainSize && at + 4 <= stream.size()) {
        const std::uint32_t flags = stream[at] | stream[at + 1] << 8 | stream[at + 2] << 16 | std::uint32_t(stream[at + 3]) << 24;
        at += 4;
        for (int bit = 31; bit >= 0 && produced < plainSize; --bit) {
            if (!(flags >> bit & 1)) {
                items.push_back({false, 1, 0, 0});
                ++at;
                ++produced;
                continue;
            }
            const int token = stream[at++];
            int length = (token >> 4) + 1;
            if (token >> 4 == 14)
                length = stream[at++];
            else if (token >> 4 == 15)
                length = stream[at] | stream[at + 1] << 8, at += 2;
            int distance = (token & 15) + 1;
            if ((token & 15) >= 10)
                distance = ((token & 15) - 10) * 256 + stream[at++];
            items.push_back({true, length, distance, token});
            produced += length;
        }
    }
    return items;
}

} // namespace

TEST(TTovanuEncode, OneByteIsAFlagWordAndALiteral)
{
    EXPECT_EQ(Encode(Bytes{'Q'}), (Bytes{0, 0, 0, 0, 'Q'}));
}

TEST(TTovanuEncode, SixtyFourBytesWithoutRepeatsAreTwoLiteralPackets)
{
    Bytes input(64);
    for (int i = 0; i < 64; ++i)
        input[i] = static_cast<unsigned char>(i);
    Bytes expected{0, 0, 0, 0};
    expected.insert(expected.end(), input.begin(), input.begin() + 32);
    expected.insert(expected.end(), {0, 0, 0, 0});
    expected.insert(expected.end(), input.begin() + 32, input.end());
    EXPECT_EQ(Encode(input), expected);
}

TEST(TTovanuEncode, ARunIsALiteralAndOneMatch)
{
    // Flag word 0x40000000 (literal, then match), the literal, token h = 14 d = 0, length 99.
    EXPECT_EQ(Encode(Bytes(100, 'r')), (Bytes{0x00, 0x00, 0x00, 0x40, 'r', 0xE0, 99}));
}

TEST(TTovanuEncode, CodesEachDistanceAndLengthRange)
{
    struct Case {
        int distance, lowNibble;
    };
    for (const Case c : {Case{5, 4}, Case{10, 9}, Case{11, 10}, Case{255, 10}, Case{256, 11}, Case{1279, 14}, Case{1280, 15},
                         Case{1535, 15}}) {
        // A 12-byte phrase, filler without repeated pairs, the phrase again at the distance.
        Bytes input = CodecCorpus::Random(12, 99);
        for (int i = 12; i < c.distance; ++i)
            input.push_back(static_cast<unsigned char>(i * 37 % 251 + 3));
        if (c.distance < 12)
            input.resize(static_cast<std::size_t>(c.distance));
        const Bytes phrase(input.begin(), input.begin() + std::min(12, c.distance));
        input.insert(input.end(), phrase.begin(), phrase.end());
        const Bytes coded = Encode(input);
        const std::vector<Item> items = Items(coded, static_cast<int>(input.size()));
        ASSERT_FALSE(items.empty());
        const Item& last = items.back();
        EXPECT_TRUE(last.match) << c.distance;
        EXPECT_EQ(last.distance, c.distance);
        EXPECT_EQ(last.token & 15, c.lowNibble) << c.distance;
        Bytes out;
        EXPECT_TRUE(Decode(coded, static_cast<int>(input.size()), out));
        EXPECT_EQ(out, input);
    }
    // Lengths: 14 in the nibble, 15-255 in one byte, above 255 in two; a match never passes 8,192.
    for (const int length : {14, 15, 255, 256, 8192, 9000}) {
        Bytes input{'a', 'b'};
        input.resize(2 + static_cast<std::size_t>(length), 'c');
        const std::vector<Item> items = Items(Encode(input), static_cast<int>(input.size()));
        ASSERT_GE(items.size(), 4u);
        EXPECT_EQ(items[3].length, std::min(length - 1, 8192)) << length;
        EXPECT_EQ(items[3].token >> 4, length - 1 <= 14 ? length - 2 : length - 1 <= 255 ? 14 : 15) << length;
    }
}

TEST(TTovanuDecode, RoundTripsAtEveryBufferEdge)
{
    for (int size : {1, 2, 3, 255, 256, 257, 1535, 1536, 1537, 16383, 16384, 16385, 16384 + 8192, 32767, 32768, 32769,
                     49151, 49152, 49153, 200003}) {
        for (const Bytes& input : {CodecCorpus::Text(static_cast<std::size_t>(size), 1), CodecCorpus::Runs(static_cast<std::size_t>(size), 2),
                                   CodecCorpus::Random(static_cast<std::size_t>(size), 3), CodecCorpus::MixedPeriods(static_cast<std::size_t>(size), 4),
                                   CodecCorpus::Binary(static_cast<std::size_t>(size), 5)}) {
            Bytes out;
            EXPECT_TRUE(Decode(Encode(input), size, out)) << size;
            EXPECT_EQ(out, input) << size;
        }
    }
}

TEST(TTovanuEncode, FailsPastTheOutputLimit)
{
    const Bytes input = CodecCorpus::Random(5000, 6);
    TTovanuEncode encoder;
    Bytes out;
    EXPECT_FALSE(CodecCorpus::EncodeAll(encoder, input, out, 5000));
    EXPECT_TRUE(CodecCorpus::EncodeAll(encoder, input, out, 5000 + 5000 / 8 + 4));
}

TEST(TTovanuEncode, EmptyInputAndCallbackFailure)
{
    TTovanuEncode encoder;
    auto fail = [](auto...) { return false; };
    EXPECT_TRUE(encoder.Encode(0, 0, fail, fail, nullptr));
    EXPECT_FALSE(encoder.Encode(10, 100, fail, CodecCorpus::Sink{nullptr}, nullptr));
    TTovanuDecode decoder;
    EXPECT_TRUE(decoder.Decode(0, 0, fail, fail, nullptr));
    EXPECT_FALSE(decoder.Decode(0, 1, fail, fail, nullptr));
    EXPECT_FALSE(decoder.Decode(5, 1, fail, fail, nullptr));
}

// Streams the encoder never writes: each must be refused, never decoded into or out of bounds.
TEST(TTovanuDecode, RefusesImpossibleItems)
{
    struct Case {
        const char* what;
        Bytes stream;
        int plainSize;
    };
    const Case cases[] = {
        {"match before the start", {0x00, 0x00, 0x00, 0x40, 'a', 0x01}, 3},           // distance 2 after one byte
        {"distance 0", {0x00, 0x00, 0x00, 0x40, 'a', 0x1A, 0x00}, 3},
        {"length 0", {0x00, 0x00, 0x00, 0x40, 'a', 0xE0, 0x00}, 3},
        {"flag word cut", {0x00, 0x00, 0x00}, 1},
        {"literal missing", {0x00, 0x00, 0x00, 0x00, 'a'}, 2},
        {"distance byte missing", {0x00, 0x00, 0x00, 0x40, 'a', 0x1A}, 3},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_FALSE(Decode(c.stream, c.plainSize, out)) << c.what;
    }
    Bytes out;
    EXPECT_TRUE(Decode({0x00, 0x00, 0x00, 0x40, 'a', 0xE0, 99}, 100, out));
    EXPECT_EQ(out, Bytes(100, 'a'));
}

// Once the output is complete the decoder stops: a last match running past it is cut, and bytes
// after it are not read.
TEST(TTovanuDecode, StopsAtTheOutputSize)
{
    struct Case {
        const char* what;
        Bytes stream;
        Bytes plain;
    };
    const Case cases[] = {
        {"match past the output", {0x00, 0x00, 0x00, 0x40, 'a', 0xE0, 99}, Bytes(50, 'a')}, // the 100-byte run into 50
        {"longest token into a short output", {0x00, 0x00, 0x00, 0x40, 'a', 0xF0, 0xFF, 0xFF}, Bytes(1000, 'a')},
        {"match past the output, then more items", {0x00, 0x00, 0x00, 0x60, 'a', 0x10, 'b'}, Bytes(2, 'a')},
        {"bytes after the end", {0x00, 0x00, 0x00, 0x00, 'a', 'b'}, {'a'}},
        {"a packet after the end", {0x00, 0x00, 0x00, 0x00, 'a', 0x00, 0x00, 0x00, 0x00, 'b'}, {'a'}},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_TRUE(Decode(c.stream, static_cast<int>(c.plain.size()), out)) << c.what;
        EXPECT_EQ(out, c.plain) << c.what;
    }
}

// Thirty-two matches of the longest length in one packet: the decoder writes out as it goes.
TEST(TTovanuDecode, TakesLongMatchesBackToBack)
{
    Bytes stream{0xFF, 0xFF, 0xFF, 0x7F, 'z'}; // a literal, then 31 matches
    for (int i = 0; i < 31; ++i)
        stream.insert(stream.end(), {0xF0, 0xFF, 0xFF});
    Bytes out;
    ASSERT_TRUE(Decode(stream, 1 + 31 * 65535, out));
    EXPECT_EQ(out, Bytes(1 + 31 * 65535, 'z'));
}

TEST(TTovanuDecode, DamagedStreamsFailOrStayInBounds)
{
    std::mt19937 rng(99);
    const Bytes inputs[] = {CodecCorpus::Text(40000, 7), CodecCorpus::Runs(20000, 8), CodecCorpus::Binary(3000, 9),
                            CodecCorpus::Random(700, 10)};
    std::vector<Bytes> streams;
    for (const Bytes& input : inputs)
        streams.push_back(Encode(input));
    int refused = 0, damaged = 0;
    for (int round = 0; round < 1000; ++round) {
        const std::size_t which = static_cast<std::size_t>(round) % streams.size();
        const CodecCorpus::Damage damage = CodecCorpus::Damaged(streams[which], rng);
        Bytes out;
        const bool ok = Decode(damage.stream, static_cast<int>(inputs[which].size()), out);
        if (damage.kind == CodecCorpus::DamageKind::Cut) {
            EXPECT_FALSE(ok) << "round " << round;
        }
        if (damage.kind == CodecCorpus::DamageKind::Extend) {
            EXPECT_TRUE(ok && out == inputs[which]) << "round " << round << ": bytes after the end are not read";
        }
        if (ok) {
            EXPECT_EQ(out.size(), inputs[which].size());
        }
        if (damage.kind != CodecCorpus::DamageKind::Extend) {
            ++damaged;
            refused += ok ? 0 : 1;
        }
    }
    EXPECT_GT(refused * 5, damaged * 2) << "most damage is caught";
}

TEST(TTovanuHash, KeepsTheLastInsertsNewestFirst)
{
    TTovanuHash hash;
    ASSERT_TRUE(hash.Create(3));
    EXPECT_EQ(hash.First(7), -1);
    for (std::uint32_t position = 0; position < 5; ++position)
        hash.Insert(position % 2 == 0 ? 7 : 9, position);
    // Positions 2, 3, 4 remain: key 7 holds 4 then 2, key 9 holds 3.
    std::vector<std::uint32_t> seven;
    for (int node = hash.First(7); node >= 0; node = hash.Next(node))
        seven.push_back(hash.Position(node));
    EXPECT_EQ(seven, (std::vector<std::uint32_t>{4, 2}));
    ASSERT_GE(hash.First(9), 0);
    EXPECT_EQ(hash.Position(hash.First(9)), 3u);
    EXPECT_EQ(hash.Next(hash.First(9)), -1);
}

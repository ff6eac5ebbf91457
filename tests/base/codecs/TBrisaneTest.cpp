// The Brisane codec: block layout, every encoder through the one decoder, stored and coded blocks,
// limits, callback failures and damaged streams.
#include "base/codecs/TBrisane.h"

#include "tests/base/CodecCorpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

using CodecCorpus::Bytes;

struct Block {
    int size;  // S
    int plain; // n
};

std::vector<Block> Blocks(const Bytes& stream)
{
    std::vector<Block> blocks;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const int size = stream[at] | stream[at + 1] << 8;
        blocks.push_back({size, stream[at + 2] | stream[at + 3] << 8});
        if (size < 4)
            break;
        at += static_cast<std::size_t>(size);
    }
    return blocks;
}

std::unique_ptr<TBrisaneEncodeBase> MakeEncoder(int blockSize)
{
    switch (blockSize) {
    case 1024:
        return std::make_unique<TBrisaneMiniEncode>();
    case 8192:
        return std::make_unique<TBrisaneLEEncode>();
    default:
        return std::make_unique<TBrisaneEncode>();
    }
}

Bytes Encode(const Bytes& input, int blockSize = 32768)
{
    Bytes out;
    const auto encoder = MakeEncoder(blockSize);
    EXPECT_TRUE(CodecCorpus::EncodeAll(*encoder, input, out));
    EXPECT_EQ(encoder->OutSize(), static_cast<int>(out.size()));
    return out;
}

bool Decode(const Bytes& stream, int plainSize, Bytes& out)
{
    TBrisaneDecode decoder;
    return CodecCorpus::DecodeAll(decoder, stream, plainSize, out);
}

// A stored block of a stream's first block: the primary index and last column, move-to-front coded.
Bytes StoredBlock(int primary, const Bytes& last)
{
    Bytes codes{static_cast<unsigned char>(primary), static_cast<unsigned char>(primary >> 8)};
    codes.insert(codes.end(), last.begin(), last.end());
    TMTFEncode mtf;
    mtf.CreateBuffer();
    mtf.Encode(codes.data(), static_cast<int>(codes.size()));
    const int n = static_cast<int>(last.size()), size = n + 6;
    Bytes block{static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(n),
                static_cast<unsigned char>(n >> 8)};
    block.insert(block.end(), codes.begin(), codes.end());
    return block;
}

constexpr int BlockSizes[] = {32768, 8192, 1024};

} // namespace

TEST(TBrisaneEncode, EmptyInputCallsNothing)
{
    TBrisaneEncode encoder;
    bool called = false;
    auto fail = [&](auto...) {
        called = true;
        return false;
    };
    EXPECT_TRUE(encoder.Encode(0, 0, fail, fail, nullptr));
    EXPECT_FALSE(called);
    TBrisaneDecode decoder;
    EXPECT_TRUE(decoder.Decode(0, 0, fail, fail, nullptr));
    EXPECT_FALSE(decoder.Decode(0, 5, fail, fail, nullptr)) << "no input cannot make five bytes";
    EXPECT_FALSE(called);
}

TEST(TBrisaneEncode, CutsInputIntoBlocksOfItsSize)
{
    for (int blockSize : BlockSizes) {
        const Bytes exact = Encode(CodecCorpus::Text(static_cast<std::size_t>(blockSize), 1), blockSize);
        ASSERT_EQ(Blocks(exact).size(), 1u);
        EXPECT_EQ(Blocks(exact)[0].plain, blockSize);
        EXPECT_EQ(Blocks(exact)[0].size, static_cast<int>(exact.size()));

        const std::vector<Block> two = Blocks(Encode(CodecCorpus::Text(static_cast<std::size_t>(blockSize) + 1, 1), blockSize));
        ASSERT_EQ(two.size(), 2u);
        EXPECT_EQ(two[0].plain, blockSize);
        EXPECT_EQ(two[1].plain, 1);
    }
}

TEST(TBrisaneDecode, ReadsEveryEncodersStreamsAtEveryBlockEdge)
{
    for (int blockSize : BlockSizes) {
        for (int size : {1, 2, blockSize - 1, blockSize, blockSize + 1, 2 * blockSize, 3 * blockSize + 7, 70001}) {
            for (const Bytes& input : {CodecCorpus::Text(static_cast<std::size_t>(size), size), CodecCorpus::Runs(static_cast<std::size_t>(size), 2),
                                       CodecCorpus::Binary(static_cast<std::size_t>(size), 3)}) {
                Bytes out;
                EXPECT_TRUE(Decode(Encode(input, blockSize), size, out)) << blockSize << " " << size;
                EXPECT_EQ(out, input) << blockSize << " " << size;
            }
        }
    }
}

// Coders keep their buffers from call to call: a stream after a larger one, or after a failed
// decode, must come out as if the coder were new.
TEST(TBrisaneDecode, OneCoderServesStreamsOneAfterAnother)
{
    for (int blockSize : BlockSizes) {
        const auto encoder = MakeEncoder(blockSize);
        TBrisaneDecode decoder;
        for (int size : {70001, 5, 3 * blockSize + 7, 1, 40000}) {
            const Bytes input = size % 2 ? CodecCorpus::Text(static_cast<std::size_t>(size), size)
                                         : CodecCorpus::Runs(static_cast<std::size_t>(size), size);
            Bytes coded, out;
            ASSERT_TRUE(CodecCorpus::EncodeAll(*encoder, input, coded)) << blockSize << " " << size;
            EXPECT_EQ(coded, Encode(input, blockSize)) << "as a new encoder codes it";
            EXPECT_FALSE(CodecCorpus::DecodeAll(decoder, Bytes(coded.begin(), coded.end() - 1), size, out));
            EXPECT_TRUE(CodecCorpus::DecodeAll(decoder, coded, size, out)) << blockSize << " " << size;
            EXPECT_EQ(out, input) << blockSize << " " << size;
        }
    }
}

// Blocks are rebuilt on a helper thread while the next is decoded, yet handed out in order: each
// block before a bad one is written, with progress after each.
TEST(TBrisaneDecode, WritesTheBlocksBeforeABadOneInOrder)
{
    const Bytes input = CodecCorpus::Text(4 * 1024, 12);
    const Bytes coded = Encode(input, 1024);
    const std::vector<Block> blocks = Blocks(coded);
    ASSERT_EQ(blocks.size(), 4u);
    const int thirdEnds = blocks[0].size + blocks[1].size + blocks[2].size;

    std::vector<int> steps;
    Bytes out;
    TBrisaneDecode decoder;
    ASSERT_TRUE(decoder.Decode(static_cast<int>(coded.size()), 4096, CodecCorpus::Source{coded}, CodecCorpus::Sink{&out},
                               [&](int percent) { steps.push_back(percent); }));
    EXPECT_EQ(out, input);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(steps.back(), 100);

    struct Case {
        const char* what;
        Bytes stream;
        int plainSize;
        int writesAllowed;
        std::size_t written;
    };
    const Case cases[] = {
        {"cut inside the third block", Bytes(coded.begin(), coded.begin() + thirdEnds - 1), 4096, 4, 2048},
        {"stream ends after three blocks", Bytes(coded.begin(), coded.begin() + thirdEnds), 4096, 4, 3072},
        {"second write fails", coded, 4096, 1, 1024},
    };
    for (const Case& c : cases) {
        out.clear();
        int writes = 0;
        const auto sink = [&](const unsigned char* buffer, int size) {
            if (writes++ >= c.writesAllowed)
                return false;
            out.insert(out.end(), buffer, buffer + size);
            return true;
        };
        EXPECT_FALSE(decoder.Decode(static_cast<int>(c.stream.size()), c.plainSize, CodecCorpus::Source{c.stream}, sink, nullptr))
            << c.what;
        EXPECT_EQ(out, Bytes(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(c.written))) << c.what;
        EXPECT_EQ(decoder.OutSize(), static_cast<int>(c.written)) << c.what;
    }
    int reads = 0;
    CodecCorpus::Source source{coded};
    EXPECT_FALSE(decoder.Decode(
        static_cast<int>(coded.size()), 4096,
        [&](unsigned char* buffer, int size) {
            if (++reads > 4)
                throw std::runtime_error("gone while a block is being rebuilt");
            return source(buffer, size);
        },
        CodecCorpus::Sink{&out}, nullptr));
    EXPECT_TRUE(Decode(coded, 4096, out)) << "usable again afterwards";
}

TEST(TBrisaneEncode, StoresWhatDoesNotShrinkAndMixesBothKinds)
{
    // Random, text, random, periodic, random: stored and coded blocks alternate, and the range model
    // restarts after each stored one on both sides.
    Bytes input;
    for (const Bytes& part : {CodecCorpus::Random(32768, 1), CodecCorpus::Text(40000, 2), CodecCorpus::Random(20000, 3),
                              CodecCorpus::Periodic(50000, 9, 4), CodecCorpus::Random(1000, 5)})
        input.insert(input.end(), part.begin(), part.end());
    for (int blockSize : BlockSizes) {
        const Bytes coded = Encode(input, blockSize);
        int stored = 0, codedBlocks = 0;
        for (const Block& block : Blocks(coded))
            (block.size == block.plain + 6 ? stored : codedBlocks)++;
        EXPECT_GT(stored, 0);
        EXPECT_GT(codedBlocks, 0);
        Bytes out;
        EXPECT_TRUE(Decode(coded, static_cast<int>(input.size()), out));
        EXPECT_EQ(out, input);
    }
}

TEST(TBrisaneEncode, FailsBeforeWritingTheBlockThatPassesTheLimit)
{
    const Bytes input = CodecCorpus::Text(100000, 6);
    const Bytes coded = Encode(input);
    const int first = Blocks(coded)[0].size;
    TBrisaneEncode encoder;
    Bytes out;
    EXPECT_FALSE(CodecCorpus::EncodeAll(encoder, input, out, first - 1));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(CodecCorpus::EncodeAll(encoder, input, out, first + 1));
    EXPECT_EQ(static_cast<int>(out.size()), first);
    EXPECT_EQ(encoder.OutSize(), first);
}

TEST(TBrisaneEncode, CallbackFailureIsFalseNotAnException)
{
    TBrisaneEncode encoder;
    Bytes out;
    EXPECT_FALSE(encoder.Encode(100, 1000, [](unsigned char*, int) { return false; }, CodecCorpus::Sink{&out}, nullptr));
    const Bytes input(100, 'x');
    EXPECT_FALSE(encoder.Encode(100, 1000, CodecCorpus::Source{input}, [](const unsigned char*, int) { return false; }, nullptr));
    EXPECT_FALSE(encoder.Encode(100, 1000, [](unsigned char*, int) -> bool { throw std::runtime_error("gone"); },
                                CodecCorpus::Sink{&out}, nullptr));
    EXPECT_TRUE(CodecCorpus::EncodeAll(encoder, input, out)) << "usable again afterwards";
}

TEST(TBrisaneEncode, ReportsProgressAfterEachBlock)
{
    const Bytes input = CodecCorpus::Text(4 * 8192, 7);
    std::vector<int> steps;
    Bytes out;
    TBrisaneLEEncode encoder;
    EXPECT_TRUE(encoder.Encode(static_cast<int>(input.size()), 1 << 20, CodecCorpus::Source{input}, CodecCorpus::Sink{&out},
                               [&](int percent) { steps.push_back(percent); }));
    EXPECT_EQ(steps, (std::vector<int>{25, 50, 75, 100}));
}

TEST(TBrisaneDecode, RefusesMalformedBlockHeaders)
{
    const Bytes good = StoredBlock(1, {'n', 'n', 'b', 'a', 'a', 'a'}); // see TBWTEncode.TransformsAKnownBlock
    Bytes out;
    ASSERT_TRUE(Decode(good, 6, out));
    EXPECT_EQ(out, (Bytes{'a', 'n', 'a', 'b', 'a', 'n'})) << "primary index 1: the second sorted rotation";

    auto with = [&](int at, unsigned char value) {
        Bytes b = good;
        b[static_cast<std::size_t>(at)] = value;
        return b;
    };
    EXPECT_FALSE(Decode(with(2, 0), 6, out)) << "n = 0";
    EXPECT_FALSE(Decode(with(2, 5), 6, out)) << "S neither n + 6 nor a coded length";
    EXPECT_FALSE(Decode(with(0, 3), 6, out)) << "S below the header";
    EXPECT_FALSE(Decode(with(0, 20), 6, out)) << "S past the input";
    EXPECT_FALSE(Decode(StoredBlock(6, {'n', 'n', 'b', 'a', 'a', 'a'}), 6, out)) << "primary index not below n";
    Bytes tooLong = good;
    tooLong[2] = 0x01, tooLong[3] = 0x81; // n = 33,025
    EXPECT_FALSE(Decode(tooLong, 40000, out));
}

// The plain size ends the stream: the block that reaches it is cut, whatever follows is not read.
TEST(TBrisaneDecode, StopsAtThePlainSize)
{
    const Bytes input = CodecCorpus::Text(4 * 1024, 12);
    const Bytes coded = Encode(input, 1024);
    ASSERT_EQ(Blocks(coded).size(), 4u);
    const Bytes trailing = {0xde, 0xad, 0xbe, 0xef, 0x00};
    Bytes padded = coded;
    padded.insert(padded.end(), trailing.begin(), trailing.end());
    struct Case {
        const char* what;
        const Bytes& stream;
        int plainSize;
    };
    const Case cases[] = {
        {"last block one byte longer than needed", coded, 4095},
        {"plain size reached in the first of four blocks", coded, 1000},
        {"stray bytes after the last block", padded, 4096},
        {"one block, cut", StoredBlock(1, {'n', 'n', 'b', 'a', 'a', 'a'}), 5},
    };
    for (const Case& c : cases) {
        Bytes out;
        ASSERT_TRUE(Decode(c.stream, c.plainSize, out)) << c.what;
        EXPECT_EQ(out.size(), static_cast<std::size_t>(c.plainSize)) << c.what;
    }
    Bytes out;
    ASSERT_TRUE(Decode(coded, 4095, out));
    EXPECT_EQ(out, Bytes(input.begin(), input.end() - 1));
    ASSERT_TRUE(Decode(StoredBlock(1, {'n', 'n', 'b', 'a', 'a', 'a'}), 5, out));
    EXPECT_EQ(out, (Bytes{'a', 'n', 'a', 'b', 'a'}));
}

TEST(TBrisaneDecode, RefusesACodedBlockWithTooManyOrTooFewCodes)
{
    // A block claiming one more plain byte than its range-coded payload holds, and one claiming one fewer.
    const Bytes input = CodecCorpus::Text(2000, 8);
    const Bytes coded = Encode(input);
    ASSERT_LT(Blocks(coded)[0].size, 2006) << "a coded block";
    Bytes more = coded, fewer = coded;
    more[2] = static_cast<unsigned char>(2001), more[3] = static_cast<unsigned char>(2001 >> 8);
    fewer[2] = static_cast<unsigned char>(1999), fewer[3] = static_cast<unsigned char>(1999 >> 8);
    Bytes out;
    EXPECT_FALSE(Decode(more, 2001, out));
    EXPECT_FALSE(Decode(fewer, 1999, out));
}

TEST(TBrisaneDecode, DamagedStreamsFailOrStayInBounds)
{
    std::mt19937 rng(4321);
    std::vector<Bytes> inputs, streams;
    for (int i = 0; i < 4; ++i) {
        inputs.push_back(i == 3 ? CodecCorpus::Random(1500, 9) : CodecCorpus::Text(2500 + 700 * i, 10 + i));
        streams.push_back(Encode(inputs.back(), BlockSizes[i % 3]));
    }
    int refused = 0;
    for (int round = 0; round < 1000; ++round) {
        const std::size_t which = static_cast<std::size_t>(round) % inputs.size();
        const CodecCorpus::Damage damage = CodecCorpus::Damaged(streams[which], rng);
        Bytes out;
        const bool ok = Decode(damage.stream, static_cast<int>(inputs[which].size()), out);
        if (damage.kind == CodecCorpus::DamageKind::Cut) {
            EXPECT_FALSE(ok) << "round " << round;
        }
        if (damage.kind == CodecCorpus::DamageKind::Extend) {
            EXPECT_EQ(out, inputs[which]) << "bytes after the last block are not read";
        }
        if (ok) {
            EXPECT_EQ(out.size(), inputs[which].size());
        }
        refused += ok ? 0 : 1;
    }
    EXPECT_GT(refused, 600);
}

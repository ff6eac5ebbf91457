// The block-sorting stages: the transform against a plain rotation sort, its inverse, move-to-front.
#include "base/codecs/TBlockSort.h"

#include "tests/base/CodecCorpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

using CodecCorpus::Bytes;

Bytes Transform(const Bytes& block)
{
    TBWTEncode bwt;
    bwt.CreateBuffer();
    Bytes out(block.size() + 2);
    EXPECT_TRUE(bwt.Encode(block.data(), out.data(), static_cast<int>(block.size())));
    return out;
}

Bytes Inverse(const Bytes& transformed, bool& ok)
{
    TBWTDecode bwt;
    bwt.CreateBuffer();
    Bytes out(transformed.size() - 2);
    ok = bwt.Decode(transformed.data(), out.data(), static_cast<int>(transformed.size()));
    return out;
}

// The last column by sorting the rotations with full comparisons: the oracle for small blocks.
Bytes ReferenceLastColumn(const Bytes& block)
{
    const int n = static_cast<int>(block.size());
    std::vector<int> order(block.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int k = 0; k < n; ++k) {
            const unsigned char x = block[(a + k) % n], y = block[(b + k) % n];
            if (x != y)
                return x < y;
        }
        return false;
    });
    Bytes last;
    for (int start : order)
        last.push_back(block[(start + n - 1) % n]);
    return last;
}

} // namespace

TEST(TBWTEncode, TransformsAKnownBlock)
{
    // Sorted rotations of "banana": abanan, anaban, ananab, banana (rotation 0, row 3), nabana, nanaba.
    EXPECT_EQ(Transform(Bytes{'b', 'a', 'n', 'a', 'n', 'a'}), (Bytes{3, 0, 'n', 'n', 'b', 'a', 'a', 'a'}));
}

TEST(TBWTEncode, ABlockOfOneByteIsItsOwnLastColumn)
{
    const Bytes block(5000, 'z');
    Bytes expected{0, 0};
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(Transform(block), expected);
}

TEST(TBWTEncode, MatchesAPlainRotationSort)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 400; ++round) {
        const int n = 1 + static_cast<int>(rng() % 300);
        const int alphabet = 1 + static_cast<int>(rng() % (round % 3 == 0 ? 2 : 256));
        Bytes block(static_cast<std::size_t>(n));
        for (auto& b : block)
            b = static_cast<unsigned char>(rng() % alphabet);
        if (round % 5 == 0) // repeated patterns make equal rotations
            block = CodecCorpus::Periodic(static_cast<std::size_t>(n), 1 + rng() % 6, round);
        if (round % 5 == 1) { // long runs, sorted through the run structure
            block.clear();
            while (block.size() < static_cast<std::size_t>(n))
                block.insert(block.end(), 1 + rng() % 12, static_cast<unsigned char>(rng() % 3));
            block.resize(static_cast<std::size_t>(n));
        }
        if (round % 5 == 2) { // a pattern of runs repeated: equal rotations among the run starts
            const int period = 2 + static_cast<int>(rng() % 3);
            for (int i = 0; i < n; ++i)
                block[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i / period % 2 + (i % (4 * period) == 0 ? 2 : 0));
        }
        const Bytes transformed = Transform(block);
        EXPECT_EQ(Bytes(transformed.begin() + 2, transformed.end()), ReferenceLastColumn(block)) << "round " << round;
        bool ok = false;
        EXPECT_EQ(Inverse(transformed, ok), block) << "round " << round;
        EXPECT_TRUE(ok);
    }
}

TEST(TBWTEncode, RoundTripsLargeBlocks)
{
    for (const Bytes& block : {CodecCorpus::Text(65536, 1), CodecCorpus::Runs(65536, 2), CodecCorpus::MixedPeriods(65536, 3),
                               CodecCorpus::Random(40000, 4), CodecCorpus::Periodic(32768, 16384, 5)}) {
        bool ok = false;
        EXPECT_EQ(Inverse(Transform(block), ok), block);
        EXPECT_TRUE(ok);
    }
}

TEST(TBWTEncode, RefusesBadCalls)
{
    TBWTEncode bwt;
    Bytes block(10, 1), out(70000);
    EXPECT_FALSE(bwt.Encode(block.data(), out.data(), 10)) << "not created";
    bwt.CreateBuffer();
    EXPECT_FALSE(bwt.Encode(block.data(), out.data(), 0));
    block.resize(TBWTEncode::MaxBlock + 1);
    EXPECT_FALSE(bwt.Encode(block.data(), out.data(), TBWTEncode::MaxBlock + 1));
}

TEST(TBWTDecode, RefusesBadPrimaryIndexAndLengths)
{
    TBWTDecode bwt;
    bwt.CreateBuffer();
    Bytes out(10);
    const Bytes atEnd{3, 0, 'a', 'b', 'c'};
    EXPECT_FALSE(bwt.Decode(atEnd.data(), out.data(), 5)) << "primary index must be below n";
    const Bytes valid{2, 0, 'a', 'b', 'c'};
    EXPECT_TRUE(bwt.Decode(valid.data(), out.data(), 5));
    EXPECT_FALSE(bwt.Decode(valid.data(), out.data(), 2));
    Bytes huge(TBWTEncode::MaxBlock + 3);
    EXPECT_FALSE(bwt.Decode(huge.data(), out.data(), static_cast<int>(huge.size())));
}

TEST(TMTFEncode, CodesPlacesAndCarriesTheListOver)
{
    TMTFEncode encoder;
    encoder.CreateBuffer();
    Bytes first{1, 1, 0, 'b'};
    ASSERT_TRUE(encoder.Encode(first.data(), 4));
    EXPECT_EQ(first, (Bytes{1, 0, 1, 'b'}));
    Bytes second{'b', 1};
    ASSERT_TRUE(encoder.Encode(second.data(), 2));
    EXPECT_EQ(second, (Bytes{0, 2})) << "the list continues from the first call";
    EXPECT_TRUE(encoder.Encode(second.data(), 0));
}

TEST(TMTFDecode, UndoesTheEncoderAcrossCalls)
{
    TMTFEncode encoder;
    TMTFDecode decoder;
    EXPECT_FALSE(decoder.Decode(Bytes{1}.data(), 1)) << "not created";
    encoder.CreateBuffer();
    decoder.CreateBuffer();
    for (int round = 0; round < 4; ++round) {
        // Runs give long runs of zeros at every alignment.
        const Bytes input = round % 2 ? CodecCorpus::Text(3000, round) : CodecCorpus::Runs(3000 + round, round);
        Bytes codes = input;
        encoder.Encode(codes.data(), static_cast<int>(codes.size()));
        decoder.Decode(codes.data(), static_cast<int>(codes.size()));
        EXPECT_EQ(codes, input);
    }
}

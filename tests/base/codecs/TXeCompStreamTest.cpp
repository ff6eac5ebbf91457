// The codecs bound to streams: every kind round trips, the kind table, and the zero-size rules.
#include "base/codecs/TXeCompStream.h"

#include "tests/base/CodecCorpus.h"

#include <gtest/gtest.h>

namespace {

using CodecCorpus::Bytes;

void Fill(TMemoryStream& stream, const Bytes& data)
{
    stream.Clear();
    stream.WriteBuffer(data.data(), static_cast<int>(data.size()));
    stream.SetPosition(0);
}

Bytes Contents(TMemoryStream& stream) { return Bytes(stream.Memory(), stream.Memory() + stream.GetSize()); }

} // namespace

TEST(TXeCompStream, EveryKindRoundTripsFromTheCurrentPositions)
{
    const Bytes input = CodecCorpus::Text(70000, 1);
    for (int kind = 0; kind <= 4; ++kind) {
        TMemoryStream source, coded, decoded;
        Bytes prefixed{'h', 'e', 'a', 'd'};
        prefixed.insert(prefixed.end(), input.begin(), input.end());
        Fill(source, prefixed);
        source.SetPosition(4);
        coded.WriteBuffer("xx", 2);
        TXeCompStream codec;
        int codedSize = -1;
        ASSERT_TRUE(codec.EncodeBuffer(&source, static_cast<int>(input.size()), &coded, &codedSize, kind)) << kind;
        EXPECT_EQ(codedSize + 2, coded.GetSize());
        EXPECT_LT(codedSize, static_cast<int>(input.size()));
        coded.SetPosition(2);
        ASSERT_TRUE(codec.DecodeBuffer(&coded, codedSize, &decoded, static_cast<int>(input.size()), kind)) << kind;
        EXPECT_EQ(Contents(decoded), input);
    }
}

TEST(TXeCompStream, EveryKindButZeroDecodesWithTheBrisaneDecoder)
{
    const Bytes input = CodecCorpus::Text(20000, 2);
    TMemoryStream source, coded;
    Fill(source, input);
    TXeCompStream codec;
    int codedSize = 0;
    ASSERT_TRUE(codec.EncodeBuffer(&source, 20000, &coded, &codedSize, 3)); // the Mini encoder
    for (int kind : {1, 2, 3, 9}) {
        TMemoryStream decoded;
        coded.SetPosition(0);
        EXPECT_TRUE(codec.DecodeBuffer(&coded, codedSize, &decoded, 20000, kind)) << kind;
        EXPECT_EQ(Contents(decoded), input);
    }
    TMemoryStream decoded;
    coded.SetPosition(0);
    EXPECT_FALSE(codec.DecodeBuffer(&coded, codedSize, &decoded, 20000, 0)) << "not an LZ stream";
}

TEST(TXeCompStream, ZeroSizesAreRefusedUntouched)
{
    TMemoryStream source, target;
    TXeCompStream codec;
    int codedSize = 77;
    EXPECT_FALSE(codec.EncodeBuffer(&source, 0, &target, &codedSize, 0));
    EXPECT_EQ(codedSize, 77);
    EXPECT_FALSE(codec.DecodeBuffer(&source, 0, &target, 5, 0));
    EXPECT_FALSE(codec.DecodeBuffer(&source, 5, &target, 0, 1));
    EXPECT_EQ(target.GetSize(), 0);
}

TEST(TXeCompStream, ASourceTooShortFails)
{
    TMemoryStream source, target;
    Fill(source, CodecCorpus::Text(100, 3));
    TXeCompStream codec;
    EXPECT_FALSE(codec.EncodeBuffer(&source, 200, &target, nullptr, 1));
}

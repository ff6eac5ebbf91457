// The archive CRC-16: published check values, pieces, and CrcStream over streams.
#include "base/packs/TCrcCheck.h"
#include "base/codecs/TXeCompStream.h"

#include "tests/base/CodecCorpus.h"

#include <gtest/gtest.h>

namespace {

const unsigned char CheckText[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};

} // namespace

TEST(TCrcCheck, GivesTheCheckValuesOfBothPolynomials)
{
    TCrcCheck crc;
    EXPECT_EQ(crc.CrcType(), ct8408);
    EXPECT_EQ(crc.Crc(CheckText, 9), 0x6F91); // CRC-16/MCRF4XX
    crc.SetCrcType(ctC001);
    EXPECT_EQ(crc.Crc(CheckText, 9), 0x7ABB);
}

// The CRC one bit at a time, straight from its definition.
unsigned short BitwiseCrc(const unsigned char* data, int n, unsigned short polynomial)
{
    unsigned short crc = 0xFFFF;
    for (int i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<unsigned short>((crc >> 1) ^ polynomial) : static_cast<unsigned short>(crc >> 1);
    }
    return crc;
}

TEST(TCrcCheck, MatchesTheBitwiseDefinitionAtEveryLength)
{
    const CodecCorpus::Bytes data = CodecCorpus::Random(300, 3);
    TCrcCheck crc;
    for (const TCrcType type : {ct8408, ctC001}) {
        crc.SetCrcType(type);
        for (int n = 0; n <= 300; n += (n < 40 ? 1 : 37))
            EXPECT_EQ(crc.Crc(data.data(), n), BitwiseCrc(data.data(), n, type == ct8408 ? 0x8408 : 0xC001)) << n;
    }
}

TEST(TCrcCheck, ContinuesOverPieces)
{
    const TCrcCheck crc;
    const CodecCorpus::Bytes data = CodecCorpus::Random(100000, 1);
    unsigned short value = 0xFFFF;
    for (int at = 0; at < 100000; at += 777)
        value = crc.UpDateCrc(value, data.data() + at, std::min(777, 100000 - at));
    EXPECT_EQ(value, crc.Crc(data.data(), 100000));
    EXPECT_EQ(crc.UpDateCrc(0x1234, data.data(), 0), 0x1234);
    EXPECT_EQ(crc.UpDateCrc(0x1234, data.data(), -5), 0x1234);
}

TEST(CrcStream, ReadsFromThePositionInPieces)
{
    const CodecCorpus::Bytes data = CodecCorpus::Random(100000, 2);
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), 100000);
    stream.SetPosition(10);
    unsigned short crc = 0;
    EXPECT_TRUE(CrcStream(&stream, 99990, &crc));
    EXPECT_EQ(crc, TCrcCheck().Crc(data.data() + 10, 99990));
    EXPECT_EQ(stream.GetPosition(), 100000);
}

TEST(CrcStream, ZeroBytesGiveTheStartValue)
{
    TMemoryStream stream;
    unsigned short crc = 0;
    EXPECT_TRUE(CrcStream(&stream, 0, &crc));
    EXPECT_EQ(crc, 0xFFFF);
}

TEST(CrcStream, AShortStreamLeavesTheResultAlone)
{
    TMemoryStream stream;
    stream.WriteBuffer(CheckText, 9);
    stream.SetPosition(0);
    unsigned short crc = 0x5555;
    EXPECT_FALSE(CrcStream(&stream, 40000, &crc));
    EXPECT_EQ(crc, 0x5555);
}

// Helpers of the sound tests.
#include "SoundTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace SoundTest {

int MemoryZTStream::Read(void* buffer, int count)
{
    reads.push_back(count);
    if (count <= 0 || position_ >= data_.size())
        return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(count), data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return static_cast<int>(n);
}

int MemoryZTStream::Seek(int offset, int origin)
{
    if (!seekable_)
        return -1;
    const long long base = origin == 0 ? 0 : origin == 1 ? static_cast<long long>(position_)
                                                         : static_cast<long long>(data_.size());
    const long long target = base + offset;
    if (target < 0)
        return -1;
    position_ = static_cast<std::size_t>(target);
    return static_cast<int>(target);
}

Bytes ReadAll(ZTPcmStream& stream, int chunk, std::size_t limit)
{
    Bytes out;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(chunk));
    while (out.size() < limit) {
        const int got = stream.Read(buffer.data(), chunk);
        if (got <= 0)
            break;
        out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    }
    return out;
}

std::optional<std::filesystem::path> TestData()
{
    const std::filesystem::path path = XE_TESTDATA;
    if (!std::filesystem::is_directory(path / "audio"))
        return std::nullopt;
    return path / "audio";
}

Bytes LoadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::filesystem::path MadeFile(const std::string& name, const std::string& make)
{
    const auto path = TestSupport::CachedFile(name, make);
    EXPECT_TRUE(path.has_value()) << "could not make " << name << " with: " << make;
    return path.value_or(std::filesystem::path());
}

void Put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutId(Bytes& out, const char* id) { out.insert(out.end(), id, id + 4); }

Bytes FormatRecord(unsigned tag, unsigned channels, unsigned rate, unsigned bits, unsigned size)
{
    Bytes record;
    const unsigned align = channels * bits / 8;
    Put16(record, tag);
    Put16(record, channels);
    Put32(record, rate);
    Put32(record, rate * align);
    Put16(record, align);
    Put16(record, bits);
    record.resize(size, 0);
    return record;
}

Bytes PcmWave(unsigned channels, unsigned rate, unsigned bits, const Bytes& data)
{
    const Bytes format = FormatRecord(1, channels, rate, bits);
    Bytes file;
    PutId(file, "RIFF");
    Put32(file, static_cast<std::uint32_t>(4 + 8 + format.size() + 8 + data.size()));
    PutId(file, "WAVE");
    PutId(file, "fmt ");
    Put32(file, static_cast<std::uint32_t>(format.size()));
    file.insert(file.end(), format.begin(), format.end());
    PutId(file, "data");
    Put32(file, static_cast<std::uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

int MaxDifference(const Bytes& a, std::size_t aOffset, const Bytes& b, std::size_t bOffset, std::size_t count)
{
    int worst = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto sa = static_cast<std::int16_t>(a[2 * (aOffset + i)] | a[2 * (aOffset + i) + 1] << 8);
        const auto sb = static_cast<std::int16_t>(b[2 * (bOffset + i)] | b[2 * (bOffset + i) + 1] << 8);
        worst = std::max(worst, std::abs(sa - sb));
    }
    return worst;
}

} // namespace SoundTest

namespace SoundTest {

Bytes ExpectConsistent(const std::function<std::unique_ptr<ZTPcmStream>()>& open)
{
    std::unique_ptr<ZTPcmStream> whole = open();
    EXPECT_TRUE(whole->IsOpen());
    const int size = whole->GetSize();
    Bytes once(static_cast<std::size_t>(std::max(size, 0)) + 4096);
    const int got = whole->Read(once.data(), static_cast<int>(once.size()));
    once.resize(static_cast<std::size_t>(std::max(got, 0)));
    EXPECT_TRUE(whole->IsEOF());
    EXPECT_EQ(whole->Read(once.data(), 16), 0) << "nothing after the end";
    EXPECT_EQ(whole->GetPosition(), got);

    std::unique_ptr<ZTPcmStream> small = open();
    EXPECT_EQ(ReadAll(*small, 7), once) << "reads of 7 bytes";
    const int frameBytes = static_cast<int>(small->GetChannels() * small->GetBitsPerSample() / 8);
    std::unique_ptr<ZTPcmStream> frames = open();
    EXPECT_EQ(ReadAll(*frames, std::max(frameBytes, 1) * 1000 + frameBytes), once) << "reads of 1001 frames";

    EXPECT_TRUE(small->Rewind());
    EXPECT_FALSE(small->IsEOF());
    EXPECT_EQ(ReadAll(*small, 4096), once) << "after Restart";
    if (small->CanSeek()) {
        EXPECT_EQ(small->Seek(0, 0), 0);
        EXPECT_EQ(ReadAll(*small, 4096), once) << "after a seek to the start";
    }
    return once;
}

} // namespace SoundTest

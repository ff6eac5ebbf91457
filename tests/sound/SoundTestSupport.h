// Helpers of the sound tests: a byte stream over memory, whole and chunked decoding, the public
// test data, and encoders run as outside tools.
#pragma once

#include "sound/ZTPcmStream.h"
#include "sound/ZTStream.h"
#include "support/Tools.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace SoundTest {

using Bytes = std::vector<std::uint8_t>;

// A ZTStream over a byte vector; `seekable` false makes Seek fail (Rewind still works, as a
// restartable pipe would).
class MemoryZTStream : public ZTStream {
public:
    explicit MemoryZTStream(Bytes data, bool seekable = true) : data_(std::move(data)), seekable_(seekable) {}

    bool IsOpen() override { return true; }
    bool CanSeek() override { return seekable_; }
    int Read(void* buffer, int count) override;
    int Write(const void*, int) override { return 0; }
    int Seek(int offset, int origin) override;
    int GetSize() override { return static_cast<int>(data_.size()); }
    bool SetSize(int) override { return false; }
    int GetPosition() override { return static_cast<int>(position_); }
    bool Rewind() override
    {
        position_ = 0;
        return true;
    }

    // Every Read call's count, for tests of how the source is consumed.
    std::vector<int> reads;

private:
    Bytes data_;
    bool seekable_;
    std::size_t position_ = 0;
};

// Decodes the rest of `stream` with reads of `chunk` bytes (at most `limit` bytes in all).
Bytes ReadAll(ZTPcmStream& stream, int chunk, std::size_t limit = 64u << 20);

// The public test suites, or nullopt when the folder is absent.
std::optional<std::filesystem::path> TestData();
Bytes LoadFile(const std::filesystem::path& path);

using TestSupport::HaveTool;
using TestSupport::Quoted;
using TestSupport::RunTool;
using TestSupport::TempFolder;

// The file `name` made by an outside encoder (see TestSupport::CachedFile; "{}" in `make` is the
// file to write), made once per build folder; a failed command fails the test and returns an
// empty path.
std::filesystem::path MadeFile(const std::string& name, const std::string& make);

// Little-endian writers for hand-made headers.
void Put16(Bytes& out, unsigned value);
void Put32(Bytes& out, std::uint32_t value);
void PutId(Bytes& out, const char* id);

// A RIFF WAVE file from a 16-byte PCM "fmt " record and data.
Bytes PcmWave(unsigned channels, unsigned rate, unsigned bits, const Bytes& data);
// A "fmt " record of `size` bytes (16 or more) for the layout, the rest zero.
Bytes FormatRecord(unsigned tag, unsigned channels, unsigned rate, unsigned bits, unsigned size = 16);

// Maximum absolute difference of two 16-bit little-endian sample arrays over `count` samples.
int MaxDifference(const Bytes& a, std::size_t aOffset, const Bytes& b, std::size_t bOffset, std::size_t count);

} // namespace SoundTest

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace SoundTest {

// Checks that a decoder gives the same bytes read in one call, in small odd-sized reads, in
// frame-sized reads, and again after Restart (and after a seek to the start where it can seek).
// `open` makes a fresh decoder over a fresh source each time. Returns the decoded bytes.
Bytes ExpectConsistent(const std::function<std::unique_ptr<ZTPcmStream>()>& open);

} // namespace SoundTest

namespace SoundTest {

// A decoder that owns the memory source it reads (the source is made first).
struct SourceHolder {
    MemoryZTStream source;
};

template <typename Decoder> struct Owned : SourceHolder, Decoder {
    Owned(Bytes data, bool seekable) : SourceHolder{MemoryZTStream(std::move(data), seekable)}, Decoder(&source) {}
};

template <typename Decoder> std::unique_ptr<ZTPcmStream> Over(Bytes data, bool seekable = true)
{
    return std::make_unique<Owned<Decoder>>(std::move(data), seekable);
}

} // namespace SoundTest

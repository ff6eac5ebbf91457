// Helpers for the picture loader tests: the public test suites' folder, streams over bytes and
// files, the expected block of a picture given as quads, a stream that raises, and block compares.
#pragma once

#include "graphics/pictures/PictureBlock.h"
#include "graphics/bitmaps/PixelFormat.h"
#include "platform/classes/Stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pictest {

using Bytes = std::vector<std::uint8_t>;

inline constexpr TPixFormat kFormats[] = {pf16_565, pf16_555, pf16_5551, pf16_4444, pf24_888, pf32_888, pf32_8888};

// The public test suites (XE_TESTDATA); tests skip when a folder is absent.
std::filesystem::path TestData(const std::string& folder);
#define XE_SKIP_WITHOUT(path)                                                    \
    if (!std::filesystem::exists(path))                                          \
    GTEST_SKIP() << (path) << " is absent"

Bytes ReadFileBytes(const std::filesystem::path& path);

// A memory stream holding the bytes, positioned at its start.
std::unique_ptr<TMemoryStream> StreamOf(const Bytes& bytes);

// The packed block of `format` pixels that quads 0xAARRGGBB give by the single-value converters
// (the AA byte is the alpha of pf16_4444 and the fourth byte of the 32-bit formats).
Bytes PixelsOf(const std::vector<std::uint32_t>& quads, TPixFormat format);

// A block of `bytes` bytes that a loader handed over.
inline Bytes Take(unsigned char* block, std::size_t bytes)
{
    TPictureMemory owned(block);
    return block ? Bytes(block, block + bytes) : Bytes{};
}

// Empty when equal, else where the first pixel differs.
std::string FirstDifference(const Bytes& actual, const Bytes& expected, int bytesPerPixel, int width);

// A memory stream whose Read raises EReadError once `limit` bytes have been read.
class TRaisingStream : public TMemoryStream {
public:
    TRaisingStream(const Bytes& bytes, std::int64_t limit);
    int Read(void* buffer, int count) override;

private:
    std::int64_t limit_;
};

// A stream whose Write accepts `limit` bytes in all and then writes nothing.
class TShortWriteStream : public TMemoryStream {
public:
    explicit TShortWriteStream(std::int64_t limit) : limit_(limit) {}
    int Write(const void* buffer, int count) override;

private:
    std::int64_t limit_;
};

}  // namespace pictest

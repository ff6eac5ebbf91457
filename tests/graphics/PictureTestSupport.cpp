// Helpers for the picture loader tests.
#include "tests/graphics/PictureTestSupport.h"

#include "graphics/kernels/PixelConvert.h"
#include "platform/classes/Exception.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace pictest {

std::filesystem::path TestData(const std::string& folder)
{
    return std::filesystem::path(XE_TESTDATA) / folder;
}

Bytes ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::unique_ptr<TMemoryStream> StreamOf(const Bytes& bytes)
{
    auto stream = std::make_unique<TMemoryStream>();
    if (!bytes.empty())
        stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    stream->SetPosition(0);
    return stream;
}

Bytes PixelsOf(const std::vector<std::uint32_t>& quads, TPixFormat format)
{
    const int bytes = PixFormatBytes(format);
    Bytes out;
    out.reserve(quads.size() * bytes);
    for (std::uint32_t q : quads) {
        const std::uint32_t v = RGBtoTable[format](q);
        for (int k = 0; k < bytes; ++k)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
    return out;
}

std::string FirstDifference(const Bytes& actual, const Bytes& expected, int bytesPerPixel, int width)
{
    if (actual.size() != expected.size())
        return "size " + std::to_string(actual.size()) + " instead of " + std::to_string(expected.size());
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (diff.first == actual.end())
        return {};
    const auto pixel = static_cast<std::size_t>(diff.first - actual.begin()) / bytesPerPixel;
    const std::size_t at = pixel * bytesPerPixel;
    std::string text = "pixel (" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + "):";
    for (int k = 0; k < bytesPerPixel; ++k)
        text += " " + std::to_string(actual[at + k]) + "/" + std::to_string(expected[at + k]);
    return text + " (actual/expected bytes)";
}

TRaisingStream::TRaisingStream(const Bytes& bytes, std::int64_t limit) : limit_(limit)
{
    if (!bytes.empty())
        WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    SetPosition(0);
}

int TRaisingStream::Read(void* buffer, int count)
{
    if (GetPosition() + count > limit_)
        throw EReadError("test stream raises");
    return TMemoryStream::Read(buffer, count);
}

int TShortWriteStream::Write(const void* buffer, int count)
{
    const int n = static_cast<int>(std::clamp<std::int64_t>(limit_ - GetSize(), 0, count));
    return n > 0 ? TMemoryStream::Write(buffer, n) : 0;
}

}  // namespace pictest

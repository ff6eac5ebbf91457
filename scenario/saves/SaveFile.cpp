// Save file header, coding, atomic write and bounded read.
#include "scenario/saves/SaveFile.h"

#include "base/codecs/TRangeCoder.h"
#include "base/packs/TXeSafeFile.h"
#include "platform/classes/Stream.h"
#include "platform/fs/FileSystem.h"

#include <cstring>
#include <exception>
#include <memory>

namespace {

constexpr unsigned char SaveHeader[SaveHeaderSize] = {'T', 'V', 'Q', 'E', 0, 1, 0, 0};
// Bytes 6 and 7 are written but not compared, so files that differ there still load.
constexpr std::size_t ComparedHeaderSize = 6;

} // namespace

void AppendSaveHeader(std::vector<unsigned char>& file) { file.insert(file.end(), std::begin(SaveHeader), std::end(SaveHeader)); }

bool HasSaveHeader(std::span<const unsigned char> file)
{
    return file.size() >= SaveHeaderSize && std::memcmp(file.data(), SaveHeader, ComparedHeaderSize) == 0;
}

bool AppendEncoded(std::vector<unsigned char>& file, std::span<const unsigned char> raw)
{
    const int capacity = static_cast<int>(raw.size() * 4);
    auto coded = std::make_unique_for_overwrite<unsigned char[]>(capacity);
    TRangeEncode encoder;
    if (!encoder.CreateBuffer() || !encoder.Encode(raw.data(), coded.get(), capacity, static_cast<int>(raw.size())))
        return false;
    file.insert(file.end(), coded.get(), coded.get() + encoder.OutSize());
    return true;
}

std::optional<std::vector<unsigned char>> DecodeExactly(std::span<const unsigned char> coded, std::size_t size)
{
    // One byte of room past the size tells a stream that runs on from one that ends there.
    std::vector<unsigned char> raw(size + 1);
    TRangeDecode decoder;
    const int inSize = static_cast<int>(coded.size());
    if (!decoder.CreateBuffer() || !decoder.Decode(coded.data(), raw.data(), static_cast<int>(raw.size()), inSize) ||
        decoder.OutSize() != static_cast<int>(size) || decoder.InCount() != inSize)
        return std::nullopt;
    raw.resize(size);
    return raw;
}

AnsiString SaveFilePath(const AnsiString& folder, const AnsiString& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder + name;
    return folder + "\\" + name;
}

bool WriteSaveFile(const AnsiString& path, std::span<const unsigned char> bytes)
{
    try {
        TXeSafeFile file(path);
        file.Stream().WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
        return file.Stream().FlushToDisk() && file.Commit();
    } catch (const std::exception&) {
        return false; // the temporary file is gone with `file`; the old save is untouched
    }
}

std::optional<std::vector<unsigned char>> ReadSaveFile(const AnsiString& path, std::size_t minSize, std::size_t maxSize)
{
    try {
        const auto size = FileSystem::FileSize(path);
        if (!size || *size < static_cast<std::int64_t>(minSize) || *size > static_cast<std::int64_t>(maxSize))
            return std::nullopt;
        TFileStream stream(path, fmOpenRead | fmShareDenyWrite);
        std::vector<unsigned char> bytes(static_cast<std::size_t>(*size));
        stream.ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
        // A file that grew since its size was taken is not the file that was measured.
        unsigned char more;
        if (stream.Read(&more, 1) != 0)
            return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

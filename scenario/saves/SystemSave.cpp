// The system save: encoding, checked decoding and the file.
#include "scenario/saves/SystemSave.h"

#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SaveFile.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>

namespace {

constexpr std::size_t LengthSize = 4;
constexpr std::size_t SystemSize = sizeof(TSystemState);
constexpr std::size_t MinRawLength = SystemSize + TReadMesTable::EmptyLength;
constexpr std::size_t MaxRawLength = SystemSize + TReadMesTable::BufferSize;
constexpr std::size_t MinFileSize = SaveHeaderSize + LengthSize;
// The reader's input buffer holds four times the largest raw data.
constexpr std::size_t MaxFileSize = MinFileSize + 4 * MaxRawLength;

} // namespace

std::vector<unsigned char> EncodeSystemSave(const TSystemState& system, const TReadMesTable& readMes)
{
    const auto map = readMes.GetBuffer();
    std::vector<unsigned char> raw;
    raw.reserve(SystemSize + map.size());
    raw.insert(raw.end(), system.Bytes().begin(), system.Bytes().end());
    raw.insert(raw.end(), map.begin(), map.end());

    std::vector<unsigned char> file;
    AppendSaveHeader(file);
    const auto rawLength = static_cast<std::uint32_t>(raw.size());
    file.insert(file.end(), reinterpret_cast<const unsigned char*>(&rawLength), reinterpret_cast<const unsigned char*>(&rawLength) + LengthSize);
    if (!AppendEncoded(file, raw))
        return {};
    return file;
}

bool DecodeSystemSave(std::span<const unsigned char> file, TSystemState& system, TReadMesTable& readMes)
{
    if (file.size() < MinFileSize || file.size() > MaxFileSize || !HasSaveHeader(file))
        return false;
    std::uint32_t rawLength;
    std::memcpy(&rawLength, file.data() + SaveHeaderSize, LengthSize);
    if (rawLength < MinRawLength || rawLength > MaxRawLength)
        return false;
    const auto raw = DecodeExactly(file.subspan(MinFileSize), rawLength);
    if (!raw)
        return false;
    const std::span<const unsigned char> map(raw->data() + SystemSize, rawLength - SystemSize);
    if (!TReadMesTable::IsValid(map))
        return false;
    system.AssignBytes(std::span(raw->data(), SystemSize));
    readMes.SetBuffer(map);
    return true;
}

bool SaveSystemData(const AnsiString& folder, const TSystemState& system, const TReadMesTable& readMes)
{
    try {
        const auto file = EncodeSystemSave(system, readMes);
        return !file.empty() && WriteSaveFile(SaveFilePath(folder, SystemSaveName), file);
    } catch (const std::exception&) {
        return false;
    }
}

bool LoadSystemData(const AnsiString& folder, TSystemState& system, TReadMesTable& readMes)
{
    try {
        const auto file = ReadSaveFile(SaveFilePath(folder, SystemSaveName), MinFileSize, MaxFileSize);
        return file && DecodeSystemSave(*file, system, readMes);
    } catch (const std::exception&) {
        return false;
    }
}

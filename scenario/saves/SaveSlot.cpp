// Save slots: encoding, checked decoding and the files.
#include "scenario/saves/SaveSlot.h"

#include "platform/classes/Format.h"
#include "scenario/saves/SaveFile.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>

namespace {

constexpr std::size_t RecordSize = sizeof(TGameState);
constexpr std::size_t SnapshotAt = RecordSize;
constexpr std::size_t ExtraLengthAt = 2 * RecordSize;
constexpr std::size_t ExtraAt = ExtraLengthAt + 4;
static_assert(ExtraAt + MaxExtraLength == SlotImageSize);
// The reader's input buffer holds four times the image.
constexpr std::size_t MaxFileSize = SaveHeaderSize + 4 * SlotImageSize;

// A record of the image that the game could run on, or nothing.
std::unique_ptr<TGameState> SaneRecord(std::span<const unsigned char> bytes)
{
    auto record = std::make_unique<TGameState>();
    if (!record->AssignBytes(bytes) || !record->IsSane())
        return nullptr;
    return record;
}

} // namespace

AnsiString SaveSlotName(int slot) { return Format("TVQE%02d.sav", slot); }

std::vector<unsigned char> EncodeSaveSlot(const TGameState& current, const TGameState& snapshot, std::span<const unsigned char> extra)
{
    if (extra.size() > MaxExtraLength)
        return {};
    std::vector<unsigned char> image(SlotImageSize);
    std::memcpy(image.data(), current.Bytes().data(), RecordSize);
    std::memcpy(image.data() + SnapshotAt, snapshot.Bytes().data(), RecordSize);
    const auto extraLength = static_cast<std::uint32_t>(extra.size());
    std::memcpy(image.data() + ExtraLengthAt, &extraLength, sizeof extraLength);
    if (!extra.empty())
        std::memcpy(image.data() + ExtraAt, extra.data(), extra.size());

    std::vector<unsigned char> file;
    AppendSaveHeader(file);
    if (!AppendEncoded(file, image))
        return {};
    return file;
}

bool DecodeSaveSlot(std::span<const unsigned char> file, TGameState* current, TGameState* snapshot, std::size_t& extraLength,
                    std::span<unsigned char> extra)
{
    if (file.size() < SaveHeaderSize || file.size() > MaxFileSize || !HasSaveHeader(file))
        return false;
    const auto image = DecodeExactly(file.subspan(SaveHeaderSize), SlotImageSize);
    if (!image)
        return false;
    std::uint32_t length;
    std::memcpy(&length, image->data() + ExtraLengthAt, sizeof length);
    if (length > MaxExtraLength || (!extra.empty() && extra.size() < length))
        return false;
    const auto stored = std::span<const unsigned char>(*image);
    auto storedCurrent = SaneRecord(stored.subspan(0, RecordSize));
    auto storedSnapshot = SaneRecord(stored.subspan(SnapshotAt, RecordSize));
    if (!storedCurrent || !storedSnapshot)
        return false;

    if (current)
        *current = *storedCurrent;
    if (snapshot)
        *snapshot = *storedSnapshot;
    extraLength = length;
    if (!extra.empty() && length != 0)
        std::memcpy(extra.data(), image->data() + ExtraAt, length);
    return true;
}

bool WriteSaveSlot(const AnsiString& folder, int slot, const TGameState& current, const TGameState& snapshot,
                   std::span<const unsigned char> extra)
{
    if (slot < 0 || extra.size() > MaxExtraLength)
        return false;
    try {
        const auto file = EncodeSaveSlot(current, snapshot, extra);
        return !file.empty() && WriteSaveFile(SaveFilePath(folder, SaveSlotName(slot)), file);
    } catch (const std::exception&) {
        return false;
    }
}

bool ReadSaveSlot(const AnsiString& folder, int slot, TGameState* current, TGameState* snapshot, std::size_t& extraLength,
                  std::span<unsigned char> extra)
{
    if (slot < 0)
        return false;
    try {
        const auto file = ReadSaveFile(SaveFilePath(folder, SaveSlotName(slot)), SaveHeaderSize, MaxFileSize);
        return file && DecodeSaveSlot(*file, current, snapshot, extraLength, extra);
    } catch (const std::exception&) {
        return false;
    }
}

bool SaveGameSlot(const AnsiString& folder, int slot, const TScenarioRecords& records)
{
    return WriteSaveSlot(folder, slot, records.current, records.snapshot, {});
}

bool SaveGameSlotEx(const AnsiString& folder, int slot, const TScenarioRecords& records, std::span<const unsigned char> extra)
{
    return WriteSaveSlot(folder, slot, records.current, records.snapshot, extra);
}

bool LoadGameSlot(const AnsiString& folder, int slot, TScenarioRecords& records)
{
    std::size_t extraLength = 0;
    return ReadSaveSlot(folder, slot, &records.current, &records.snapshot, extraLength, {});
}

#include "scenario/script/ScriptFile.h"

#include "platform/classes/Stream.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/ScriptBytes.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace {

constexpr std::size_t StringHeaderSize = 2;

// Reads `size` bytes at `offset` of the stream into `out`; false when they are not all there.
bool ReadSection(TStream& stream, std::uint32_t offset, std::uint32_t size, std::vector<std::uint8_t>& out)
{
    if (!ScriptBytes::Fits(offset, size, static_cast<std::uint64_t>(std::max<std::int64_t>(stream.GetSize(), 0))))
        return false;
    try {
        out.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (size == 0)
        return true;
    return stream.Seek(offset, soBeginning) == offset && stream.Read(out.data(), static_cast<int>(size)) == static_cast<int>(size);
}

bool ReadHeader(TStream& stream, std::uint8_t (&header)[ScriptFile::HeaderSize])
{
    return stream.Seek(0, soBeginning) == 0 && stream.Read(header, ScriptFile::HeaderSize) == ScriptFile::HeaderSize;
}

} // namespace

std::string ScriptFile::FileName(std::int32_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "scr%05d.dvo", number);
    return name;
}

std::optional<std::uint32_t> ScriptFile::ReadStamp(TStream& stream, std::int32_t number)
{
    std::uint8_t header[HeaderSize];
    if (!ReadHeader(stream, header) || ScriptBytes::U32(header, 8) != static_cast<std::uint32_t>(number))
        return std::nullopt;
    return ScriptBytes::U32(header, 12);
}

bool ScriptFile::Read(TStream& stream, std::int32_t number)
{
    Clear();
    std::uint8_t header[HeaderSize];
    if (number < 0 || !ReadHeader(stream, header) || ScriptBytes::U32(header, 8) != static_cast<std::uint32_t>(number)
        || !ReadSections(stream, header)) {
        Clear();
        return false;
    }
    number_ = number;
    stamp_ = ScriptBytes::U32(header, 12);
    return true;
}

bool ScriptFile::ReadSections(TStream& stream, std::span<const std::uint8_t> header)
{
    using ScriptBytes::U32;
    return ReadSection(stream, U32(header, 28), U32(header, 32), code_) && ReadSection(stream, U32(header, 40), U32(header, 44), targets_)
           && ReadSection(stream, U32(header, 52), U32(header, 56), stringSection_) && IndexBlocks(U32(header, 36))
           && IndexStrings(U32(header, 60)) && MapOpcodes();
}

bool ScriptFile::IndexBlocks(std::uint32_t count)
{
    std::size_t offset = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        // A block holds its header and a name ending inside its name field, and lies inside the code.
        if (!ScriptBytes::Fits(offset, ScriptFile::BlockHeaderSize, code_.size()))
            return false;
        const std::size_t size = ScriptBytes::U32(code_, offset);
        const std::size_t nameLength = ScriptBytes::U16(code_, offset + 4);
        const std::size_t entry = offset + ScriptFile::BlockHeaderSize + nameLength;
        if (size < ScriptFile::BlockHeaderSize + nameLength || !ScriptBytes::Fits(offset, size, code_.size())
            || !ScriptBytes::Terminated(code_, offset + ScriptFile::BlockHeaderSize, entry))
            return false;
        blocks_.emplace_back(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(entry));
        labels_.try_emplace(reinterpret_cast<const char*>(code_.data() + offset + ScriptFile::BlockHeaderSize), static_cast<std::uint32_t>(offset));
        offset += size;
    }
    return true;
}

bool ScriptFile::IndexStrings(std::uint32_t count)
{
    std::size_t offset = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!ScriptBytes::Fits(offset, StringHeaderSize, stringSection_.size()))
            return false;
        const std::size_t length = ScriptBytes::U16(stringSection_, offset);
        if (length <= StringHeaderSize || !ScriptBytes::Fits(offset, length, stringSection_.size())
            || !ScriptBytes::Terminated(stringSection_, offset + StringHeaderSize, offset + length))
            return false;
        strings_.push_back(static_cast<std::uint32_t>(offset + StringHeaderSize));
        offset += length;
    }
    return true;
}

bool ScriptFile::MapOpcodes()
{
    static_assert(Opcodes::Count <= NoOpcode);
    try {
        opcodeMap_.assign(code_.size() + 1, NoOpcode);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t offset = 0; offset + 2 <= code_.size(); ++offset) {
        const unsigned opcode = ScriptBytes::U16(code_, offset);
        if (opcode < Opcodes::Count && ScriptBytes::Fits(offset, Opcodes::Length(opcode), code_.size()))
            opcodeMap_[offset] = static_cast<std::uint8_t>(opcode);
    }
    return true;
}

void ScriptFile::Clear()
{
    number_ = -1;
    stamp_ = 0;
    code_.clear();
    opcodeMap_.assign(1, NoOpcode);
    targets_.clear();
    stringSection_.clear();
    strings_.clear();
    blocks_.clear();
    labels_.clear();
}

std::uint32_t ScriptFile::LabelEntry(std::uint32_t block) const
{
    const auto it = std::lower_bound(blocks_.begin(), blocks_.end(), block, [](const auto& b, std::uint32_t value) { return b.first < value; });
    return it != blocks_.end() && it->first == block ? it->second : NoEntry;
}

std::optional<std::uint32_t> ScriptFile::FindLabel(std::string_view label) const
{
    const auto it = labels_.find(std::string(label));
    return it == labels_.end() ? std::nullopt : std::optional(it->second);
}

const char* ScriptFile::String(std::uint32_t number) const
{
    if (number < 1 || number > strings_.size())
        return nullptr;
    return reinterpret_cast<const char*>(stringSection_.data() + strings_[number - 1]);
}

std::optional<ScriptFile::Target> ScriptFile::TargetAt(std::uint32_t offset) const
{
    if (!ScriptBytes::Fits(offset, 4, targets_.size()))
        return std::nullopt;
    Target target{ScriptBytes::U16(targets_, offset + 2), std::nullopt, std::nullopt};
    if (ScriptBytes::Fits(offset + 4ull, 4, targets_.size()))
        target.block = ScriptBytes::U32(targets_, offset + 4);
    if (ScriptBytes::Terminated(targets_, offset + 4ull, targets_.size()))
        target.text = reinterpret_cast<const char*>(targets_.data() + offset + 4);
    return target;
}

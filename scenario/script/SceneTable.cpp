#include "scenario/script/SceneTable.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"
#include "scenario/script/ScriptBytes.h"

#include <cstring>
#include <new>

namespace {

[[noreturn]] void Fail(const char* utf8) { throw Exception(CodePage::FromUtf8(utf8)); }

// Closes the stream on every path.
struct StreamGuard {
    TFileMan& files;
    TStream* stream;
    ~StreamGuard() { files.Close(stream); }
};

bool ReadU32(TStream& stream, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (stream.Read(bytes, 4) != 4)
        return false;
    value = ScriptBytes::U32(bytes, 0);
    return true;
}

} // namespace

void SceneTable::Load(TFileMan& files)
{
    loaded_ = false;
    entries_.clear();
    names_.clear();
    StreamGuard guard{files, files.Open("Scene.tbl")};
    if (guard.stream == nullptr)
        Fail("Scene.tblが開けません。");
    Read(*guard.stream);
}

void SceneTable::Read(TStream& stream)
{
    loaded_ = false;
    entries_.clear();
    names_.clear();
    char magic[4];
    std::uint32_t size = 0;
    std::uint32_t count = 0;
    if (stream.Read(magic, 4) != 4 || std::memcmp(magic, "TVQE", 4) != 0 || !ReadU32(stream, size) || !ReadU32(stream, count))
        Fail("Scene.tblが不正です。");
    // A block larger than what the file still holds can only read short: say so before allocating.
    if (static_cast<std::int64_t>(size) > stream.GetSize() - stream.GetPosition())
        Fail("Scene.tblのシーン読込みに失敗しました。");
    std::vector<std::uint8_t> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        Fail("バッファ取得に失敗しました。");
    }
    if (size != 0 && stream.Read(block.data(), static_cast<int>(size)) != static_cast<int>(size))
        Fail("Scene.tblのシーン読込みに失敗しました。");
    try {
        Parse(block, count);
    } catch (...) {
        entries_.clear();
        names_.clear();
        throw;
    }
    loaded_ = true;
}

void SceneTable::Parse(const std::vector<std::uint8_t>& block, std::uint32_t count)
{
    std::span<const std::uint8_t> bytes(block);
    std::size_t offset = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        // Each entry holds its fixed fields and a name ending inside its stated length.
        if (!ScriptBytes::Fits(offset, EntryHeaderSize, bytes.size()))
            Fail("Scene.tblが不正です。");
        const std::size_t length = ScriptBytes::U16(bytes, offset);
        if (length <= EntryHeaderSize || !ScriptBytes::Fits(offset, length, bytes.size())
            || !ScriptBytes::Terminated(bytes, offset + EntryHeaderSize, offset + length))
            Fail("Scene.tblが不正です。");
        SceneEntry entry{ScriptBytes::U32(bytes, offset + 2), ScriptBytes::U32(bytes, offset + 10), ScriptBytes::U16(bytes, offset + 14),
                         ScriptBytes::U16(bytes, offset + 16), ScriptBytes::U16(bytes, offset + 18), ScriptBytes::U16(bytes, offset + 20),
                         reinterpret_cast<const char*>(bytes.data() + offset + EntryHeaderSize)};
        names_.try_emplace(entry.name, entries_.size());
        entries_.push_back(std::move(entry));
        offset += length;
    }
}

const SceneEntry* SceneTable::Find(std::string_view name) const
{
    const auto it = names_.find(std::string(name));
    return it == names_.end() ? nullptr : &entries_[it->second];
}

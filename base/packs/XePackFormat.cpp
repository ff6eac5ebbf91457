// The bytes of a pack archive: header and directory records, entry names.
#include "base/packs/XePackFormat.h"

#include "platform/codepage/CodePage.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint16_t LoadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t LoadU32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }

void StoreU16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

void StoreU32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The bytes of a zero-padded field up to its first zero.
std::string_view FieldText(const char* field, std::size_t size)
{
    return {field, static_cast<std::size_t>(std::find(field, field + size, '\0') - field)};
}

void FillField(char* field, std::size_t size, std::string_view text)
{
    std::memset(field, 0, size);
    if (!text.empty())
        std::memcpy(field, text.data(), std::min(size, text.size()));
}

} // namespace

TXePackHeader NewPackHeader()
{
    TXePackHeader header{};
    std::memcpy(header.Magic, "XePack", 6);
    header.Version = XePackVersion300;
    return header;
}

void StorePackHeader(const TXePackHeader& header, std::span<std::uint8_t, XePackHeaderSize> bytes)
{
    std::memcpy(bytes.data(), header.Magic, 6);
    StoreU16(bytes.data() + 6, header.Version);
    StoreU32(bytes.data() + 8, header.DataSize);
    StoreU32(bytes.data() + 12, static_cast<std::uint32_t>(header.Count));
}

TXePackHeader LoadPackHeader(std::span<const std::uint8_t, XePackHeaderSize> bytes)
{
    TXePackHeader header{};
    std::memcpy(header.Magic, bytes.data(), 6);
    header.Version = LoadU16(bytes.data() + 6);
    header.DataSize = LoadU32(bytes.data() + 8);
    header.Count = static_cast<std::int32_t>(LoadU32(bytes.data() + 12));
    return header;
}

int XePackRecordSizeOf(std::uint16_t version)
{
    switch (version) {
    case XePackVersion100:
        return 32;
    case XePackVersion200:
        return 40;
    case XePackVersion300:
    case XePackVersion301:
        return XePackRecordSize;
    default:
        return 0;
    }
}

void StoreFileTable(const TXeFileTable& record, std::span<std::uint8_t, XePackRecordSize> bytes)
{
    std::memcpy(bytes.data(), record.Name, XePackNameSize);
    std::memcpy(bytes.data() + 21, record.Ext, XePackExtSize);
    StoreU32(bytes.data() + 24, record.Offset);
    StoreU32(bytes.data() + 28, record.Size);
    StoreU32(bytes.data() + 32, record.CompSize);
    bytes[36] = record.Comp;
    bytes[37] = record.CrcFlag;
    StoreU16(bytes.data() + 38, record.Crc);
    StoreU32(bytes.data() + 40, record.Time.dwLowDateTime);
    StoreU32(bytes.data() + 44, record.Time.dwHighDateTime);
}

TXeFileTable LoadFileTable(std::span<const std::uint8_t> bytes, std::uint16_t version)
{
    TXeFileTable record{};
    std::memcpy(record.Name, bytes.data(), XePackNameSize);
    std::memcpy(record.Ext, bytes.data() + 21, XePackExtSize);
    record.Offset = LoadU32(bytes.data() + 24);
    record.Size = LoadU32(bytes.data() + 28);
    if (version == XePackVersion100) {
        record.CompSize = record.Size;
        record.Comp = ptStored;
        record.Time = XePackOldFileTime;
        return record;
    }
    record.CompSize = LoadU32(bytes.data() + 32);
    record.Comp = bytes[36];
    if (version == XePackVersion200) {
        record.Time = XePackOldFileTime;
        return record;
    }
    record.CrcFlag = bytes[37];
    record.Crc = LoadU16(bytes.data() + 38);
    record.Time = {LoadU32(bytes.data() + 40), LoadU32(bytes.data() + 44)};
    return record;
}

bool IsDeleted(const TXeFileTable& record) { return record.Name[0] == '\0'; }

AnsiString FullName(const TXeFileTable& record)
{
    AnsiString name(FieldText(record.Name, XePackNameSize));
    if (record.Ext[0] != '\0') {
        name += '.';
        name += FieldText(record.Ext, XePackExtSize);
    }
    return name;
}

bool SplitEntryName(std::string_view name, TXeFileTable& record)
{
    if (name.size() >= XePackFullNameSize)
        return false;
    const std::size_t dot = name.rfind('.');
    const bool split = dot != std::string_view::npos && dot > 0;
    FillField(record.Name, XePackNameSize, split ? name.substr(0, dot) : name);
    FillField(record.Ext, XePackExtSize, split ? name.substr(dot + 1) : std::string_view());
    return true;
}

AnsiString PackLowerCase(std::string_view name)
{
    AnsiString lower(name);
    for (std::size_t i = 0; i < lower.size(); ++i) {
        const auto byte = static_cast<unsigned char>(lower[i]);
        if (CodePage::IsLeadByte(byte) && i + 1 < lower.size())
            ++i;
        else if (byte >= 'A' && byte <= 'Z')
            lower[i] = static_cast<char>(byte + ('a' - 'A'));
    }
    return lower;
}

std::vector<AnsiString> EntryNameParts(std::string_view name)
{
    std::vector<AnsiString> parts(1);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char byte = name[i];
        if (CodePage::IsLeadByte(static_cast<unsigned char>(byte)) && i + 1 < name.size()) {
            parts.back() += byte;
            parts.back() += name[++i];
        } else if (byte == '\\' || byte == '/') {
            parts.emplace_back();
        } else {
            parts.back() += byte;
        }
    }
    return parts;
}

bool IsRelativeEntryName(std::string_view name)
{
    for (const AnsiString& part : EntryNameParts(name))
        if (part.empty() || part == "." || part == ".." || part.find(':') != AnsiString::npos)
            return false;
    return true;
}

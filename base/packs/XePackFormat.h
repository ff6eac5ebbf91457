// The bytes of a pack archive (".pak"): the 16-byte header, the directory record in its three
// versions, entry types, CRC modes and entry names.
//
// Layout: header at 0; the data area from 16 (each entry's stored bytes, zero-padded to a multiple
// of 16); the directory (count records); a u16 CRC-16 of every byte before it. All integers are
// little-endian.
#pragma once

#include "base/util/XeFileTime.h"
#include "platform/classes/AnsiString.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::uint16_t XePackVersion100 = 0x0100; // 32-byte records
inline constexpr std::uint16_t XePackVersion200 = 0x0200; // 40-byte records
inline constexpr std::uint16_t XePackVersion300 = 0x0300; // 48-byte records, as written new
inline constexpr std::uint16_t XePackVersion301 = 0x0301; // 48-byte records, rewritten after a change
inline constexpr int XePackHeaderSize = 16;
inline constexpr int XePackRecordSize = 48;
inline constexpr int XePackNameSize = 21;
inline constexpr int XePackExtSize = 3;
// A full entry name (name, dot, extension) is always shorter than this.
inline constexpr int XePackFullNameSize = 26;
// Last-write time given to the entries of archives too old to store one: 1989-12-31 15:00:00 UTC.
inline constexpr FILETIME XePackOldFileTime{0xA8EE9800, 0x01B41DDE};

// How archives are checked: not at all, the whole file at load, or each entry when it is opened.
enum TCrcMode { cmNon = 0, cmPackAll = 1, cmEachFile = 2 };

// The type byte of a directory record.
enum TXePackType : std::uint8_t { ptStored = 0, ptTovanu = 1, ptBrisane = 2, ptInverted = 3 };

// Types whose stored bytes are a codec's stream.
inline bool IsCoded(int type) { return type == ptTovanu || type == ptBrisane; }

struct TXePackHeader {
    char Magic[6];          // "XePack", never compared on load
    std::uint16_t Version;
    std::uint32_t DataSize; // bytes of the data area
    std::int32_t Count;     // directory records
};
static_assert(sizeof(TXePackHeader) == XePackHeaderSize);

// One directory record in its 48-byte form; older forms are widened to it on load.
struct TXeFileTable {
    char Name[XePackNameSize]; // before the last dot, zero-padded; all zero for a deleted entry
    char Ext[XePackExtSize];   // after the last dot, zero-padded
    std::uint32_t Offset;      // of the stored bytes, from the start of the data area
    std::uint32_t Size;        // decoded
    std::uint32_t CompSize;    // stored, padding not counted
    std::uint8_t Comp;         // TXePackType
    std::uint8_t CrcFlag;      // 1 when Crc holds the CRC-16 of the stored bytes
    std::uint16_t Crc;
    FILETIME Time;             // the source file's last write
};
static_assert(sizeof(TXeFileTable) == XePackRecordSize);
static_assert(offsetof(TXeFileTable, Offset) == 24 && offsetof(TXeFileTable, Comp) == 36 &&
              offsetof(TXeFileTable, Crc) == 38 && offsetof(TXeFileTable, Time) == 40);

TXePackHeader NewPackHeader();
void StorePackHeader(const TXePackHeader& header, std::span<std::uint8_t, XePackHeaderSize> bytes);
TXePackHeader LoadPackHeader(std::span<const std::uint8_t, XePackHeaderSize> bytes);

// Bytes of one record on disk for an archive version; 0 for a version that is not known.
int XePackRecordSizeOf(std::uint16_t version);
void StoreFileTable(const TXeFileTable& record, std::span<std::uint8_t, XePackRecordSize> bytes);
// Reads a record of XePackRecordSizeOf(version) bytes and widens it: older records get no CRC and
// the old fixed time, and version 0x0100 ones are stored entries of their decoded size.
TXeFileTable LoadFileTable(std::span<const std::uint8_t> bytes, std::uint16_t version);

bool IsDeleted(const TXeFileTable& record);
// Name, then a dot and the extension when there is one.
AnsiString FullName(const TXeFileTable& record);
// Fills the name and extension fields from a file name, split at its last dot (a name without a
// dot, or whose only dot is its first byte, goes whole into the name field); both are cut to their
// fields. False for a name of XePackFullNameSize bytes or more.
bool SplitEntryName(std::string_view name, TXeFileTable& record);
// Lower case for lookup: single-byte letters change, double-byte characters do not.
AnsiString PackLowerCase(std::string_view name);
// The folder parts and file name of an entry name, split at "\" and "/" outside double-byte
// characters of the ANSI code page (whose second byte may be a backslash).
std::vector<AnsiString> EntryNameParts(std::string_view name);
// Whether an entry name stays inside the folder it is extracted to: no empty, "." or ".." part
// (so no leading, doubled or final separator) and no ":" (no drive, as "C:").
bool IsRelativeEntryName(std::string_view name);

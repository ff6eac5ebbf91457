// SceneTable: the scene table "Scene.tbl" read and checked whole: each scene's name, script, entry
// block, start date and time, and limit date and time.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TFileMan;
class TStream;

struct SceneEntry {
    std::uint32_t script;     // the file "scr%05d.dvo" that holds the scene
    std::uint32_t block;      // offset of its labelled block in the code section; NoBlock = none
    std::uint16_t startDate;  // month * 100 + day; 0 = keep the clock
    std::uint16_t startTime;  // hour * 100 + minute
    std::uint16_t limitDate;  // 0 = no limit
    std::uint16_t limitTime;
    std::string name;
};

class SceneTable {
public:
    static constexpr std::uint32_t NoBlock = 0x0FFFFFFF;
    static constexpr std::size_t EntryHeaderSize = 22;

    // Reads "Scene.tbl" through the manager. Raises Exception with the table's own texts for a file
    // that does not open, a bad header or entry, or a short read; the table is then empty.
    void Load(TFileMan& files);
    // The same from a stream at its start, for a file that opened.
    void Read(TStream& stream);
    bool IsLoaded() const { return loaded_; }
    // The scene with this exact name (the first of duplicates), or null.
    const SceneEntry* Find(std::string_view name) const;
    std::size_t Size() const { return entries_.size(); }
    // Every entry in file order, duplicates included.
    std::span<const SceneEntry> Entries() const { return entries_; }

private:
    void Parse(const std::vector<std::uint8_t>& block, std::uint32_t count);

    bool loaded_ = false;
    std::vector<SceneEntry> entries_;
    std::unordered_map<std::string, std::size_t> names_;
};

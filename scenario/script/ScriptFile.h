// ScriptFile: one compiled script "scr%05d.dvo" read and checked whole: header, code section with its
// labelled blocks, target table and numbered strings.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TStream;

class ScriptFile {
public:
    static constexpr std::size_t HeaderSize = 64;
    static constexpr std::size_t BlockHeaderSize = 10; // size, name length, 4 unread bytes
    static constexpr std::uint32_t NoBlock = 0x0FFFFFFF;
    static constexpr std::uint32_t NoEntry = 0xFFFFFFFF;
    static constexpr std::uint16_t CallHere = 1;
    static constexpr std::uint16_t CallOther = 2;
    static constexpr std::uint8_t NoOpcode = 0xFF;

    // A record of the target table: its kind, and the block (kind 1) or the text at its offset 4
    // (kind 2, and the scene name of a scene start).
    struct Target {
        std::uint16_t kind;
        std::optional<std::uint32_t> block;
        std::optional<std::string_view> text;
    };

    // The stamp in the header when the stream starts with a whole header naming script `number`.
    static std::optional<std::uint32_t> ReadStamp(TStream& stream, std::int32_t number);
    // The file name of script `number`.
    static std::string FileName(std::int32_t number);

    // Reads script `number` from the stream; false, and nothing loaded, when the header names another
    // script or any section, block or string does not lie wholly inside the file and its section.
    bool Read(TStream& stream, std::int32_t number);
    void Clear();

    bool IsLoaded() const { return number_ >= 0; }
    std::int32_t Number() const { return number_; }
    std::uint32_t Stamp() const { return stamp_; }
    std::span<const std::uint8_t> Code() const { return code_; }
    std::span<const std::uint8_t> Targets() const { return targets_; }
    // By code offset, the opcode of the instruction there when it lies wholly inside the code and
    // its opcode inside the table, else NoOpcode; one more NoOpcode stands for the end of the code.
    // The engine's inner loop decodes through it without checking offsets itself.
    std::span<const std::uint8_t> OpcodeMap() const { return opcodeMap_; }
    // The offset and entry pc of every labelled block, in file order.
    std::span<const std::pair<std::uint32_t, std::uint32_t>> Blocks() const { return blocks_; }

    // The entry pc of the labelled block at this offset; NoEntry for NoBlock or an offset where no
    // block starts.
    std::uint32_t LabelEntry(std::uint32_t block) const;
    // The offset of the first block with this label.
    std::optional<std::uint32_t> FindLabel(std::string_view label) const;
    std::uint32_t StringCount() const { return static_cast<std::uint32_t>(strings_.size()); }
    // String 1 to StringCount(); null outside.
    const char* String(std::uint32_t number) const;
    // The record at this offset of the target table; none when its kind does not fit inside the
    // table. A block or text that does not fit (or is unterminated) is left empty.
    std::optional<Target> TargetAt(std::uint32_t offset) const;

private:
    bool ReadSections(TStream& stream, std::span<const std::uint8_t> header);
    bool IndexBlocks(std::uint32_t count);
    bool IndexStrings(std::uint32_t count);
    bool MapOpcodes();

    std::int32_t number_ = -1;
    std::uint32_t stamp_ = 0;
    std::vector<std::uint8_t> code_;
    std::vector<std::uint8_t> opcodeMap_{NoOpcode};
    std::vector<std::uint8_t> targets_;
    std::vector<std::uint8_t> stringSection_;
    std::vector<std::uint32_t> strings_; // text offset of each string, by number - 1
    std::vector<std::pair<std::uint32_t, std::uint32_t>> blocks_; // block offset and entry pc, ascending
    std::unordered_map<std::string, std::uint32_t> labels_;
};

// What both kinds of save file share: the 8-byte header, range coding of a whole image, the file
// name in the save folder, the write that never damages the file it replaces and the bounded read.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::size_t SaveHeaderSize = 8;

// Header: magic "TVQE", then 0, 1, 0, 0. Readers compare the magic and the bytes 0, 1.
void AppendSaveHeader(std::vector<unsigned char>& file);
bool HasSaveHeader(std::span<const unsigned char> file);

// Range-codes `raw` onto the end of `file`; false when the code would outgrow four times the input.
bool AppendEncoded(std::vector<unsigned char>& file, std::span<const unsigned char> raw);
// Decodes `coded` into exactly `size` bytes: empty unless the stream holds exactly that many and
// ends where the input ends.
std::optional<std::vector<unsigned char>> DecodeExactly(std::span<const unsigned char> coded, std::size_t size);

// `name` in the save folder (empty: the current folder).
AnsiString SaveFilePath(const AnsiString& folder, const AnsiString& name);
// Writes the bytes under a temporary name in the same folder, forces them to disk and renames the
// file over the old one: a failure or a crash leaves the old file as it was. False on any failure.
bool WriteSaveFile(const AnsiString& path, std::span<const unsigned char> bytes);
// The whole file when its size lies in [minSize, maxSize]; empty when it is missing, cannot be read
// or has another size.
std::optional<std::vector<unsigned char>> ReadSaveFile(const AnsiString& path, std::size_t minSize, std::size_t maxSize);

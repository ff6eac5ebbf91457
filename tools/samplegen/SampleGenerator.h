// SampleGenerator: makes the whole sample game folder: every writer puts its loose files into the
// staging folders, then the pack step builds the archives and puts everything in place.
#pragma once

#include "tools/samplegen/SampleFiles.h"

#include <filesystem>
#include <span>
#include <string>

namespace samplegen {

// The staging root the writers write into; a store's files go to Folder(store).
class SampleStaging {
public:
    explicit SampleStaging(std::filesystem::path root) : root_(std::move(root)) {}
    const std::filesystem::path& Root() const { return root_; }
    // The store's staging folder (made by the generator before any writer runs).
    std::filesystem::path Folder(SampleStore store) const { return root_ / StagingFolder(store); }
    // The path of a file of the store ("\" in the name separates folders).
    std::filesystem::path File(SampleStore store, std::string_view name) const;

private:
    std::filesystem::path root_;
};

// One writer: makes its files in the staging folders; false, with a message on stderr, when it
// fails. The sources folder is the repository's sample/ folder (scenario and song texts).
using SampleWriterFunction = bool (*)(const SampleStaging& staging, const std::filesystem::path& sources);

struct SampleWriter {
    SampleMaker maker;
    const char* what; // for messages
    SampleWriterFunction write;
};

// The writers the generator runs, in order.
std::span<const SampleWriter> SampleWriters();
// Whether a writer for this maker is among them (the files of absent writers are not made).
bool HasWriter(SampleMaker maker);

// Makes the game folder `output` from the sources; the same sources give the same bytes. Files of
// other programs in the folder (the executable, settings, saves) are left alone. False, with a
// message on stderr, when a writer or the pack step fails.
bool Generate(const std::filesystem::path& output, const std::filesystem::path& sources);

// Copies the sample game that Generate made in the game folder `from` (its archives and data
// folders, nothing else) into the game folder `to`, as the copy of an installed game. False when a
// part is missing or cannot be copied.
bool CopyGameData(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace samplegen

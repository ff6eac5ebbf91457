// PackStep: turns the staging folders into the finished game folder: each packed store becomes its
// archive, each folder store's files are copied into place.
#pragma once

#include "tools/samplegen/SampleGenerator.h"

namespace samplegen {

// Packs or copies every store of the staging into `output`. Entries are added in name order with
// one fixed file time, so the same files give the same archive bytes. False, with a message on
// stderr, when an archive cannot be written or a file cannot be copied.
bool PackStores(const SampleStaging& staging, const std::filesystem::path& output);

} // namespace samplegen

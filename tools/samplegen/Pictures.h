// Pictures: the picture writer of the sample game: draws every picture and data file of the list
// that the picture drawers make, at its listed size, into the staging folders.
#pragma once

#include "tools/samplegen/SampleGenerator.h"

namespace samplegen {

bool WritePictures(const SampleStaging& staging, const std::filesystem::path& sources);

} // namespace samplegen

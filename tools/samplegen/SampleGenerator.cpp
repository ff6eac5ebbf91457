#include "tools/samplegen/SampleGenerator.h"

#include "tools/samplegen/PackStep.h"
#include "tools/samplegen/MovieWriter.h"
#include "tools/samplegen/Pictures.h"
#include "tools/samplegen/ScenarioWriter.h"
#include "tools/samplegen/SongWriter.h"
#include "tools/samplegen/SoundSet.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace samplegen {
namespace {

namespace fs = std::filesystem;

// The writers, one per maker; the sound, movie, scenario and song writers join as they come.
constexpr SampleWriter Writers[] = {
    {SampleMaker::Pictures, "pictures", WritePictures},
    {SampleMaker::Sounds, "sounds", WriteSounds},
    {SampleMaker::Movie, "movies", WriteMovies},
    {SampleMaker::Scenario, "scenario", WriteScenario},
    {SampleMaker::Song, "song", WriteSong},
};

// Beside the game folder's own files while it is made, removed afterwards.
constexpr const char* kStagingName = ".samplegen-staging";

bool MakeStaging(const SampleStaging& staging)
{
    std::error_code error;
    fs::remove_all(staging.Root(), error);
    for (const SampleStore store : SampleStores()) {
        fs::create_directories(staging.Folder(store), error);
        if (error) {
            std::fprintf(stderr, "samplegen: cannot make %s: %s\n", staging.Folder(store).c_str(), error.message().c_str());
            return false;
        }
    }
    return true;
}

} // namespace

fs::path SampleStaging::File(SampleStore store, std::string_view name) const
{
    fs::path path = Folder(store);
    std::size_t start = 0;
    for (std::size_t slash = name.find('\\'); slash != std::string_view::npos; slash = name.find('\\', start)) {
        path /= name.substr(start, slash - start);
        start = slash + 1;
    }
    return path / name.substr(start);
}

std::span<const SampleWriter> SampleWriters() { return Writers; }

bool HasWriter(SampleMaker maker)
{
    return std::any_of(std::begin(Writers), std::end(Writers), [maker](const SampleWriter& w) { return w.maker == maker; });
}

bool Generate(const fs::path& output, const fs::path& sources)
{
    const SampleStaging staging(output / kStagingName);
    if (!MakeStaging(staging))
        return false;
    bool ok = true;
    for (const SampleWriter& writer : Writers)
        if (!writer.write(staging, sources)) {
            std::fprintf(stderr, "samplegen: the %s could not be made\n", writer.what);
            ok = false;
        }
    ok = ok && PackStores(staging, output);
    std::error_code error;
    fs::remove_all(staging.Root(), error);
    return ok;
}

bool CopyGameData(const fs::path& from, const fs::path& to)
{
    // Every store lies below one top-level archive or folder of the game folder.
    std::set<fs::path> tops;
    for (const SampleStore store : SampleStores()) {
        const std::string_view place = PackFile(store).empty() ? StagingFolder(store) : PackFile(store);
        tops.insert(*fs::path(place).begin());
    }
    std::error_code error;
    fs::create_directories(to, error);
    for (const fs::path& top : tops) {
        fs::copy(from / top, to / top, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
        if (error)
            return false;
    }
    return true;
}

} // namespace samplegen

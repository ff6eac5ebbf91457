#include "tools/samplegen/PackStep.h"

#include "base/packs/TXePack.h"
#include "platform/fs/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace samplegen {
namespace {

namespace fs = std::filesystem;

// Every entry's time: 2026-01-01 00:00 UTC, in nanoseconds since 1970.
constexpr std::int64_t kEntryTime = 1767225600LL * 1000000000LL;

// The regular files directly inside a folder, by name.
std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool Pack(const fs::path& folder, const fs::path& archive)
{
    const std::vector<fs::path> files = FilesIn(folder);
    std::error_code error;
    fs::create_directories(archive.parent_path(), error);
    fs::remove(archive, error);
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    const AnsiString archiveName = FileSystem::FromNative(archive);
    if (!pack.NewPack(archiveName.c_str())) {
        std::fprintf(stderr, "samplegen: cannot create %s\n", archive.c_str());
        return false;
    }
    for (const fs::path& file : files) {
        const AnsiString source = FileSystem::FromNative(file);
        if (!FileSystem::SetLastWriteTime(source, kEntryTime) ||
            !pack.AddFile(file.filename().string().c_str(), source.c_str(), true)) {
            std::fprintf(stderr, "samplegen: cannot add %s to %s\n", file.c_str(), archive.c_str());
            pack.DiscardPack();
            return false;
        }
    }
    if (!pack.EndPack()) {
        std::fprintf(stderr, "samplegen: cannot write %s\n", archive.c_str());
        return false;
    }
    return true;
}

bool Copy(const fs::path& folder, const fs::path& target)
{
    std::error_code error;
    fs::create_directories(target, error);
    for (const fs::path& file : FilesIn(folder)) {
        fs::copy_file(file, target / file.filename(), fs::copy_options::overwrite_existing, error);
        if (error) {
            std::fprintf(stderr, "samplegen: cannot copy %s: %s\n", file.c_str(), error.message().c_str());
            return false;
        }
    }
    return true;
}

} // namespace

bool PackStores(const SampleStaging& staging, const fs::path& output)
{
    for (const SampleStore store : SampleStores()) {
        const std::string_view pack = PackFile(store);
        const fs::path folder = staging.Folder(store);
        if (!(pack.empty() ? Copy(folder, output / StagingFolder(store)) : Pack(folder, output / pack)))
            return false;
    }
    return true;
}

} // namespace samplegen

// The path layer: every file access of the system maps its backslash, code-page name to disk here.
#include "platform/fs/FileSystem.h"

#include "platform/codepage/CodePage.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace FileSystem {
namespace {

struct SplitName {
    bool absolute = false;
    std::vector<std::string> components; // still in the ANSI code page
};

bool IsSeparatorAt(std::string_view name, std::size_t i) { return name[i] == '\\' || name[i] == '/'; }

SplitName Split(std::string_view name)
{
    SplitName split;
    std::size_t i = 0;
    const bool drive = name.size() >= 2 && name[1] == ':' &&
                       ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    if (drive) {
        split.absolute = true;
        i = 2;
    } else if (!name.empty() && IsSeparatorAt(name, 0)) {
        split.absolute = true;
    }
    std::string current;
    const int codePage = CodePage::Ansi();
    for (; i < name.size(); ++i) {
        if (CodePage::IsLeadByte(static_cast<unsigned char>(name[i]), codePage) && i + 1 < name.size()) {
            current += name[i];
            current += name[++i];
        } else if (IsSeparatorAt(name, i)) {
            if (!current.empty())
                split.components.push_back(std::move(current));
            current.clear();
        } else {
            current += name[i];
        }
    }
    if (!current.empty())
        split.components.push_back(std::move(current));
    return split;
}

std::string FoldCase(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return folded;
}

std::int64_t Nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

bool ExistsOnDisk(const fs::path& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// The folder's change stamp; a zero stamp when it cannot be read.
struct FolderStamp {
    std::int64_t modified = 0; // nanoseconds since 1970
    ino_t inode = 0;
    bool operator==(const FolderStamp&) const = default;
};

FolderStamp StampOf(const fs::path& folder)
{
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0)
        return {};
    return {Nanoseconds(info.st_mtim), info.st_ino};
}

// Folder listings (UTF-8 names) by absolute folder path, each with the folder's change stamp.
// A name missing from a current listing is absent; one missing from any other listing is looked
// up again on disk first. A listing read from disk is current while its stamp matches the
// folder's, unless it was read within a clock tick of the folder's last change (a change in that
// tick would leave the stamp as it was). Changes made through the layer update a listing in place
// and make it current, so creating N files in a folder reads it once, not N times. The price: a
// name another program adds to a folder between the layer's last look and its next change there
// is missed by a lookup in other case until the folder changes again (the exact spelling is
// always found, as it is looked up on disk first).
class ListingCache {
public:
    std::optional<std::string> Find(const fs::path& folder, std::string_view wanted)
    {
        const std::string key = KeyOf(folder);
        const std::string folded = FoldCase(wanted);
        std::lock_guard lock(mutex_);
        auto it = listings_.find(key);
        if (it != listings_.end()) {
            if (auto hit = it->second.Match(folded))
                return hit;
            if (it->second.current && it->second.stamp == StampOf(folder))
                return std::nullopt;
        }
        if (it == listings_.end() && listings_.size() >= kMaxFolders)
            listings_.clear();
        Listing& fresh = listings_[key];
        fresh = Read(folder);
        return fresh.Match(folded);
    }

    // Brings the listing of the folder holding `path`, if there is one, up to date with it.
    void Note(const fs::path& path)
    {
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        const std::string key = KeyOf(folder);
        std::lock_guard lock(mutex_);
        auto it = listings_.find(key);
        if (it == listings_.end())
            return;
        Listing& listing = it->second;
        const std::string name = path.filename().string();
        if (ExistsOnDisk(path))
            listing.names.emplace(FoldCase(name), name);
        else
            listing.names.erase({FoldCase(name), name});
        // Our own change is known exactly, so the listing stays current at the new stamp.
        listing.stamp = StampOf(folder);
        listing.current = listing.stamp.inode != 0;
    }

private:
    static constexpr std::size_t kMaxFolders = 512; // bounds memory when a tool walks many folders
    // How long after a folder's last change its listing is not trusted to show the change: file
    // times on some file systems are kept in whole seconds or coarser.
    static constexpr std::int64_t kStampTickNs = 2'000'000'000;

    struct Listing {
        std::set<std::pair<std::string, std::string>> names; // (case-folded, as on disk)
        FolderStamp stamp;
        bool current = false;

        // The first name on disk, in byte order, that matches case-insensitively.
        std::optional<std::string> Match(const std::string& folded) const
        {
            const auto it = names.lower_bound({folded, std::string()});
            if (it == names.end() || it->first != folded)
                return std::nullopt;
            return it->second;
        }
    };

    static std::string KeyOf(const fs::path& folder)
    {
        std::error_code error;
        return fs::absolute(folder, error).lexically_normal().string();
    }

    // The stamp is taken before the names so that a change during the read shows as a new stamp.
    static Listing Read(const fs::path& folder)
    {
        Listing listing;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        listing.stamp = StampOf(folder);
        listing.current = listing.stamp.inode != 0 &&
                          listing.stamp.modified + kStampTickNs < Nanoseconds(now);
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            std::string name = it->path().filename().string();
            listing.names.emplace(FoldCase(name), std::move(name));
        }
        return listing;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, Listing> listings_;
};

ListingCache& Cache()
{
    static ListingCache cache;
    return cache;
}

std::optional<struct stat> StatOf(std::string_view name)
{
    struct stat info;
    if (::stat(NativePath(name).c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

AnsiString WithTrailingBackslash(AnsiString folder)
{
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

fs::path NativePath(std::string_view name)
{
    const SplitName split = Split(name);
    fs::path path = split.absolute ? fs::path("/") : fs::path();
    bool missing = false;
    for (const std::string& ansi : split.components) {
        const std::string component = CodePage::ToUtf8(ansi);
        if (missing || component == "." || component == "..") {
            path /= component;
            continue;
        }
        const fs::path folder = path.empty() ? fs::path(".") : path;
        if (ExistsOnDisk(folder / component)) {
            path /= component;
        } else if (auto real = Cache().Find(folder, component)) {
            path /= *real;
        } else {
            missing = true;
            path /= component;
        }
    }
    return path;
}

AnsiString FromNative(const fs::path& path)
{
    AnsiString name = CodePage::FromUtf8(path.string());
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

bool Exists(std::string_view name) { return !name.empty() && StatOf(name).has_value(); }

bool IsFile(std::string_view name)
{
    const auto info = name.empty() ? std::nullopt : StatOf(name);
    return info && !S_ISDIR(info->st_mode);
}

bool IsDirectory(std::string_view name)
{
    const auto info = name.empty() ? std::nullopt : StatOf(name);
    return info && S_ISDIR(info->st_mode);
}

std::optional<std::int64_t> LastWriteTime(std::string_view name)
{
    const auto info = StatOf(name);
    if (!info)
        return std::nullopt;
    return static_cast<std::int64_t>(info->st_mtim.tv_sec) * 1'000'000'000 + info->st_mtim.tv_nsec;
}

bool SetLastWriteTime(std::string_view name, std::int64_t unixNanoseconds)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(unixNanoseconds / 1'000'000'000);
    times[1].tv_nsec = static_cast<long>(unixNanoseconds % 1'000'000'000);
    if (times[1].tv_nsec < 0) {
        times[1].tv_nsec += 1'000'000'000;
        --times[1].tv_sec;
    }
    return ::utimensat(AT_FDCWD, NativePath(name).c_str(), times, 0) == 0;
}

std::optional<std::int64_t> FileSize(std::string_view name)
{
    const auto info = StatOf(name);
    if (!info || S_ISDIR(info->st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(info->st_size);
}

std::vector<DirEntry> List(std::string_view folder)
{
    std::vector<DirEntry> entries;
    std::error_code error;
    const fs::path native = folder.empty() ? fs::path(".") : NativePath(folder);
    for (fs::directory_iterator it(native, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        entries.push_back({CodePage::FromUtf8(it->path().filename().string()), it->is_directory(typeError)});
    }
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
}

bool CreateFolder(std::string_view name)
{
    const fs::path native = NativePath(name);
    std::error_code error;
    const bool made = fs::create_directory(native, error);
    NoteChanged(native);
    return made;
}

bool DeleteFile(std::string_view name)
{
    const fs::path native = NativePath(name);
    const bool removed = ::unlink(native.c_str()) == 0;
    NoteChanged(native);
    return removed;
}

bool RenameFile(std::string_view from, std::string_view to)
{
    const fs::path source = NativePath(from);
    const fs::path target = NativePath(to);
    const bool renamed = std::rename(source.c_str(), target.c_str()) == 0;
    NoteChanged(source);
    NoteChanged(target);
    return renamed;
}

AnsiString CurrentFolder()
{
    std::error_code error;
    return WithTrailingBackslash(FromNative(fs::current_path(error)));
}

bool SetCurrentFolder(std::string_view name)
{
    std::error_code error;
    fs::current_path(NativePath(name), error);
    return !error;
}

AnsiString ProgramFolder()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? CurrentFolder() : WithTrailingBackslash(FromNative(exe.parent_path()));
}

AnsiString TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return WithTrailingBackslash(FromNative(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp"));
}

void NoteChanged(const fs::path& path) { Cache().Note(path); }

} // namespace FileSystem

// File and folder tests, and conversions between absolute and relative folder paths.
#include "base/util/PathUtils.h"

#include "platform/fs/FileSystem.h"

#include <vector>

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsBackslashAt(const AnsiString& s, std::size_t i) { return s[i] == '\\' && StrByteType(s, i) == mbSingleByte; }

bool EndsInBackslash(const AnsiString& s) { return !s.empty() && IsBackslashAt(s, s.size() - 1); }

// A folder argument: "\" appended when it is longer than 3 bytes and lacks one.
AnsiString AsFolder(AnsiString s)
{
    if (s.size() > 3 && !EndsInBackslash(s))
        s += '\\';
    return s;
}

AnsiString WithTrailingBackslash(AnsiString s)
{
    if (!s.empty() && !EndsInBackslash(s))
        s += '\\';
    return s;
}

// Length of the root: 3 for "X:\", 2 for "X:" without a separator, 1 for "\", else 0.
std::size_t RootLength(const AnsiString& s)
{
    if (s.size() >= 2 && IsLetter(s[0]) && s[1] == ':')
        return s.size() >= 3 && s[2] == '\\' ? 3 : 2;
    return !s.empty() && s[0] == '\\' ? 1 : 0;
}

bool SameRoot(const AnsiString& a, const AnsiString& b)
{
    const std::size_t length = RootLength(a);
    if (length != RootLength(b))
        return false;
    return length == 1 || (length == 3 && (a[0] | 0x20) == (b[0] | 0x20));
}

// A relative result keeps its trailing "\" only after a root.
AnsiString WithoutTrailingBackslash(AnsiString s)
{
    if (EndsInBackslash(s) && s.size() > 1 && s[s.size() - 2] != ':')
        s.pop_back();
    return s;
}

// The folder components of s after its root, split at "\".
std::vector<AnsiString> Components(const AnsiString& s, std::size_t from)
{
    std::vector<AnsiString> parts;
    AnsiString current;
    for (std::size_t i = from; i < s.size(); ++i) {
        if (IsBackslashAt(s, i)) {
            parts.push_back(current);
            current.clear();
        } else {
            current += s[i];
        }
    }
    if (!current.empty())
        parts.push_back(current);
    return parts;
}

} // namespace

bool FileIsExist(const char* path) { return path != nullptr && FileSystem::IsFile(path); }

bool FolderIsExist(const char* path) { return path != nullptr && FileSystem::IsDirectory(path); }

AnsiString AbsToRelPath(AnsiString path, AnsiString base)
{
    path = AsFolder(std::move(path));
    base = AsFolder(std::move(base));
    const std::size_t root = RootLength(path);
    if (path.size() < 4 || base.size() < 4 || (root != 1 && root != 3) || !SameRoot(path, base))
        return WithTrailingBackslash(path);

    // The common folder ends after the last "\" the two share.
    std::size_t common = root;
    for (std::size_t i = root; i < path.size() && i < base.size() && path[i] == base[i]; ++i)
        if (IsBackslashAt(path, i))
            common = i + 1;

    AnsiString relative;
    for (std::size_t i = common; i < base.size(); ++i)
        if (IsBackslashAt(base, i))
            relative += "..\\";
    if (!EndsInBackslash(base))
        relative += "..\\";
    relative += path.substr(common);
    return WithTrailingBackslash(relative);
}

AnsiString AbsToRelDir(AnsiString path, AnsiString base)
{
    return WithoutTrailingBackslash(AbsToRelPath(std::move(path), std::move(base)));
}

AnsiString AbsToRelPathName(AnsiString file, AnsiString base)
{
    return AbsToRelPath(ExtractFilePath(file), std::move(base)) + ExtractFileName(file);
}

AnsiString RelToAbsPath(AnsiString path, AnsiString base)
{
    path = AsFolder(std::move(path));
    base = AsFolder(std::move(base));
    if (path.empty())
        return WithTrailingBackslash(base);
    if (base.empty() || (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':'))
        return WithTrailingBackslash(path);

    // Leading ".." components, each perhaps after one "\".
    int up = 0;
    std::size_t rest = 0;
    for (;;) {
        std::size_t at = rest;
        if (at < path.size() && path[at] == '\\')
            ++at;
        if (path.compare(at, 2, "..") != 0 || (at + 2 < path.size() && path[at + 2] != '\\'))
            break;
        ++up;
        rest = at + 2;
        if (rest < path.size() && path[rest] == '\\')
            ++rest;
    }

    // A name rooted at "\" that does not climb is absolute already.
    if (up == 0 && RootLength(path) == 1)
        return WithTrailingBackslash(path);

    const std::size_t root = RootLength(base);
    std::vector<AnsiString> levels = Components(base, root);
    if (static_cast<std::size_t>(up) > levels.size())
        return WithTrailingBackslash(path);
    levels.resize(levels.size() - static_cast<std::size_t>(up));

    AnsiString absolute = root >= 2 ? base.substr(0, 2) + "\\" : base.substr(0, root);
    for (const AnsiString& level : levels)
        absolute += level + "\\";
    absolute += path.substr(rest);
    return WithTrailingBackslash(absolute);
}

AnsiString RelToAbsDir(AnsiString path, AnsiString base)
{
    return WithoutTrailingBackslash(RelToAbsPath(std::move(path), std::move(base)));
}

AnsiString RelToAbsPathName(AnsiString file, AnsiString base)
{
    return RelToAbsPath(ExtractFilePath(file), std::move(base)) + ExtractFileName(file);
}

// TIniFile: keys in sections of a settings file, with the private-profile rules of the system.
#include "platform/classes/IniFile.h"

#include "platform/fs/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::mutex fileLock; // makes each read and each read-modify-write of a settings file whole

using Lines = std::vector<std::string>;

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The file's lines; none when it is missing; nothing when it exists but cannot be read (a write
// must then leave it alone rather than replace it with one key).
std::optional<Lines> ReadLines(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return error ? std::nullopt : std::optional<Lines>(Lines{});
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad())
        return std::nullopt;
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

// Writes `lines` with CR LF to a temporary file beside `path`, then renames it over `path`.
void WriteLines(const std::filesystem::path& path, const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    std::string temp = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return;
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        written = n > 0;
        done += written ? static_cast<std::size_t>(n) : 0;
    }
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
    written = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;
    if (!written || std::rename(temp.c_str(), path.c_str()) != 0)
        ::unlink(temp.c_str());
    FileSystem::NoteChanged(path);
}

bool IsSectionLine(std::string_view line) { return Trim(line).starts_with('['); }

bool IsSection(std::string_view line, std::string_view section)
{
    const std::string_view trimmed = Trim(line);
    if (!trimmed.starts_with('['))
        return false;
    const auto close = trimmed.find(']');
    return close != std::string_view::npos && SameText(Trim(trimmed.substr(1, close - 1)), Trim(section));
}

// The value part of `line` when it is a "key=value" line of `ident`.
std::optional<std::string_view> KeyValue(std::string_view line, std::string_view ident)
{
    if (Trim(line).starts_with(';'))
        return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || !SameText(Trim(line.substr(0, equals)), Trim(ident)))
        return std::nullopt;
    return line.substr(equals + 1);
}

struct Place {
    std::size_t section;   // the section's header line; lines.size() when there is none
    std::size_t key;       // the key's line; lines.size() when there is none
    std::size_t afterLast; // after the section's last non-blank line
};

Place Find(const Lines& lines, std::string_view section, std::string_view ident)
{
    Place place{lines.size(), lines.size(), lines.size()};
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (IsSection(lines[i], section)) {
            place.section = i;
            break;
        }
    if (place.section == lines.size())
        return place;
    place.afterLast = place.section + 1;
    for (std::size_t i = place.section + 1; i < lines.size() && !IsSectionLine(lines[i]); ++i) {
        if (!Trim(lines[i]).empty())
            place.afterLast = i + 1;
        if (place.key == lines.size() && KeyValue(lines[i], ident))
            place.key = i;
    }
    return place;
}

} // namespace

AnsiString TIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view fallback) const
{
    const std::lock_guard guard(fileLock);
    const Lines lines = ReadLines(FileSystem::NativePath(FFileName)).value_or(Lines{});
    const Place place = Find(lines, section, ident);
    if (place.key == lines.size())
        return AnsiString(fallback);
    return AnsiString(Unquote(Trim(*KeyValue(lines[place.key], ident))));
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value)
{
    const std::lock_guard guard(fileLock);
    const std::filesystem::path path = FileSystem::NativePath(FFileName);
    std::optional<Lines> read = ReadLines(path);
    if (!read)
        return;
    Lines& lines = *read;
    const Place place = Find(lines, section, ident);
    const std::string line = std::string(ident) + "=" + std::string(value);
    if (place.key != lines.size()) {
        lines[place.key] = line;
    } else if (place.section != lines.size()) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.afterLast), line);
    } else {
        // Appended piece by piece: GCC 12 misreads "[" + std::string as overlapping copies (-Wrestrict).
        std::string header(1, '[');
        header.append(section).push_back(']');
        lines.push_back(std::move(header));
        lines.push_back(line);
    }
    WriteLines(path, lines);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int fallback) const
{
    return StrToIntDef(ReadString(section, ident, ""), fallback);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool fallback) const
{
    return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

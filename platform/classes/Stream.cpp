// TStream and its kin: the byte streams every file, pack entry and decoded buffer travels as.
#include "platform/classes/Stream.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"
#include "platform/fs/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

std::int64_t TStream::GetSize()
{
    const std::int64_t position = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, 0xF000)));
    std::int64_t left = count;
    while (left > 0) {
        const int chunk = static_cast<int>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return count;
}

TFileStream::TFileStream(const AnsiString& fileName, unsigned mode) : fileName_(fileName)
{
    const std::filesystem::path native = FileSystem::NativePath(fileName);
    if (mode == fmCreate || mode == fmCreateExclusive) {
        fd_ = ::open(native.c_str(), O_RDWR | O_CREAT | (mode == fmCreate ? O_TRUNC : O_EXCL) | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EFCreateError(Format("Cannot create file \"%s\". %s", fileName.c_str(), std::strerror(errno)));
        FileSystem::NoteChanged(native);
        return;
    }
    static constexpr int accessFlags[] = {O_RDONLY, O_WRONLY, O_RDWR};
    const unsigned access = mode & 3;
    if (access > 2)
        throw EFOpenError(Format("Cannot open file \"%s\". Invalid mode", fileName.c_str()));
    fd_ = ::open(native.c_str(), accessFlags[access] | O_CLOEXEC);
    if (fd_ < 0)
        throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), std::strerror(errno)));
}

TFileStream::~TFileStream()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int TFileStream::Read(void* buffer, int count)
{
    if (count <= 0)
        return 0;
    auto* out = static_cast<char*>(buffer);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, out + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int>(n);
    }
    return done;
}

int TFileStream::Write(const void* buffer, int count)
{
    if (count <= 0)
        return 0;
    const auto* in = static_cast<const char*>(buffer);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, in + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int>(n);
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    static constexpr int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence[origin]);
    return result < 0 ? -1 : static_cast<std::int64_t>(result);
}

void TFileStream::SetSize(std::int64_t size)
{
    if (size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EStreamError(Format("Cannot change the size of \"%s\"", fileName_.c_str()));
    if (GetPosition() > size)
        Seek(size, soBeginning);
}

bool TFileStream::FlushToDisk() { return ::fsync(fd_) == 0; }

bool TFileStream::TryLockExclusive() { return ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }

bool TFileStream::StillNamed() const
{
    struct stat open {}, named {};
    return ::fstat(fd_, &open) == 0 && ::stat(FileSystem::NativePath(fileName_).c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

int TMemoryStream::Read(void* buffer, int count)
{
    const std::int64_t size = GetSize();
    if (count <= 0 || position_ >= size)
        return 0;
    const int n = static_cast<int>(std::min<std::int64_t>(count, size - position_));
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

int TMemoryStream::Write(const void* buffer, int count)
{
    if (count <= 0)
        return 0;
    const std::int64_t end = position_ + count;
    if (end > GetSize()) {
        // Grow geometrically so that a run of small writes stays linear.
        if (static_cast<std::size_t>(end) > data_.capacity())
            data_.reserve(std::max(static_cast<std::size_t>(end), data_.capacity() * 2));
        SetSize(end);
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : GetSize();
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size)
{
    try {
        data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    } catch (const std::length_error&) {
        throw EOutOfMemory("Out of memory");
    }
}

void TMemoryStream::Clear()
{
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    const std::int64_t size = source.GetSize();
    if (size > std::numeric_limits<int>::max())
        throw EReadError("Stream read error");
    SetSize(size);
    position_ = 0;
    source.ReadBuffer(data_.data(), static_cast<int>(size));
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& destination)
{
    std::size_t done = 0;
    while (done < data_.size()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(data_.size() - done, 1u << 30));
        destination.WriteBuffer(data_.data() + done, chunk);
        done += static_cast<std::size_t>(chunk);
    }
}

void TMemoryStream::SaveToFile(const AnsiString& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

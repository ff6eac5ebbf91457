// TXeSafeFile: writing a file under a temporary name and putting it in place by one rename.
#include "base/packs/TXeSafeFile.h"

#include "base/util/PathUtils.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"
#include "platform/fs/FileSystem.h"

#include <filesystem>
#include <system_error>

std::unique_ptr<TFileStream> CreateNumberedFile(const char* format, AnsiString& name)
{
    for (int n = 0; n < 1000; ++n) {
        const AnsiString candidate = Format(format, n);
        if (FileIsExist(candidate.c_str()))
            continue;
        try {
            auto stream = std::make_unique<TFileStream>(candidate, fmCreateExclusive);
            name = candidate;
            return stream;
        } catch (const EFCreateError&) {
            // Taken meanwhile by another writer (or the folder cannot be written): try the next.
        }
    }
    return nullptr;
}

namespace {

// Opens temporary file `name` for a writer: a new file, or one left behind by a writer that died
// (its lock went with its process), emptied. Null when a live writer holds it or it cannot be made.
std::unique_ptr<TFileStream> ClaimTemporary(const AnsiString& name)
{
    try {
        auto stream = std::make_unique<TFileStream>(name, FileIsExist(name.c_str()) ? fmOpenReadWrite : fmCreateExclusive);
        // The name is checked after the lock: a writer that finished meanwhile renamed its file over
        // its target, which must not be emptied.
        if (!stream->TryLockExclusive() || !stream->StillNamed())
            return nullptr;
        stream->SetSize(0);
        return stream;
    } catch (const EStreamError&) {
        return nullptr;
    }
}

} // namespace

TXeSafeFile::TXeSafeFile(const AnsiString& target) : target_(target)
{
    AnsiString format = target;
    for (std::size_t at = format.find('%'); at != AnsiString::npos; at = format.find('%', at + 2))
        format.insert(at, 1, '%');
    format += ".~XeTmp%03d";
    for (int n = 0; n < 1000 && !stream_; ++n) {
        temporary_ = Format(format.c_str(), n);
        stream_ = ClaimTemporary(temporary_);
    }
    if (!stream_)
        throw EFCreateError(Format("Cannot create a temporary file for \"%s\"", target.c_str()));
}

TXeSafeFile::~TXeSafeFile()
{
    if (!stream_)
        return;
    FileSystem::DeleteFile(temporary_); // before the lock goes, so no other writer has claimed it
    stream_.reset();
}

bool TXeSafeFile::Commit()
{
    if (!stream_)
        return false;
    // A replaced file keeps its permissions.
    std::error_code error;
    const std::filesystem::file_status old = std::filesystem::status(FileSystem::NativePath(target_), error);
    if (!error && std::filesystem::exists(old))
        std::filesystem::permissions(FileSystem::NativePath(temporary_), old.permissions(), error);
    // The lock is held until the file has its target's name, so no other writer claims it.
    const bool renamed = FileSystem::RenameFile(temporary_, target_);
    if (!renamed)
        FileSystem::DeleteFile(temporary_);
    stream_.reset();
    return renamed;
}

TXeSafeFileStream::~TXeSafeFileStream()
{
    if (!failed_)
        file_.Commit();
}

int TXeSafeFileStream::Write(const void* buffer, int count)
{
    const int written = file_.Stream().Write(buffer, count);
    if (written != count)
        failed_ = true;
    return written;
}

void TXeSafeFileStream::SetSize(std::int64_t size)
{
    try {
        file_.Stream().SetSize(size);
    } catch (const EStreamError&) {
        failed_ = true;
        throw;
    }
}

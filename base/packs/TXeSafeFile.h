// TXeSafeFile: a file written under a temporary name in its own folder and put in place by one
// rename, so that a failed or unfinished write never destroys the file it replaces.
#pragma once

#include "platform/classes/Stream.h"

#include <memory>

class TXeSafeFile {
public:
    // Creates the temporary file (target + ".~XeTmp" + three digits, the first name free or left
    // by a writer that died) for reading and writing, locked while this object holds it. Raises
    // EFCreateError when none can be made.
    explicit TXeSafeFile(const AnsiString& target);
    // Removes the temporary file unless Commit put it in place.
    ~TXeSafeFile();
    TXeSafeFile(const TXeSafeFile&) = delete;
    TXeSafeFile& operator=(const TXeSafeFile&) = delete;

    TFileStream& Stream() { return *stream_; }
    const AnsiString& Target() const { return target_; }
    // Closes the temporary file and renames it over the target, which keeps its permissions. False
    // when the rename fails; the temporary file is then removed and the target is as it was.
    bool Commit();

private:
    AnsiString target_;
    AnsiString temporary_;
    std::unique_ptr<TFileStream> stream_;
};

// A stream that writes a file under a temporary name and, when destroyed, puts it in place if every
// write and resize succeeded; after a failure the old file stays and the temporary goes. Until then
// the file keeps its old contents under its name.
class TXeSafeFileStream : public TStream {
public:
    // Raises EFCreateError when no temporary file can be made.
    explicit TXeSafeFileStream(const AnsiString& target) : file_(target) {}
    ~TXeSafeFileStream() override;

    int Read(void* buffer, int count) override { return file_.Stream().Read(buffer, count); }
    int Write(const void* buffer, int count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override { return file_.Stream().Seek(offset, origin); }
    void SetSize(std::int64_t size) override;

private:
    TXeSafeFile file_;
    bool failed_ = false;
};

// Creates a new file named by `format` (one %03d, filled with 0 to 999) with exclusive creation,
// taking the first number whose file does not exist yet; stores the name in `name`. Null when all
// are taken or the folder cannot be written.
std::unique_ptr<TFileStream> CreateNumberedFile(const char* format, AnsiString& name);

// TStream and its kin: the byte streams every file, pack entry and decoded buffer travels as.
#pragma once

#include "platform/classes/AnsiString.h"
#include "platform/classes/Component.h"

#include <cstdint>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Transfers up to `count` bytes and returns how many moved (0 at the end, never negative).
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    // Moves the position and returns it; positions past the end are allowed.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t GetSize();
    virtual void SetSize(std::int64_t size) = 0;

    std::int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }

    // As Read and Write, but a short transfer raises EReadError or EWriteError.
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);
    // Copies `count` bytes from `source`'s position on; count 0 copies the whole of `source` from
    // its start. Raises EReadError when `source` ends early. Returns the bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// File open modes. The share bits are accepted for compatibility and have no effect here.
inline constexpr unsigned fmCreate = 0xFFFF;
// Creates a new file and fails (EFCreateError) when one of that name exists: a name taken this way
// belongs to the caller alone.
inline constexpr unsigned fmCreateExclusive = 0xFFFE;
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyNone = 0x0040;

// A file opened through the path layer (backslash names, case-insensitive lookup).
// The constructor raises EFCreateError (fmCreate, fmCreateExclusive) or EFOpenError when the file
// cannot be opened.
class TFileStream : public TStream {
public:
    TFileStream(const AnsiString& fileName, unsigned mode);
    ~TFileStream() override;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;
    // Forces what was written to the disk itself; false when the system reports a failure.
    bool FlushToDisk();
    // Takes an exclusive advisory lock on the open file without waiting; false when another open
    // of it holds one. The system drops the lock when the file is closed or its process ends.
    bool TryLockExclusive();
    // True while the file's name still leads to the open file (not removed or renamed away).
    bool StillNamed() const;

    const AnsiString& FileName() const { return fileName_; }
    int Handle() const { return fd_; }

private:
    AnsiString fileName_;
    int fd_ = -1;
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(data_.size()); }
    // Grows with zero bytes or cuts; the position stays where it was. Raises EOutOfMemory.
    void SetSize(std::int64_t size) override;

    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }
    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const AnsiString& fileName);
    void SaveToStream(TStream& destination);
    void SaveToFile(const AnsiString& fileName);

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// TXePack: the pack archive component. Opens an archive (XePackFormat.h) from a file or a stream,
// checks its CRC-16 as its CrcMode asks, answers directory queries, reads entries through XeFILE
// handles or as whole decoded streams, and (not ReadOnly) creates and changes archives.
//
// A writable archive is always written under a temporary name beside it and put in place by EndPack
// with one rename, so a failed or unfinished change never destroys the archive it replaces.
// One thread uses a component at a time.
#pragma once

#include "base/packs/TCrcCheck.h"
#include "base/packs/TXeSafeFile.h"
#include "base/packs/XePackFormat.h"
#include "platform/classes/Component.h"
#include "platform/classes/Stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// An open entry. The limit of reads and seeks is the decoded size when the entry is stored or was
// decoded into Stream, else the stored size (raw access to coded bytes).
struct XeFILE {
    int Index = 0;
    std::int64_t DataPos = 0; // of the stored bytes in the archive
    int Size = 0;             // decoded
    int CompSize = 0;         // stored
    int Comp = 0;             // entry type
    std::unique_ptr<TMemoryStream> Stream;
    int Position = 0;
};

class TXePack : public TComponent {
public:
    explicit TXePack(TComponent* owner);
    ~TXePack() override;

    // How pack files are opened; changes are ignored while an archive is open.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    TCrcMode CrcMode() const { return crcMode_; }
    void SetCrcMode(TCrcMode mode) { crcMode_ = mode; }
    // 0 to 100, set before each OnProgress call during long transfers.
    int Progress() const { return progress_; }
    TNotifyEvent OnProgress;

    // ---- opening and closing ----
    bool LoadPack(const char* file);
    // Reads the archive from a stream the caller keeps; only when ReadOnly.
    bool LoadPackStream(TStream* stream);
    // A non-empty name loads it; an empty one closes the archive.
    bool OpenPack(const AnsiString& file);
    const AnsiString& PackName() const { return packName_; }
    bool SetPackName(const AnsiString& file) { return OpenPack(file); }
    void ClosePack();
    bool IsOpen() const { return archive_ != nullptr; }
    const TXePackHeader& Header() const { return header_; }

    // ---- directory (indices from 0, deleted records included) ----
    int GetFileNum() const;
    // The entry's full name into buf (at least XePackFullNameSize bytes, always terminated); an
    // empty name for a deleted entry.
    bool GetFileName(int index, char* buf) const;
    int GetFileSize(int index) const;
    int GetFileComp(int index) const;
    bool GetFileTime(int index, FILETIME* time) const;
    // The record as read, or null outside the directory.
    const TXeFileTable* FileTable(int index) const;
    // True when there is nothing to check, else whether the stored bytes match the record's CRC.
    bool VerifyFileCrc(int index);
    // Index of the first entry named `name` (case folded for single-byte letters), or -1.
    int CheckFileName(const char* name) const;

    // ---- entries ----
    // Opens an entry, decoded into memory when `decode` is set and the entry is coded or inverted.
    // Null when the archive is closed, the name is absent, the CRC check fails or decoding fails.
    XeFILE* XefopenComp(const char* name, bool decode);
    XeFILE* Xefopen(const char* name) { return XefopenComp(name, true); }
    bool Xefclose(XeFILE* file);
    int Xefsize(const XeFILE* file) const;
    int Xedsize(const XeFILE* file) const;
    int XeIsComp(const XeFILE* file) const;
    // origin 0 from the start, 1 from the position, 2 from the limit; the result is clamped.
    bool Xefseek(XeFILE* file, int offset, int origin);
    bool Xefgetpos(const XeFILE* file, int* position) const;
    bool Xefsetpos(XeFILE* file, const int* position);
    // Like fread: whole items only, up to the limit; count when every byte arrived, else 0.
    unsigned Xefread(void* buf, unsigned size, unsigned count, XeFILE* file);
    bool XeIsCrc(const XeFILE* file) const;
    unsigned short XeGetCrc(const XeFILE* file) const;
    bool XeGetFileTime(const XeFILE* file, FILETIME* time) const;
    // The whole decoded entry in a new memory stream at position 0, owned by the caller; or null.
    TStream* XeMakeStream(const char* name);
    // Writes the entry (decoded when `decode`) into target from its start; false on any failure.
    bool XefopenToStream(TStream* target, const char* name, bool decode);
    // Extracts an entry to a file and gives it the entry's time. The file is replaced only when the
    // whole entry was written.
    bool GetFile(const char* targetPath, const char* name);
    // The current file: a decoded stream of one entry kept by the component.
    bool OpenFile(const AnsiString& name);
    bool SetFileName(const AnsiString& name) { return OpenFile(name); }
    const AnsiString& FileName() const { return fileName_; }
    TStream* FileStream() const { return fileStream_.get(); }
    void CloseFile();

    // ---- writing (only when not ReadOnly) ----
    bool NewPack(const char* file);
    // Adds a file with method 1 (LZ).
    bool AddFile(const char* name, const char* sourcePath, bool keepSmaller);
    // Methods: 0 stored, 1 LZ, 2 block-sorting, 3 bit-inverted, 4 block-sorting LE, 5 block-sorting
    // Mini. Coding that fails, or (keepSmaller) does not shrink the file, stores it. Failures are
    // shown through the application's exception display and give false.
    bool AddFile(const char* name, const char* sourcePath, int method, bool keepSmaller);
    // Copies an entry's stored bytes from another archive.
    bool AddPack(const char* name, TXePack* source, const char* sourceName);
    bool DelFile(const char* name);
    // Closes the archive; a changed one gets its header, directory and CRC written and is put in
    // place. False when that fails (the file the archive replaces is then left as it was).
    bool EndPack();
    // Closes the archive dropping every change: the file is left as it was before NewPack or
    // LoadPack.
    void DiscardPack();
    // Reserves a new temporary file "<temp folder>XeTmp%03d.XePack" and writes its name into
    // buffer (260 bytes).
    bool MakeTempFile(char* buffer);

    // ---- codec adapters (codec kinds of TXeCompStream.h) ----
    int FileEncode(TStream* target, TStream* source, int size, int kind);
    bool FileDecode(TStream* target, TStream* source, int decodedSize, int storedSize, int kind);

private:
    bool LoadMain();
    bool ReadDirectory();
    bool WholeCrc(std::int64_t length, unsigned short& crc);
    bool CheckWholeCrc(std::int64_t length);
    bool CheckEntryCrc(const TXeFileTable& record);
    bool DecodeEntry(TStream* target, const TXeFileTable& record);
    void SetProgress(int percent);
    void ShowCrcError();
    bool StreamRead(void* buffer, std::int64_t position, int size);
    bool StreamWrite(const void* buffer, std::int64_t position, int size);
    void ForgetArchive();
    int Limit(const XeFILE* file) const;
    bool ValidHandle(const XeFILE* file) const;
    // Copies size bytes, complemented when `invert`, and gives the CRC-16 of the bytes written
    // (crc may be null).
    bool FileCopy(TStream* target, TStream* source, int size, bool invert, unsigned short* crc);
    // Appends an entry whose stored bytes writeStored puts at the end of the data area (from the
    // archive position it is given) while it computes their CRC-16; false, with no entry added,
    // when the archive is full or a write fails.
    bool AppendEntry(TXeFileTable record, const std::function<bool(std::int64_t at, unsigned short& crc)>& writeStored);
    bool WriteClosing();

    bool readOnly_ = true;
    TCrcMode crcMode_ = cmNon;
    TStream* archive_ = nullptr;
    std::unique_ptr<TStream> ownedArchive_;
    std::unique_ptr<TXeSafeFile> writing_;
    TXePackHeader header_{};
    std::vector<TXeFileTable> table_;
    std::vector<AnsiString> lowerNames_; // lookup names, empty for deleted entries
    int progress_ = 0;
    bool modified_ = false;
    AnsiString packName_;
    AnsiString fileName_;
    std::unique_ptr<TStream> fileStream_;
    TCrcCheck crc_;
};

// TFileMan: opens the game's files by name from one pack archive or one folder, records every stream
// it hands out until it is closed, tests existence, lists names by wildcard and tells file times.
//
// Folder mode goes through the path layer (backslash names, case-insensitive lookup). Failures are
// null or false results; with OnError assigned, a failed Open or Create and every stream still open
// at destruction are reported. One thread uses a manager at a time.
#pragma once

#include "base/util/XeFileTime.h"
#include "platform/classes/Component.h"
#include "platform/classes/Stream.h"
#include "platform/fs/FileSystem.h"

#include <cstdint>
#include <functional>
#include <vector>

class TXePack;

// One stream handed out: the stream and the address of the call that asked for it (0 when nobody
// listened to OnError then).
struct TFilePointer {
    TStream* stream = nullptr;
    std::uint32_t caller = 0;
};

class TFileMan : public TComponent {
public:
    using TErrorEvent = std::function<void(TObject* sender, const AnsiString& mes)>;

    explicit TFileMan(TComponent* owner);
    ~TFileMan() override;

    // Binds to the archive file (opened read-only, owned by this manager); false when it is missing
    // or does not open.
    bool InitPack(const AnsiString& fileName);
    // Binds to an archive made elsewhere (not owned).
    bool InitPack(TXePack* pack);
    // Binds to an archive read from a stream the caller keeps.
    bool InitPack(TStream* stream);
    // Binds to a folder ("" is the current folder); always true.
    bool InitDir(const AnsiString& folder);
    // Unbinds; the stream records and a running search stay.
    void Finish();

    TXePack* Pack() const { return pack_; }
    // The folder as bound, without its trailing backslash.
    AnsiString Directory() const;
    bool ChkIsPack() const { return pack_ != nullptr; }

    // A stream of the named file (pack: its decoded contents in memory; folder: the file itself,
    // read-only), recorded until Close; or null.
    [[gnu::noinline]] TStream* Open(const AnsiString& name);
    // A new file in the bound folder (folder mode only), recorded like Open; or null.
    [[gnu::noinline]] TStream* Create(const AnsiString& name);
    // Destroys the stream (listed or not), removes its record and sets the pointer to null.
    void Close(TStream*& stream);

    bool FileIsExist(const AnsiString& name) const;
    // Starts a search; each FindNext gives the next matching file name (no folder part). The pattern
    // may name a subfolder ("Voice\*.ogg"). Folders are never given.
    void FindFirst(const AnsiString& pattern);
    bool FindNext(AnsiString& name);
    bool GetFileTime(const AnsiString& name, FILETIME* time) const;

    bool AddPointerList(TFilePointer pointer);
    bool DelPointerList(TFilePointer pointer);
    const std::vector<TFilePointer>& Pointers() const { return pointers_; }

    TErrorEvent OnError;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool BindOwnedPack(const std::function<bool(TXePack&)>& load);
    std::uint32_t CallerOf(void* returnAddress) const;
    TStream* Record(TStream* stream, const AnsiString& name, std::uint32_t caller);
    bool FindNextInPack(AnsiString& name);
    bool FindNextInFolder(AnsiString& name);

    bool bound_ = false;
    bool ownsPack_ = false;
    TXePack* pack_ = nullptr;
    AnsiString directory_;
    std::vector<TFilePointer> pointers_;
    // The search: the folder listing (read when the first FindNext runs) or the pack index.
    bool folderSearchRunning_ = false;
    std::vector<FileSystem::DirEntry> folderHits_;
    std::size_t folderNext_ = 0;
    int packIndex_ = -1;
    AnsiString pattern_;
};

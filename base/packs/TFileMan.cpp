// TFileMan: game files by name from a pack archive or a folder.
#include "base/packs/TFileMan.h"

#include "base/util/PathUtils.h"
#include "base/packs/TXePack.h"
#include "base/packs/TXeSafeFile.h"
#include "base/util/XeText.h"
#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The folder listing's matching: a name without a dot also matches as if it ended in one, so that
// "*.*" takes every file and "*." those without an extension.
bool FolderNameMatches(const AnsiString& mask, const AnsiString& name)
{
    return WildCardCmp(mask.c_str(), name.c_str()) ||
           (name.find('.') == AnsiString::npos && WildCardCmp(mask.c_str(), (name + ".").c_str()));
}

bool EndsInBackslash(const AnsiString& text)
{
    return !text.empty() && text.back() == '\\' && StrByteType(text, text.size() - 1) == mbSingleByte;
}

} // namespace

TFileMan::TFileMan(TComponent* owner) : TComponent(owner) {}

TFileMan::~TFileMan()
{
    if (OnError) {
        while (!pointers_.empty()) {
            const TFilePointer pointer = pointers_.back();
            pointers_.pop_back();
            try {
                OnError(this, Format("NotClose %08x:Call(%08x)",
                                     static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(pointer.stream)), pointer.caller));
            } catch (const std::exception& error) {
                Application().ShowException(error);
            }
        }
    }
    if (ownsPack_)
        delete pack_;
}

std::uint32_t TFileMan::CallerOf(void* returnAddress) const
{
    // The call instruction before the return address is 5 bytes long.
    return OnError ? static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(returnAddress) - 5) : 0;
}

// ---- Binding ---------------------------------------------------------------------------------------

bool TFileMan::BindOwnedPack(const std::function<bool(TXePack&)>& load)
{
    auto pack = std::make_unique<TXePack>(this);
    if (!load(*pack))
        return false; // the unique_ptr destroys it, which takes it off this owner's list
    pack_ = pack.release();
    ownsPack_ = true;
    bound_ = true;
    return true;
}

bool TFileMan::InitPack(const AnsiString& fileName)
{
    if (bound_)
        Finish();
    if (!::FileIsExist(fileName.c_str()))
        return false;
    return BindOwnedPack([&](TXePack& pack) { return pack.OpenPack(fileName); });
}

bool TFileMan::InitPack(TXePack* pack)
{
    if (bound_)
        Finish();
    if (pack == nullptr)
        return false;
    pack_ = pack;
    pack_->FreeNotification(this);
    ownsPack_ = false;
    bound_ = true;
    return true;
}

bool TFileMan::InitPack(TStream* stream)
{
    if (bound_)
        Finish();
    return BindOwnedPack([&](TXePack& pack) { return pack.LoadPackStream(stream); });
}

bool TFileMan::InitDir(const AnsiString& folder)
{
    if (bound_)
        Finish();
    directory_ = folder;
    if (!directory_.empty() && !EndsInBackslash(directory_))
        directory_ += '\\';
    bound_ = true;
    return true;
}

void TFileMan::Finish()
{
    TXePack* pack = std::exchange(pack_, nullptr);
    if (pack != nullptr && ownsPack_)
        delete pack;
    else if (pack != nullptr)
        RemoveFreeNotification(pack);
    directory_.clear();
    bound_ = false;
}

void TFileMan::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component != nullptr && component == pack_) {
        pack_ = nullptr;
        bound_ = false;
    }
    TComponent::Notification(component, operation);
}

AnsiString TFileMan::Directory() const
{
    return directory_.empty() ? directory_ : directory_.substr(0, directory_.size() - 1);
}

// ---- Streams ---------------------------------------------------------------------------------------

TStream* TFileMan::Record(TStream* stream, const AnsiString& name, std::uint32_t caller)
{
    if (stream == nullptr) {
        if (OnError)
            OnError(this, Format("FileOpenErr Call(%08x)", caller) + " [" + name + "]");
        return nullptr;
    }
    AddPointerList({stream, caller});
    return stream;
}

TStream* TFileMan::Open(const AnsiString& name)
{
    const std::uint32_t caller = CallerOf(__builtin_return_address(0));
    if (!bound_)
        return nullptr;
    TStream* stream = nullptr;
    if (FileIsExist(name)) {
        if (pack_ != nullptr) {
            stream = pack_->XeMakeStream(name.c_str());
        } else {
            try {
                stream = new TFileStream(directory_ + name, fmOpenRead | fmShareDenyWrite);
            } catch (const EStreamError&) {
                stream = nullptr;
            }
        }
    }
    return Record(stream, name, caller);
}

// The file is written under a temporary name and takes its own name when the stream is closed,
// unless a write failed: a failed save never destroys the previous one.
TStream* TFileMan::Create(const AnsiString& name)
{
    const std::uint32_t caller = CallerOf(__builtin_return_address(0));
    if (!bound_ || pack_ != nullptr)
        return nullptr;
    TStream* stream = nullptr;
    try {
        stream = new TXeSafeFileStream(directory_ + name);
    } catch (const EStreamError&) {
        stream = nullptr;
    }
    return Record(stream, name, caller);
}

void TFileMan::Close(TStream*& stream)
{
    if (stream == nullptr)
        return;
    DelPointerList({stream, 0});
    delete stream;
    stream = nullptr;
}

bool TFileMan::AddPointerList(TFilePointer pointer)
{
    pointers_.push_back(pointer);
    return true;
}

bool TFileMan::DelPointerList(TFilePointer pointer)
{
    const auto found =
        std::find_if(pointers_.begin(), pointers_.end(), [&](const TFilePointer& p) { return p.stream == pointer.stream; });
    if (found == pointers_.end())
        return false;
    pointers_.erase(found);
    return true;
}

// ---- Queries ---------------------------------------------------------------------------------------

bool TFileMan::FileIsExist(const AnsiString& name) const
{
    if (!bound_)
        return false;
    if (pack_ != nullptr)
        return pack_->CheckFileName(name.c_str()) >= 0;
    return ::FileIsExist((directory_ + name).c_str());
}

bool TFileMan::GetFileTime(const AnsiString& name, FILETIME* time) const
{
    if (!bound_ || time == nullptr)
        return false;
    if (pack_ != nullptr)
        return pack_->GetFileTime(pack_->CheckFileName(name.c_str()), time);
    if (!FileIsExist(name))
        return false;
    const auto written = FileSystem::LastWriteTime(directory_ + name);
    if (!written)
        return false;
    *time = FileTimeFromUnixNanoseconds(*written);
    return true;
}

void TFileMan::FindFirst(const AnsiString& pattern)
{
    pattern_ = pattern;
    folderSearchRunning_ = false;
    folderHits_.clear();
    folderNext_ = 0;
    packIndex_ = 0;
}

bool TFileMan::FindNext(AnsiString& name)
{
    if (!bound_ || pattern_.empty())
        return false;
    const bool found = pack_ != nullptr ? FindNextInPack(name) : FindNextInFolder(name);
    if (!found)
        pattern_.clear();
    return found;
}

bool TFileMan::FindNextInPack(AnsiString& name)
{
    char entry[XePackFullNameSize];
    while (packIndex_ >= 0) {
        if (packIndex_ >= pack_->GetFileNum()) {
            packIndex_ = -1;
            return false;
        }
        if (!pack_->GetFileName(packIndex_++, entry) || entry[0] == '\0')
            continue;
        if (WildCardCmp(pattern_.c_str(), entry)) {
            name = entry;
            return true;
        }
    }
    return false;
}

bool TFileMan::FindNextInFolder(AnsiString& name)
{
    const AnsiString mask = ExtractFileName(pattern_);
    if (!folderSearchRunning_) {
        folderHits_ = FileSystem::List(directory_ + ExtractFilePath(pattern_));
        folderNext_ = 0;
        folderSearchRunning_ = true;
    }
    while (folderNext_ < folderHits_.size()) {
        const FileSystem::DirEntry& hit = folderHits_[folderNext_++];
        if (!hit.directory && FolderNameMatches(mask, hit.name)) {
            name = hit.name;
            return true;
        }
    }
    folderSearchRunning_ = false;
    folderHits_.clear();
    return false;
}

// TXePack: opening archives, CRC checks, directory queries, entry access and the codec adapters.
#include "base/packs/TXePack.h"

#include "base/codecs/TXeCompStream.h"
#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"
#include "platform/fs/FileSystem.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int WholePiece = 1 << 20;  // whole-file checks and plain copies
constexpr int EntryPiece = 32768;    // entry CRCs and entry copies
// The most one stored byte can expand to: an LZ packet of 100 bytes (flag word and 32 tokens with
// two length bytes) makes 32 × 65,535 bytes; a block-sorting block of at least 6 stored bytes
// makes at most 32,768. A directory claiming more than this is damaged.
constexpr std::int64_t TovanuExpansion = 32 * 65535 / 100 + 1;
constexpr std::int64_t BrisaneExpansion = 32768 / 6 + 1;

// The codec kind that decodes an entry type: 0 for LZ, 1 for block-sorting.
int DecoderKind(int type) { return type == ptTovanu ? 0 : 1; }

// Sizes that an entry of the data area can have, and ones its codec can produce.
bool PlausibleRecord(const TXeFileTable& record, std::uint32_t dataSize)
{
    if (record.Size > INT_MAX || record.CompSize > INT_MAX)
        return false;
    if (std::uint64_t(record.Offset) + record.CompSize > dataSize)
        return false;
    switch (record.Comp) {
    case ptTovanu:
        return record.Size <= record.CompSize * TovanuExpansion;
    case ptBrisane:
        return record.Size <= record.CompSize * BrisaneExpansion;
    case ptStored:
    case ptInverted:
        return record.Size == record.CompSize;
    default:
        return true; // a type no decoder knows is read as its raw stored bytes
    }
}

} // namespace

TXePack::TXePack(TComponent* owner) : TComponent(owner) {}

TXePack::~TXePack()
{
    if (archive_ != nullptr)
        EndPack();
}

void TXePack::SetReadOnly(bool readOnly)
{
    if (archive_ == nullptr)
        readOnly_ = readOnly;
}

void TXePack::SetProgress(int percent)
{
    progress_ = percent;
    if (OnProgress)
        OnProgress(this);
}

void TXePack::ShowCrcError()
{
    Application().MessageBox(CodePage::FromUtf8("Packﾌｧｲﾙが壊れています。", CodePage::ShiftJis),
                             CodePage::FromUtf8("CRCｴﾗｰ", CodePage::ShiftJis), mbIconStop, CodePage::ShiftJis);
}

// The archive stream's failures count as short transfers.
bool TXePack::StreamRead(void* buffer, std::int64_t position, int size)
{
    try {
        archive_->Seek(position, soBeginning);
        return archive_->Read(buffer, size) == size;
    } catch (const EStreamError&) {
        return false;
    }
}

bool TXePack::StreamWrite(const void* buffer, std::int64_t position, int size)
{
    try {
        archive_->Seek(position, soBeginning);
        return archive_->Write(buffer, size) == size;
    } catch (const EStreamError&) {
        return false;
    }
}

// ---- Opening ---------------------------------------------------------------------------------------

void TXePack::ForgetArchive()
{
    archive_ = nullptr;
    ownedArchive_.reset();
    writing_.reset();
    table_.clear();
    lowerNames_.clear();
    header_ = {};
    modified_ = false;
}

bool TXePack::LoadPack(const char* file)
{
    if (archive_ != nullptr)
        EndPack();
    if (file == nullptr)
        return false;
    try {
        // An archive to be changed must be writable: it is replaced by a changed copy at EndPack.
        ownedArchive_ = std::make_unique<TFileStream>(file, (readOnly_ ? fmOpenRead : fmOpenReadWrite) | fmShareDenyWrite);
    } catch (const EStreamError&) {
        return false;
    }
    archive_ = ownedArchive_.get();
    if (!LoadMain()) {
        ForgetArchive();
        return false;
    }
    if (!readOnly_) {
        // Changes go to a copy that EndPack puts in place.
        try {
            writing_ = std::make_unique<TXeSafeFile>(file);
            ownedArchive_->SetPosition(0);
            writing_->Stream().CopyFrom(*ownedArchive_, ownedArchive_->GetSize());
        } catch (const Exception&) {
            ForgetArchive();
            return false;
        }
        ownedArchive_.reset();
        archive_ = &writing_->Stream();
    }
    packName_ = file;
    return true;
}

bool TXePack::LoadPackStream(TStream* stream)
{
    if (archive_ != nullptr)
        EndPack();
    if (!readOnly_ || stream == nullptr)
        return false;
    archive_ = stream;
    if (!LoadMain()) {
        ForgetArchive();
        return false;
    }
    packName_.clear();
    return true;
}

bool TXePack::OpenPack(const AnsiString& file)
{
    if (!file.empty())
        return LoadPack(file.c_str());
    if (archive_ != nullptr)
        EndPack();
    return true;
}

void TXePack::ClosePack()
{
    if (archive_ != nullptr)
        EndPack();
}

// Reads and checks header and directory; every record must lie inside the data area and the
// directory inside the file.
bool TXePack::LoadMain()
{
    std::uint8_t bytes[XePackHeaderSize];
    if (!StreamRead(bytes, 0, XePackHeaderSize))
        return false;
    header_ = LoadPackHeader(bytes);
    if (!ReadDirectory())
        return false;
    const std::int64_t end = XePackHeaderSize + std::int64_t(header_.DataSize) +
                             std::int64_t(header_.Count) * XePackRecordSizeOf(header_.Version);
    const bool checked = header_.Version == XePackVersion300 || header_.Version == XePackVersion301;
    if (crcMode_ == cmPackAll && checked && !CheckWholeCrc(end))
        return false;
    header_.Version = XePackVersion301;
    modified_ = false;
    return true;
}

bool TXePack::ReadDirectory()
{
    const int recordSize = XePackRecordSizeOf(header_.Version);
    if (recordSize == 0 || header_.Count < 0)
        return false;
    std::int64_t fileSize = 0;
    try {
        fileSize = archive_->GetSize();
    } catch (const EStreamError&) {
        return false;
    }
    const std::int64_t start = XePackHeaderSize + std::int64_t(header_.DataSize);
    const std::int64_t length = std::int64_t(header_.Count) * recordSize;
    if (start + length > fileSize || length > INT_MAX)
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (length > 0 && !StreamRead(bytes.data(), start, static_cast<int>(length)))
        return false;
    table_.clear();
    lowerNames_.clear();
    for (int i = 0; i < header_.Count; ++i) {
        const TXeFileTable record =
            LoadFileTable(std::span(bytes).subspan(static_cast<std::size_t>(i) * recordSize, static_cast<std::size_t>(recordSize)),
                          header_.Version);
        if (!PlausibleRecord(record, header_.DataSize))
            return false;
        table_.push_back(record);
        lowerNames_.push_back(IsDeleted(record) ? AnsiString() : PackLowerCase(FullName(record)));
    }
    return true;
}

// The CRC-16 of bytes 0 .. length - 1, read in 1 MiB pieces with the progress reported.
bool TXePack::WholeCrc(std::int64_t length, unsigned short& crc)
{
    SetProgress(0);
    std::vector<unsigned char> piece(WholePiece);
    crc = 0xFFFF;
    for (std::int64_t done = 0; done < length;) {
        const int size = static_cast<int>(std::min<std::int64_t>(WholePiece, length - done));
        SetProgress(size == WholePiece ? static_cast<int>((done + WholePiece) * 100 / length) : 100);
        if (!StreamRead(piece.data(), done, size))
            return false;
        crc = crc_.UpDateCrc(crc, piece.data(), size);
        done += size;
    }
    return true;
}

// The CRC-16 of bytes 0 .. length - 1 against the u16 after them.
bool TXePack::CheckWholeCrc(std::int64_t length)
{
    unsigned short crc;
    if (!WholeCrc(length, crc))
        return false;
    std::uint8_t stored[2];
    if (!StreamRead(stored, length, 2))
        return false;
    if (crc != (stored[0] | stored[1] << 8)) {
        ShowCrcError();
        return false;
    }
    return true;
}

bool TXePack::CheckEntryCrc(const TXeFileTable& record)
{
    if (crcMode_ != cmEachFile || record.CrcFlag == 0)
        return true;
    unsigned short crc = 0;
    bool ok = false;
    try {
        archive_->Seek(XePackHeaderSize + std::int64_t(record.Offset), soBeginning);
        ok = CrcStream(archive_, static_cast<int>(record.CompSize), &crc) && crc == record.Crc;
    } catch (const EStreamError&) {
        ok = false;
    }
    if (!ok)
        ShowCrcError();
    return ok;
}

// ---- Directory -------------------------------------------------------------------------------------

int TXePack::GetFileNum() const { return archive_ != nullptr ? static_cast<int>(table_.size()) : 0; }

const TXeFileTable* TXePack::FileTable(int index) const
{
    if (archive_ == nullptr || index < 0 || index >= static_cast<int>(table_.size()))
        return nullptr;
    return &table_[static_cast<std::size_t>(index)];
}

bool TXePack::GetFileName(int index, char* buf) const
{
    const TXeFileTable* record = FileTable(index);
    if (record == nullptr || buf == nullptr)
        return false;
    const AnsiString name = IsDeleted(*record) ? AnsiString() : FullName(*record);
    std::memcpy(buf, name.c_str(), name.size() + 1);
    return true;
}

int TXePack::GetFileSize(int index) const
{
    const TXeFileTable* record = FileTable(index);
    return record == nullptr || IsDeleted(*record) ? 0 : static_cast<int>(record->Size);
}

int TXePack::GetFileComp(int index) const
{
    const TXeFileTable* record = FileTable(index);
    return record == nullptr || IsDeleted(*record) ? 0 : record->Comp;
}

bool TXePack::GetFileTime(int index, FILETIME* time) const
{
    const TXeFileTable* record = FileTable(index);
    if (record == nullptr || IsDeleted(*record) || time == nullptr)
        return false;
    *time = record->Time;
    return true;
}

bool TXePack::VerifyFileCrc(int index)
{
    const TXeFileTable* record = FileTable(index);
    if (record == nullptr || IsDeleted(*record) || record->CrcFlag == 0)
        return true;
    unsigned short crc = 0;
    try {
        archive_->Seek(XePackHeaderSize + std::int64_t(record->Offset), soBeginning);
        return CrcStream(archive_, static_cast<int>(record->CompSize), &crc) && crc == record->Crc;
    } catch (const EStreamError&) {
        return false;
    }
}

int TXePack::CheckFileName(const char* name) const
{
    if (archive_ == nullptr || name == nullptr || std::strlen(name) >= XePackFullNameSize)
        return -1;
    const AnsiString wanted = PackLowerCase(name);
    if (wanted.empty())
        return -1;
    const auto found = std::find(lowerNames_.begin(), lowerNames_.end(), wanted);
    return found == lowerNames_.end() ? -1 : static_cast<int>(found - lowerNames_.begin());
}

// ---- Entries ---------------------------------------------------------------------------------------

// Decodes or un-inverts an entry's stored bytes into target from its position.
bool TXePack::DecodeEntry(TStream* target, const TXeFileTable& record)
{
    try {
        archive_->Seek(XePackHeaderSize + std::int64_t(record.Offset), soBeginning);
        if (record.Comp == ptInverted)
            return FileCopy(target, archive_, static_cast<int>(record.Size), true, nullptr);
        return FileDecode(target, archive_, static_cast<int>(record.Size), static_cast<int>(record.CompSize),
                          DecoderKind(record.Comp));
    } catch (const EStreamError&) {
        return false;
    }
}

XeFILE* TXePack::XefopenComp(const char* name, bool decode)
{
    const int index = CheckFileName(name);
    if (index < 0)
        return nullptr;
    const TXeFileTable& record = table_[static_cast<std::size_t>(index)];
    auto file = std::make_unique<XeFILE>();
    file->Index = index;
    file->DataPos = XePackHeaderSize + std::int64_t(record.Offset);
    file->Size = static_cast<int>(record.Size);
    file->CompSize = static_cast<int>(record.CompSize);
    file->Comp = record.Comp;
    if (!CheckEntryCrc(record))
        return nullptr;
    if (decode && (IsCoded(record.Comp) || record.Comp == ptInverted)) {
        try {
            auto stream = std::make_unique<TMemoryStream>();
            stream->SetSize(record.Size);
            if (!DecodeEntry(stream.get(), record) || stream->GetSize() != record.Size)
                return nullptr;
            stream->SetPosition(0);
            file->Stream = std::move(stream);
        } catch (const Exception&) {
            return nullptr; // no memory for the decoded entry
        }
    }
    return file.release();
}

bool TXePack::Xefclose(XeFILE* file)
{
    if (file == nullptr)
        return false;
    std::unique_ptr<XeFILE> release(file);
    return true;
}

bool TXePack::ValidHandle(const XeFILE* file) const { return archive_ != nullptr && file != nullptr; }

int TXePack::Limit(const XeFILE* file) const
{
    return file->Comp == ptStored || file->Stream ? file->Size : file->CompSize;
}

int TXePack::Xefsize(const XeFILE* file) const { return ValidHandle(file) ? file->Size : 0; }
int TXePack::Xedsize(const XeFILE* file) const { return ValidHandle(file) ? file->CompSize : 0; }
int TXePack::XeIsComp(const XeFILE* file) const { return ValidHandle(file) ? file->Comp : 0; }

bool TXePack::Xefseek(XeFILE* file, int offset, int origin)
{
    if (!ValidHandle(file))
        return false;
    std::int64_t position = file->Position;
    if (origin == 0)
        position = offset;
    else if (origin == 1)
        position += offset;
    else if (origin == 2)
        position = std::int64_t(Limit(file)) + offset;
    file->Position = static_cast<int>(std::clamp<std::int64_t>(position, 0, Limit(file)));
    return true;
}

bool TXePack::Xefgetpos(const XeFILE* file, int* position) const
{
    if (!ValidHandle(file) || position == nullptr)
        return false;
    *position = file->Position;
    return true;
}

bool TXePack::Xefsetpos(XeFILE* file, const int* position)
{
    if (!ValidHandle(file) || position == nullptr)
        return false;
    file->Position = std::clamp(*position, 0, Limit(file));
    return true;
}

unsigned TXePack::Xefread(void* buf, unsigned size, unsigned count, XeFILE* file)
{
    if (!ValidHandle(file) || size == 0)
        return 0;
    const int limit = Limit(file);
    file->Position = std::clamp(file->Position, 0, limit);
    if (std::uint64_t(file->Position) + std::uint64_t(size) * count > std::uint64_t(limit))
        count = static_cast<unsigned>((limit - file->Position) / size);
    if (count == 0)
        return 0;
    const int bytes = static_cast<int>(size * count);
    bool complete;
    if (file->Stream) {
        file->Stream->SetPosition(file->Position);
        complete = file->Stream->Read(buf, bytes) == bytes;
    } else {
        complete = StreamRead(buf, file->DataPos + file->Position, bytes);
    }
    file->Position += bytes;
    return complete ? count : 0;
}

bool TXePack::XeIsCrc(const XeFILE* file) const
{
    const TXeFileTable* record = ValidHandle(file) ? FileTable(file->Index) : nullptr;
    return record != nullptr && record->CrcFlag == 1;
}

unsigned short TXePack::XeGetCrc(const XeFILE* file) const
{
    const TXeFileTable* record = ValidHandle(file) ? FileTable(file->Index) : nullptr;
    return record != nullptr ? record->Crc : 0;
}

bool TXePack::XeGetFileTime(const XeFILE* file, FILETIME* time) const
{
    const TXeFileTable* record = ValidHandle(file) ? FileTable(file->Index) : nullptr;
    if (record == nullptr || time == nullptr)
        return false;
    *time = record->Time;
    return true;
}

TStream* TXePack::XeMakeStream(const char* name)
{
    std::unique_ptr<XeFILE> file(XefopenComp(name, true));
    if (!file)
        return nullptr;
    if (file->Stream)
        return file->Stream.release();
    try {
        auto stream = std::make_unique<TMemoryStream>();
        stream->SetSize(file->Size);
        if (file->Size > 0 && Xefread(stream->Memory(), static_cast<unsigned>(file->Size), 1, file.get()) != 1)
            return nullptr;
        return stream.release();
    } catch (const Exception&) {
        return nullptr;
    }
}

bool TXePack::XefopenToStream(TStream* target, const char* name, bool decode)
{
    const int index = CheckFileName(name);
    if (index < 0)
        return false;
    const TXeFileTable& record = table_[static_cast<std::size_t>(index)];
    if (!CheckEntryCrc(record))
        return false;
    if (target == nullptr)
        return true;
    try {
        target->SetPosition(0);
        if (decode && (IsCoded(record.Comp) || record.Comp == ptInverted)) {
            if (!DecodeEntry(target, record))
                return false;
        } else {
            // Stored bytes as they are, in 1 MiB pieces.
            SetProgress(0);
            const std::int64_t length = record.Comp == ptStored ? record.Size : record.CompSize;
            std::vector<unsigned char> piece(static_cast<std::size_t>(std::min<std::int64_t>(WholePiece, length)));
            for (std::int64_t done = 0; done < length;) {
                const int size = static_cast<int>(std::min<std::int64_t>(WholePiece, length - done));
                if (!StreamRead(piece.data(), XePackHeaderSize + std::int64_t(record.Offset) + done, size))
                    return false;
                target->WriteBuffer(piece.data(), size);
                done += size;
                SetProgress(done == length ? 100 : static_cast<int>(done * 100 / length));
            }
        }
        target->SetPosition(0);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

bool TXePack::GetFile(const char* targetPath, const char* name)
{
    const int index = CheckFileName(name);
    if (index < 0 || targetPath == nullptr)
        return false;
    const FILETIME time = table_[static_cast<std::size_t>(index)].Time;
    try {
        TXeSafeFile out(targetPath);
        if (!XefopenToStream(&out.Stream(), name, true) || !out.Commit())
            return false;
    } catch (const EStreamError&) {
        return false;
    }
    return FileSystem::SetLastWriteTime(targetPath, UnixNanosecondsFromFileTime(time));
}

bool TXePack::OpenFile(const AnsiString& name)
{
    fileStream_.reset();
    fileName_ = name;
    if (name.empty())
        return true;
    fileStream_.reset(XeMakeStream(name.c_str()));
    if (!fileStream_) {
        fileName_.clear();
        return false;
    }
    return true;
}

void TXePack::CloseFile()
{
    fileStream_.reset();
    fileName_.clear();
}

// ---- Codec adapters --------------------------------------------------------------------------------

int TXePack::FileEncode(TStream* target, TStream* source, int size, int kind)
{
    SetProgress(0);
    int coded = 0;
    const bool ok = XeCodecEncode(
        kind, size, [source](unsigned char* b, int n) { return source->Read(b, n) >= n; },
        [target](const unsigned char* b, int n) { return target->Write(b, n) >= n; },
        [this](int percent) { SetProgress(percent); }, &coded);
    return ok ? coded : 0;
}

bool TXePack::FileDecode(TStream* target, TStream* source, int decodedSize, int storedSize, int kind)
{
    SetProgress(0);
    return XeCodecDecode(
        kind, storedSize, decodedSize, [source](unsigned char* b, int n) { return source->Read(b, n) >= n; },
        [target](const unsigned char* b, int n) { return target->Write(b, n) >= n; },
        [this](int percent) { SetProgress(percent); });
}

bool TXePack::FileCopy(TStream* target, TStream* source, int size, bool invert, unsigned short* crc)
{
    SetProgress(0);
    std::vector<unsigned char> piece(static_cast<std::size_t>(std::min(size, EntryPiece)));
    unsigned short value = 0xFFFF;
    for (int done = 0; done < size;) {
        const int n = std::min(EntryPiece, size - done);
        if (source->Read(piece.data(), n) != n)
            return false;
        done += n;
        SetProgress(done == size ? 100 : static_cast<int>(std::int64_t(done) * 100 / size));
        if (invert)
            for (int i = 0; i < n; ++i)
                piece[static_cast<std::size_t>(i)] = static_cast<unsigned char>(~piece[static_cast<std::size_t>(i)]);
        target->WriteBuffer(piece.data(), n);
        if (crc != nullptr)
            value = crc_.UpDateCrc(value, piece.data(), n);
    }
    if (crc != nullptr)
        *crc = value;
    return true;
}

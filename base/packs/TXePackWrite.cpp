// TXePack, writing: new archives, adding files and entries, deleting, and closing with directory
// and CRC.
#include "base/packs/TXePack.h"

#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"
#include "platform/codepage/CodePage.h"
#include "platform/fs/FileSystem.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int EntryPiece = 32768;
constexpr int TempNameSize = 260;

// AddFile's method → codec kind (-1: no codec) and the entry type it writes.
constexpr int MethodKind[] = {-1, 0, 1, -1, 2, 3};
constexpr std::uint8_t MethodType[] = {ptStored, ptTovanu, ptBrisane, ptInverted, ptBrisane, ptBrisane};

// A message text of this system in the ANSI code page, where names from outside are too.
AnsiString Text(const char* utf8) { return CodePage::FromUtf8(utf8); }

std::uint32_t Padded(std::uint32_t size) { return (size + 15) & ~std::uint32_t{15}; }

// "%" in a folder name must not reach a format.
AnsiString EscapePercent(const AnsiString& text)
{
    AnsiString escaped;
    for (char c : text) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

// Removes a reserved temporary file when the add is over, whatever happened.
struct TemporaryFile {
    AnsiString name;
    std::unique_ptr<TFileStream> stream;
    ~TemporaryFile()
    {
        stream.reset();
        if (!name.empty())
            FileSystem::DeleteFile(name);
    }
};

} // namespace

bool TXePack::NewPack(const char* file)
{
    if (readOnly_ || file == nullptr)
        return false;
    if (archive_ != nullptr)
        EndPack();
    try {
        writing_ = std::make_unique<TXeSafeFile>(file);
    } catch (const EStreamError&) {
        return false;
    }
    archive_ = &writing_->Stream();
    header_ = NewPackHeader();
    std::uint8_t bytes[XePackHeaderSize];
    StorePackHeader(header_, bytes);
    if (!StreamWrite(bytes, 0, XePackHeaderSize)) {
        ForgetArchive();
        return false;
    }
    modified_ = true;
    packName_ = file;
    return true;
}

bool TXePack::MakeTempFile(char* buffer)
{
    const AnsiString folder = FileSystem::TempFolder();
    if (folder.empty() || folder.size() + 16 >= TempNameSize)
        return false;
    AnsiString name;
    if (!CreateNumberedFile((EscapePercent(folder) + "XeTmp%03d.XePack").c_str(), name))
        return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

bool TXePack::AddFile(const char* name, const char* sourcePath, bool keepSmaller)
{
    return AddFile(name, sourcePath, 1, keepSmaller);
}

// Puts the stored bytes at the end of the data area through writeStored, pads them to 16 bytes and
// appends the record.
bool TXePack::AppendEntry(TXeFileTable record,
                          const std::function<bool(std::int64_t at, unsigned short& crc)>& writeStored)
{
    const std::uint64_t end = std::uint64_t(header_.DataSize) + Padded(record.CompSize);
    if (end > UINT32_MAX || header_.Count == INT_MAX)
        return false;
    record.Offset = header_.DataSize;
    modified_ = true; // from here on the old directory may be overwritten
    const std::int64_t at = XePackHeaderSize + std::int64_t(header_.DataSize);
    unsigned short crc = 0;
    static constexpr unsigned char zeros[16] = {};
    if (!writeStored(at, crc) ||
        !StreamWrite(zeros, at + record.CompSize, static_cast<int>(Padded(record.CompSize) - record.CompSize)))
        return false;
    record.CrcFlag = 1;
    record.Crc = crc;
    table_.push_back(record);
    lowerNames_.push_back(PackLowerCase(FullName(record)));
    header_.DataSize = static_cast<std::uint32_t>(end);
    ++header_.Count;
    return true;
}

bool TXePack::AddFile(const char* name, const char* sourcePath, int method, bool keepSmaller)
{
    if (readOnly_ || writing_ == nullptr || method < 0 || method > 5)
        return false;
    TemporaryFile temporary;
    try {
        TXeFileTable record{};
        // Duplicates are judged by the name as it will be stored (cut to its fields).
        // A name must also stay inside the folder it is one day extracted to.
        if (name == nullptr || *name == '\0' || !IsRelativeEntryName(name) || !SplitEntryName(name, record) ||
            CheckFileName(FullName(record).c_str()) >= 0)
            throw Exception(Text("ファイル名") + (name != nullptr ? name : "") + Text("が不正です。"));
        const AnsiString cannotOpen = Text("ファイル") + (sourcePath != nullptr ? sourcePath : "") + Text("が開けません。");
        std::unique_ptr<TFileStream> source;
        try {
            source = std::make_unique<TFileStream>(sourcePath != nullptr ? sourcePath : "", fmOpenRead | fmShareDenyWrite);
        } catch (const EStreamError&) {
            throw Exception(cannotOpen);
        }
        const std::int64_t size = source->GetSize();
        if (size > INT_MAX)
            throw Exception(cannotOpen);
        record.Size = record.CompSize = static_cast<std::uint32_t>(size);
        record.Time = FileTimeFromUnixNanoseconds(FileSystem::LastWriteTime(sourcePath).value_or(0));
        record.Comp = size == 0 ? std::uint8_t{ptStored} : MethodType[method];
        TStream* from = source.get();
        if (IsCoded(record.Comp)) {
            char tempName[TempNameSize];
            if (!MakeTempFile(tempName))
                throw Exception(Text("テンポラリファイルが作れません。"));
            temporary.name = tempName;
            try {
                temporary.stream = std::make_unique<TFileStream>(temporary.name, fmCreate);
            } catch (const EStreamError&) {
                throw Exception(Text("ファイル") + temporary.name + Text("が開けません。"));
            }
            const int coded = FileEncode(temporary.stream.get(), source.get(), static_cast<int>(size), MethodKind[method]);
            if (coded > 0 && (!keepSmaller || coded < size)) {
                record.CompSize = static_cast<std::uint32_t>(coded);
                temporary.stream->SetPosition(0);
                from = temporary.stream.get();
            } else {
                record.Comp = ptStored; // coding failed or did not pay
                source->SetPosition(0);
            }
        }
        const bool invert = record.Comp == ptInverted;
        const bool appended = AppendEntry(record, [&](std::int64_t at, unsigned short& crc) {
            archive_->Seek(at, soBeginning);
            return FileCopy(archive_, from, static_cast<int>(record.CompSize), invert, &crc);
        });
        if (!appended)
            throw EWriteError(Text("ファイル") + (sourcePath != nullptr ? sourcePath : "") + Text("が開けません。"));
    } catch (const std::exception& error) {
        Application().ShowException(error);
        return false;
    }
    return true;
}

bool TXePack::AddPack(const char* name, TXePack* source, const char* sourceName)
{
    if (readOnly_ || writing_ == nullptr || source == nullptr || name == nullptr || *name == '\0')
        return false;
    TXeFileTable record{};
    if (!SplitEntryName(name, record) || CheckFileName(FullName(record).c_str()) >= 0)
        return false;
    std::unique_ptr<XeFILE> entry(source->XefopenComp(sourceName, false));
    if (!entry)
        return false;
    const TXeFileTable& from = *source->FileTable(entry->Index);
    record.Size = from.Size;
    record.CompSize = from.CompSize;
    record.Comp = from.Comp;
    record.Time = from.Time;
    // The stored bytes through the source's entry reads, which may share this archive's stream.
    return AppendEntry(record, [&](std::int64_t at, unsigned short& crc) {
        std::vector<unsigned char> piece(EntryPiece);
        crc = 0xFFFF;
        for (std::uint32_t done = 0; done < record.CompSize;) {
            const int n = static_cast<int>(std::min<std::uint32_t>(EntryPiece, record.CompSize - done));
            if (source->Xefread(piece.data(), static_cast<unsigned>(n), 1, entry.get()) != 1 ||
                !StreamWrite(piece.data(), at, n))
                return false;
            crc = crc_.UpDateCrc(crc, piece.data(), n);
            done += static_cast<std::uint32_t>(n);
            at += n;
        }
        return true;
    });
}

bool TXePack::DelFile(const char* name)
{
    if (readOnly_ || writing_ == nullptr)
        return false;
    const int index = CheckFileName(name);
    if (index < 0)
        return false;
    TXeFileTable& record = table_[static_cast<std::size_t>(index)];
    std::memset(record.Name, 0, sizeof record.Name);
    std::memset(record.Ext, 0, sizeof record.Ext);
    lowerNames_[static_cast<std::size_t>(index)].clear();
    modified_ = true;
    return true;
}

// Header, directory and the CRC-16 of everything before it, read back in 1 MiB pieces; then the
// file ends right after the CRC.
bool TXePack::WriteClosing()
{
    std::uint8_t header[XePackHeaderSize];
    StorePackHeader(header_, header);
    const std::int64_t directory = XePackHeaderSize + std::int64_t(header_.DataSize);
    std::vector<std::uint8_t> records(table_.size() * XePackRecordSize);
    for (std::size_t i = 0; i < table_.size(); ++i)
        StoreFileTable(table_[i], std::span(records).subspan(i * XePackRecordSize).first<XePackRecordSize>());
    if (!StreamWrite(header, 0, XePackHeaderSize) ||
        (!records.empty() && !StreamWrite(records.data(), directory, static_cast<int>(records.size()))))
        return false;
    const std::int64_t length = directory + std::int64_t(records.size());
    unsigned short crc;
    if (!WholeCrc(length, crc))
        return false;
    const std::uint8_t stored[2] = {static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8)};
    if (!StreamWrite(stored, length, 2))
        return false;
    try {
        archive_->SetSize(length + 2); // nothing of a failed add stays behind the CRC
    } catch (const EStreamError&) {
        return false;
    }
    return true;
}

bool TXePack::EndPack()
{
    if (archive_ == nullptr)
        return true;
    CloseFile();
    bool ok = true;
    if (modified_ && writing_ != nullptr)
        ok = WriteClosing() && writing_->Commit();
    ForgetArchive();
    packName_.clear();
    return ok;
}

void TXePack::DiscardPack()
{
    CloseFile();
    ForgetArchive();
    packName_.clear();
}

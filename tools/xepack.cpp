// xepack: makes, changes, lists, extracts and verifies pack archives through TXePack.
//
//   xepack create ARCHIVE [-m METHOD] [--always-code] DIR
//   xepack add ARCHIVE [-m METHOD] [--always-code] FILE...
//   xepack delete ARCHIVE NAME...
//   xepack list ARCHIVE
//   xepack extract ARCHIVE DIR
//   xepack verify ARCHIVE
#include "base/packs/TXePack.h"
#include "platform/classes/Application.h"
#include "platform/classes/Format.h"
#include "platform/codepage/CodePage.h"
#include "platform/fs/FileSystem.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char Usage[] =
    "usage: xepack COMMAND ARCHIVE [OPTIONS] [ARGUMENTS]\n"
    "\n"
    "Makes and inspects pack archives (.pak), the files the game reads its data from.\n"
    "\n"
    "commands:\n"
    "  create ARCHIVE [-m METHOD] [--always-code] DIR\n"
    "      a new archive of every file under DIR; files in subfolders are named with\n"
    "      backslashes (\"sub\\name.txt\"). A file whose name cannot be stored (too long,\n"
    "      or with characters the archive's code page lacks) is left out with a message\n"
    "      and the status is 1. An existing ARCHIVE is replaced only when every other\n"
    "      file was added.\n"
    "  add ARCHIVE [-m METHOD] [--always-code] FILE...\n"
    "      adds files to an archive under their own names (no folder part); the archive\n"
    "      must be writable and keeps its permissions (so does delete)\n"
    "  delete ARCHIVE NAME...\n"
    "      deletes entries (their bytes stay in the data area)\n"
    "  list ARCHIVE\n"
    "      one line per entry: name, size, stored size, type, CRC-16 and time (UTC)\n"
    "  extract ARCHIVE DIR\n"
    "      writes every entry under DIR with its stored time; entries whose CRC does not\n"
    "      match or whose names lead outside DIR are reported and not written\n"
    "  verify ARCHIVE\n"
    "      checks the whole-file CRC, the entry count against the file's size, every\n"
    "      entry's name and CRC, and that every entry decodes\n"
    "\n"
    "methods (-m, default 1):\n"
    "  0 stored, 1 LZ, 2 block-sorting (32 KB blocks), 3 bit-inverted,\n"
    "  4 block-sorting (8 KB blocks), 5 block-sorting (1 KB blocks)\n"
    "  A coded file that does not come out smaller is stored, unless --always-code.\n"
    "\n"
    "Entry names are at most 25 bytes: 21 before the last dot and 3 after it.\n"
    "Errors go to stderr and make the exit status non-zero.\n";

struct Options {
    int method = 1;
    bool keepSmaller = true;
    std::vector<std::string> arguments;
};

int Fail(const std::string& message)
{
    std::fprintf(stderr, "xepack: %s\n", message.c_str());
    return 1;
}

// A name for messages: the native form of a path or entry name given in the ANSI code page.
std::string Shown(const AnsiString& ansi) { return CodePage::ToUtf8(ansi); }

// Command-line paths are native; the libraries take backslash names in the ANSI code page.
AnsiString Ansi(const std::string& path) { return FileSystem::FromNative(path); }

bool ParseOptions(int argc, char** argv, int first, Options& options, std::string& error)
{
    for (int i = first; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-m" && i + 1 < argc) {
            const std::string value = argv[++i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '5') {
                error = "method must be 0 to 5, not " + value;
                return false;
            }
            options.method = value[0] - '0';
        } else if (argument == "--always-code") {
            options.keepSmaller = false;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        } else {
            options.arguments.push_back(argument);
        }
    }
    return true;
}

std::string TypeName(int type)
{
    static const char* names[] = {"stored", "lz", "bsort", "inverted"};
    return type >= 0 && type <= 3 ? names[type] : Format("type%d", type);
}

std::string TimeText(const FILETIME& time)
{
    const std::time_t seconds = static_cast<std::time_t>(UnixNanosecondsFromFileTime(time) / 1000000000);
    std::tm utc{};
    char text[32] = "?";
    if (gmtime_r(&seconds, &utc) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

// Why an entry name (ANSI form) cannot be stored, or "" when it can.
std::string NameProblem(const AnsiString& name)
{
    if (!IsRelativeEntryName(name))
        return "an entry name must stay inside its folder (no \"..\", \".\", drive or leading separator)";
    if (name.size() >= XePackFullNameSize)
        return Format("the name has %zu bytes in the archive's code page; at most %d fit", name.size(),
                      XePackFullNameSize - 1);
    TXeFileTable record{};
    if (!SplitEntryName(name, record) || FullName(record) != name)
        return Format("the name would be cut: at most %d bytes fit before its last dot and %d after it",
                      XePackNameSize, XePackExtSize);
    return "";
}

// The ANSI form of a native file name; false when the code page cannot hold every character.
bool AnsiName(const std::string& native, AnsiString& ansi)
{
    ansi = CodePage::FromUtf8(native);
    return CodePage::ToUtf8(ansi) == native;
}

// Every file under `root`, named relative to it with backslashes, in name order.
std::vector<std::filesystem::path> CollectFiles(const std::filesystem::path& root)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (!entry.is_directory())
            files.push_back(entry.path().lexically_relative(root));
    std::sort(files.begin(), files.end());
    return files;
}

// Why a change of the archive at `archive` cannot begin, or "".
std::string OpenProblem(const AnsiString& archive, bool forWriting)
{
    const std::filesystem::path native = FileSystem::NativePath(archive);
    if (!FileSystem::IsFile(archive))
        return "no such file";
    if (::access(native.c_str(), R_OK) != 0)
        return "it cannot be read (" + std::string(std::strerror(errno)) + ")";
    if (forWriting && ::access(native.c_str(), W_OK) != 0)
        return "it is not writable (" + std::string(std::strerror(errno)) + ")";
    return "";
}

// Opens an archive, giving the reason when that fails. `checked` also tests the whole-file CRC.
bool OpenArchive(TXePack& pack, const AnsiString& archive, bool forWriting, bool checked, std::string& problem)
{
    problem = OpenProblem(archive, forWriting);
    if (!problem.empty())
        return false;
    pack.SetReadOnly(!forWriting);
    pack.SetCrcMode(checked ? cmPackAll : cmNon);
    if (pack.LoadPack(archive.c_str()))
        return true;
    TXePack plain(nullptr);
    problem = checked && plain.LoadPack(archive.c_str()) ? "the archive is damaged (whole-file CRC mismatch)"
                                                          : "not a pack archive, or its header or directory is damaged";
    return false;
}

// Why the file's size differs from what its header and directory make it (a changed entry count
// would silently hide entries, or show others), or "".
std::string LayoutProblem(const AnsiString& archive)
{
    std::ifstream in(FileSystem::NativePath(archive), std::ios::binary);
    std::array<std::uint8_t, XePackHeaderSize> bytes{};
    const std::optional<std::int64_t> size = FileSystem::FileSize(archive);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), bytes.size()) || !size)
        return ""; // opening reports it
    const TXePackHeader header = LoadPackHeader(bytes);
    const int recordSize = XePackRecordSizeOf(header.Version);
    if (recordSize == 0 || header.Count < 0)
        return "";
    const int crcSize = header.Version >= XePackVersion300 ? 2 : 0; // older archives end with the directory
    const std::int64_t directory = XePackHeaderSize + std::int64_t(header.DataSize);
    if (*size == directory + std::int64_t(recordSize) * header.Count + crcSize)
        return "";
    const std::int64_t room = std::max<std::int64_t>(0, (*size - directory - crcSize) / recordSize);
    return Format("the header counts %d entries, but the file's size leaves room for %lld", header.Count,
                  static_cast<long long>(room));
}

// Adds the files of `sources` under `names`, each with the reason when it fails.
bool AddFiles(TXePack& pack, const std::vector<AnsiString>& names, const std::vector<AnsiString>& sources,
              const Options& options)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (pack.CheckFileName(names[i].c_str()) >= 0) {
            Fail("cannot add " + Shown(sources[i]) + ": the archive already holds an entry named " + Shown(names[i]));
            return false;
        }
        if (!pack.AddFile(names[i].c_str(), sources[i].c_str(), options.method, options.keepSmaller)) {
            const std::string reason = FileSystem::IsFile(sources[i]) ? "reading it or writing the archive failed"
                                                                      : "it cannot be opened";
            Fail("cannot add " + Shown(sources[i]) + ": " + reason);
            return false;
        }
    }
    return true;
}

int Finish(TXePack& pack, const AnsiString& archive)
{
    return pack.EndPack() ? 0 : Fail("cannot write " + Shown(archive) + ": the changed archive could not be put in place");
}

int Create(const AnsiString& archive, const Options& options)
{
    if (options.arguments.size() != 1)
        return Fail("create needs one folder");
    const std::filesystem::path root = options.arguments[0];
    std::error_code error;
    if (!std::filesystem::is_directory(root, error))
        return Fail("cannot create " + Shown(archive) + ": " + options.arguments[0] + " is not a folder");
    std::vector<AnsiString> names, sources;
    int skipped = 0;
    try {
        for (const std::filesystem::path& file : CollectFiles(root)) {
            AnsiString name;
            std::string problem;
            if (!AnsiName(file.string(), name))
                problem = Format("its name has no form in the archive's code page (%d)", CodePage::Ansi());
            else
                problem = NameProblem(name = FileSystem::FromNative(file));
            if (!problem.empty()) {
                skipped += Fail("skipped " + (root / file).string() + ": " + problem);
                continue;
            }
            names.push_back(name);
            sources.push_back(FileSystem::FromNative(root / file));
        }
    } catch (const std::filesystem::filesystem_error& failure) {
        return Fail("cannot create " + Shown(archive) + ": cannot list " + options.arguments[0] + " (" +
                    failure.code().message() + ")");
    }
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    if (!pack.NewPack(archive.c_str()))
        return Fail("cannot create " + Shown(archive) + ": its folder is not writable");
    if (!AddFiles(pack, names, sources, options)) {
        pack.DiscardPack(); // an ARCHIVE that existed stays as it was
        return 1;
    }
    const int status = Finish(pack, archive);
    if (status == 0 && skipped > 0)
        return Fail(Format("%d file(s) left out; the archive holds the other %zu", skipped, names.size()));
    return status;
}

int Add(const AnsiString& archive, const Options& options)
{
    if (options.arguments.empty())
        return Fail("add needs files");
    std::vector<AnsiString> names, sources;
    for (const std::string& file : options.arguments) {
        AnsiString name;
        const std::string leaf = std::filesystem::path(file).filename().string();
        const std::string problem = !AnsiName(leaf, name)
                                        ? Format("its name has no form in the archive's code page (%d)", CodePage::Ansi())
                                        : NameProblem(name);
        if (!problem.empty())
            return Fail("cannot add " + file + ": " + problem);
        names.push_back(name);
        sources.push_back(Ansi(file));
    }
    TXePack pack(nullptr);
    std::string problem;
    if (!OpenArchive(pack, archive, true, false, problem))
        return Fail("cannot change " + Shown(archive) + ": " + problem);
    if (!AddFiles(pack, names, sources, options)) {
        pack.DiscardPack();
        return 1;
    }
    return Finish(pack, archive);
}

int Delete(const AnsiString& archive, const Options& options)
{
    TXePack pack(nullptr);
    std::string problem;
    if (!OpenArchive(pack, archive, true, false, problem))
        return Fail("cannot change " + Shown(archive) + ": " + problem);
    for (const std::string& name : options.arguments) {
        if (!pack.DelFile(Ansi(name).c_str())) {
            pack.DiscardPack();
            return Fail("cannot delete " + name + ": " + Shown(archive) + " holds no entry of that name");
        }
    }
    return Finish(pack, archive);
}

int List(const AnsiString& archive)
{
    TXePack pack(nullptr);
    std::string problem;
    if (!OpenArchive(pack, archive, false, false, problem))
        return Fail("cannot list " + Shown(archive) + ": " + problem);
    std::printf("%-25s %10s %10s %-8s %-4s %s\n", "name", "size", "stored", "type", "crc", "time (UTC)");
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const TXeFileTable& record = *pack.FileTable(i);
        if (IsDeleted(record))
            continue;
        const std::string crc = record.CrcFlag == 1 ? Format("%04X", record.Crc) : "-";
        std::printf("%-25s %10u %10u %-8s %-4s %s\n", Shown(FullName(record)).c_str(), record.Size, record.CompSize,
                    TypeName(record.Comp).c_str(), crc.c_str(), TimeText(record.Time).c_str());
    }
    return 0;
}

// Opens an archive for extract and verify: the whole-file CRC, and the entry count against the
// file's size (reported, the listed entries still handled). Returns the number of failures, or -1
// when the archive cannot be opened.
int OpenChecked(TXePack& pack, const AnsiString& archive, const char* action)
{
    std::string problem;
    if (!OpenArchive(pack, archive, false, true, problem)) {
        Fail(std::string("cannot ") + action + " " + Shown(archive) + ": " + problem);
        return -1;
    }
    problem = LayoutProblem(archive);
    return problem.empty() ? 0 : Fail(Shown(archive) + ": " + problem);
}

// Why entry i cannot be trusted (unsafe name, stored CRC mismatch), or "".
std::string EntryProblem(TXePack& pack, int i)
{
    const AnsiString name = FullName(*pack.FileTable(i));
    if (!IsRelativeEntryName(name))
        return "its name leads outside the target folder";
    if (!pack.VerifyFileCrc(i))
        return "its stored CRC does not match (the entry is damaged)";
    return "";
}

// Makes the folders of an entry name below `root` (separators inside double-byte characters are
// part of the name).
void MakeFolders(const AnsiString& root, const AnsiString& name)
{
    const std::vector<AnsiString> parts = EntryNameParts(name);
    AnsiString folder = root;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        FileSystem::CreateFolder(folder += parts[i] + "\\");
}

int Extract(const AnsiString& archive, const Options& options)
{
    if (options.arguments.size() != 1)
        return Fail("extract needs one folder");
    const AnsiString folder = IncludeTrailingBackslash(Ansi(options.arguments[0]));
    TXePack pack(nullptr);
    int failures = OpenChecked(pack, archive, "extract");
    if (failures < 0)
        return 1;
    FileSystem::CreateFolder(folder);
    if (!FileSystem::IsDirectory(folder))
        return Fail("cannot extract " + Shown(archive) + ": cannot make the folder " + options.arguments[0]);
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const AnsiString name = FullName(*pack.FileTable(i));
        if (IsDeleted(*pack.FileTable(i)))
            continue;
        const std::string problem = EntryProblem(pack, i);
        if (!problem.empty()) {
            failures += Fail("not extracted " + Shown(name) + ": " + problem);
            continue;
        }
        MakeFolders(folder, name);
        if (!pack.GetFile((folder + name).c_str(), name.c_str()))
            failures += Fail("cannot extract " + Shown(name) + ": it does not decode, or " +
                             Shown(folder + name) + " cannot be written");
    }
    return failures == 0 ? 0 : 1;
}

int Verify(const AnsiString& archive)
{
    TXePack pack(nullptr);
    int failures = OpenChecked(pack, archive, "verify");
    if (failures < 0)
        return 1;
    int entries = 0;
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const TXeFileTable& record = *pack.FileTable(i);
        if (IsDeleted(record))
            continue;
        ++entries;
        const AnsiString name = FullName(record);
        const std::string problem = EntryProblem(pack, i);
        if (!problem.empty()) {
            failures += Fail(Shown(name) + ": " + problem);
            continue;
        }
        std::unique_ptr<TStream> decoded(pack.XeMakeStream(name.c_str()));
        if (!decoded)
            failures += Fail(Shown(name) + ": it does not decode (the entry is damaged)");
    }
    if (failures != 0)
        return Fail(Format("%s: %d problem(s) found", Shown(archive).c_str(), failures));
    std::printf("%s: %d entries, all good\n", Shown(archive).c_str(), entries);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(Usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    // The libraries' own messages (a CRC error box, a refused add) are for the game's player; the
    // tool says in English what failed and why.
    Application().OnMessageBox = [](const std::string&, const std::string&, int) { return idOK; };
    Application().OnShowException = [](const std::string&) {};
    const std::string command = argv[1];
    if (argc < 3)
        return Fail(command + " needs an archive; see xepack --help");
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, 3, options, error))
        return Fail(error);
    const AnsiString archive = Ansi(argv[2]);
    if (command == "create")
        return Create(archive, options);
    if (command == "add")
        return Add(archive, options);
    if (command == "delete")
        return Delete(archive, options);
    if (command == "list")
        return List(archive);
    if (command == "extract")
        return Extract(archive, options);
    if (command == "verify")
        return Verify(archive);
    return Fail("unknown command " + command + "; see xepack --help");
}

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
#include "platform/fs/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
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
    "      backslashes (\"sub\\name.txt\"). An existing ARCHIVE is replaced only when the\n"
    "      new one is complete.\n"
    "  add ARCHIVE [-m METHOD] [--always-code] FILE...\n"
    "      adds files to an archive under their own names (no folder part)\n"
    "  delete ARCHIVE NAME...\n"
    "      deletes entries (their bytes stay in the data area)\n"
    "  list ARCHIVE\n"
    "      one line per entry: name, size, stored size, type, CRC-16 and time (UTC)\n"
    "  extract ARCHIVE DIR\n"
    "      writes every entry under DIR with its stored time\n"
    "  verify ARCHIVE\n"
    "      checks the whole-file CRC, every entry's CRC, and that every entry decodes\n"
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

// Every file under `folder` (ANSI backslash form ending in "\"), named relative to it.
void CollectFiles(const AnsiString& folder, const AnsiString& prefix, std::vector<AnsiString>& names)
{
    for (const FileSystem::DirEntry& entry : FileSystem::List(folder)) {
        if (entry.directory)
            CollectFiles(folder + entry.name + "\\", prefix + entry.name + "\\", names);
        else
            names.push_back(prefix + entry.name);
    }
}

bool AddFiles(TXePack& pack, const AnsiString& folder, const std::vector<AnsiString>& names, const Options& options)
{
    for (const AnsiString& name : names) {
        if (!pack.AddFile(name.c_str(), (folder + name).c_str(), options.method, options.keepSmaller)) {
            Fail("cannot add " + name);
            return false;
        }
    }
    return true;
}

int Create(const AnsiString& archive, const Options& options)
{
    if (options.arguments.size() != 1)
        return Fail("create needs one folder");
    const AnsiString folder = IncludeTrailingBackslash(Ansi(options.arguments[0]));
    if (!FileSystem::IsDirectory(folder))
        return Fail("no folder " + options.arguments[0]);
    std::vector<AnsiString> names;
    CollectFiles(folder, "", names);
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    if (!pack.NewPack(archive.c_str()))
        return Fail("cannot create " + archive);
    if (!AddFiles(pack, folder, names, options)) {
        pack.DiscardPack(); // an ARCHIVE that existed stays as it was
        return 1;
    }
    return pack.EndPack() ? 0 : Fail("cannot write " + archive);
}

int Add(const AnsiString& archive, const Options& options)
{
    if (options.arguments.empty())
        return Fail("add needs files");
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    if (!pack.LoadPack(archive.c_str()))
        return Fail("cannot open " + archive);
    for (const std::string& file : options.arguments) {
        const AnsiString path = Ansi(file);
        if (!pack.AddFile(ExtractFileName(path).c_str(), path.c_str(), options.method, options.keepSmaller)) {
            pack.DiscardPack();
            return Fail("cannot add " + file);
        }
    }
    return pack.EndPack() ? 0 : Fail("cannot write " + archive);
}

int Delete(const AnsiString& archive, const Options& options)
{
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    if (!pack.LoadPack(archive.c_str()))
        return Fail("cannot open " + archive);
    for (const std::string& name : options.arguments) {
        if (!pack.DelFile(name.c_str())) {
            pack.DiscardPack();
            return Fail("no entry " + name);
        }
    }
    return pack.EndPack() ? 0 : Fail("cannot write " + archive);
}

int List(const AnsiString& archive)
{
    TXePack pack(nullptr);
    if (!pack.LoadPack(archive.c_str()))
        return Fail("cannot open " + archive);
    std::printf("%-25s %10s %10s %-8s %-4s %s\n", "name", "size", "stored", "type", "crc", "time (UTC)");
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const TXeFileTable& record = *pack.FileTable(i);
        if (IsDeleted(record))
            continue;
        const std::string crc = record.CrcFlag == 1 ? Format("%04X", record.Crc) : "-";
        std::printf("%-25s %10u %10u %-8s %-4s %s\n", FullName(record).c_str(), record.Size, record.CompSize,
                    TypeName(record.Comp).c_str(), crc.c_str(), TimeText(record.Time).c_str());
    }
    return 0;
}

// Makes the folders of a backslash path below `root`.
void MakeFolders(const AnsiString& root, const AnsiString& name)
{
    for (std::size_t at = name.find('\\'); at != AnsiString::npos; at = name.find('\\', at + 1))
        FileSystem::CreateFolder(root + name.substr(0, at));
}

int Extract(const AnsiString& archive, const Options& options)
{
    if (options.arguments.size() != 1)
        return Fail("extract needs one folder");
    const AnsiString folder = IncludeTrailingBackslash(Ansi(options.arguments[0]));
    FileSystem::CreateFolder(folder);
    TXePack pack(nullptr);
    if (!pack.LoadPack(archive.c_str()))
        return Fail("cannot open " + archive);
    int failures = 0;
    char name[XePackFullNameSize];
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        if (!pack.GetFileName(i, name) || name[0] == '\0')
            continue;
        MakeFolders(folder, name);
        if (!pack.GetFile((folder + name).c_str(), name))
            failures += Fail(std::string("cannot extract ") + name);
    }
    return failures == 0 ? 0 : 1;
}

int Verify(const AnsiString& archive)
{
    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    if (!pack.LoadPack(archive.c_str()))
        return Fail("cannot open " + archive + " (damaged or not an archive)");
    int failures = 0, entries = 0;
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const TXeFileTable& record = *pack.FileTable(i);
        if (IsDeleted(record))
            continue;
        ++entries;
        const AnsiString name = FullName(record);
        if (!pack.VerifyFileCrc(i)) {
            failures += Fail("CRC mismatch in " + name);
            continue;
        }
        std::unique_ptr<TStream> decoded(pack.XeMakeStream(name.c_str()));
        if (!decoded)
            failures += Fail("cannot decode " + name);
    }
    if (failures == 0)
        std::printf("%s: %d entries, all good\n", archive.c_str(), entries);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(Usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    // Messages of the libraries (CRC errors, failed adds) go to stderr.
    Application().OnMessageBox = [](const std::string& text, const std::string& caption, int) {
        std::fprintf(stderr, "xepack: %s: %s\n", caption.c_str(), text.c_str());
        return idOK;
    };
    Application().OnShowException = [](const std::string& message) { std::fprintf(stderr, "xepack: %s\n", message.c_str()); };
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

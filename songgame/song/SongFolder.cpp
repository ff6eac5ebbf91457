#include "songgame/song/SongFolder.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/StringList.h"
#include "platform/fs/FileSystem.h"
#include "shell/helpers/OpenedFile.h"
#include "shell/helpers/PictureLoading.h"

namespace {

constexpr int EventPackNumber = 2;
constexpr int IdentityLines = 8;
constexpr int LowestVersion = 100;
constexpr int HighestVersion = 200;
// From this version on line 3 of the identity file is the title.
constexpr int TitleVersion = 200;

AnsiString InSongFolder(const TSongID& code, const char* place)
{
    const AnsiString folder = SongFolderName(code);
    return folder.empty() ? AnsiString() : folder + place;
}

// Reads the identity file's lines; false when the location does not open or has no "SONG.ID".
bool ReadIdentityLines(const AnsiString& location, TStringList& lines)
{
    TFileMan files(nullptr);
    if (!OpenSongLocation(files, location))
        return false;
    const OpenedFile file(&files, "SONG.ID");
    if (file.get() == nullptr)
        return false;
    lines.LoadFromStream(*file.get());
    return true;
}

// The "\song" location, else (when allowed) the "\event" one; empty when neither exists.
AnsiString IdentityLocation(const TSongID& code, bool allowEvent)
{
    const AnsiString song = SongDataLocation(code, 0);
    if (!song.empty() && SongLocationExists(song))
        return song;
    if (!allowEvent)
        return {};
    const AnsiString event = SongDataLocation(code, EventPackNumber);
    return !event.empty() && SongLocationExists(event) ? event : AnsiString();
}

} // namespace

AnsiString SongDataLocation(const TSongID& code, int packNumber)
{
    if (packNumber < EventPackNumber)
        return InSongFolder(code, "\\song");
    if (packNumber == EventPackNumber)
        return InSongFolder(code, "\\event");
    const AnsiString event = InSongFolder(code, "\\event");
    return event.empty() ? event : event + IntToStr(packNumber - 1);
}

AnsiString SongKeyLocation(const TSongID& code) { return InSongFolder(code, "\\key"); }

AnsiString SongMusicBase(const TSongID& code) { return InSongFolder(code, "\\song"); }

bool SongLocationExists(const AnsiString& location)
{
    return FileSystem::IsFile(location + ".pak") || FileSystem::IsDirectory(location);
}

bool OpenSongLocation(TFileMan& files, const AnsiString& location)
{
    if (location.empty())
        return false;
    if (files.InitPack(location + ".pak"))
        return true;
    return FileSystem::IsDirectory(location) && files.InitDir(location);
}

bool ReadSongId(const TSongID& code, bool allowEvent, int* version, AnsiString* title)
{
    if (code.IsEmpty())
        return false;
    const AnsiString location = IdentityLocation(code, allowEvent);
    TStringList lines;
    return !location.empty() && ReadIdentityLines(location, lines) && CheckSongIdentity(lines, code, version, title);
}

bool CheckSongIdentity(const TStringList& lines, const TSongID& code, int* version, AnsiString* title)
{
    if (lines.Count() < IdentityLines)
        return false;
    const int found = ParseVersionNumber(lines[0]);
    if (found < LowestVersion || found > HighestVersion)
        return false;
    if (lines[1].size() < 4 || lines[1].compare(0, 4, UpperCase(SongIdCode(code))) != 0)
        return false;
    if (version != nullptr)
        *version = found;
    if (title != nullptr)
        *title = found >= TitleVersion ? lines[2] : AnsiString();
    return true;
}

bool LoadSongName(TXeRGBPanel* panel, const AnsiString& pictureName, const TSongID& code)
{
    if (panel == nullptr || !ReadSongId(code, false))
        return false;
    TFileMan files(nullptr);
    if (!OpenSongLocation(files, SongDataLocation(code, 0)))
        return false;
    FreePanelImage(panel);
    return LoadPanelImage(panel, pictureName, &files);
}

bool ReadSongVersion(TFileMan& songFiles, int& version)
{
    const OpenedFile file(&songFiles, "SONG.ID");
    if (file.get() == nullptr)
        return false;
    TStringList lines;
    lines.LoadFromStream(*file.get());
    version = lines.Count() > 0 ? ParseVersionNumber(lines[0]) : LowestVersion;
    return true;
}

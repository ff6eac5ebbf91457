// The places of a song's files under "Song\" + its code: the data location chosen by the pack
// number, the key sounds and the music; opening a location as pack or folder; and the identity
// check on "SONG.ID" that the song screen and the score screen make.
#pragma once

#include "scenario/records/TSongID.h"

#include "platform/classes/AnsiString.h"

class TFileMan;
class TStringList;
class TXeRGBPanel;

// The song data: "\song" for pack numbers up to 1, "\event" for 2, "\event" + (n - 1) from 3 on;
// empty when the code is empty or unsafe as a folder name.
AnsiString SongDataLocation(const TSongID& code, int packNumber);
// The key sounds ("\key") and the music's name without extension ("\song"); empty likewise.
AnsiString SongKeyLocation(const TSongID& code);
AnsiString SongMusicBase(const TSongID& code);

// Whether the location exists as the pack location + ".pak" or as the folder.
bool SongLocationExists(const AnsiString& location);
// Binds the manager to location + ".pak" when that opens, else to the folder when it exists.
bool OpenSongLocation(TFileMan& files, const AnsiString& location);

// The identity check: the song's "\song" (or, when allowed, "\event") location holds a "SONG.ID" of
// at least 8 lines whose version (line 1) lies in 100..200 and whose line 2 begins with the code in
// capitals. On true the version, and the title (line 3 from version 200 on, else empty), are
// handed out through the pointers given. Every failure is a plain false.
bool ReadSongId(const TSongID& code, bool allowEvent, int* version = nullptr, AnsiString* title = nullptr);

// The check on the lines of a "SONG.ID" already read.
bool CheckSongIdentity(const TStringList& lines, const TSongID& code, int* version = nullptr, AnsiString* title = nullptr);

// When the check without event folders passes, frees the panel's picture and loads the named
// picture from the song's "\song" location into it; false when the check or the load fails.
bool LoadSongName(TXeRGBPanel* panel, const AnsiString& pictureName, const TSongID& code);

// The version of a "SONG.ID" for the song load: 100 for a file without lines, else the first
// line's (no range check); false when the file is missing.
bool ReadSongVersion(TFileMan& songFiles, int& version);

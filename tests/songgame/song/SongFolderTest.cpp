#include "songgame/song/SongFolder.h"

#include "songgame/SongTree.h"

#include "shell/ShellTestSupport.h"

#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <gtest/gtest.h>

namespace {

TSongID Code(const char* text) { return TSongID::FromText(text); }

} // namespace

TEST(SongFolder, LocationsByPackNumber)
{
    struct Case {
        int pack;
        const char* location;
    };
    const Case cases[] = {{-1, "Song\\TV01\\song"}, {0, "Song\\TV01\\song"}, {1, "Song\\TV01\\song"},
                          {2, "Song\\TV01\\event"}, {3, "Song\\TV01\\event2"}, {12, "Song\\TV01\\event11"}};
    for (const Case& c : cases)
        EXPECT_EQ(SongDataLocation(Code("TV01"), c.pack), c.location) << c.pack;
    EXPECT_EQ(SongKeyLocation(Code("TV01")), "Song\\TV01\\key");
    EXPECT_EQ(SongMusicBase(Code("TV01")), "Song\\TV01\\song");
    for (const char* unsafe : {"", "..\\x", "A/B1", "T.01", "TV\t1"}) {
        EXPECT_EQ(SongDataLocation(Code(unsafe), 0), "") << unsafe;
        EXPECT_EQ(SongDataLocation(Code(unsafe), 5), "") << unsafe;
        EXPECT_EQ(SongKeyLocation(Code(unsafe)), "") << unsafe;
    }
}

TEST(SongFolder, ReadSongIdCases)
{
    struct Case {
        const char* what;
        const char* location; // where SONG.ID lies, under Song\TV01
        const char* version;
        const char* codeLine;
        int lines;
        bool allowEvent;
        bool ok;
        int outVersion;
        const char* title;
    };
    const Case cases[] = {
        {"version 150, no title", "song", "VER1.50", "TV01 rest", 8, false, true, 150, ""},
        {"version 200 hands out the title", "song", "VER2.00", "TV01", 8, false, true, 200, "Title"},
        {"version 201 is too new", "song", "VER2.01", "TV01", 8, false, false, 0, ""},
        {"version 99 is too old", "song", "VER0.99", "TV01", 8, false, false, 0, ""},
        {"seven lines", "song", "VER1.50", "TV01", 7, false, false, 0, ""},
        {"a first line of eight characters", "song", "VER1.500", "TV01", 8, false, false, 0, ""},
        {"the code in small letters", "song", "VER1.50", "tv01", 8, false, false, 0, ""},
        {"another code", "song", "VER1.50", "TV02", 8, false, false, 0, ""},
        {"a code line too short", "song", "VER1.50", "TV0", 8, false, false, 0, ""},
        {"event only, allowed", "event", "VER1.50", "TV01", 8, true, true, 150, ""},
        {"event only, not allowed", "event", "VER1.50", "TV01", 8, false, false, 0, ""},
    };
    for (const Case& c : cases) {
        songtest::SongTree tree;
        tree.WriteIdentity(std::string("Song\\TV01\\") + c.location, c.version, c.codeLine, "Title", c.lines);
        int version = -7;
        AnsiString title = "unchanged";
        EXPECT_EQ(ReadSongId(Code("TV01"), c.allowEvent, &version, &title), c.ok) << c.what;
        EXPECT_EQ(version, c.ok ? c.outVersion : -7) << c.what;
        EXPECT_EQ(title, c.ok ? c.title : "unchanged") << c.what;
    }
}

TEST(SongFolder, ReadSongIdWithoutTheFile)
{
    songtest::SongTree tree;
    tree.WriteText("Song\\TV01\\song\\Song.txt", "");
    EXPECT_FALSE(ReadSongId(Code("TV01"), true));
    EXPECT_FALSE(ReadSongId(Code("TV09"), true)) << "no folder";
    EXPECT_FALSE(ReadSongId(TSongID{}, true)) << "empty code";
    tree.WriteIdentity("Song\\..\\song", "VER1.50", "..\\s");
    EXPECT_FALSE(ReadSongId(Code("..\\s"), true)) << "a code that leaves the song folder";
}

TEST(SongFolder, PackPreferredOverFolder)
{
    songtest::SongTree tree;
    tree.WriteIdentity("Song\\TV01\\song", "VER2.00", "TV01", "Packed");
    tree.PackFolder("Song\\TV01\\song");
    tree.WriteIdentity("Song\\TV01\\song", "VER2.00", "TV01", "Folder");
    AnsiString title;
    ASSERT_TRUE(ReadSongId(Code("TV01"), false, nullptr, &title));
    EXPECT_EQ(title, "Packed");

    TFileMan files(nullptr);
    ASSERT_TRUE(OpenSongLocation(files, SongDataLocation(Code("TV01"), 0)));
    EXPECT_TRUE(files.ChkIsPack());
    TFileMan none(nullptr);
    EXPECT_FALSE(OpenSongLocation(none, SongDataLocation(Code("TV01"), 2)));
}

TEST(SongFolder, ReadSongVersionForTheLoad)
{
    songtest::SongTree tree;
    TFileMan files(nullptr);
    ASSERT_TRUE(files.InitDir("data"));
    int version = -1;
    EXPECT_FALSE(ReadSongVersion(files, version)) << "no SONG.ID";
    tree.WriteText("data\\SONG.ID", "");
    ASSERT_TRUE(ReadSongVersion(files, version));
    EXPECT_EQ(version, 100) << "no lines";
    tree.WriteText("data\\SONG.ID", "VER3.05\r\n");
    ASSERT_TRUE(ReadSongVersion(files, version));
    EXPECT_EQ(version, 305) << "no range check";
}

TEST(SongFolder, LoadSongNameOnlyFromTheSongLocation)
{
    shelltest::ScopedGlobals globals;
    songtest::SongTree tree;
    TXeRGBPanel panel(nullptr);
    tree.WriteIdentity("Song\\TV01\\event", "VER1.50", "TV01");
    tree.Write("Song\\TV01\\event\\songname.png", songtest::Png(20, 10));
    EXPECT_FALSE(LoadSongName(&panel, "songname.png", Code("TV01"))) << "event songs are not listed";

    tree.WriteIdentity("Song\\TV01\\song", "VER1.50", "TV01");
    tree.Write("Song\\TV01\\song\\songname.png", songtest::Png(20, 10));
    const std::size_t before = globals.Listed();
    ASSERT_TRUE(LoadSongName(&panel, "songname.png", Code("TV01")));
    ASSERT_NE(panel.Image(), nullptr);
    EXPECT_EQ(panel.Image()->Width(), 20);
    ASSERT_TRUE(LoadSongName(&panel, "songname.png", Code("TV01"))) << "again: the old picture is freed";
    EXPECT_EQ(globals.Listed(), before + 1);
    EXPECT_FALSE(LoadSongName(&panel, "missing.png", Code("TV01")));
    EXPECT_EQ(globals.Listed(), before);
}

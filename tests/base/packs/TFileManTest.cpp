// The file manager: folder mode (mixed case, subfolders, safe creation), pack mode, wildcard
// listing, file times, the record of open streams and its report texts, and unbinding.
#include "base/packs/TFileMan.h"

#include "base/packs/TXePack.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"
#include "platform/codepage/CodePage.h"
#include "tests/base/CodecCorpus.h"
#include "tests/base/PackFixture.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace PackFixture;

// text is `before`, eight lower-case hexadecimal digits, then `after`.
bool HasAddress(const std::string& text, const std::string& before, const std::string& after)
{
    if (text.size() != before.size() + 8 + after.size() || text.compare(0, before.size(), before) != 0 ||
        text.compare(before.size() + 8, after.size(), after) != 0)
        return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(before.size()),
                       text.begin() + static_cast<std::ptrdiff_t>(before.size() + 8),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string Hex(const void* pointer) { return Format("%08x", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(pointer))); }

class TFileManTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.Write("Data/Title.PNG", {1, 2, 3});
        folder.Write("Data/readme", {4});
        folder.Write("Data/Sub/Voice01.ogg", {5, 6});
        folder.Write("Data/Sub/Voice02.OGG", {7});
        std::filesystem::create_directories(folder.Native() / "Data" / "Folder.ogg");
        ASSERT_TRUE(BuildPack(folder, folder.Name("Data.pak"),
                              {{"Title.png", {1, 2, 3}}, {"Gone.txt", {9}}, {"Script.dat", CodecCorpus::Text(5000, 1)}}, 1));
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        ASSERT_TRUE(writer.LoadPack(folder.Name("Data.pak").c_str()));
        ASSERT_TRUE(writer.DelFile("Gone.txt"));
        ASSERT_TRUE(writer.EndPack());
    }

    void Listen()
    {
        man.OnError = [this](TObject* sender, const AnsiString& message) {
            EXPECT_EQ(sender, &man);
            errors.push_back(message);
        };
    }

    std::vector<std::string> FindAll(const AnsiString& pattern)
    {
        std::vector<std::string> names;
        man.FindFirst(pattern);
        for (AnsiString name; man.FindNext(name);)
            names.push_back(name);
        return names;
    }

    ScratchFolder folder;
    TFileMan man{nullptr};
    std::vector<std::string> errors;
};

} // namespace

TEST_F(TFileManTest, FolderNamesKeepOneTrailingBackslash)
{
    EXPECT_TRUE(man.InitDir("Game\\Data"));
    EXPECT_EQ(man.Directory(), "Game\\Data");
    EXPECT_TRUE(man.InitDir("Game\\Data\\"));
    EXPECT_EQ(man.Directory(), "Game\\Data");
    EXPECT_TRUE(man.InitDir(""));
    EXPECT_EQ(man.Directory(), "");
    const TestSupport::ScopedAnsiCodePage shiftJis(CodePage::ShiftJis);
    EXPECT_TRUE(man.InitDir("\x83\x5C")); // a double-byte character whose trail byte is "\"
    EXPECT_EQ(man.Directory(), "\x83\x5C");
    EXPECT_TRUE(man.InitDir(folder.Name("nowhere")));
    EXPECT_FALSE(man.ChkIsPack());
}

TEST_F(TFileManTest, FolderModeOpensAnyCaseAndRecordsStreams)
{
    ASSERT_TRUE(man.InitDir(folder.Name("DATA")));
    EXPECT_TRUE(man.FileIsExist("title.png"));
    EXPECT_TRUE(man.FileIsExist("SUB\\voice01.OGG"));
    EXPECT_FALSE(man.FileIsExist("Sub"));
    TStream* title = man.Open("TITLE.png");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(Contents(*title), (Bytes{1, 2, 3}));
    TStream* voice = man.Open("sub\\Voice02.ogg");
    ASSERT_NE(voice, nullptr);
    ASSERT_EQ(man.Pointers().size(), 2u);
    EXPECT_EQ(man.Pointers()[0].stream, title);
    EXPECT_EQ(man.Pointers()[0].caller, 0u) << "no listener, no address";
    man.Close(title);
    EXPECT_EQ(title, nullptr);
    ASSERT_EQ(man.Pointers().size(), 1u);
    EXPECT_EQ(man.Pointers()[0].stream, voice);
    man.Close(voice);
    EXPECT_TRUE(man.Pointers().empty());
    TStream* none = nullptr;
    man.Close(none);
}

TEST_F(TFileManTest, AFailedOpenIsReportedWithItsCaller)
{
    ASSERT_TRUE(man.InitDir(folder.Name("Data")));
    EXPECT_EQ(man.Open("missing.png"), nullptr) << "no listener";
    Listen();
    EXPECT_EQ(man.Open("missing.png"), nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(HasAddress(errors[0], "FileOpenErr Call(", ") [missing.png]")) << errors[0];
    TStream* stream = man.Open("readme");
    ASSERT_NE(stream, nullptr);
    EXPECT_NE(man.Pointers().back().caller, 0u);
    man.Close(stream);
}

TEST_F(TFileManTest, CreateWritesInFolderModeOnly)
{
    ASSERT_TRUE(man.InitDir(folder.Name("Data")));
    folder.Write("Data/Save01.sav", {1, 1, 1});
    TStream* save = man.Create("save01.sav");
    ASSERT_NE(save, nullptr);
    save->WriteBuffer("new", 3);
    EXPECT_EQ(folder.Read("Data/Save01.sav"), (Bytes{1, 1, 1})) << "the old save stays until the new one is complete";
    man.Close(save);
    EXPECT_EQ(folder.Read("Data/Save01.sav"), (Bytes{'n', 'e', 'w'}));
    EXPECT_TRUE(man.Pointers().empty());

    Listen();
    EXPECT_EQ(man.Create("NoSuchFolder\\new.sav"), nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(HasAddress(errors[0], "FileOpenErr Call(", ") [NoSuchFolder\\new.sav]")) << errors[0];
    ASSERT_TRUE(man.InitPack(folder.Name("Data.pak")));
    EXPECT_EQ(man.Create("new.sav"), nullptr);
    EXPECT_EQ(errors.size(), 1u) << "pack mode refuses without a report";
}

TEST_F(TFileManTest, CloseDestroysStreamsItDidNotHandOut)
{
    ASSERT_TRUE(man.InitDir(folder.Name("Data")));
    TStream* stranger = new TMemoryStream;
    man.Close(stranger); // AddressSanitizer reports a leak if it is not destroyed
    EXPECT_EQ(stranger, nullptr);
}

TEST_F(TFileManTest, FolderSearchListsFilesOnly)
{
    ASSERT_TRUE(man.InitDir(folder.Name("Data")));
    AnsiString name;
    EXPECT_FALSE(man.FindNext(name)) << "no search started";
    EXPECT_EQ(FindAll("*.*"), (std::vector<std::string>{"Title.PNG", "readme"}));
    EXPECT_EQ(FindAll("*."), (std::vector<std::string>{"readme"}));
    EXPECT_EQ(FindAll("sub\\*.ogg"), (std::vector<std::string>{"Voice01.ogg", "Voice02.OGG"}));
    EXPECT_EQ(FindAll("*.ogg"), (std::vector<std::string>{})) << "a folder named like a file is not listed";
    EXPECT_EQ(FindAll("Sub\\Voice0?.*"), (std::vector<std::string>{"Voice01.ogg", "Voice02.OGG"}));
    EXPECT_FALSE(man.FindNext(name)) << "ended until the next FindFirst";
}

TEST_F(TFileManTest, PackModeReadsDecodedEntries)
{
    ASSERT_TRUE(man.InitPack(folder.Name("data.PAK")));
    EXPECT_TRUE(man.ChkIsPack());
    EXPECT_NE(man.Pack(), nullptr);
    EXPECT_TRUE(man.FileIsExist("TITLE.PNG"));
    EXPECT_FALSE(man.FileIsExist("Gone.txt"));
    TStream* script = man.Open("script.dat");
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(Contents(*script), CodecCorpus::Text(5000, 1));
    man.Close(script);
    EXPECT_EQ(FindAll("*.*"), (std::vector<std::string>{"Title.png", "Script.dat"})) << "deleted entries are skipped";
    EXPECT_EQ(FindAll("*.PNG"), (std::vector<std::string>{"Title.png"}));
    FILETIME time{};
    EXPECT_TRUE(man.GetFileTime("title.png", &time));
    EXPECT_GT(FileTimeTicks(time), FileTimeTicks(XePackOldFileTime));
    EXPECT_FALSE(man.GetFileTime("Gone.txt", &time));
}

TEST_F(TFileManTest, FolderTimesComeFromTheFile)
{
    ASSERT_TRUE(man.InitDir(folder.Name("Data")));
    const std::int64_t written = 1700000000LL * 1000000000;
    ASSERT_TRUE(FileSystem::SetLastWriteTime(folder.Name("Data\\readme"), written));
    FILETIME time{};
    ASSERT_TRUE(man.GetFileTime("README", &time));
    EXPECT_EQ(UnixNanosecondsFromFileTime(time), written);
    EXPECT_FALSE(man.GetFileTime("missing", &time));
}

TEST_F(TFileManTest, BindingFailuresLeaveTheManagerUnbound)
{
    ASSERT_TRUE(man.InitDir(folder.Name("Data")));
    EXPECT_FALSE(man.InitPack(folder.Name("missing.pak")));
    EXPECT_FALSE(man.FileIsExist("readme")) << "the old binding was finished first";
    EXPECT_EQ(man.Open("readme"), nullptr);
    folder.Write("junk.pak", {1, 2, 3});
    EXPECT_FALSE(man.InitPack(folder.Name("junk.pak")));
    EXPECT_EQ(man.Pack(), nullptr);
    EXPECT_FALSE(man.InitPack(static_cast<TXePack*>(nullptr)));
}

TEST_F(TFileManTest, BindsToAStreamOrAnArchiveMadeElsewhere)
{
    TMemoryStream stream;
    stream.LoadFromFile(folder.Name("Data.pak"));
    ASSERT_TRUE(man.InitPack(&stream));
    EXPECT_TRUE(man.FileIsExist("script.dat"));

    auto pack = std::make_unique<TXePack>(nullptr);
    ASSERT_TRUE(pack->LoadPack(folder.Name("Data.pak").c_str()));
    ASSERT_TRUE(man.InitPack(pack.get()));
    EXPECT_TRUE(man.FileIsExist("title.png"));
    pack.reset(); // destroyed elsewhere: the manager lets go of it
    EXPECT_FALSE(man.ChkIsPack());
    EXPECT_EQ(man.Open("title.png"), nullptr);
    EXPECT_FALSE(man.FileIsExist("title.png"));
}

TEST_F(TFileManTest, FinishLeavesTheRecordOfOpenStreams)
{
    ASSERT_TRUE(man.InitPack(folder.Name("Data.pak")));
    TStream* stream = man.Open("title.png");
    ASSERT_NE(stream, nullptr);
    man.Finish();
    EXPECT_FALSE(man.ChkIsPack());
    EXPECT_EQ(man.Pointers().size(), 1u);
    EXPECT_EQ(Contents(*stream), (Bytes{1, 2, 3})) << "a pack stream holds its own bytes";
    man.Close(stream);
}

TEST(TFileMan, ReportsStreamsLeftOpenLastFirst)
{
    ScratchFolder folder;
    folder.Write("a.txt", {1});
    folder.Write("b.txt", {2});
    std::vector<std::string> errors;
    std::vector<TStream*> leftOpen;
    Messages messages;
    {
        TFileMan man(nullptr);
        man.InitDir(folder.Name());
        man.OnError = [&](TObject*, const AnsiString& message) {
            errors.push_back(message);
            if (errors.size() == 1)
                throw Exception("handler failed");
        };
        leftOpen.push_back(man.Open("a.txt"));
        leftOpen.push_back(man.Open("b.txt"));
        ASSERT_EQ(man.Pointers().size(), 2u);
    }
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(HasAddress(errors[0], "NotClose " + Hex(leftOpen[1]) + ":Call(", ")")) << errors[0];
    EXPECT_TRUE(HasAddress(errors[1], "NotClose " + Hex(leftOpen[0]) + ":Call(", ")")) << errors[1];
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"handler failed"}));
    for (TStream* stream : leftOpen)
        delete stream; // the manager does not destroy what it reports
}

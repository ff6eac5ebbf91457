#include "songgame/stage/StageScript.h"
#include "songgame/stage/StagePictures.h"

#include "songgame/RecordingSongDevice.h"
#include "songgame/SongTree.h"

#include "shell/ShellTestSupport.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/StringList.h"
#include "shell/helpers/VolumeCurve.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char* const Headers = "[Load]\n[Init]\n[Before]\n[Perform]\n[After]\n";

// A song-data folder "data" with a stage script read into a pool.
class StageScriptRead : public ::testing::Test {
protected:
    StageScriptRead() { files.InitDir("data"); }

    bool Read(const std::string& text)
    {
        tree.WriteText("data\\Anime.txt", text);
        return script.Read(context, resources);
    }
    // "[Load]" lines, then the timed sections with `perform` as [Perform].
    bool ReadPerform(const std::string& perform, const std::string& load = "")
    {
        return Read("[Load]\n" + load + "[Init]\n[Before]\n[Perform]\n" + perform + "[After]\n");
    }
    std::vector<std::int32_t> Entry(std::int32_t index) const
    {
        const auto words = script.EntryAt(index);
        return {words.begin(), words.end()};
    }

    shelltest::ScopedGlobals globals;
    songtest::SongTree tree;
    TFileMan files{nullptr};
    songtest::RecordingSongDevice device;
    StageLoadContext context{files, &device, 80};
    StageResources resources;
    std::vector<std::int32_t> pool = std::vector<std::int32_t>(StagePoolWords);
    StageScript script{pool};
};

class RecordingActions : public StageActions {
public:
    void ChangeBackground(int slot, int number) override { Log("BG " + std::to_string(slot) + " " + std::to_string(number)); }
    void StartAnimation(int slot, int number) override { Log("ANIM " + std::to_string(slot) + " " + std::to_string(number)); }
    void SetCharacterPicture(int c, int entry) override { Log("CHAR " + std::to_string(c) + " " + std::to_string(entry)); }
    void SetCharacterSecondPicture(int c, int entry) override { Log("CINT " + std::to_string(c) + " " + std::to_string(entry)); }
    void PlaceCharacter(int c, int x, int y, int move) override
    {
        Log("POS " + std::to_string(c) + " " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(move));
    }
    void PlayEffect(int slot) override { Log("WAVE " + std::to_string(slot)); }
    std::vector<std::string> log;

private:
    void Log(std::string line) { log.push_back(std::move(line)); }
};

} // namespace

TEST_F(StageScriptRead, EmptySections)
{
    ASSERT_TRUE(Read(Headers));
    for (int n = 0; n < 4; ++n) {
        script.SetSection(n);
        EXPECT_EQ(script.Pointer(), -1) << n;
        EXPECT_EQ(script.EntryTime(), 0);
    }
    EXPECT_EQ(resources.tempo, 120);
}

TEST_F(StageScriptRead, HeaderStateMachine)
{
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"ignored before\n[Load]\n[Init]\n[Before]\n[Perform]\n[After]\n", true},
        {"[Load]//loading\n[Init]\n[Before]\n[Perform]\n[After]// end\n", true},
        {"[Init]\n[Load]\n[Before]\n[Perform]\n[After]\n", false},
        {"[Load]\n[Load]\n[Init]\n[Before]\n[Perform]\n[After]\n", false},
        {"[Load]\n[Init]\n[Before]\n[Perform]\n", false},
        {"[Load] //c\n[Init]\n[Before]\n[Perform]\n[After]\n", false},
        {" [Load]\n[Init]\n[Before]\n[Perform]\n[After]\n", false},
        {"[Load]\n[Init]\n[Before]\n[Perform]\n[After] \n", false},
        {"[Load]\n[Init]\n[Other]\n[Before]\n[Perform]\n[After]\n", false},
        {"[Load]\n[Init]\n[Before]\n[Perform]\n[After]\n[After]\n", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.text), c.ok) << c.text;
    tree.WriteText("data\\Other.txt", "");
    std::filesystem::remove(tree.Native("data\\Anime.txt"));
    EXPECT_FALSE(script.Read(context, resources)) << "no file";
}

TEST_F(StageScriptRead, EntryWordTable)
{
    struct Case {
        const char* line;
        std::vector<std::int32_t> words;
        bool ok;
    };
    const Case cases[] = {
        {"12.5,WAVE,3", {4, 12500, 6, 3}, true},
        {"3,POS01,0,100", {7, 3000, 5, 1, 0, 100, 0}, true},
        {"3,pos02,5,6,7", {7, 3000, 5, 2, 5, 6, 7}, true},
        {"1,BGPIC,2", {5, 1000, 1, 2, 0}, true},
        {"1,BGPIC,2,x", {5, 1000, 1, 2, 0}, true},
        {"1,BGANIM,1,4", {5, 1000, 2, 1, 4}, true},
        {"1.001,CHAR02,5", {5, 1001, 3, 2, 5}, true},
        {"1,CINT03,4", {5, 1000, 4, 3, 4}, true},
        {"1,END", {3, 1000, 7}, true},
        {"1,FOO,1", {3, 1000, 0}, false},
        {"1,POS1,0,0", {3, 1000, 0}, false},
        {"1,CHAR0A,1", {3, 1000, 0}, false},
        {"1,WAVE,x", {4, 1000, 6, 0}, false},
        {"1,POS01,1", {7, 1000, 5, 1, 1, 0, 0}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadPerform(std::string(c.line) + "\n"), c.ok) << c.line;
        script.SetSection(ssPerform);
        EXPECT_EQ(Entry(script.Pointer()), c.words) << c.line;
        EXPECT_EQ(script.WriteIndex(), static_cast<std::int32_t>(c.words.size())) << c.line;
    }
}

TEST_F(StageScriptRead, SectionsAndInitTimes)
{
    ASSERT_TRUE(Read("[Load]\n[Init]\n5,WAVE,1\n,WAVE,2\n[Before]\n2,END\n[Perform]\n[After]\n1,BGPIC,0\n2,BGPIC,1\n"));
    script.SetSection(ssInit);
    EXPECT_EQ(Entry(script.Pointer()), (std::vector<std::int32_t>{4, 0, 6, 1})) << "[Init] times are 0; an empty time skips";
    script.SetSection(ssBefore);
    EXPECT_EQ(script.Pointer(), 4);
    EXPECT_EQ(script.EntryTime(), 2000);
    script.SetSection(ssPerform);
    EXPECT_EQ(script.Pointer(), -1);
    script.SetSection(ssAfter);
    EXPECT_EQ(script.Pointer(), 7);
    EXPECT_EQ(script.SectionEnd(ssAfter), 17);
    script.SetSection(4);
    EXPECT_EQ(script.Pointer(), -1);
}

TEST_F(StageScriptRead, PoolFull)
{
    std::string perform;
    for (int i = 0; i < 2341; ++i) // 2,340 entries of 7 words end at 16,380, past the last start
        perform += "1,POS00,0,0,0\n";
    EXPECT_FALSE(ReadPerform(perform));
    EXPECT_EQ(script.WriteIndex(), 2340 * 7);
    perform.clear();
    for (int i = 0; i < 2340; ++i)
        perform += "1,POS00,0,0,0\n";
    EXPECT_TRUE(ReadPerform(perform)) << "the last entry may start at 16,373";
}

TEST_F(StageScriptRead, DoAnimeEntryWalkAndPerformanceSkips)
{
    ASSERT_TRUE(ReadPerform("1,BGPIC,3,1\n1,BGANIM,2,0\n1,CHAR01,4\n1,CINT01,5\n1,POS01,10,20,30\n"
                            "1,WAVE,2\n1,WAVE,9\n1,BGPIC,40\n1,END\n1,WAVE,0\n"));
    struct Case {
        StageConditions conditions;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {{true, true, true}, {"BG 3 1", "ANIM 2 0", "CHAR 1 4", "CINT 1 5", "POS 1 10 20 30", "WAVE 2"}},
        {{false, true, true}, {"CHAR 1 4", "CINT 1 5", "POS 1 10 20 30", "WAVE 2"}},
        {{true, false, true}, {"BG 3 1", "ANIM 2 0", "WAVE 2"}},
        {{false, false, false}, {"BG 3 1", "ANIM 2 0", "CHAR 1 4", "CINT 1 5", "POS 1 10 20 0", "WAVE 2"}},
    };
    for (const Case& c : cases) {
        RecordingActions actions;
        script.SetSection(ssPerform);
        int steps = 0;
        while (script.Pointer() >= 0 && steps < 20) {
            script.DoAnimeEntry(ssPerform, c.conditions, actions);
            ++steps;
        }
        EXPECT_EQ(actions.log, c.log);
        EXPECT_EQ(steps, 9) << "the walk stops at END, slots out of range passed over";
    }
    RecordingActions actions;
    script.SetSection(ssPerform);
    script.DoAnimeEntry(ssBefore, {}, actions);
    EXPECT_EQ(script.Pointer(), -1) << "a pointer past the end of the section given";
    script.SetSection(ssPerform);
    script.DoAnimeEntry(7, {}, actions);
    EXPECT_EQ(script.Pointer(), -1);
    script.DoAnimeEntry(ssPerform, {}, actions);
    EXPECT_TRUE(actions.log.empty());
}

TEST(StagePictures, NamePatterns)
{
    struct Case {
        const char* text;
        std::vector<AnsiString> names;
    };
    const Case cases[] = {
        {"bg[1-3].png", {"bg1.png", "bg2.png", "bg3.png"}},
        {"a[15]", {"a1", "a5"}},
        {"a[1-3x]", {"a1", "a2", "a3", "ax"}},
        {"plain.png", {"plain.png"}},
        {"a[]b", {"a[]b"}},
        {"a[1]", {"a1"}},
        {"a]b[", {"a]b["}},
        {"a[-3]", {"a-", "a3"}},
        {"a[3-]", {"a3", "a-"}},
        {"a[3-1]", {"a3"}},
        {"[a-z]", {"a", "b", "c", "d", "e", "f", "g", "h"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandNamePattern(c.text, 8), c.names) << c.text;
}

TEST_F(StageScriptRead, CharacterFramesFromGeneratedStrips)
{
    tree.Write("data\\c10.png", songtest::Png(64, 960));
    tree.Write("data\\c25.png", songtest::Png(64, 2400, true));
    tree.Write("data\\narrow.png", songtest::Png(40, 960));
    tree.Write("data\\short.png", songtest::Png(64, 90));
    ASSERT_TRUE(ReadPerform("", "CHAR00,0,c10.png,turn,3,0,5\nCHAR01,31,c25.png\nCERR02,c10.png,Round\n"
                                "CHAR03,32,c10.png\nCHAR04,0,c10.png\n"));
    const PictureEntry& ten = resources.characters[0].entries[0];
    EXPECT_EQ(ten.frameCount, 10);
    EXPECT_EQ(ten.playMode, pepTurn);
    EXPECT_EQ(ten.columns, 1);
    EXPECT_EQ(ten.rows, 10);
    EXPECT_EQ(ten.cells[9], 9);
    EXPECT_EQ((std::vector<int>(ten.durations.begin(), ten.durations.begin() + 4)), (std::vector<int>{3, 1, 5, 8}));
    const PictureEntry& capped = resources.characters[1].entries[31];
    EXPECT_EQ(capped.frameCount, 24) << "25 rows, capped";
    EXPECT_NE(capped.mask, nullptr);
    EXPECT_EQ(capped.playMode, pepPlain);
    EXPECT_EQ(resources.characters[2].miss.playMode, pepRound);
    EXPECT_EQ(resources.characters[3].entries[0].picture, nullptr) << "entry 32 is out of range";

    for (const char* line : {"CHAR00,0,narrow.png\n", "CHAR00,0,short.png\n", "CHAR00,0,none.png\n", "CERR00,bad.txt\n"}) {
        EXPECT_FALSE(ReadPerform("", line)) << line;
        EXPECT_EQ(resources.characters[0].entries[0].frameCount, 0) << line;
    }
    EXPECT_FALSE(ReadPerform("1,END\n", "CHAR00,0,c10.png,off,x\n")) << "a bad number fails at once";
    EXPECT_EQ(script.WriteIndex(), 0);
    resources.Free(files);
    EXPECT_EQ(resources.characters[1].entries[31].picture, nullptr);
}

TEST_F(StageScriptRead, DefinitionFileTiming)
{
    tree.Write("data\\sheet.png", songtest::Png(128, 96));
    tree.WriteText("data\\def.txt", "// a definition\n\nsheet.png,32,48,On\n0,T60\n1,S500\n2,5\n3,T1\n7,S\n8,T60\n");
    tree.WriteText("data\\bad.txt", "sheet.png,32,48,on\n0,Tx\n");
    tree.WriteText("data\\cell.txt", "sheet.png,0,48,on\n");
    tree.WriteText("data\\big.txt", "sheet.png,200,48,on\n");
    ASSERT_TRUE(ReadPerform("", "TEMPO,0\nECHAR00,1,def.txt\nTEMPO,60\nECHAR01,2,def.txt\nECERR03,def.txt\n"));
    const PictureEntry& at120 = resources.characters[0].entries[1];
    EXPECT_EQ(at120.playMode, pepPlain);
    EXPECT_EQ(at120.columns, 4);
    EXPECT_EQ(at120.rows, 2);
    ASSERT_EQ(at120.frameCount, 5) << "cell 8 is outside the 8 cells";
    EXPECT_EQ((std::vector<int>(at120.durations.begin(), at120.durations.begin() + 5)), (std::vector<int>{15, 15, 1, 1, 1}));
    EXPECT_EQ(at120.cells[4], 7);
    EXPECT_EQ(resources.characters[1].entries[2].durations[0], 30) << "tempo 60";
    EXPECT_EQ(resources.tempo, 60);
    EXPECT_EQ(resources.characters[3].miss.frameCount, 5);

    for (const char* line : {"ECHAR00,0,bad.txt\n", "ECHAR00,0,cell.txt\n", "ECHAR00,0,big.txt\n", "ECHAR00,0,none.txt\n"}) {
        EXPECT_FALSE(ReadPerform("", line)) << line;
        EXPECT_EQ(resources.characters[0].entries[0].picture, nullptr) << line;
        EXPECT_EQ(resources.characters[0].entries[0].frameCount, 0) << line;
    }
}

TEST_F(StageScriptRead, BackgroundsAnimationsAndEffects)
{
    tree.Write("data\\bg1.png", songtest::Png(8, 8));
    tree.Write("data\\bg2.png", songtest::Png(8, 8));
    tree.Write("data\\Back.Jpg", {1, 2, 3});
    tree.WriteText("data\\se.wav", "RIFFwave");
    tree.WriteText("data\\se.Ogg", "OggSdata");
    tree.WriteText("data\\bad.wav", "bad data");
    ASSERT_TRUE(ReadPerform("", "BGPIC,0,bg1.png\nBGPIC,31,Back.Jpg\nBGPIC,32,bg1.png\nBGANIM,7,bg[1-2].png,4\n"
                                "WAVE,0,se.wav\nWAVE,7,se.Ogg\nWAVE,8,se.wav\nOTHER,1\n"));
    EXPECT_EQ(resources.backgrounds[0].format, spfPng);
    EXPECT_NE(resources.backgrounds[0].stream, nullptr);
    EXPECT_EQ(resources.backgrounds[31].format, spfJpeg);
    const BackgroundAnimation& animation = resources.animations[7];
    EXPECT_EQ(animation.frameCount, 2);
    EXPECT_EQ(animation.durations[0], 4);
    EXPECT_EQ(animation.durations[1], 10);
    ASSERT_EQ(device.made.size(), 2u);
    EXPECT_EQ(device.made[0]->kind, SongSoundKind::Wave);
    EXPECT_EQ(device.made[1]->kind, SongSoundKind::Ogg);
    EXPECT_EQ(device.made[1]->volumes, std::vector<std::int32_t>{VolumeToAttenuation(80)});
    EXPECT_EQ(files.Pointers().size(), 4u) << "the pictures stay open, the sounds' files are closed";

    for (const char* load : {"BGPIC,1,none.png\n", "BGPIC,1,se.wav\n", "BGANIM,0,bg[1-3].png\n", "WAVE,1,bad.wav\n", "WAVE,1,none.wav\n"})
        EXPECT_FALSE(ReadPerform("1,END\n", load)) << load;
    EXPECT_EQ(resources.animations[0].frameCount, 2) << "the frames up to the missing one";
    EXPECT_EQ(script.WriteIndex(), 3) << "a failed resource fails the read at its end";

    resources.Free(files);
    EXPECT_TRUE(files.Pointers().empty());
    EXPECT_TRUE(device.made[0]->deleted);
}

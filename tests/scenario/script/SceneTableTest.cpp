// SceneTable and SpeakerTable: a good table, every fault with its exact text, duplicates, speakers.
#include "scenario/script/SceneTable.h"
#include "scenario/script/SpeakerTable.h"

#include "ScriptTestSupport.h"
#include "base/packs/TFileMan.h"
#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"
#include "scenario/ScenarioTestSupport.h"

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

class SceneTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(files_.InitDir(folder_.Name())); }
    void Write(const char* name, const Bytes& bytes) { ScenarioTest::WriteBytes(folder_ / name, bytes); }
    // The text the load raised, or "" when it loaded.
    std::string LoadError()
    {
        try {
            table_.Load(files_);
            return "";
        } catch (const Exception& e) {
            return e.Message;
        }
    }

    ScenarioTest::TempFolder folder_;
    TFileMan files_{nullptr};
    SceneTable table_;
};

TEST_F(SceneTableTest, ReadsEntriesAndTheFirstOfDuplicateNamesWins)
{
    Write("Scene.tbl", SceneTableBytes({{3, 0, "start", 401, 930, 410, 1800}, {4, 25, "next"}, {5, 50, "start"}}));
    ASSERT_EQ(LoadError(), "");
    EXPECT_TRUE(table_.IsLoaded());
    const SceneEntry* start = table_.Find("start");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->script, 3u);
    EXPECT_EQ(start->startDate, 401);
    EXPECT_EQ(start->startTime, 930);
    EXPECT_EQ(start->limitDate, 410);
    EXPECT_EQ(start->limitTime, 1800);
    ASSERT_NE(table_.Find("next"), nullptr);
    EXPECT_EQ(table_.Find("next")->block, 25u);
    EXPECT_EQ(table_.Find("Start"), nullptr);
    EXPECT_EQ(table_.Size(), 3u);
}

TEST_F(SceneTableTest, EveryFaultRaisesItsText)
{
    const Bytes good = SceneTableBytes({{3, 0, "start"}, {4, 0, "next"}});
    const std::string open = CodePage::FromUtf8("Scene.tblが開けません。");
    const std::string bad = CodePage::FromUtf8("Scene.tblが不正です。");
    const std::string shortRead = CodePage::FromUtf8("Scene.tblのシーン読込みに失敗しました。");
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    const struct {
        const char* what;
        std::optional<Bytes> file;
        std::string text;
    } cases[] = {
        {"missing", std::nullopt, open},
        {"short magic", Bytes{'T', 'V'}, bad},
        {"wrong magic", with([](Bytes& b) { b[3] = 'X'; }), bad},
        {"no count", Bytes{'T', 'V', 'Q', 'E', 0, 0, 0, 0}, bad},
        {"block past the end", with([](Bytes& b) { Set32(b, 4, 0x7FFFFFF0); }), shortRead},
        {"more entries than the block holds", with([](Bytes& b) { Set32(b, 8, 3); }), bad},
        {"entry length past the block", with([](Bytes& b) { b[12] = 200; }), bad},
        {"entry length too small", with([](Bytes& b) { b[12] = 22; }), bad},
        {"name not terminated in its entry", with([](Bytes& b) { b[12 + 27] = 'x'; }), bad},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(folder_ / "Scene.tbl");
        if (c.file)
            Write("Scene.tbl", *c.file);
        EXPECT_EQ(LoadError(), c.text) << c.what;
        EXPECT_FALSE(table_.IsLoaded()) << c.what;
        EXPECT_EQ(table_.Find("start"), nullptr) << c.what;
    }
    EXPECT_TRUE(files_.Pointers().empty());
}

TEST_F(SceneTableTest, SpeakerRowsOutsideTheTableAreSkippedAndLaterRowsWin)
{
    SpeakerTable speakers;
    speakers.Load(files_);
    EXPECT_EQ(speakers.SpeakerOf(5), SpeakerTable::None);
    // Every data row counts, the first included; rows not marked "#" and those after "!" do not.
    const std::string csv = "#,#,#\n#,3,9\n#,5,7\nx,6,6\n#,1000,1\n#,-1,2\n#,999,4\n#,5,8\n!\n#,7,7\n";
    Write("SpeakTbl.csv", Bytes(csv.begin(), csv.end()));
    speakers.Load(files_);
    EXPECT_EQ(speakers.SpeakerOf(3), 9);
    EXPECT_EQ(speakers.SpeakerOf(6), SpeakerTable::None);
    EXPECT_EQ(speakers.SpeakerOf(7), SpeakerTable::None);
    EXPECT_EQ(speakers.SpeakerOf(5), 8);
    EXPECT_EQ(speakers.SpeakerOf(999), 4);
    EXPECT_EQ(speakers.SpeakerOf(0), SpeakerTable::None);
    EXPECT_EQ(speakers.SpeakerOf(1000), SpeakerTable::None);
    EXPECT_EQ(speakers.SpeakerOf(-1), SpeakerTable::None);
    EXPECT_TRUE(files_.Pointers().empty());
}

} // namespace

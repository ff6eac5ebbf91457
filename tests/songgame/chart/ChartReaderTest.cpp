#include "songgame/chart/ChartReader.h"

#include "songgame/SongTree.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/StringList.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// The song screen's stores for one read.
struct Chart {
    std::unique_ptr<std::array<TMusicNote, MaxNotes>> notes = std::make_unique<std::array<TMusicNote, MaxNotes>>();
    std::unique_ptr<std::array<char, TextPoolSize>> pool = std::make_unique<std::array<char, TextPoolSize>>();
    ChartStore store{*notes, *pool};
    std::vector<AnsiString> keys{"CLAP.WAV", "DRUM.OGG", "BELL"};
    ChartOptions options{keys, RankNormal, 0, 111};

    bool Read(const std::string& text)
    {
        TStringList lines;
        lines.SetText(text);
        return ReadChartLines(lines, options, store);
    }
    const TMusicNote& operator[](int i) const { return (*notes)[static_cast<std::size_t>(i)]; }
    std::string Text(int i) const { return (*this)[i].text < 0 ? "<none>" : std::string(pool->data() + (*this)[i].text); }
};

} // namespace

TEST(ChartReader, LineTable)
{
    struct Case {
        const char* line;
        int version;
        std::uint32_t time;
        int value, sound, lane;
        const char* text;
    };
    const Case cases[] = {
        {"1000,1,CLAP,a,Hi", 110, 1000, 1000, 0, 0, "Hi"},
        {"1000,1,CLAP,a,Hi, there,", 111, 1000, 1000, 0, 0, "Hi, there"},
        {"1000,1,CLAP,a,Hi, there,", 110, 1000, 1000, 0, 0, "Hi"},
        {"1000,1,CLAP,a, spaced ,,", 111, 1000, 1000, 0, 0, " spaced ,"},
        {"0,0,@,", 111, 1, 1, -1, -1, ""},
        {"5,2.5,@,lyric, more", 111, 5, 2500, -1, -1, "lyric, more"},
        {"5,2.5,@,lyric, more", 110, 5, 2500, -1, -1, "lyric"},
        {"7,1,drum,;", 111, 7, 1000, 1, 7, "<none>"},
        {"7,1,bell,+", 111, 7, 1000, 2, 7, "<none>"},
        {"7,1,NOSUCH,a,text", 111, 7, 1000, -1, -1, "text"},
        {"7,1,CLAP,,text", 111, 7, 1000, -1, -1, "text"},
        {"7,1,CLAP,1,", 111, 7, 1000, -1, -1, "<none>"},
        {"7,1,CLAP.WAV,a", 111, 7, 1000, -1, -1, "<none>"},
        {"8,1,CLAP,g", 111, 8, 1000, 0, 3, "<none>"},
        {"8,1,CLAP,t", 111, 8, 1000, 0, 3, "<none>"},
        {" 9 , 1 , clap , Z ", 111, 9, 1000, 0, 0, "<none>"},
    };
    for (const Case& c : cases) {
        Chart chart;
        chart.options.version = c.version;
        ASSERT_TRUE(chart.Read(c.line)) << c.line;
        ASSERT_EQ(chart.store.count, 1) << c.line;
        EXPECT_EQ(chart[0].time, c.time) << c.line;
        EXPECT_EQ(chart[0].value, c.value) << c.line;
        EXPECT_EQ(chart[0].sound, c.sound) << c.line;
        EXPECT_EQ(chart[0].lane, c.lane) << c.line;
        EXPECT_EQ(chart.Text(0), c.text) << c.line;
        EXPECT_EQ(chart[0].state, 0);
        EXPECT_EQ(chart[1].time, NoteTimeEnd);
    }
}

TEST(ChartReader, HardKeepsThirtyLanes)
{
    Chart chart;
    chart.options.rankMode = RankHard;
    ASSERT_TRUE(chart.Read("1,1,CLAP,g\n2,1,CLAP,t\n3,1,CLAP,n\n4,1,CLAP,?"));
    EXPECT_EQ(chart[0].lane, 8);
    EXPECT_EQ(chart[1].lane, 18);
    EXPECT_EQ(chart[2].lane, 29);
    EXPECT_EQ(chart[3].lane, 27);
}

TEST(ChartReader, FlagsByPlayModeAndDifficulty)
{
    struct Case {
        int rank, autoMode;
        const char* autoPlay;   // per lane 0..7
        const char* autoByRank;
    };
    const Case cases[] = {
        {RankNormal, 0, "00000000", "00000000"}, {RankHard, 0, "00000000", "00000000"},
        {RankEasy, 0, "11000011", "11000011"},   {RankEasy, 1, "11111111", "00000000"},
        {RankNormal, 2, "11111111", "00000000"}, {RankHard, 1, "11111111", "00000000"},
    };
    for (const Case& c : cases) {
        Chart chart;
        chart.options.rankMode = c.rank;
        chart.options.autoMode = c.autoMode;
        ASSERT_TRUE(chart.Read("1,1,CLAP,a\n1,1,CLAP,s\n1,1,CLAP,d\n1,1,CLAP,f\n1,1,CLAP,j\n1,1,CLAP,k\n1,1,CLAP,l\n1,1,CLAP,;\n"
                               "1,1,CLAP,1\n1,1,@,x"));
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(chart[i].autoPlay, c.autoPlay[i] - '0') << "rank " << c.rank << " auto " << c.autoMode << " lane " << i;
            EXPECT_EQ(chart[i].autoByRank, c.autoByRank[i] - '0') << "rank " << c.rank << " auto " << c.autoMode << " lane " << i;
        }
        for (int i = 8; i < 10; ++i)
            EXPECT_EQ(chart[i].autoPlay + chart[i].autoByRank, 0) << "no playable note, no flags";
    }
}

TEST(ChartReader, SkipsAndFailures)
{
    struct Case {
        const char* text;
        bool ok;
        int count;
    };
    const Case cases[] = {
        {"#comment\n\n1,1,CLAP,a", true, 1},
        {" #not a comment\n1,1,CLAP,a", false, 0},
        {"1,1,CLAP,a\nx,1,CLAP,a\n2,1,CLAP,a", false, 1},
        {"1,1,CLAP,a\n   \n2,1,CLAP,a", false, 1},
        {"1,1,CLAP,a\n-5,1,CLAP,a", false, 1},
        {"4294967295,1,CLAP,a", false, 0},
        {"", true, 0},
    };
    for (const Case& c : cases) {
        Chart chart;
        EXPECT_EQ(chart.Read(c.text), c.ok) << c.text;
        EXPECT_EQ(chart.store.count, c.count) << c.text;
    }
}

TEST(ChartReader, RecordLimit)
{
    for (const int lines : {1023, 1024, 1100}) {
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += std::to_string(i + 1) + ",1,@,\n";
        Chart chart;
        EXPECT_EQ(chart.Read(text), lines == 1023) << lines;
        EXPECT_EQ(chart.store.count, std::min(lines, 1024)) << lines;
        EXPECT_EQ(chart[1023].time, lines == 1023 ? NoteTimeEnd : 1024u);
    }
}

TEST(ChartReader, PoolOverflow)
{
    // 31 texts of 1,023 bytes and their zeros fill 31,744 bytes; a text leaving the pool at 32,767 or
    // more fails, uncounted; an empty lyric of a text line still needs one byte below 32,767.
    const std::string kilo(1023, 'x');
    std::string text;
    for (int i = 0; i < 31; ++i)
        text += "1,1,@," + kilo + "\n";
    Chart fits;
    ASSERT_TRUE(fits.Read(text + "1,1,@," + std::string(1022, 'y') + "\n1,1,CLAP,a,\n"));
    EXPECT_EQ(fits.store.poolUsed, 32767);
    EXPECT_EQ(fits.store.count, 33);
    EXPECT_EQ(fits[32].text, -1) << "an empty lyric of a note takes no room";

    Chart full;
    EXPECT_FALSE(full.Read(text + "1,1,@," + std::string(1023, 'y') + "\n"));
    EXPECT_EQ(full.store.count, 31);

    Chart emptyLyric;
    EXPECT_FALSE(emptyLyric.Read(text + "1,1,@," + std::string(1022, 'y') + "\n1,1,@,\n"));
    EXPECT_EQ(emptyLyric.store.count, 32);
}

TEST(ChartReader, RereadStartsOver)
{
    Chart chart;
    ASSERT_TRUE(chart.Read("1,1,CLAP,a,one\n2,1,CLAP,a,two"));
    chart.options.rankMode = RankEasy;
    ASSERT_TRUE(chart.Read("3,1,@,three"));
    EXPECT_EQ(chart.store.count, 1);
    EXPECT_EQ(chart[0].text, 0);
    EXPECT_EQ(chart.Text(0), "three");
    EXPECT_EQ(chart[1].time, NoteTimeEnd);
}

TEST(ChartReader, ReadsSongTxtOfTheSongData)
{
    songtest::SongTree tree;
    tree.WriteText("data\\Song.txt", "100,1,CLAP,a,Hi\r\n200,1,@,Lyric\r\n");
    TFileMan files(nullptr);
    ASSERT_TRUE(files.InitDir("data"));
    Chart chart;
    ASSERT_TRUE(ReadChart(files, chart.options, chart.store));
    EXPECT_EQ(chart.store.count, 2);
    EXPECT_EQ(chart.Text(1), "Lyric");
    EXPECT_TRUE(files.Pointers().empty()) << "the chart's stream is closed";

    TFileMan empty(nullptr);
    ASSERT_TRUE(empty.InitDir("nothing"));
    EXPECT_FALSE(ReadChart(empty, chart.options, chart.store));
}

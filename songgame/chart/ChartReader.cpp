#include "songgame/chart/ChartReader.h"

#include "songgame/chart/ChartFields.h"
#include "songgame/chart/KeyLanes.h"

#include "base/packs/TFileMan.h"
#include "base/util/TXeHashTable.h"
#include "platform/classes/Exception.h"
#include "platform/classes/StringList.h"
#include "shell/helpers/OpenedFile.h"

#include <algorithm>
#include <cstring>

namespace {

// From this version on a lyric is the rest of the line; before it, one more field.
constexpr int WholeLineLyricVersion = 111;

// The key-sound names without extension, each under its index.
TXeHashTable KeyNameTable(std::span<const AnsiString> keyNames)
{
    TXeHashTable table(static_cast<int>(keyNames.size()));
    AnsiString base;
    AnsiString ext;
    for (std::size_t i = 0; i < keyNames.size(); ++i) {
        SplitFileExt(keyNames[i], base, ext);
        table.SetData(static_cast<int>(i), base.c_str());
    }
    return table;
}

void SetFlags(TMusicNote& note, const ChartOptions& options)
{
    if (options.autoMode != 0)
        note.autoPlay = 1;
    else if (options.rankMode == RankEasy)
        note.autoPlay = (note.lane < 2 || note.lane > 5) ? 1 : 0;
    note.autoByRank = (options.autoMode == 0 && note.autoPlay == 1) ? 1 : 0;
}

// Copies the text with its zero into the pool; false when it does not fit.
bool StoreText(ChartStore& store, const AnsiString& text, bool keepEmpty, std::int32_t& offset)
{
    offset = -1;
    if (text.empty() && !keepEmpty)
        return true;
    if (static_cast<std::size_t>(store.poolUsed) + text.size() >= TextPoolSize - 1u)
        return false;
    std::memcpy(store.pool.data() + store.poolUsed, text.c_str(), text.size() + 1);
    offset = store.poolUsed;
    store.poolUsed += static_cast<int>(text.size()) + 1;
    return true;
}

// The lyric: one more field before the whole-line version, else the rest less one final comma.
AnsiString LyricOf(AnsiString& rest, int version)
{
    if (version < WholeLineLyricVersion)
        return TrimField(rest);
    if (!rest.empty() && rest.back() == ',')
        rest.pop_back();
    return rest;
}

// Fills one record from a line; false when the line stops the read. Raises EConvertError for a
// time that is not a whole number.
bool ReadRecord(AnsiString rest, const TXeHashTable& keys, const ChartOptions& options, ChartStore& store)
{
    TMusicNote note{};
    const int time = StrToInt(TrimField(rest));
    if (time < 0)
        return false; // the end mark's bit pattern is no time
    note.time = time == 0 ? 1 : static_cast<std::uint32_t>(time);
    const int value = ParseFixed3(TrimField(rest));
    note.value = value == 0 ? 1 : value;
    const AnsiString soundName = TrimField(rest);
    const bool textLine = soundName == "@";
    note.sound = -1;
    note.lane = -1;
    if (!textLine) {
        note.sound = keys.Search(UpperCase(soundName).c_str());
        const AnsiString key = TrimField(rest);
        if (!key.empty()) {
            note.lane = KeyToLane(static_cast<unsigned char>(key[0]));
            if (options.rankMode != RankHard)
                note.lane = FoldLane(note.lane);
        }
        if (note.sound < 0 || note.lane < 0)
            note.sound = note.lane = -1;
        else
            SetFlags(note, options);
    }
    if (!StoreText(store, LyricOf(rest, options.version), textLine, note.text))
        return false;
    store.notes[static_cast<std::size_t>(store.count)] = note;
    return ++store.count < MaxNotes;
}

} // namespace

bool ReadChartLines(const TStringList& lines, const ChartOptions& options, ChartStore& store)
{
    if (store.notes.size() < MaxNotes || store.pool.size() < TextPoolSize)
        return false;
    for (TMusicNote& note : store.notes.first(MaxNotes))
        note.time = NoteTimeEnd;
    store.count = 0;
    store.poolUsed = 0;
    const TXeHashTable keys = KeyNameTable(options.keyNames);
    try {
        for (int i = 0; i < lines.Count(); ++i) {
            const AnsiString& line = lines[i];
            if (line.empty() || line[0] == '#')
                continue;
            if (!ReadRecord(line, keys, options, store))
                return false;
        }
    } catch (const EConvertError&) {
        return false;
    }
    return true;
}

bool ReadChart(TFileMan& songFiles, const ChartOptions& options, ChartStore& store)
{
    TStringList lines;
    {
        const OpenedFile file(&songFiles, "Song.txt");
        if (file.get() == nullptr)
            return false;
        lines.LoadFromStream(*file.get());
    }
    return ReadChartLines(lines, options, store);
}

#include "songgame/stage/StagePictures.h"

#include "songgame/chart/ChartFields.h"

#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Exception.h"
#include "platform/classes/StringList.h"
#include "shell/helpers/OpenedFile.h"
#include "shell/helpers/PictureLoading.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr int CellWidth = 64;
constexpr int CellHeight = 96;
constexpr std::int32_t LineDuration = 8;
constexpr int FramesPerSecond = 30;

// Loads the picture and its mask into the entry; false (entry empty) when it does not load or is
// smaller than one cell, so no cell is ever read outside the picture.
bool LoadEntryPicture(TFileMan& files, const AnsiString& fileName, int cellWidth, int cellHeight, PictureEntry& entry)
{
    StageResources::FreeEntry(entry);
    if (cellWidth < 1 || cellHeight < 1 || !LoadImageFile(&entry.picture, &entry.mask, fileName, &files))
        return false;
    if (entry.picture->Width() < cellWidth || entry.picture->Height() < cellHeight) {
        StageResources::FreeEntry(entry);
        return false;
    }
    entry.cellWidth = cellWidth;
    entry.cellHeight = cellHeight;
    entry.columns = entry.picture->Width() / cellWidth;
    entry.rows = entry.picture->Height() / cellHeight;
    return true;
}

std::int32_t PlayModeOfWord(const AnsiString& word)
{
    const AnsiString lower = LowerCase(word);
    if (lower == "off")
        return pepOff;
    if (lower == "turn")
        return pepTurn;
    if (lower == "round")
        return pepRound;
    return pepPlain;
}

// "T" n lasts n x 30 / tempo frames, "S" n lasts n x 30 / 1000; anything else, and below 1, one.
std::int32_t DefinitionDuration(const AnsiString& text, int tempo)
{
    if (text.size() < 2 || (text[0] != 'T' && text[0] != 'S'))
        return 1;
    const std::int64_t n = StrToInt(std::string_view(text).substr(1));
    const std::int64_t per = text[0] == 'T' ? tempo : 1000;
    const std::int64_t frames = n * FramesPerSecond / per;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(frames, 1, INT_MAX));
}

bool ReadDefinitionFrames(const TStringList& lines, int first, int tempo, PictureEntry& entry)
{
    const int cellCount = entry.columns * entry.rows;
    for (int i = first; i < lines.Count() && entry.frameCount < EntryFrames; ++i) {
        AnsiString line = lines[i];
        if (!StripStageComment(line))
            continue;
        const int cell = StrToInt(TrimField(line));
        if (cell < 0 || cell >= cellCount)
            break;
        const auto frame = static_cast<std::size_t>(entry.frameCount++);
        entry.cells[frame] = cell;
        entry.durations[frame] = DefinitionDuration(TrimField(line), tempo);
    }
    return true;
}

} // namespace

std::vector<AnsiString> ExpandNamePattern(std::string_view text, std::size_t maxNames)
{
    const std::size_t open = text.find('[');
    const std::size_t close = open == std::string_view::npos ? open : text.find(']', open);
    if (close == std::string_view::npos || close < open + 2)
        return {AnsiString(text)};
    const std::string_view prefix = text.substr(0, open);
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    const std::string_view suffix = text.substr(close + 1);
    std::vector<AnsiString> names;
    const auto add = [&](unsigned char c) {
        if (names.size() < maxNames)
            names.push_back(AnsiString(prefix) + static_cast<char>(c) + AnsiString(suffix));
    };
    for (std::size_t i = 0; i < inside.size() && names.size() < maxNames; ++i) {
        if (inside[i] == '-' && i > 0 && i + 1 < inside.size()) {
            const auto from = static_cast<unsigned char>(inside[i - 1]);
            const auto to = static_cast<unsigned char>(inside[i + 1]);
            for (unsigned c = from + 1u; c <= to; ++c)
                add(static_cast<unsigned char>(c));
            ++i;
        } else {
            add(static_cast<unsigned char>(inside[i]));
        }
    }
    return names;
}

bool OpenStagePicture(TFileMan& files, const AnsiString& fileName, StagePicture& picture)
{
    if (!files.FileIsExist(fileName))
        return false;
    const AnsiString ext = UpperCase(ExtractFileExt(fileName));
    std::int32_t format;
    if (ext == ".BMP")
        format = spfBmp;
    else if (ext == ".JPG")
        format = spfJpeg;
    else if (ext == ".PNG")
        format = spfPng;
    else
        return false;
    StageResources::ClosePicture(files, picture);
    picture.stream = files.Open(fileName);
    picture.format = format;
    return picture.stream != nullptr;
}

bool LoadPictureEntry(TFileMan& files, AnsiString rest, PictureEntry& entry)
{
    const AnsiString fileName = TrimField(rest);
    const std::int32_t playMode = PlayModeOfWord(TrimField(rest));
    if (!LoadEntryPicture(files, fileName, CellWidth, CellHeight, entry))
        return false;
    entry.columns = 1;
    entry.playMode = playMode;
    entry.frameCount = std::min(entry.rows, EntryFrames);
    for (std::size_t i = 0; i < static_cast<std::size_t>(entry.frameCount); ++i) {
        entry.cells[i] = static_cast<std::int32_t>(i);
        entry.durations[i] = rest.empty() ? LineDuration : std::max(StrToInt(TrimField(rest)), 1);
    }
    return true;
}

bool LoadDefinitionEntry(TFileMan& files, const AnsiString& fileName, int tempo, PictureEntry& entry)
{
    StageResources::FreeEntry(entry);
    TStringList lines;
    {
        const OpenedFile file(&files, fileName);
        if (file.get() == nullptr)
            return false;
        lines.LoadFromStream(*file.get());
    }
    try {
        int first = 0;
        AnsiString head;
        while (first < lines.Count() && !StripStageComment(head = lines[first]))
            ++first;
        if (first == lines.Count())
            return false;
        const AnsiString picture = TrimField(head);
        const int cellWidth = StrToInt(TrimField(head));
        const int cellHeight = StrToInt(TrimField(head));
        const std::int32_t playMode = SameText(TrimField(head), "on") ? pepPlain : pepOff;
        if (!LoadEntryPicture(files, picture, cellWidth, cellHeight, entry))
            return false;
        entry.playMode = playMode;
        return ReadDefinitionFrames(lines, first + 1, tempo, entry);
    } catch (const EConvertError&) {
        StageResources::FreeEntry(entry);
        return false;
    }
}

bool StripStageComment(AnsiString& line)
{
    const std::size_t comment = line.find("//");
    if (comment != AnsiString::npos)
        line.erase(comment);
    return !line.empty();
}

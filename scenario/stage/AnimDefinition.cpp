#include "scenario/stage/AnimDefinition.h"

#include "base/util/XeText.h"

#include <algorithm>
#include <string_view>

namespace {

enum class TSection { None, Base, Img, Anim, Entry };

TSection SectionOf(const AnsiString& line)
{
    if (line == "[BASE]")
        return TSection::Base;
    if (line == "[IMG]")
        return TSection::Img;
    if (line == "[ANIM]")
        return TSection::Anim;
    if (line == "[ENTRY]")
        return TSection::Entry;
    return TSection::None;
}

int IndexLimit(TSection section) { return section == TSection::Img ? kImageCount : kAnimCount; }

// Reads "<image,duration>" frames, "<END>" and "<LOOP>" from the value into the animation, at
// most 16, stopping at the first one that is not well formed.
void ParseFrames(std::array<TAnimFrame, kFrameCount>& frames, AnsiString value)
{
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const std::size_t open = value.find('<');
        const std::size_t close = value.find('>');
        if (open == AnsiString::npos || close == AnsiString::npos || static_cast<long long>(close) - static_cast<long long>(open) < 4)
            return;
        const AnsiString text = value.substr(open + 1, close - open - 1);
        value.erase(0, close + 1);
        if (text == "LOOP") {
            frames[n] = {kFrameLoop, 1};
            continue;
        }
        if (text == "END") {
            frames[n] = {kFrameEnd, 1};
            continue;
        }
        const std::size_t comma = text.find(',');
        if (comma == AnsiString::npos || comma == 0 || comma + 1 == text.size())
            return;
        frames[n].Image = StrToIntDef(std::string_view(text).substr(0, comma), -1);
        frames[n].Duration = std::max(1, StrToIntDef(std::string_view(text).substr(comma + 1), 1));
    }
}

class TDefinitionReader {
public:
    explicit TDefinitionReader(TCharStat& block) : block_(block) {}

    void Line(const AnsiString& raw)
    {
        const AnsiString line = UpperCase(raw);
        if (line.empty() || line[0] == '#')
            return;
        if (const TSection section = SectionOf(line); section != TSection::None) {
            section_ = section;
            index_ = -1;
            return;
        }
        const std::size_t eq = line.find('=');
        if (section_ == TSection::None || eq == AnsiString::npos || eq == 0)
            return;
        Value(XeTrim(line.substr(0, eq)), XeTrim(line.substr(eq + 1)));
    }

private:
    void Value(const AnsiString& key, const AnsiString& value)
    {
        if (section_ == TSection::Base) {
            if (key == "WIDTH")
                block_.BaseWidth = StrToIntDef(value, 0);
            else if (key == "HEIGHT")
                block_.BaseHeight = StrToIntDef(value, 0);
            return;
        }
        if (index_ < 0) {
            if (key == "ID") {
                const int id = StrToIntDef(value, -1);
                index_ = id >= 0 && id < IndexLimit(section_) ? id : -1;
            }
            return;
        }
        const auto i = static_cast<std::size_t>(index_);
        if (section_ == TSection::Img)
            ImgValue(block_.Img[i], key, value);
        else if (section_ == TSection::Anim && key == "ANIMATION")
            ParseFrames(block_.Anim[i], value);
        else if (section_ == TSection::Entry)
            EntryValue(block_.Entry[i], key, value);
    }

    static void ImgValue(TImgRect& img, const AnsiString& key, const AnsiString& value)
    {
        if (key == "POSX")
            img.PosX = StrToIntDef(value, 0);
        else if (key == "POSY")
            img.PosY = StrToIntDef(value, 0);
        else if (key == "WIDTH")
            img.Width = StrToIntDef(value, 0);
        else if (key == "HEIGHT")
            img.Height = StrToIntDef(value, 0);
    }

    static void EntryValue(TCharEntry& entry, const AnsiString& key, const AnsiString& value)
    {
        if (key == "POSX")
            entry.PosX = StrToIntDef(value, 0);
        else if (key == "POSY")
            entry.PosY = StrToIntDef(value, 0);
        else if (key == "IMG_ID")
            entry.ImgId = StrToIntDef(value, -1);
        else if (key == "ANIM_ID")
            entry.AnimId = StrToIntDef(value, -1);
    }

    TCharStat& block_;
    TSection section_ = TSection::None;
    int index_ = -1;
};

// The image cut to the sheet; what lies outside it, or a negative size, leaves no image.
void ClipToSheet(TImgRect& img, int sheetWidth, int sheetHeight)
{
    const long long left = std::max(0, img.PosX), top = std::max(0, img.PosY);
    const long long right = std::min<long long>(sheetWidth, static_cast<long long>(img.PosX) + std::max(0, img.Width));
    const long long bottom = std::min<long long>(sheetHeight, static_cast<long long>(img.PosY) + std::max(0, img.Height));
    if (right <= left || bottom <= top) {
        img = {};
        return;
    }
    img = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

} // namespace

void ParseAnimDefinition(TCharStat& block, const TStringList& lines, int sheetWidth, int sheetHeight)
{
    TDefinitionReader reader(block);
    for (int i = 0; i < lines.Count(); ++i)
        reader.Line(lines[i]);
    for (TImgRect& img : block.Img)
        ClipToSheet(img, sheetWidth, sheetHeight);
}

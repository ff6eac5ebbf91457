#include "scenario/stage/BackgroundChoice.h"

#include "platform/classes/Format.h"

namespace {

constexpr int kGroupBlack = 997;
constexpr int kFirstPlainOnly = 500;
constexpr int kFirstUnlisted = 900;
// Pictures 500..799 mark seen bits 0..299.
constexpr int kLastSeen = 799;
constexpr int kDefinitionPageWait = 4;

struct TModeLook {
    int weather;
    int suffix;
    int tone;
};

// Weather, definition suffix and tone of a picture below 500 by stage mode and group.
TModeLook LookOf(int mode, int group)
{
    const bool a = group == 1 || group == 4 || group == 5;
    const bool b = group == 2 || group == 4;
    const bool c = group == 3 || group == 5;
    switch (mode) {
    case 2: return {b ? 6 : c ? 7 : 5, 1, kToneNone};
    case 3: return {a ? 0 : 2, 0, kToneNone};
    case 4: return {3, 0, kToneSepia};
    case 5: return {4, 0, kToneNegative};
    default: return {0, 0, kToneNone};
    }
}

} // namespace

bool FindPictureFile(int picture, int suffix, const std::function<bool(const AnsiString&)>& exists, AnsiString& name)
{
    if (suffix != kPlainPicture) {
        name = Format("an%03d%c.ini", picture, suffix == 0 ? 'a' : 'b');
        return exists(name);
    }
    for (const char* ext : {".bmp", ".jpg", ".png", ".lzh"}) {
        name = Format("bg%03d", picture) + ext;
        if (exists(name))
            return true;
    }
    return false;
}

TBackgroundChoice ChooseBackground(int request, int stageMode, const std::function<bool(const AnsiString&)>& exists)
{
    int group = request / 1000;
    TBackgroundChoice choice;
    choice.picture = request % 1000;
    if (group == kGroupBlack) {
        choice.picture = kBlackPicture;
        group = 0;
    }
    choice.streaksNeedAlpha = group == 1 || group == 4 || group == 5;
    const int p = choice.picture;
    if (p >= kFirstPlainOnly && p <= kLastSeen)
        choice.seenBit = p - kFirstPlainOnly;
    if (p >= kFirstUnlisted)
        return choice;
    AnsiString name;
    if (p < kFirstPlainOnly) {
        const TModeLook look = LookOf(stageMode, group);
        choice.weather = look.weather;
        choice.tone = look.tone;
        int suffix = look.suffix;
        bool found = FindPictureFile(p, suffix, exists, name);
        if (!found && suffix == 1) {
            suffix = 0;
            found = FindPictureFile(p, suffix, exists, name);
        }
        if (found) {
            choice.suffix = suffix;
            choice.file = "Dammy.jpg";
            choice.pageWait = kDefinitionPageWait;
            return choice;
        }
    }
    if (FindPictureFile(p, kPlainPicture, exists, name))
        choice.file = name;
    return choice;
}

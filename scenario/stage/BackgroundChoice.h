// How a requested background number and the stage mode become a background: the picture number,
// plain picture or animated definition, weather kind, colour tone, the file drawn and the seen bit.
#pragma once

#include "platform/classes/AnsiString.h"

#include <functional>

// Picture suffix of a plain picture; 0 and 1 are the definitions "an%03da.ini" and "an%03db.ini".
inline constexpr int kPlainPicture = 255;
// Pictures filled black and white instead of loaded.
inline constexpr int kBlackPicture = 999;
inline constexpr int kWhitePicture = 998;
// Tones applied to a loaded picture.
inline constexpr int kToneNone = 0;
inline constexpr int kToneSepia = 1;
inline constexpr int kToneNegative = 2; // monochrome, then negative

struct TBackgroundChoice {
    int picture = kBlackPicture;
    int suffix = kPlainPicture;
    int weather = 0;
    int tone = kToneNone;
    // The file to draw: the plain picture found, "Dammy.jpg" for a definition, or empty.
    AnsiString file;
    // PageWait of the block: 0 for a plain picture, 4 for a definition.
    int pageWait = 0;
    // Bit of the system record's seen set that the picture marks, or -1.
    int seenBit = -1;
    // Group 1, 4 or 5: streaks show only through the picture's alpha plane.
    bool streaksNeedAlpha = false;
};

// "bg%03d" with the first of ".bmp", ".jpg", ".png", ".lzh" that exists (suffix 255), or
// "an%03d%c.ini" with a or b; false when it does not exist.
bool FindPictureFile(int picture, int suffix, const std::function<bool(const AnsiString&)>& exists, AnsiString& name);

// The choice for request R = group x 1000 + picture in stage mode m, looking names up with `exists`.
TBackgroundChoice ChooseBackground(int request, int stageMode, const std::function<bool(const AnsiString&)>& exists);

// The picture loading helpers every screen uses: a picture's kind from its file name, decoding a
// stream or a file into new or existing bitmaps (with the alpha plane of a four-channel PNG),
// handing pictures to panels and parts sheets, and the full-screen work bitmaps.
//
// New bitmaps and planes are made through the memory registry (MemMan) in the display's bit depth
// (DisplayBitDepth) and freed through it by whoever ends up holding them. Every function but
// CreateScreenBits reports failure only by false, having freed what it made and closed what it
// opened. Logic thread, or the UI thread while the form starts.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "graphics/panels/TXeRGBParts.h"
#include "platform/classes/AnsiString.h"

#include <cstdint>

class TFileMan;
class TStream;
class TXeAlpha;
class TXeRGBBits;

// Picture kinds, from the text after the first "." of a file name compared in upper case.
enum TImageKind : int { ikNone = 0, ikBmp = 1, ikJpeg = 2, ikPng = 3, ikGny = 4 };
int GetImageKind(const AnsiString& fileName);

// For 0 and 1 the current scrambling table of GNY pictures (kind 4) becomes the built-in table;
// other values change nothing.
void ResetGnyTable(std::int32_t which);
// The 256-byte table the loaders now pass to the GNY decoder.
const unsigned char* GnyTable();

// Decodes the stream (from its position) by kind into the bitmap at (x, y); a PNG also fills the
// alpha plane when one is given. Kind 0 does nothing and succeeds; a decoder failure gives false.
bool DrawImageStream(TXeRGBBits* bits, TXeAlpha* alpha, int kind, TStream* stream, int x, int y);
// A new bitmap of the picture's size decoded from the stream's start, and a new alpha plane when
// `alpha` is given and the picture is a PNG with four channels. Both outputs are cleared first and
// set only on success. Kind 0 loads nothing and fails.
bool LoadImageStream(TXeRGBBits** bits, TXeAlpha** alpha, int kind, TStream* stream);
// LoadImageStream of the named file, opened through the file manager. A name of kind 0 fails
// without opening anything.
bool LoadImageFile(TXeRGBBits** bits, TXeAlpha** alpha, const AnsiString& fileName, TFileMan* files);
// Decodes the named file into the existing bitmap (and plane) at (x, y).
bool DrawImageFile(TXeRGBBits* bits, TXeAlpha* alpha, const AnsiString& fileName, TFileMan* files, int x, int y);

// Loads the file and gives the panel the bitmap, its alpha plane (or none) and the mask mode
// mmAlpha or mmNormal. The panel's previous picture is not freed, since pictures may be shared
// between panels: callers free it first (FreePanelImage) when it is the panel's own.
bool LoadPanelImage(TXeRGBPanel* panel, const AnsiString& fileName, TFileMan* files);
// A new width x height bitmap (and an alpha plane for mmAlpha) given to the panel with the mode.
bool CreatePanelImage(TXeRGBPanel* panel, int width, int height, TMaskMode mode);
// CreatePanelImage at the panel's own size.
bool RecreatePanelImage(TXeRGBPanel* panel, TMaskMode mode);
// Takes the bitmap and alpha plane off the panel and frees both through the registry.
void FreePanelImage(TXeRGBPanel* panel);
// Cuts the parts listed in `data` (ended by a record with a negative x) from the named sheet into
// *parts, which is made first when null (and freed again when this call made it and fails).
bool LoadPartsImage(TXeRGBParts** parts, const AnsiString& fileName, const TXePartsData* data, TFileMan* files);

// Where a panel stands and which part it shows (-1: none).
struct TPartsPlacement {
    std::int32_t part;
    std::int32_t x;
    std::int32_t y;
};
// Places the panel and, for a part with an image, gives it the part's image and alpha plane with
// the size of one pattern.
void SetupPartsPanel(TXeRGBPanel* panel, TXeRGBParts* parts, const TPartsPlacement& placement);
// The panel shows the source panel's image, alpha plane and mask mode (shared, not copied).
void AssignPanelImage(TXeRGBPanel* panel, TXeRGBPanel* source);

// A new 640 x 480 bitmap with pixels; raises EGameErr when it cannot be made.
TXeRGBBits* CreateScreenBits();

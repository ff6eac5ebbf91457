#include "shell/helpers/PictureLoading.h"

#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/pictures/PngPicture.h"
#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/OpenedFile.h"
#include "shell/helpers/RegistryHold.h"

#include <array>

namespace {

// The built-in scrambling table of GNY pictures: a fixed permutation of the 256 byte values
// (odd multiplier, so every value occurs once), made by this game's own tools.
constexpr std::array<unsigned char, 256> kBuiltInGnyTable = [] {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 167 + 0x5B);
    return table;
}();

const unsigned char* currentGnyTable = kBuiltInGnyTable.data();

bool HasAlphaChannel(TStream* stream)
{
    try {
        stream->SetPosition(0);
        return ChkChannelPng(stream) == 4;
    } catch (const Exception&) {
        return false;
    }
}

} // namespace

int GetImageKind(const AnsiString& fileName)
{
    const std::size_t dot = fileName.find('.');
    if (dot == AnsiString::npos)
        return ikNone;
    const AnsiString extension = UpperCase(fileName.substr(dot + 1));
    if (extension == "BMP")
        return ikBmp;
    if (extension == "JPG")
        return ikJpeg;
    if (extension == "PNG")
        return ikPng;
    if (extension == "LZH")
        return ikGny;
    return ikNone;
}

void ResetGnyTable(std::int32_t which)
{
    if (which == 0 || which == 1)
        currentGnyTable = kBuiltInGnyTable.data();
}

const unsigned char* GnyTable()
{
    return currentGnyTable;
}

bool DrawImageStream(TXeRGBBits* bits, TXeAlpha* alpha, int kind, TStream* stream, int x, int y)
{
    if (kind == ikNone)
        return true;
    if (bits == nullptr || stream == nullptr)
        return false;
    try {
        switch (kind) {
        case ikBmp:
            return bits->DrawBmpStream(stream, x, y);
        case ikJpeg:
            return bits->DrawJpegStream(stream, x, y);
        case ikPng:
            return alpha != nullptr ? bits->DrawPngStream(stream, x, y, alpha) : bits->DrawPngStream(stream, x, y);
        case ikGny:
            return bits->DrawGnyStream(stream, x, y, currentGnyTable);
        default:
            return false;
        }
    } catch (const Exception&) {
        return false;
    }
}

bool LoadImageStream(TXeRGBBits** bits, TXeAlpha** alpha, int kind, TStream* stream)
{
    if (bits != nullptr)
        *bits = nullptr;
    if (alpha != nullptr)
        *alpha = nullptr;
    if (bits == nullptr || stream == nullptr || kind == ikNone)
        return false;
    RegistryHold<TXeRGBBits> picture = MakeRegistered<TXeRGBBits>();
    if (!picture)
        return false;
    picture.get()->SetBitDepth(DisplayBitDepth);
    RegistryHold<TXeAlpha> plane(nullptr);
    if (kind == ikPng && alpha != nullptr && HasAlphaChannel(stream)) {
        plane = MakeRegistered<TXeAlpha>();
        if (!plane)
            return false;
    }
    try {
        stream->SetPosition(0);
    } catch (const Exception&) {
        return false;
    }
    if (!DrawImageStream(picture.get(), plane.get(), kind, stream, 0, 0))
        return false;
    *bits = picture.release();
    if (alpha != nullptr)
        *alpha = plane.release();
    return true;
}

bool LoadImageFile(TXeRGBBits** bits, TXeAlpha** alpha, const AnsiString& fileName, TFileMan* files)
{
    if (bits != nullptr)
        *bits = nullptr;
    if (alpha != nullptr)
        *alpha = nullptr;
    const int kind = GetImageKind(fileName);
    if (kind == ikNone)
        return false;
    const OpenedFile file(files, fileName);
    if (file.get() == nullptr)
        return false;
    return LoadImageStream(bits, alpha, kind, file.get());
}

bool DrawImageFile(TXeRGBBits* bits, TXeAlpha* alpha, const AnsiString& fileName, TFileMan* files, int x, int y)
{
    const int kind = GetImageKind(fileName);
    if (kind == ikNone)
        return false;
    const OpenedFile file(files, fileName);
    if (file.get() == nullptr)
        return false;
    return DrawImageStream(bits, alpha, kind, file.get(), x, y);
}

bool LoadPanelImage(TXeRGBPanel* panel, const AnsiString& fileName, TFileMan* files)
{
    if (panel == nullptr)
        return false;
    TXeRGBBits* bits = nullptr;
    TXeAlpha* alpha = nullptr;
    if (!LoadImageFile(&bits, &alpha, fileName, files))
        return false;
    panel->SetImage(bits);
    panel->SetMaskMode(alpha != nullptr ? mmAlpha : mmNormal);
    panel->SetAlpha(alpha);
    return true;
}

bool CreatePanelImage(TXeRGBPanel* panel, int width, int height, TMaskMode mode)
{
    if (panel == nullptr)
        return false;
    RegistryHold<TXeRGBBits> bits = MakeRegistered<TXeRGBBits>();
    if (!bits)
        return false;
    bits.get()->SetBitDepth(DisplayBitDepth);
    if (!bits.get()->Resize(width, height) || !bits.get()->Create())
        return false;
    RegistryHold<TXeAlpha> alpha(nullptr);
    if (mode == mmAlpha) {
        alpha = MakeRegistered<TXeAlpha>();
        if (!alpha || !alpha.get()->Resize(width, height) || !alpha.get()->Create())
            return false;
    }
    panel->SetImage(bits.release());
    panel->SetAlpha(alpha.release());
    panel->SetMaskMode(mode);
    return true;
}

bool RecreatePanelImage(TXeRGBPanel* panel, TMaskMode mode)
{
    return panel != nullptr && CreatePanelImage(panel, panel->SizeX(), panel->SizeY(), mode);
}

void FreePanelImage(TXeRGBPanel* panel)
{
    if (panel == nullptr)
        return;
    // The panel lets go first, so it never points at a freed picture.
    RegistryHold<TXeRGBBits> bits(panel->Image());
    RegistryHold<TXeAlpha> alpha(panel->Alpha());
    panel->SetImage(nullptr);
    panel->SetAlpha(nullptr);
}

bool LoadPartsImage(TXeRGBParts** parts, const AnsiString& fileName, const TXePartsData* data, TFileMan* files)
{
    if (parts == nullptr || data == nullptr)
        return false;
    RegistryHold<TXeRGBParts> made(nullptr);
    if (*parts == nullptr) {
        made = MakeRegistered<TXeRGBParts>();
        if (!made)
            return false;
        made.get()->SetBitDepth(DisplayBitDepth);
    }
    TXeRGBParts* target = made ? made.get() : *parts;
    TXeRGBBits* sheetBits = nullptr;
    TXeAlpha* sheetAlpha = nullptr;
    if (!LoadImageFile(&sheetBits, &sheetAlpha, fileName, files))
        return false;
    const RegistryHold<TXeRGBBits> sheet(sheetBits);
    const RegistryHold<TXeAlpha> sheetPlane(sheetAlpha);
    if (!target->SetParts(sheet.get(), sheetPlane.get(), data))
        return false;
    if (made)
        *parts = made.release();
    return true;
}

void SetupPartsPanel(TXeRGBPanel* panel, TXeRGBParts* parts, const TPartsPlacement& placement)
{
    if (panel == nullptr)
        return;
    panel->SetOffsetX(placement.x);
    panel->SetOffsetY(placement.y);
    if (parts == nullptr || placement.part < 0)
        return;
    TXeRGBBits* image = parts->GetImage(placement.part);
    if (image == nullptr)
        return;
    TXeAlpha* alpha = parts->GetAlpha(placement.part);
    panel->SetImage(image);
    panel->SetAlpha(alpha);
    panel->SetMaskMode(alpha != nullptr ? mmAlpha : mmNormal);
    panel->SetSizeX(image->Width());
    const int patterns = parts->GetPattern(placement.part);
    panel->SetSizeY(image->Height() / (patterns > 0 ? patterns : 1));
}

void AssignPanelImage(TXeRGBPanel* panel, TXeRGBPanel* source)
{
    if (panel == nullptr || source == nullptr)
        return;
    panel->SetImage(source->Image());
    panel->SetAlpha(source->Alpha());
    panel->SetMaskMode(source->MaskMode());
}

TXeRGBBits* CreateScreenBits()
{
    RegistryHold<TXeRGBBits> bits = MakeRegistered<TXeRGBBits>();
    if (!bits)
        throw EGameErr();
    bits.get()->SetBitDepth(DisplayBitDepth);
    if (!bits.get()->Create())
        throw EGameErr();
    return bits.release();
}

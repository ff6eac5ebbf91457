// TStageUnit: the background and character blocks, and what fills them: the background built from
// the requested number, a character's sheet with its definition.
#include "scenario/stage/TStageUnit.h"

#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Format.h"
#include "platform/classes/Stream.h"
#include "scenario/records/TSystemState.h"
#include "scenario/stage/AnimDefinition.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"

namespace {

constexpr int kStageW = 640;
constexpr int kStageH = 480;
constexpr int kPlaceholderSize = 16;

template <typename T> void DeleteRegistered(T*& object)
{
    if (object != nullptr && MemMan != nullptr)
        MemMan->Delete(object);
    object = nullptr;
}

template <typename T> T* CreateRegistered(const char* error)
{
    T* object = MemMan != nullptr ? MemMan->CreateVCL<T>() : nullptr;
    if (object == nullptr)
        throw Exception(error);
    return object;
}

} // namespace

void TStageUnit::BGStatCreate(int block, int pages)
{
    BGStatRelease(block);
    pages = std::max(1, pages);
    TBGStat& b = FBG[static_cast<std::size_t>(block)];
    b = TBGStat{};
    b.Picture = CreateRegistered<TXeRGBBits>("TStageUnit::BGStatCreate Alloc Error");
    b.Alpha = CreateRegistered<TXeAlpha>("TStageUnit::BGStatCreate Alloc Error");
    // The alpha object is sized but holds a plane only when a picture brings one.
    b.Alpha->Resize(kStageW, kStageH * pages);
    b.Picture->SetBitDepth(DisplayBitDepth);
    b.Picture->Resize(kStageW, kStageH * pages);
    if (!b.Picture->Create()) {
        DeleteRegistered(b.Picture);
        DeleteRegistered(b.Alpha);
        throw Exception("TStageUnit::BGStatCreate Create Error");
    }
    b.Pages = pages;
    b.Loaded = true;
}

void TStageUnit::BGStatRelease(int block)
{
    TBGStat& b = FBG[static_cast<std::size_t>(block)];
    if (FBGShared) {
        // The other block keeps the shared pictures.
        FBGShared = false;
        b.Picture = nullptr;
        b.Alpha = nullptr;
    }
    DeleteRegistered(b.Picture);
    DeleteRegistered(b.Alpha);
    b.Loaded = false;
}

void TStageUnit::BGStatMove(int from, int to)
{
    BGStatRelease(to);
    TBGStat& source = FBG[static_cast<std::size_t>(from)];
    FBG[static_cast<std::size_t>(to)] = source;
    source.Picture = nullptr;
    source.Alpha = nullptr;
    source.Loaded = false;
}

void TStageUnit::BGStatShare()
{
    BGStatRelease(1);
    FBG[1] = FBG[0];
    FBGShared = true;
}

void TStageUnit::CharStatCreate(int set, int slot)
{
    CharStatRelease(set, slot);
    TCharStat& b = FChr[static_cast<std::size_t>(set)][static_cast<std::size_t>(slot)];
    b = TCharStat{};
    b.Picture = CreateRegistered<TXeRGBBits>("TStageUnit::CharStatCreate Alloc Error");
    b.Picture->SetBitDepth(DisplayBitDepth);
    try {
        b.Alpha = CreateRegistered<TXeAlpha>("TStageUnit::CharStatCreate Alloc Error");
    } catch (...) {
        DeleteRegistered(b.Picture);
        throw;
    }
    b.Loaded = true;
}

void TStageUnit::CharStatRelease(int set, int slot)
{
    TCharStat& b = FChr[static_cast<std::size_t>(set)][static_cast<std::size_t>(slot)];
    DeleteRegistered(b.Picture);
    DeleteRegistered(b.Alpha);
    b.Loaded = false;
    for (TCharEntry& e : b.Entry)
        e.ImgId = e.AnimId = -1;
}

void TStageUnit::CharStatMove(int fromSet, int fromSlot, int toSet, int toSlot)
{
    CharStatRelease(toSet, toSlot);
    TCharStat& source = FChr[static_cast<std::size_t>(fromSet)][static_cast<std::size_t>(fromSlot)];
    FChr[static_cast<std::size_t>(toSet)][static_cast<std::size_t>(toSlot)] = source;
    source.Picture = nullptr;
    source.Alpha = nullptr;
    source.Loaded = false;
    for (TCharEntry& e : source.Entry)
        e.ImgId = e.AnimId = -1;
}

void TStageUnit::ReleaseCharacterSet(int set)
{
    for (int slot = 0; slot < 3; ++slot)
        CharStatRelease(set, slot);
}

void TStageUnit::BuildBackground(bool twoScene)
{
    const auto exists = [this](const AnsiString& name) { return FBGFiles.get()->FileIsExist(name); };
    const TBackgroundChoice choice = ChooseBackground(FReqBG, FStageMode, exists);
    FLastBG = FReqBG;
    const bool changed = choice.picture != FCurBG || choice.suffix != FCurSuffix || choice.tone != FTone;
    if (changed) {
        FCurBG = choice.picture;
        FCurSuffix = choice.suffix;
        FTone = choice.tone;
    } else if (FBG[0].WeatherKind == choice.weather) {
        FBG[0].WeatherLevel = FWeatherLevel;
        return;
    }
    if (choice.seenBit >= 0)
        system_.SetSystemBit(choice.seenBit);
    constexpr int pages = 1;
    if (twoScene) {
        if (changed) {
            BGStatMove(0, 1);
            BGStatCreate(0, pages);
        } else {
            BGStatShare();
        }
        FScene2BG = 1;
    } else if (FBG[0].Pages != pages || !FBG[0].Loaded) {
        BGStatCreate(0, pages);
    }
    TBGStat& b = FBG[0];
    if (changed) {
        b.PageWait = choice.pageWait;
        b.Alpha->Release();
        DrawBackgroundPicture(choice.picture, choice.file);
    }
    b.WeatherKind = choice.streaksNeedAlpha && FStageMode == 2 && !b.Alpha->Created() ? kWeatherNone : choice.weather;
    b.WeatherLevel = FWeatherLevel;
    ShowWeatherPanels(b.WeatherKind, Panel(pnWeatherBack), Panel(pnWeatherFront));
    Panel(pnBG)->SetModify();
    if (b.WeatherKind != kWeatherNone && b.WeatherKind != kWeatherQuiet)
        InitWeather(b, random_);
}

// Block 0's picture: black, white, the file (black when it does not decode) with the tone, or
// black when no file was found.
void TStageUnit::DrawBackgroundPicture(int picture, const AnsiString& file)
{
    TBGStat& b = FBG[0];
    b.Picture->Cls();
    if (picture == kWhitePicture) {
        b.Picture->BoxFill(0, 0, b.Picture->Width() - 1, b.Picture->Height() - 1,
                           b.Picture->TXeRGBtoPixel(TXeRGB(0xFF, 0xFF, 0xFF)));
        return;
    }
    if (picture == kBlackPicture || file.empty())
        return;
    ResetGnyTable(0);
    // Only a picture with an alpha channel brings a plane: the streaks of some groups show only
    // through it.
    if (!DrawImageFile(b.Picture, HasAlphaChannel(file) ? b.Alpha : nullptr, file, FBGFiles.get(), 0, 0))
        b.Picture->Cls();
    ApplyTone(b.Picture);
}

bool TStageUnit::HasAlphaChannel(const AnsiString& file)
{
    if (GetImageKind(file) != ikPng)
        return false;
    TStream* stream = FBGFiles.get()->Open(file);
    if (stream == nullptr)
        return false;
    const bool alpha = ChkChannelPng(stream) == 4;
    FBGFiles.get()->Close(stream);
    return alpha;
}

void TStageUnit::ApplyTone(TXeRGBBits* picture)
{
    const int right = picture->Width() - 1, bottom = picture->Height() - 1;
    if (FTone == kToneSepia) {
        picture->Sepia(0, 0, right, bottom);
    } else if (FTone == kToneNegative) {
        picture->Monochrome(0, 0, right, bottom);
        picture->Negative(0, 0, right, bottom);
    }
}

void TStageUnit::PlaceAtHome(TXeRGBPanel* panel, int slot)
{
    panel->SetOffsetX(160 * (slot + 1) - panel->SizeX() / 2);
    panel->SetOffsetY((kStageH - panel->SizeY()) / 2);
}

void TStageUnit::LoadCharacter(int slot, bool twoScene)
{
    const auto k = static_cast<std::size_t>(slot);
    if (FCurChar[k] == FReqChar[k])
        return;
    if (twoScene) {
        CharStatMove(kSetCurrent, slot, kSetScene2, slot);
        FScene2Char[k] = 1;
    }
    FCurChar[k] = FReqChar[k];
    CharStatCreate(kSetCurrent, slot);
    TCharStat& b = FChr[kSetCurrent][k];
    TXeRGBPanel* panel = CharPanel(0, slot);
    const int n = FCurChar[k];
    bool shown = false;
    if (n == kPlaceholder) {
        MakePlaceholder(b);
        shown = true;
    } else if (n >= 0) {
        shown = LoadCharacterSheet(b, n);
        if (!shown)
            FCurChar[k] = kNoCharacter;
    }
    if (shown) {
        panel->SetSizeX(b.BaseWidth);
        panel->SetSizeY(b.BaseHeight);
        PlaceAtHome(panel, slot);
        panel->SetVisible(true);
        FOpacity[k] = 128;
    } else {
        panel->SetVisible(false);
    }
    b.BlinkTimer = 0;
    StopEntry(b, kEntryEyes);
    StopEntry(b, kEntryMouth);
    panel->SetModify();
}

// A fully transparent 16 x 16 picture that occupies the slot.
void TStageUnit::MakePlaceholder(TCharStat& b)
{
    b.Picture->Resize(kPlaceholderSize, kPlaceholderSize);
    b.Picture->Create();
    b.Alpha->Resize(kPlaceholderSize, kPlaceholderSize);
    b.Alpha->Create();
    b.Alpha->Fill(0);
    b.BaseWidth = b.BaseHeight = kPlaceholderSize;
    b.Img[0] = {0, 0, kPlaceholderSize, kPlaceholderSize};
    b.Entry[kEntryBody].ImgId = 0;
}

// Character n's sheet "chr%03d.png" with its alpha plane, cut by "chr%03d.ini" when there is one
// (else the whole sheet is the body), in the stage's tone; false when the sheet is missing or does
// not decode.
bool TStageUnit::LoadCharacterSheet(TCharStat& b, int n)
{
    const AnsiString sheet = Format("chr%03d.png", n);
    if (!FCharFiles.get()->FileIsExist(sheet) || !DrawImageFile(b.Picture, b.Alpha, sheet, FCharFiles.get(), 0, 0) ||
        !b.Picture->Created())
        return false;
    const AnsiString definition = Format("chr%03d.ini", n);
    if (FCharFiles.get()->FileIsExist(definition)) {
        LoadAnimDefinition(b, definition);
    } else {
        b.BaseWidth = b.Picture->Width();
        b.BaseHeight = b.Picture->Height();
        b.Img[0] = {0, 0, b.BaseWidth, b.BaseHeight};
        b.Entry[kEntryBody].ImgId = 0;
    }
    ApplyTone(b.Picture);
    return true;
}

void TStageUnit::LoadAnimDefinition(TCharStat& b, const AnsiString& fileName)
{
    TStream* stream = FCharFiles.get()->Open(fileName);
    if (stream == nullptr)
        return;
    TStringList lines;
    try {
        lines.LoadFromStream(*stream);
    } catch (const Exception&) {
        lines.Clear();
    }
    FCharFiles.get()->Close(stream);
    ParseAnimDefinition(b, lines, b.Picture->Width(), b.Picture->Height());
}

void TStageUnit::FlagEntry(int set, int slot, const TXeRect& r)
{
    if (r.IsRectEmpty())
        return;
    const auto k = static_cast<std::size_t>(slot);
    const bool loaded = FChr[static_cast<std::size_t>(set)][k].Loaded;
    if (set == kSetCurrent) {
        CharPanel(0, slot)->SetModifyRect(r);
        if (FScene2Char[k] == 0 && loaded)
            CharPanel(2, slot)->SetModifyRect(r);
    } else if (set == kSetScene2) {
        if (FScene2Char[k] == 1 && loaded)
            CharPanel(2, slot)->SetModifyRect(r);
    } else {
        CharPanel(1, slot)->SetModifyRect(r);
    }
}

// TStageUnit: stage changes through a screen transition (with the leaving scene kept moving in
// BGPanel2) and character changes by motion.
#include "scenario/stage/TStageUnit.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/config/TUserConfig.h"
#include "shell/helpers/PictureLoading.h"

namespace {

// The motion kinds: fade in place, slide from or to the left, slide from or to the right.
constexpr int kMotionNone = 0;
constexpr int kMotionFade = 1;
constexpr int kMotionLeft = 2;
constexpr int kMotionRight = 3;
constexpr int kMotionSteps = 8;
constexpr int kSlidePerStep = 20;
constexpr int kOpacityPerStep = 16;
constexpr int kOpaque = 128;

// Each slot's own way in and out: the left one by the left, the center one fading, the right one
// by the right.
constexpr int OwnMotion(int slot) { return slot == 0 ? kMotionLeft : slot == 1 ? kMotionFade : kMotionRight; }

} // namespace

// A change asked for while another runs ends that one first, so that its pictures and its
// leaving scene are not lost track of.
void TStageUnit::EndRunningChange()
{
    if (FState == stTransition) {
        EndStageTransition();
    } else if (FState == stEffect) {
        EndTransition();
        FState = stIdle;
    } else if (FState == stMotion) {
        FState = stIdle;
        UpdateCharacterPanels();
    }
}

bool TStageUnit::ChangeStage(int code, int speed)
{
    EndRunningChange();
    FSimpleSnap = config_.SimpleDisplay != 0;
    bool twoScene = code != 0 && !FSimpleSnap;
    BGStatRelease(1);
    ReleaseCharacterSet(kSetScene2);
    if (code != 0) {
        MakeTransitionPictures();
        RenderScene(Panel(pnBG), FFrom);
    }
    if (twoScene) {
        FScene2BG = 0;
        ShowWeatherPanels(FBG[0].WeatherKind, Panel(pnWeatherBack2), Panel(pnWeatherFront2));
        Panel(pnBG2)->SetModify();
    }
    const int tone = FTone;
    BuildBackground(twoScene);
    if (twoScene) {
        FScene2Char = {};
        for (int slot = 0; slot < 3; ++slot) {
            CopyPlacement(CharPanel(2, slot), CharPanel(0, slot));
            CharPanel(2, slot)->SetModify();
        }
    }
    if (FTone != tone) {
        // Characters take the new tone by loading afresh: the slots are emptied first.
        const auto requested = FReqChar;
        FReqChar.fill(kNoCharacter);
        for (int slot = 0; slot < 3; ++slot)
            LoadCharacter(slot, twoScene);
        FReqChar = requested;
        twoScene = false;
    }
    for (int slot = 0; slot < 3; ++slot)
        LoadCharacter(slot, twoScene);
    FTransKind = kNoTransition;
    if (code != 0)
        StartChangeTransition(code, speed);
    if (FTransKind == kNoTransition) {
        FState = stIdle;
        RedrawAll();
    } else {
        FState = stTransition;
        Panel(pnStage)->SetModify();
    }
    return IsChanging();
}

// Renders the new scene into the to-picture, loads what the code's transition needs and starts it.
// When it cannot start, its data, both pictures and the leaving scene are released and the kind
// is kNoTransition.
void TStageUnit::StartChangeTransition(int code, int speed)
{
    RenderScene(Panel(pnBG), FTo);
    const TStageTransition t = StageTransitionOf(code);
    FTransKind = t.kind;
    bool started = false;
    try {
        switch (t.data) {
        case TTransitionData::Mask: FTransition.MaskEffect().Load(FDataFiles, t.maskFile); break;
        case TTransitionData::Water: FTransition.WaterEffect().Load(FDataFiles); break;
        case TTransitionData::Halo: FTransition.HaloEffect().Load(FDataFiles, DisplayBitDepth); break;
        case TTransitionData::None: break;
        }
        started = FTransition.Start(t.kind, FFrom, FTo, speed);
    } catch (const EGameErr&) {
        // Missing effect data: the new scene shows at once.
    }
    if (started)
        return;
    ReleaseEffectData();
    EndTransition();
    BGStatRelease(1);
    ReleaseCharacterSet(kSetScene2);
}

void TStageUnit::MakeTransitionPictures()
{
    EndTransition();
    RegistryHold<TXeRGBBits> from(CreateScreenBits());
    FTo = CreateScreenBits();
    FFrom = from.release();
}

// The transition's pictures deleted and the transition idle.
void TStageUnit::EndTransition()
{
    FTransition.Reset();
    if (MemMan != nullptr) {
        if (FFrom != nullptr)
            MemMan->Delete(FFrom);
        if (FTo != nullptr)
            MemMan->Delete(FTo);
    }
    FFrom = FTo = nullptr;
}

void TStageUnit::ReleaseEffectData()
{
    switch (FTransKind) {
    case 11: FTransition.WaterEffect().Release(); break;
    case 12: FTransition.HaloEffect().Release(); break;
    case 13:
    case 14: FTransition.MaskEffect().Release(); break;
    default: break;
    }
    FTransKind = kNoTransition;
}

void TStageUnit::EndStageTransition()
{
    EndTransition();
    ReleaseEffectData();
    BGStatRelease(1);
    ReleaseCharacterSet(kSetScene2);
    FState = stIdle;
}

void TStageUnit::CopyPlacement(TXeRGBPanel* to, const TXeRGBPanel* from)
{
    to->SetSizeX(from->SizeX());
    to->SetSizeY(from->SizeY());
    to->SetOffsetX(from->OffsetX());
    to->SetOffsetY(from->OffsetY());
    to->SetVisible(from->Visible());
}

bool TStageUnit::ChangeCharacters()
{
    EndRunningChange();
    ResetCharacterStates();
    ReleaseCharacterSet(kSetOutgoing);
    for (int slot = 0; slot < 3; ++slot)
        CharPanel(1, slot)->SetVisible(false);
    switch (FArrangement) {
    case 0:
        for (int slot = 0; slot < 3; ++slot) {
            if (FCurChar[static_cast<std::size_t>(slot)] == FReqChar[static_cast<std::size_t>(slot)])
                continue;
            if (FCurChar[static_cast<std::size_t>(slot)] >= 0)
                MoveOut(slot);
            LoadArranged(slot, OwnMotion(slot));
        }
        break;
    case 1: ShiftCharacters({0, 1, 2}, kMotionRight); break;
    case 2: ShiftCharacters({2, 1, 0}, kMotionLeft); break;
    case 3:
        for (int slot = 0; slot < 3; ++slot) {
            LoadCharacter(slot, false);
            if (FCurChar[static_cast<std::size_t>(slot)] >= 0)
                FInMotion[static_cast<std::size_t>(slot)] = OwnMotion(slot);
        }
        break;
    default:
        for (int slot = 0; slot < 3; ++slot)
            if (FCurChar[static_cast<std::size_t>(slot)] >= 0)
                MoveOut(slot);
        FReqChar.fill(kNoCharacter);
        break;
    }
    FState = stMotion;
    FMotionStep = 0;
    UpdateCharacterPanels();
    return IsChanging();
}

// Every character moves one slot toward order[0], whose character leaves: a requested character
// that stands in the next slot slides over with its pictures, the others load; every character
// then comes in by `motion` (from the side the shift comes from).
void TStageUnit::ShiftCharacters(const std::array<int, 3>& order, int motion)
{
    if (FCurChar[static_cast<std::size_t>(order[0])] >= 0)
        MoveOut(order[0]);
    for (std::size_t i = 0; i < 2; ++i) {
        if (FReqChar[static_cast<std::size_t>(order[i])] == FCurChar[static_cast<std::size_t>(order[i + 1])])
            Slide(order[i + 1], order[i]);
        else
            LoadCharacter(order[i], false);
    }
    LoadCharacter(order[2], false);
    for (int slot = 0; slot < 3; ++slot)
        if (FCurChar[static_cast<std::size_t>(slot)] >= 0)
            FInMotion[static_cast<std::size_t>(slot)] = motion;
}

// Loads the slot; a character that came moves in by `motion`.
void TStageUnit::LoadArranged(int slot, int motion)
{
    LoadCharacter(slot, false);
    if (FCurChar[static_cast<std::size_t>(slot)] >= 0)
        FInMotion[static_cast<std::size_t>(slot)] = motion;
}

// The slot's character leaves: its block and placement go to the outgoing set and panel.
void TStageUnit::MoveOut(int slot)
{
    const auto k = static_cast<std::size_t>(slot);
    CharStatMove(kSetCurrent, slot, kSetOutgoing, slot);
    CopyPlacement(CharPanel(1, slot), CharPanel(0, slot));
    CharPanel(0, slot)->SetVisible(false);
    FCurChar[k] = kNoCharacter;
    FOutMotion[k] = OwnMotion(slot);
}

// The character of slot `from` moves to slot `to` with its pictures, without loading.
void TStageUnit::Slide(int from, int to)
{
    CharStatMove(kSetCurrent, from, kSetCurrent, to);
    CopyPlacement(CharPanel(0, to), CharPanel(0, from));
    CharPanel(0, from)->SetVisible(false);
    FCurChar[static_cast<std::size_t>(to)] = FReqChar[static_cast<std::size_t>(to)];
    FCurChar[static_cast<std::size_t>(from)] = kNoCharacter;
}

void TStageUnit::UpdateCharacterPanels()
{
    for (int slot = 0; slot < 3; ++slot) {
        const auto k = static_cast<std::size_t>(slot);
        TXeRGBPanel* current = CharPanel(0, slot);
        TXeRGBPanel* outgoing = CharPanel(1, slot);
        if (FState != stMotion) {
            if (current->Visible()) {
                PlaceAtHome(current, slot);
                FOpacity[k] = kOpaque;
                current->SetModify();
            }
            outgoing->SetVisible(false);
            continue;
        }
        const int t = FMotionStep;
        if (current->Visible() && FInMotion[k] != kMotionNone) {
            PlaceMoving(current, slot, FInMotion[k], kMotionSteps - t);
            const bool fades = FInMotion[k] == kMotionFade || (FInMotion[k] == kMotionLeft && slot == 0) ||
                               (FInMotion[k] == kMotionRight && slot == 2);
            FOpacity[k] = fades ? kOpacityPerStep * t : kOpaque;
        }
        if (outgoing->Visible() && FOutMotion[k] != kMotionNone) {
            PlaceMoving(outgoing, slot, FOutMotion[k], t);
            FOutOpacity[k] = kOpacityPerStep * (kMotionSteps - t);
        }
        for (TXeRGBPanel* p : {current, outgoing})
            if (p->Visible())
                p->SetModify();
    }
}

// The panel at the slot's home, moved `steps` x 20 pixels to the side the kind names (kind 1 stays
// at home).
void TStageUnit::PlaceMoving(TXeRGBPanel* panel, int slot, int kind, int steps)
{
    PlaceAtHome(panel, slot);
    if (kind == kMotionLeft)
        panel->SetOffsetX(panel->OffsetX() - kSlidePerStep * steps);
    else if (kind == kMotionRight)
        panel->SetOffsetX(panel->OffsetX() + kSlidePerStep * steps);
}

void TStageUnit::ResetCharacterStates()
{
    FInMotion = {};
    FOutMotion = {};
    for (TCharStat& b : FChr[kSetCurrent]) {
        if (!b.Loaded)
            continue;
        StartEntry(b, kEntryBody);
        StartEntry(b, kEntryExtra);
        StopEntry(b, kEntryEyes);
        StopEntry(b, kEntryMouth);
    }
}

void TStageUnit::SetTalking(int slot, bool talking)
{
    if (slot < 0 || slot > 2)
        return;
    TCharStat& b = FChr[kSetCurrent][static_cast<std::size_t>(slot)];
    if (!b.Loaded || (b.Entry[kEntryMouth].Counter != -1) == talking)
        return;
    FlagEntry(kSetCurrent, slot, EntryPanelRect(b, kEntryMouth));
    talking ? StartEntry(b, kEntryMouth) : StopEntry(b, kEntryMouth);
    FlagEntry(kSetCurrent, slot, EntryPanelRect(b, kEntryMouth));
}

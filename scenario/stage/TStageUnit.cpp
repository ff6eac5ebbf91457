// TStageUnit: the panel tree of the stage, its life cycle and settings, the frame step and the
// redrawing of the stage picture, and clicks.
#include "scenario/stage/TStageUnit.h"

#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/config/TUserConfig.h"
#include "shell/helpers/PictureLoading.h"

namespace {

constexpr int kStageW = 640;
constexpr int kStageH = 480;
// The mask panels are never shown; they cover the top and bottom halves.
constexpr int kMaskH = kStageH / 2;

struct TPanelLayout {
    int parent; // a panel id, or -1 for a tree of its own
    int y, w, h;
    TMaskMode mode;
    bool visible;
};

} // namespace

void TStageUnit::BuildPanels()
{
    // Character panels take their size from the character; weather and mask panels start hidden.
    const TPanelLayout layout[pnCount] = {
        /* pnStage */ {-1, 0, kStageW, kStageH, mmNormal, true},
        /* pnBG */ {-1, 0, kStageW, kStageH, mmNormal, true},
        /* pnWeatherBack */ {pnBG, 0, kStageW, kStageH, mmNone, false},
        /* pnMaskTop */ {pnBG, 0, kStageW, kMaskH, mmNormal, false},
        /* pnMaskBtm */ {pnBG, kMaskH, kStageW, kMaskH, mmNormal, false},
        /* pnOutCharRight */ {pnBG, 0, 0, 0, mmNone, false},
        /* pnOutCharLeft */ {pnBG, 0, 0, 0, mmNone, false},
        /* pnOutCharCenter */ {pnBG, 0, 0, 0, mmNone, false},
        /* pnCharRight */ {pnBG, 0, 0, 0, mmNone, false},
        /* pnCharLeft */ {pnBG, 0, 0, 0, mmNone, false},
        /* pnCharCenter */ {pnBG, 0, 0, 0, mmNone, false},
        /* pnWeatherFront */ {pnBG, 0, kStageW, kStageH, mmNone, false},
        /* pnBG2 */ {-1, 0, kStageW, kStageH, mmNormal, true},
        /* pnWeatherBack2 */ {pnBG2, 0, kStageW, kStageH, mmNone, false},
        /* pnMaskTop2 */ {pnBG2, 0, kStageW, kMaskH, mmNormal, false},
        /* pnMaskBtm2 */ {pnBG2, kMaskH, kStageW, kMaskH, mmNormal, false},
        /* pnCharRight2 */ {pnBG2, 0, 0, 0, mmNone, false},
        /* pnCharLeft2 */ {pnBG2, 0, 0, 0, mmNone, false},
        /* pnCharCenter2 */ {pnBG2, 0, 0, 0, mmNone, false},
        /* pnWeatherFront2 */ {pnBG2, 0, kStageW, kStageH, mmNone, false},
    };
    for (int id = 0; id < pnCount; ++id) {
        const TPanelLayout& l = layout[id];
        auto panel = std::make_unique<TXeRGBPanel>(nullptr);
        panel->SetAutoSize(false);
        panel->SetOffsetY(l.y);
        panel->SetSizeX(l.w);
        panel->SetSizeY(l.h);
        panel->SetMaskMode(l.mode);
        panel->SetVisible(l.visible);
        if (l.parent >= 0)
            panel->SetParent(Panel(l.parent));
        panels_[static_cast<std::size_t>(id)] = std::move(panel);
    }
    Panel(pnStage)->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        StageMouseDown(button);
    };
    AssignDrawEvents();
}

TStageUnit::TStageUnit(TComponent* owner, TRandom& random, const TUserConfig& config, TSystemState& system)
    : TComponent(owner), random_(random), config_(config), system_(system)
{
    BuildPanels();
}

TStageUnit::~TStageUnit()
{
    if (FInitialized)
        Finalize();
}

TXeRGBPanel* TStageUnit::CharPanel(int row, int slot) const
{
    static constexpr TPanelId table[3][3] = {{pnCharLeft, pnCharCenter, pnCharRight},
                                             {pnOutCharLeft, pnOutCharCenter, pnOutCharRight},
                                             {pnCharLeft2, pnCharCenter2, pnCharRight2}};
    return Panel(table[row][slot]);
}

TXeRGBPanel* TStageUnit::WeatherPanel(bool front, bool secondScene) const
{
    if (secondScene)
        return Panel(front ? pnWeatherFront2 : pnWeatherBack2);
    return Panel(front ? pnWeatherFront : pnWeatherBack);
}

bool TStageUnit::Initialize(TFileMan* dataFiles)
{
    FDataFiles = dataFiles;
    FBGFiles = MakeRegistered<TFileMan>();
    FCharFiles = MakeRegistered<TFileMan>();
    if (!FBGFiles || !FCharFiles) {
        Finalize();
        return false;
    }
    if (!FBGFiles.get()->InitPack("EvBG.pak"))
        FBGFiles.get()->InitDir("EvBG_Pak");
    if (!FCharFiles.get()->InitPack("EvCG.pak"))
        FCharFiles.get()->InitDir("EvCG_Pak");
    Panel(pnBG)->AllCreate();
    Panel(pnBG2)->AllCreate();
    Panel(pnStage)->AllCreate();
    if (!RecreatePanelImage(Panel(pnStage), mmNormal)) {
        Finalize();
        return false;
    }
    try {
        BGStatCreate(0, 1);
    } catch (...) {
        Finalize();
        throw;
    }
    if (!LoadImageFile(&FSnow, nullptr, "Snow.bmp", FDataFiles)) {
        Finalize();
        return false;
    }
    FTransition.Reset();
    FState = stIdle;
    FInitialized = true;
    return true;
}

void TStageUnit::Finalize()
{
    EndTransition();
    ReleaseEffectData();
    for (int block : {0, 1})
        BGStatRelease(block);
    for (int set = 0; set < 3; ++set)
        ReleaseCharacterSet(set);
    if (FSnow != nullptr && MemMan != nullptr)
        MemMan->Delete(FSnow);
    if (Panel(pnStage)->Image() != nullptr)
        FreePanelImage(Panel(pnStage));
    for (int id : {pnStage, pnBG, pnBG2})
        Panel(id)->AllRelease();
    FBGFiles = RegistryHold<TFileMan>(nullptr);
    FCharFiles = RegistryHold<TFileMan>(nullptr);
    FState = stNone;
    FInitialized = false;
}

void TStageUnit::Attach(TXeRGBPanel* parent) { Panel(pnStage)->SetParent(parent); }

void TStageUnit::Detach() { Panel(pnStage)->SetParent(nullptr); }

void TStageUnit::Reset()
{
    EndRunningChange();
    FScene2BG = 0;
    Panel(pnBG)->SetVisible(true);
    BGStatRelease(1);
    if (FBG[0].Picture != nullptr)
        FBG[0].Picture->Cls();
    FLastBG = FCurBG = FReqBG = kBlackPicture;
    FCurSuffix = kPlainPicture;
    FScene2Char = {};
    for (int row = 0; row < 3; ++row)
        for (int slot = 0; slot < 3; ++slot) {
            CharPanel(row, slot)->SetVisible(false);
            CharStatRelease(row, slot);
        }
    FCurChar.fill(kNoCharacter);
    FReqChar.fill(kNoCharacter);
    FArrangement = 0;
    FTimeBand = FStageMode = FTone = 0;
    FWeatherLevel = 4;
    for (bool front : {false, true})
        for (bool second : {false, true})
            WeatherPanel(front, second)->SetVisible(false);
    FBG[0].WeatherKind = kWeatherNone;
    FBG[0].WeatherLevel = 4;
    FState = stIdle;
    RedrawAll();
}

void TStageUnit::SetWeatherLevel(int level)
{
    if (level >= 0 && level < 5)
        FWeatherLevel = level;
}

void TStageUnit::SetCharacters(int left, int center, int right, int arrangement)
{
    FReqChar = {left, center, right};
    FArrangement = arrangement;
}

bool TStageUnit::Update(int frames, bool skip)
{
    if (frames == 0)
        return IsChanging();
    if (config_.SimpleDisplay == 0)
        StepAnimations(frames);
    bool whole = false;
    switch (FState) {
    case stTransition:
        if (FTransition.IsDone() || skip) {
            EndStageTransition();
        } else {
            if (!FSimpleSnap) {
                RenderScene(Panel(pnBG), FTo);
                // Kinds 7 to 12 keep their trails in the from-picture: it is theirs to change.
                if (FTransKind < 7 || FTransKind > 12)
                    RenderScene(Panel(pnBG2), FFrom);
            }
            FTransition.Advance(frames);
        }
        whole = true;
        break;
    case stMotion:
        FMotionStep = skip ? 8 : FMotionStep + 1;
        if (FMotionStep >= 8)
            FState = stIdle;
        UpdateCharacterPanels();
        whole = FState == stIdle;
        break;
    case stEffect:
        if (FEffectKind == kEffectFlash) {
            UpdateFlash(frames, skip);
            whole = true;
        } else {
            UpdateShake(skip);
        }
        break;
    default: break;
    }
    whole ? RedrawAll() : RedrawModified();
    return IsChanging();
}

void TStageUnit::RenderScene(TXeRGBPanel* scene, TXeRGBBits* into)
{
    if (into != nullptr)
        scene->Draw(into);
}

void TStageUnit::RedrawAll()
{
    TXeRGBPanel* stage = Panel(pnStage);
    TXeRGBBits* picture = stage->Image();
    if (picture == nullptr)
        return;
    const bool transition = FState == stTransition || (FState == stEffect && FEffectKind == kEffectFlash);
    if (transition && !FTransition.IsDone())
        FTransition.Draw(picture, nullptr);
    else
        Panel(pnBG)->Draw(picture);
    stage->SetModify();
}

void TStageUnit::RedrawModified()
{
    TXeRGBPanel* stage = Panel(pnStage);
    TXeRGBBits* picture = stage->Image();
    TXeRGBPanel* scene = Panel(pnBG);
    if (picture == nullptr || !scene->GetModified())
        return;
    TXeRectSet dirty;
    scene->GetModifiedRectSet(dirty);
    scene->Update(picture);
    for (const TXeRect& r : dirty)
        stage->SetModifyRect(r);
}

void TStageUnit::StageMouseDown(TMouseButton button)
{
    if (!FOnClick)
        return;
    switch (button) {
    case mbLeft: FOnClick(1); break;
    case mbRight: FOnClick(2); break;
    case mbMiddle: FOnClick(3); break;
    }
}

// TMaskEffect: the wipe of the mask transitions, shaped by an 8-bit mask picture, and the work mask
// that each wipe step rebuilds from it (the mask itself never changes, so steps may repeat or run
// backward).
#pragma once

#include "platform/classes/AnsiString.h"

class TFileMan;
class TXeAlpha;

class TMaskEffect {
public:
    TMaskEffect() = default;
    ~TMaskEffect();
    TMaskEffect(const TMaskEffect&) = delete;
    TMaskEffect& operator=(const TMaskEffect&) = delete;

    // Releases a loaded mask; makes both planes through the memory registry, loads the named 8-bit
    // BMP into the mask and gives the work mask its size. When either plane lacks pixels afterwards
    // both are destroyed and EGameErr is raised.
    void Load(TFileMan* files, const AnsiString& fileName);
    void Release();
    bool Loaded() const { return FLoaded; }

    // The work mask becomes (only while loaded): the extraction ramp of the mask with the level, the
    // mask plus the level, the mask minus the level (saturating).
    void ExtractLevel(int level);
    void AddLevel(int level);
    void SubLevel(int level);

    const TXeAlpha* Mask() const { return FMask; }
    const TXeAlpha* WorkMask() const { return FWorkMask; }

private:
    bool FLoaded = false;
    TXeAlpha* FMask = nullptr;
    TXeAlpha* FWorkMask = nullptr;
};

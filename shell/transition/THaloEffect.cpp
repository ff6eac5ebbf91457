#include "shell/transition/THaloEffect.h"

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/OpenedFile.h"

namespace {

// A new bitmap of the depth holding the named BMP, or null.
TXeRGBBits* LoadBitmap(TFileMan* files, const char* name, TBitDepth depth)
{
    TXeRGBBits* bits = MemMan->CreateVCL<TXeRGBBits>();
    if (bits == nullptr)
        return nullptr;
    bits->SetBitDepth(depth);
    const OpenedFile file(files, name);
    bool loaded = false;
    try {
        loaded = file.get() != nullptr && bits->DrawBmpStream(file.get(), 0, 0) && bits->Created();
    } catch (const Exception&) {
        loaded = false;
    }
    if (!loaded)
        MemMan->Delete(bits);
    return bits;
}

} // namespace

THaloEffect::~THaloEffect()
{
    Release();
}

void THaloEffect::Load(TFileMan* files, TBitDepth depth)
{
    Release();
    if (MemMan == nullptr)
        throw EGameErr();
    FBack = LoadBitmap(files, kBackFile, depth);
    bool complete = FBack != nullptr;
    for (int k = 0; k < kSpriteCount && complete; ++k) {
        FSprites[static_cast<std::size_t>(k)] = LoadBitmap(files, kSpriteFiles[static_cast<std::size_t>(k)], depth);
        complete = FSprites[static_cast<std::size_t>(k)] != nullptr;
    }
    if (!complete) {
        Release();
        throw EGameErr();
    }
    FLoaded = true;
}

void THaloEffect::Release()
{
    if (MemMan != nullptr) {
        MemMan->Delete(FBack);
        for (TXeRGBBits*& sprite : FSprites)
            MemMan->Delete(sprite);
    }
    FBack = nullptr;
    FSprites = {};
    FLoaded = false;
}

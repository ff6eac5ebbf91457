#include "shell/transition/TMaskEffect.h"

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/OpenedFile.h"

TMaskEffect::~TMaskEffect()
{
    Release();
}

void TMaskEffect::Load(TFileMan* files, const AnsiString& fileName)
{
    Release();
    if (MemMan == nullptr)
        throw EGameErr();
    FMask = MemMan->CreateVCL<TXeAlpha>();
    FWorkMask = MemMan->CreateVCL<TXeAlpha>();
    if (FMask != nullptr && FWorkMask != nullptr) {
        const OpenedFile file(files, fileName);
        try {
            if (file.get() != nullptr && FMask->LoadAlphaStream(file.get(), 0, 0) && FMask->Created()) {
                FWorkMask->Resize(FMask->Width(), FMask->Height());
                FWorkMask->Create();
            }
        } catch (const Exception&) {
            // A broken picture leaves the mask without pixels: refused below.
        }
    }
    if (FMask == nullptr || FWorkMask == nullptr || !FMask->Created() || !FWorkMask->Created()) {
        Release();
        throw EGameErr();
    }
    FLoaded = true;
}

void TMaskEffect::Release()
{
    if (MemMan != nullptr) {
        MemMan->Delete(FMask);
        MemMan->Delete(FWorkMask);
    }
    FMask = nullptr;
    FWorkMask = nullptr;
    FLoaded = false;
}

void TMaskEffect::ExtractLevel(int level)
{
    if (FLoaded)
        FWorkMask->Extract(0, 0, FMask, 0, 0, FMask->Width(), FMask->Height(), level);
}

void TMaskEffect::AddLevel(int level)
{
    if (FLoaded)
        FWorkMask->SAdd(0, 0, FMask, 0, 0, FMask->Width(), FMask->Height(), level);
}

void TMaskEffect::SubLevel(int level)
{
    if (FLoaded)
        FWorkMask->SSub(0, 0, FMask, 0, 0, FMask->Width(), FMask->Height(), level);
}

#include "songgame/stage/StageResources.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameGlobals.h"

StageResources::~StageResources()
{
    for (StageCharacter& character : characters) {
        for (PictureEntry& entry : character.entries)
            FreeEntry(entry);
        FreeEntry(character.miss);
    }
}

void StageResources::Free(TFileMan& files)
{
    for (StagePicture& picture : backgrounds)
        ClosePicture(files, picture);
    for (BackgroundAnimation& animation : animations) {
        for (StagePicture& frame : animation.frames)
            ClosePicture(files, frame);
        animation = BackgroundAnimation{};
    }
    for (StageCharacter& character : characters) {
        for (PictureEntry& entry : character.entries)
            FreeEntry(entry);
        FreeEntry(character.miss);
    }
    for (auto& effect : effects)
        effect.reset();
    tempo = DefaultTempo;
}

void StageResources::FreeEntry(PictureEntry& entry)
{
    if (MemMan != nullptr) {
        MemMan->Delete(entry.picture);
        MemMan->Delete(entry.mask);
    }
    entry = PictureEntry{};
}

void StageResources::ClosePicture(TFileMan& files, StagePicture& picture)
{
    if (picture.stream != nullptr)
        files.Close(picture.stream);
    picture = StagePicture{};
}

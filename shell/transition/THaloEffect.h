// THaloEffect: the pictures of the halo transition: a backdrop added onto the darkened source and five
// glowing sprites that fly out from the top-left corner.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

#include <array>

class TFileMan;
class TXeRGBBits;

class THaloEffect {
public:
    static constexpr int kSpriteCount = 5;
    static constexpr const char* kBackFile = "HaloBack.bmp";
    // In load order, which is the order the transition flies them in.
    static constexpr std::array<const char*, kSpriteCount> kSpriteFiles = {
        "HaloBlueB.bmp", "HaloYellowB.bmp", "HaloYellowS.bmp", "HaloBlueS.bmp", "HaloGreen.bmp"};

    THaloEffect() = default;
    ~THaloEffect();
    THaloEffect(const THaloEffect&) = delete;
    THaloEffect& operator=(const THaloEffect&) = delete;

    // Releases a loaded set; makes the six bitmaps through the memory registry in the given depth
    // and reads the six BMP files into them. Any failure destroys what was made and raises EGameErr.
    void Load(TFileMan* files, TBitDepth depth);
    void Release();
    bool Loaded() const { return FLoaded; }

    TXeRGBBits* Back() const { return FBack; }
    TXeRGBBits* Sprite(int k) const { return FSprites[static_cast<std::size_t>(k)]; }

private:
    bool FLoaded = false;
    TXeRGBBits* FBack = nullptr;
    std::array<TXeRGBBits*, kSpriteCount> FSprites{};
};

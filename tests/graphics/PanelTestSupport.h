// Helpers of the panel tests: pictures and alpha maps made in code, and an owner that destroys
// whatever a test makes.
#pragma once

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

// Owns every component a test makes; panels are made with it as owner and a parent.
struct TPanelScene {
    std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);

    // A created w x h picture in `format` whose pixel (x, y) is fill(x, y) as a pixel value.
    TXeRGBBits* Picture(int w, int h, TPixFormat format, const std::function<std::uint32_t(int, int)>& fill) const
    {
        auto* bits = new TXeRGBBits(owner.get());
        bits->SetPixFormat(format);
        bits->Resize(w, h);
        bits->Create();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bits->PSet(x, y, fill(x, y));
        return bits;
    }
    TXeRGBBits* Solid(int w, int h, TPixFormat format, std::uint32_t value) const
    {
        return Picture(w, h, format, [value](int, int) { return value; });
    }
    TXeAlpha* AlphaMap(int w, int h, const std::function<std::uint8_t(int, int)>& fill) const
    {
        auto* alpha = new TXeAlpha(owner.get());
        alpha->Resize(w, h);
        alpha->Create();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                alpha->PSet(x, y, fill(x, y));
        return alpha;
    }
    // A panel at (x, y) of w x h under parent, not yet created.
    TXeRGBPanel* Panel(TXeRGBPanel* parent, int x, int y, int w, int h) const
    {
        auto* panel = new TXeRGBPanel(owner.get(), parent);
        panel->SetAutoSize(false);
        panel->SetOffsetX(x);
        panel->SetOffsetY(y);
        panel->SetSizeX(w);
        panel->SetSizeY(h);
        return panel;
    }
};

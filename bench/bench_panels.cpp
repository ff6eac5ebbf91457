// Panel tree painting: a full repaint of a 640x480 tree of 50 panels (an opaque root and 49
// panels drawn opaque, keyed or through alpha maps) and the repaint of the collected dirty
// rectangles after one 64x64 panel moves, next to a memcpy of the whole frame, in 16 and 32 bits.
// The figure to read: the moved repaint should cost at most 5% of the full one. Also: building and
// tearing down a tree of owned panels, by the thousand.
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kPanels = 50;
constexpr int kMovedSize = 64;

// The tree, its pictures and a back buffer; everything is owned by one component.
class TBenchTree {
public:
    explicit TBenchTree(TPixFormat format) : format_(format)
    {
        root_ = NewPanel(nullptr, 0, 0, Picture(kWidth, kHeight), mmNormal);
        for (int i = 1; i < kPanels - 1; ++i) {
            const int w = 48 + Pick(112);
            const int h = 48 + Pick(96);
            NewPanel(root_, Pick(kWidth - w), Pick(kHeight - h), Picture(w, h), static_cast<TMaskMode>(i % 3));
        }
        moved_ = NewPanel(root_, 200, 200, Picture(kMovedSize, kMovedSize), mmColorKey);
        back_ = Picture(kWidth, kHeight);
        root_->AllCreate();
        root_->Draw(back_);
    }

    bool FullRepaint() { return root_->Draw(back_); }
    // Moves the 64x64 panel back and forth by 8 pixels and repaints what that dirtied.
    bool MoveAndRepaint()
    {
        step_ = -step_;
        moved_->SetOffsetX(moved_->OffsetX() + step_);
        return root_->Update(back_);
    }
    std::size_t FrameBytes() const { return static_cast<std::size_t>(kWidth) * kHeight * PixFormatBytes(format_); }

private:
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    TXeRGBBits* Picture(int w, int h)
    {
        auto* bits = new TXeRGBBits(owner_.get());
        bits->SetPixFormat(format_);
        bits->Resize(w, h);
        bits->Create();
        for (int y = 0; y < h; y += 8)
            bits->BoxFill(0, y, w - 1, y + 3, rng_() & 0xFFFF);
        return bits;
    }
    TXeAlpha* AlphaRamp(int w, int h)
    {
        auto* alpha = new TXeAlpha(owner_.get());
        alpha->Resize(w, h);
        alpha->Create();
        for (int x = 0; x < w; ++x)
            alpha->Line(x, 0, x, h - 1, static_cast<std::uint8_t>(x * 255 / w));
        return alpha;
    }
    TXeRGBPanel* NewPanel(TXeRGBPanel* parent, int x, int y, TXeRGBBits* image, TMaskMode mode)
    {
        auto* panel = new TXeRGBPanel(owner_.get(), parent);
        panel->SetImage(image);
        panel->SetAlpha(AlphaRamp(image->Width(), image->Height()));
        panel->SetOffsetX(x);
        panel->SetOffsetY(y);
        panel->SetMaskMode(mode);
        return panel;
    }

    TPixFormat format_;
    std::mt19937 rng_{7};
    std::unique_ptr<TComponent> owner_ = std::make_unique<TComponent>(nullptr);
    TXeRGBPanel* root_ = nullptr;
    TXeRGBPanel* moved_ = nullptr;
    TXeRGBBits* back_ = nullptr;
    int step_ = 8;
};

TPixFormat FormatOf(const benchmark::State& state) { return state.range(0) == 16 ? pf16_565 : pf32_888; }

void BM_FullRepaint(benchmark::State& state)
{
    TBenchTree tree(FormatOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.FullRepaint());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tree.FrameBytes()));
}

void BM_MoveOnePanelRepaint(benchmark::State& state)
{
    TBenchTree tree(FormatOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.MoveAndRepaint());
}

void BM_FrameMemcpy(benchmark::State& state)
{
    const std::size_t bytes = static_cast<std::size_t>(kWidth) * kHeight * (state.range(0) / 8);
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// N panels under one root, all owned by one component, made and then destroyed with the owner;
// the figure to read is the growth from 2,000 to 8,000 panels, which should be linear.
void BM_BuildAndTearDownOwnedPanels(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto owner = std::make_unique<TComponent>(nullptr);
        auto* root = new TXeRGBPanel(owner.get());
        root->SetAutoSize(false);
        for (int i = 0; i < n; ++i) {
            auto* panel = new TXeRGBPanel(owner.get(), root);
            panel->SetAutoSize(false);
            panel->SetOffsetX(i % 600);
            panel->SetOffsetY(i / 600 * 8);
            panel->SetSizeX(16);
            panel->SetSizeY(8);
        }
        owner.reset();
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_BuildAndTearDownOwnedPanels)->Arg(2000)->Arg(8000)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveOnePanelRepaint)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameMemcpy)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

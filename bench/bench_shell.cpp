// The main form's compositor on the headless display: a frame whose only change is the software
// cursor, a full redraw of a 640x480 panel tree of 50 panels, and a memcpy of the frame, in one run.
// The figures to read: the cursor-only frame should cost at most 2% of the full redraw, and the full
// redraw at most 6x the memcpy (Release, full screen: 2.7 us, 187 us and 33 us, 1.5% and 5.7x).
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/display/TDDraw.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Application.h"
#include "platform/fs/FileSystem.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kPanels = 50;

// A created form in full screen at 32 bits, the game's depth, so without a work surface (in a
// window every present copies the whole screen), with a cursor sheet and a panel tree of 50 panels
// attached to its root, in the menu state.
class TBenchForm {
public:
    TBenchForm()
    {
        Application().OnMessageBox = [](const std::string&, const std::string&, int) { return idOK; };
        FormServices services = FormServices::Machine();
        services.programFolder = FileSystem::FromNative(std::filesystem::temp_directory_path()) + "\\";
        services.cursorPos = [this] { return mouse_; };
        back_.settings.keepLog = false;
        form_ = std::make_unique<TGameForm>(nullptr, "Script", "Game", services, window_.get());
        form_->FormCreate();
        DirectX::TDDraw* display = form_->Display();
        display->SetBitDepth(bd32);
        display->SetFullScreen(true);
        display->SetBackType(DirectX::btSystem);
        display->SetEnabled(true);
        TFormPictures& p = form_->Pictures();
        p.cursorBits = Picture(256, 32);
        cursorAlpha_.Resize(256, 32);
        cursorAlpha_.Create();
        cursorAlpha_.Fill(200);
        p.cursorAlpha = &cursorAlpha_;
        p.cursorBack = Picture(32, 32);
        BuildTree();
        form_->SetCursorKind(0);
        form_->EnterState2();
    }

    ~TBenchForm()
    {
        form_->DetachPanel(top_.get());
        form_->Pictures() = {};
    }

    // The mouse moves by 8 pixels and back; nothing else changes.
    void CursorFrame()
    {
        step_ = -step_;
        mouse_.x += step_;
        form_->Draw(0);
    }
    void Redraw() { form_->Redraw(); }

private:
    TXeRGBBits* Picture(int w, int h)
    {
        auto& bits = bitmaps_.emplace_back(std::make_unique<TXeRGBBits>(nullptr));
        bits->SetBitDepth(GameBitDepth);
        bits->Resize(w, h);
        bits->Create();
        for (int y = 0; y < h; y += 8)
            bits->BoxFill(0, y, w - 1, y + 3, rng_() & 0xFFFFFF);
        return bits.get();
    }

    void BuildTree()
    {
        top_ = std::make_unique<TXeRGBPanel>(nullptr);
        top_->SetImage(Picture(kWidth, kHeight));
        for (int i = 1; i < kPanels; ++i) {
            auto& panel = panels_.emplace_back(std::make_unique<TXeRGBPanel>(nullptr));
            const int w = 48 + static_cast<int>(rng_() % 112);
            const int h = 48 + static_cast<int>(rng_() % 96);
            panel->SetImage(Picture(w, h));
            panel->SetOffsetX(static_cast<int>(rng_() % (kWidth - w)));
            panel->SetOffsetY(static_cast<int>(rng_() % (kHeight - h)));
            panel->SetParent(top_.get());
        }
        form_->RootPanel()->SetCreated(true);
        top_->AllCreate();
        form_->AttachPanel(top_.get());
    }

    video::HeadlessVideo back_;
    std::unique_ptr<video::HeadlessWindow> window_ = back_.CreateWindow({kWidth, kHeight}, {0, 0});
    std::mt19937 rng_{7};
    std::vector<std::unique_ptr<TXeRGBBits>> bitmaps_;
    TXeAlpha cursorAlpha_{nullptr};
    std::unique_ptr<TXeRGBPanel> top_;
    std::vector<std::unique_ptr<TXeRGBPanel>> panels_;
    std::unique_ptr<TGameForm> form_;
    TPoint mouse_{300, 200};
    int step_ = 8;
};

TBenchForm& Form()
{
    static TBenchForm form;
    return form;
}

void BM_CursorOnlyFrame(benchmark::State& state)
{
    for (auto _ : state)
        Form().CursorFrame();
}
BENCHMARK(BM_CursorOnlyFrame);

void BM_FullRedraw(benchmark::State& state)
{
    for (auto _ : state)
        Form().Redraw();
}
BENCHMARK(BM_FullRedraw);

void BM_MemcpyFrame(benchmark::State& state)
{
    const std::size_t bytes = static_cast<std::size_t>(kWidth) * kHeight * 4;
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFrame);

} // namespace

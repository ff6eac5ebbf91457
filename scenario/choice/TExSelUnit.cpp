// TExSelUnit: the full-screen choice window: its panel, fades, drawing and reports.
#include "scenario/choice/TExSelUnit.h"

#include "shell/helpers/PictureLoading.h"

#include <algorithm>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kOpaque = 128;
// Blend level gained or lost per fade frame.
constexpr int kLevelPerFrame = kOpaque / TExSelUnit::kFadeFrames;

} // namespace

TExSelUnit::TExSelUnit(TComponent* owner) : TComponent(owner) {}

TExSelUnit::~TExSelUnit() { Finalize(); }

bool TExSelUnit::Initialize(TFileMan* files)
{
    Finalize();
    files_ = files;
    window_ = std::make_unique<TXeRGBPanel>(nullptr);
    window_->Name = "ExSelWin";
    window_->SetText(kPictureName);
    window_->SetSizeX(kWidth);
    window_->SetSizeY(kHeight);
    window_->SetVisible(false);
    window_->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        ExSelWinMouseDown(sender, button, shift, x, y);
    };
    window_->OnDraw = [this](TObject* sender, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
        return ExSelPanelDraw(sender, dest, x, y, sx, sy, w, h);
    };
    window_->OnCreate = [this](TObject*) { WindowCreated(); };
    window_->OnRelease = [this](TObject*) { WindowReleased(); };
    state_ = kStateHidden;
    created_ = true;
    return true;
}

void TExSelUnit::Finalize()
{
    if (window_ != nullptr) {
        window_->SetParent(nullptr);
        window_->Release();
        window_.reset();
    }
    state_ = kStateNone;
    created_ = false;
}

void TExSelUnit::WindowCreated()
{
    // A missing picture leaves the window blank; the choice still works by its clicks.
    LoadPanelImage(window_.get(), window_->GetText(), files_);
}

void TExSelUnit::WindowReleased() { FreePanelImage(window_.get()); }

void TExSelUnit::Attach(TXeRGBPanel* parent)
{
    if (window_ != nullptr)
        window_->SetParent(parent);
}

void TExSelUnit::Detach() { Attach(nullptr); }

void TExSelUnit::SetIndex(int index)
{
    if (index >= 0)
        index_ = index;
}

void TExSelUnit::Show(bool atOnce)
{
    if (window_ == nullptr)
        return;
    window_->SetVisible(true);
    selected_ = -1;
    if (atOnce) {
        BecomeShown();
        return;
    }
    fadeFrames_ = kFadeFrames;
    state_ = kStateFadingIn;
    window_->SetModify();
}

void TExSelUnit::Hide(bool atOnce)
{
    if (window_ == nullptr)
        return;
    if (atOnce) {
        window_->SetVisible(false);
        state_ = kStateHidden;
        return;
    }
    fadeFrames_ = kFadeFrames;
    state_ = kStateFadingOut;
    window_->SetModify();
}

void TExSelUnit::Update(bool skip)
{
    switch (state_) {
    case kStateFadingIn:
    case kStateFadingOut:
        if (skip)
            fadeFrames_ = 1;
        if (fadeFrames_ > 0) {
            --fadeFrames_;
            window_->SetModify();
        }
        if (fadeFrames_ > 0)
            return;
        if (state_ == kStateFadingIn) {
            BecomeShown();
        } else {
            window_->SetVisible(false);
            state_ = kStateHidden;
        }
        return;
    case kStateShown: Notify(kCodeShown); return;
    default: return;
    }
}

void TExSelUnit::BecomeShown()
{
    selected_ = 0;
    Notify(kCodeBecameShown);
    state_ = kStateShown;
}

void TExSelUnit::Notify(int code)
{
    if (callback_)
        callback_(code);
}

int TExSelUnit::FadeLevel() const
{
    switch (state_) {
    case kStateFadingIn: return kOpaque - kLevelPerFrame * fadeFrames_;
    case kStateFadingOut: return kLevelPerFrame * fadeFrames_;
    default: return kOpaque;
    }
}

void TExSelUnit::ExSelWinMouseDown(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button == mbLeft)
        Notify(kCodeLeftClick);
    else if (button == mbRight)
        Notify(kCodeRightClick);
}

bool TExSelUnit::ExSelPanelDraw(TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h)
{
    if (state_ != kStateFadingIn && state_ != kStateFadingOut)
        return false;
    TXeRGBBits* image = window_->Image();
    if (image == nullptr || !image->Created())
        return true;
    // The shown block of the picture strip, cut at the strip's right and bottom edges.
    const int top = sy + window_->BlockIndex() * window_->SizeY();
    w = std::min(w, image->Width() - sx);
    h = std::min(h, image->Height() - top);
    if (w <= 0 || h <= 0)
        return true;
    const int level = FadeLevel();
    const TXeAlpha* alpha = window_->MaskMode() == mmAlpha ? window_->Alpha() : nullptr;
    if (alpha != nullptr) {
        if (level >= kOpaque)
            dest->DrawAlphaMask(x, y, image, sx, top, w, h, alpha);
        else
            dest->DrawDoubleAlphaMask(x, y, image, sx, top, w, h, alpha, level);
    } else if (level >= kOpaque) {
        dest->Draw(x, y, image, sx, top, w, h);
    } else if (level > 0) {
        dest->AlphaBlend(x, y, image, sx, top, w, h, level);
    }
    return true;
}

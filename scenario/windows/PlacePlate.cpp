#include "scenario/windows/PlacePlate.h"

#include "base/packs/TFileMan.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Format.h"
#include "shell/helpers/PictureLoading.h"

bool PlacePlate::IsReady() const { return state_ != wsClosing && panel_->Visible(); }

void PlacePlate::PlaceAt(int stepsLeft)
{
    const int w = panel_->SizeX();
    panel_->SetOffsetX(Left - (w + Left) * stepsLeft / SlideSteps);
    panel_->SetModify();
}

bool PlacePlate::Open(std::int32_t place, TFileMan* files)
{
    FreePanelImage(panel_);
    const AnsiString name = Format("AvgPlace%02d.png", place);
    if (files == nullptr || !files->FileIsExist(name) || !LoadPanelImage(panel_, name, files)) {
        Close();
        return false;
    }
    panel_->SetSizeX(panel_->Image()->Width());
    panel_->SetSizeY(panel_->Image()->Height());
    panel_->SetOffsetY(Top);
    PlaceAt(SlideSteps);
    panel_->SetVisible(true);
    counter_ = SlideSteps;
    state_ = wsOpening;
    return IsActive();
}

void PlacePlate::Close()
{
    FreePanelImage(panel_);
    panel_->SetVisible(false);
    state_ = wsIdle;
}

bool PlacePlate::Update(bool finish)
{
    if (finish)
        counter_ = 0;
    switch (state_) {
    case wsOpening:
        if (counter_ < 1) {
            PlaceAt(0);
            counter_ = ShownSteps;
            state_ = wsPrinting;
        } else {
            PlaceAt(--counter_);
        }
        break;
    case wsPrinting:
        if (--counter_ < 1) {
            counter_ = SlideSteps;
            state_ = wsClosing;
        }
        panel_->SetModify();
        break;
    case wsClosing:
        if (counter_ < 1)
            Close();
        else
            PlaceAt(SlideSteps - --counter_);
        break;
    case wsIdle:
        break;
    }
    return IsActive();
}

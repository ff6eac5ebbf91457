#include "scenario/windows/PlacePlate.h"

#include "base/packs/TFileMan.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Format.h"
#include "shell/helpers/PictureLoading.h"

bool PlacePlate::IsReady() const { return State() != wsClosing && panel_->Visible(); }

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
    slide_.SlideIn();
    return IsActive();
}

void PlacePlate::Close()
{
    FreePanelImage(panel_);
    panel_->SetVisible(false);
    slide_.End();
}

bool PlacePlate::Update(bool finish)
{
    // The name is redrawn every step it stays.
    const bool shown = State() == wsPrinting;
    const PlateSlide::Move move = slide_.Step(finish);
    if (move.place)
        PlaceAt(move.stepsLeft);
    if (shown)
        panel_->SetModify();
    if (move.ended)
        Close();
    return IsActive();
}

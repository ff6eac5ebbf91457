// TGameForm: the UI thread's input handlers, which queue records in the menu and adventure states,
// and the replay of the queue into the root panel at the start of a frame.
#include "shell/form/TGameForm.h"

#include "graphics/panels/TXeRGBPanel.h"

namespace {

bool TakesInput(std::uint8_t state)
{
    return state == fsMenu || state == fsAdventure;
}

} // namespace

void TGameForm::FormMouseMove(TObject*, TShiftState shift, int x, int y)
{
    PushInput(TInputRecord::MouseMove(shift, x, y));
}

void TGameForm::FormMouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y)
{
    PushInput(TInputRecord::MouseButton(ikMouseDown, button, shift, x, y));
}

void TGameForm::FormMouseUp(TObject*, TMouseButton button, TShiftState shift, int x, int y)
{
    PushInput(TInputRecord::MouseButton(ikMouseUp, button, shift, x, y));
}

void TGameForm::FormMouseWheel(TObject*, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)
{
    PushInput(TInputRecord::MouseWheel(shift, wheelDelta, mousePos.x, mousePos.y));
    handled = true;
}

void TGameForm::FormKeyDown(TObject*, std::uint16_t& key, TShiftState shift)
{
    PushInput(TInputRecord::Key(ikKeyDown, key, shift));
}

void TGameForm::FormKeyUp(TObject*, std::uint16_t& key, TShiftState shift)
{
    PushInput(TInputRecord::Key(ikKeyUp, key, shift));
}

void TGameForm::FormKeyPress(TObject*, char& key)
{
    PushInput(TInputRecord::KeyPress(key));
}

void TGameForm::FormMouseEnter()
{
    const TPoint p = FServices.cursorPos();
    PushInput(TInputRecord::MouseEnter(p.x, p.y));
}

void TGameForm::FormMouseLeave()
{
    PushInput(TInputRecord::MouseLeave());
}

void TGameForm::PushInput(const TInputRecord& record)
{
    // Input outside the menu and adventure states is dropped, not kept for later.
    if (TakesInput(FState))
        FInput.Push(record);
}

void TGameForm::ReplayInput()
{
    if (TakesInput(FState))
        FInput.Replay(*FRootPanel);
}

void TGameForm::ClearInput()
{
    FInput.Clear();
}

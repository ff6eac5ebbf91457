// TGameForm: the UI thread's input handlers, which queue records in the menu and adventure states,
// and the replay of the queue into the root panel at the start of a frame.
#include "shell/form/TGameForm.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/host/WindowEvent.h"

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

bool TGameForm::HandleInputEvent(const host::WindowEvent& e)
{
    using Kind = host::WindowEvent::Kind;
    std::uint16_t key = e.key;
    switch (e.kind) {
    case Kind::KeyDown:
        FormKeyDown(this, key, e.shift);
        return true;
    case Kind::KeyUp:
        FormKeyUp(this, key, e.shift);
        return true;
    case Kind::KeyPress: {
        char character = static_cast<char>(e.key & 0xFF);
        FormKeyPress(this, character);
        return true;
    }
    case Kind::MouseMove:
        FormMouseMove(this, e.shift, e.x, e.y);
        return true;
    case Kind::MouseDown:
        FormMouseDown(this, e.button, e.shift, e.x, e.y);
        return true;
    case Kind::MouseUp:
        FormMouseUp(this, e.button, e.shift, e.x, e.y);
        return true;
    case Kind::MouseWheel: {
        bool handled = false;
        FormMouseWheel(this, e.shift, e.wheelDelta, TPoint{e.x, e.y}, handled);
        return true;
    }
    case Kind::MouseEnter:
        PushInput(TInputRecord::MouseEnter(e.x, e.y));
        return true;
    case Kind::MouseLeave:
        FormMouseLeave();
        return true;
    default:
        return false;
    }
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

#include "scenario/adventure/AvgModes.h"

bool AvgModes::Toggles(WaitState state)
{
    return state == WaitState::Timed || state == WaitState::Click || state == WaitState::TextPrinting;
}

bool AvgModes::ToggleAuto(WaitState state)
{
    if (!Toggles(state))
        return false;
    auto_ = !auto_;
    skip_ = false;
    return true;
}

bool AvgModes::ToggleSkip(WaitState state)
{
    if (!Toggles(state))
        return false;
    skip_ = !skip_;
    auto_ = false;
    return true;
}

void AvgModes::Click(WaitState state)
{
    if (state != WaitState::Choice && state != WaitState::ExSel)
        skip_ = auto_ = false;
    switch (state) {
    case WaitState::Timed:
    case WaitState::Click:
    case WaitState::StageChange:
    case WaitState::TextPrinting:
    case WaitState::ExSelDecided:
        hurry_ = true;
        break;
    default:
        break;
    }
}

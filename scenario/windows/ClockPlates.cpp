#include "scenario/windows/ClockPlates.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "scenario/records/GameCalendar.h"
#include "scenario/records/TGameState.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr int ScreenWidth = 640;

void SetDigitPair(TXeRGBPanel* tens, TXeRGBPanel* ones, int value)
{
    tens->SetBlockIndex(value / 10);
    ones->SetBlockIndex(value % 10);
}

} // namespace

bool ClockPlate::IsReady() const { return State() != wsClosing && panel_->Visible(); }

void ClockPlate::PlaceAt(int c)
{
    const int w = panel_->SizeX();
    const int h = panel_->SizeY();
    panel_->SetOffsetX(fromRight_ ? ScreenWidth - w * (SlideSteps - c) / SlideSteps : -w * c / SlideSteps);
    panel_->SetOffsetY(-h * c / SlideSteps);
}

void ClockPlate::Open(bool atOnce)
{
    if (atOnce) {
        PlaceAt(0);
        panel_->SetVisible(true);
        slide_.Show();
    } else if (State() == wsIdle && !panel_->Visible()) {
        PlaceAt(SlideSteps);
        panel_->SetVisible(true);
        slide_.SlideIn();
    } else if (State() == wsClosing) {
        slide_.TurnBack();
    }
}

void ClockPlate::Close(bool atOnce)
{
    if (atOnce) {
        panel_->SetVisible(false);
        slide_.End();
    } else if (State() == wsPrinting || (State() == wsIdle && panel_->Visible())) {
        // A shown plate (state 4) leaves too: only hidden and leaving plates have nothing to do.
        slide_.SlideOut();
    } else if (State() == wsOpening) {
        slide_.TurnBack();
    }
}

void ClockPlate::Step(bool finish)
{
    const PlateSlide::Move move = slide_.Step(finish);
    if (move.place)
        PlaceAt(move.stepsLeft);
    if (move.ended)
        panel_->SetVisible(false);
}

void ClockPlates::SetPanels(TXeRGBPanel* datePlate, TXeRGBPanel* timePlate, const ClockDigits& digits)
{
    date_.SetPanel(datePlate);
    time_.SetPanel(timePlate);
    digits_ = digits;
}

ShownClock ClockPlates::TargetOf(const TGameState& state)
{
    ShownClock c;
    c.month = std::clamp(state.GetMonth(), 1, 12);
    c.day = std::clamp(state.GetDay(), 1, DaysInMonth(c.month));
    c.hour = std::clamp(state.GetHour(), 0, 23);
    c.minute = std::clamp(state.GetMinute(), 0, 59);
    c.frames = static_cast<int>(std::min<std::uint64_t>(std::uint64_t{state.GetSubMinute()} * 3 / 100, FramesPerMinute - 1));
    return c;
}

void ClockPlates::SetClock(const TGameState& state)
{
    shown_ = TargetOf(state);
    SetDateDigits();
    SetTimeDigits();
}

void ClockPlates::SetDateDigits()
{
    SetDigitPair(digits_.date[0], digits_.date[1], shown_.month);
    SetDigitPair(digits_.date[2], digits_.date[3], shown_.day);
}

void ClockPlates::SetTimeDigits()
{
    SetDigitPair(digits_.time[0], digits_.time[1], shown_.hour);
    SetDigitPair(digits_.time[2], digits_.time[3], shown_.minute);
}

ShownClock ClockPlates::Advance(ShownClock c, int frames)
{
    c.frames += frames;
    c.minute += c.frames / FramesPerMinute;
    c.frames %= FramesPerMinute;
    c.hour += c.minute / 60;
    c.minute %= 60;
    c.day += c.hour / 24;
    c.hour %= 24;
    while (c.day > DaysInMonth(c.month)) {
        c.day -= DaysInMonth(c.month);
        c.month = c.month % 12 + 1;
    }
    return c;
}

bool ClockPlates::IsLater(const ShownClock& a, const ShownClock& b)
{
    auto key = [](const ShownClock& c) {
        return std::make_tuple(c.month < 1 ? c.month + 12 : c.month, c.day, c.hour, c.minute, c.frames);
    };
    return key(a) > key(b);
}

bool ClockPlates::Update(const TGameState& state, int frames, bool finish)
{
    const ShownClock target = TargetOf(state);
    if (shown_ != target) {
        ShownClock next = Advance(shown_, std::max(frames, 0));
        if (IsLater(next, target))
            next = target;
        const bool dateChanged = next.month != shown_.month || next.day != shown_.day;
        const bool timeChanged = next.hour != shown_.hour || next.minute != shown_.minute;
        shown_ = next;
        if (dateChanged)
            SetDateDigits();
        if (timeChanged)
            SetTimeDigits();
    }
    blink_ = (blink_ + std::max(frames, 0) % BlinkFrames) % BlinkFrames;
    digits_.colon->SetVisible(blink_ < BlinkFrames / 2);
    date_.Step(finish);
    time_.Step(finish);
    return date_.IsActive() || time_.IsActive();
}

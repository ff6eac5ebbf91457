// TSubWinUnit: the small windows of the adventure screen: the message window and the full-screen
// novel window that print the scenario's messages, the backlog, the choice list, the date and time
// plates, the place-name plate and the side menu. The adventure screen attaches their panels under
// its own, steps each window once per frame and receives the player's actions as integer codes.
// Logic thread only (panel handlers run there too).
#pragma once

#include "scenario/windows/BacklogWindow.h"
#include "scenario/windows/ChoiceList.h"
#include "scenario/windows/ClockPlates.h"
#include "scenario/windows/PlacePlate.h"
#include "scenario/windows/RowRenderer.h"
#include "scenario/windows/SideMenu.h"
#include "scenario/windows/TextWindow.h"

#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class TFileMan;
class TGameState;
class SubWinHost;

class TSubWinUnit {
public:
    using EventMethod = std::function<void(int code)>;

    // Builds every window's panel tree; `state` is the record whose clock the plates show.
    TSubWinUnit(const TGameState& state, SubWinHost& host);
    ~TSubWinUnit();
    TSubWinUnit(const TSubWinUnit&) = delete;
    TSubWinUnit& operator=(const TSubWinUnit&) = delete;

    // Loads the pictures from the data files and makes the text layers and work planes; false
    // when a bitmap or plane cannot be made.
    bool Initialize(TFileMan* files);
    void Finalize();
    bool Initialized() const { return initialized_; }

    // The panel of that name (the tests and the adventure screen's placement read them).
    TXeRGBPanel* Panel(std::string_view name) const { return layout_[name]; }
    int BackgroundLevel() const { return backLevel_; }

    // Message window.
    void MesWinAttach(TXeRGBPanel* parent);
    void MesWinDetach();
    void MesWinSetOnEvent(EventMethod method) { mes_.onEvent = std::move(method); }
    bool MesWinIsActive() const { return mes_.IsActive(); }
    bool MesWinIsOpen() const { return mes_.IsOpen(); }
    bool MesWinIsReady() const { return mes_.IsReady(); }
    void MesWinOpen(bool atOnce) { mes_.Open(atOnce); }
    void MesWinClose(bool atOnce) { mes_.Close(atOnce); }
    bool MesWinSetText(std::string_view text, std::int32_t speed) { return mes_.SetText(text, speed); }
    void MesWinNewLine() { mes_.NewLine(); }
    void MesWinClearText() { mes_.ClearText(); }
    void MesWinSetWaitSign(bool waitSign);
    void MesWinSelectButtons(bool autoMode, bool skipMode);
    // Background level = (100 - percent clamped to 0..100) x 128 / 100.
    void MesWinSetTransparency(std::int32_t percent);
    bool MesWinUpdate(int frames, bool finish) { return mes_.Update(frames, finish); }
    const TextWindow& MesWin() const { return mes_; }

    // Novel window: the wait sign stands right after the last character of the current row.
    void NovelWinAttach(TXeRGBPanel* parent);
    void NovelWinDetach();
    void NovelWinSetOnEvent(EventMethod method) { novel_.onEvent = std::move(method); }
    bool NovelWinIsActive() const { return novel_.IsActive(); }
    bool NovelWinIsOpen() const { return novel_.IsOpen(); }
    bool NovelWinIsReady() const { return novel_.IsReady(); }
    void NovelWinOpen(bool atOnce) { novel_.Open(atOnce); }
    void NovelWinClose(bool atOnce) { novel_.Close(atOnce); }
    bool NovelWinSetText(std::string_view text, std::int32_t speed) { return novel_.SetText(text, speed); }
    void NovelWinNewLine() { novel_.NewLine(); }
    void NovelWinClearText() { novel_.ClearText(); }
    void NovelWinSetWaitSign(bool waitSign);
    bool NovelWinUpdate(int frames, bool finish) { return novel_.Update(frames, finish); }
    const TextWindow& NovelWin() const { return novel_; }

    // Backlog.
    void LogWinAttach(TXeRGBPanel* parent);
    void LogWinDetach();
    void LogWinSetOnEvent(EventMethod method) { log_.onEvent = std::move(method); }
    bool LogWinIsActive() const { return log_.IsActive(); }
    bool LogWinIsReady() const { return log_.IsReady(); }
    bool LogWinOpen(bool atOnce) { return log_.Open(atOnce); }
    bool LogWinClose(bool atOnce) { return log_.Close(atOnce); }
    bool LogWinSetText(std::string_view text) { return log_.SetText(text); }
    void LogWinNewLine() { log_.NewLine(); }
    void LogWinClearText() { log_.ClearText(); }
    void LogWinSetRange(std::int32_t lines) { log_.SetRange(lines); }
    void LogWinScrollTo(std::int32_t line) { log_.ScrollTo(line); }
    std::int32_t LogWinGetScrollPos() const { return log_.ScrollPos(); }
    bool LogWinUpdate(int frames, bool finish) { return log_.Update(frames, finish); }
    BacklogWindow& LogWin() { return log_; }

    // Choice list.
    void SelWinAttach(TXeRGBPanel* parent);
    void SelWinDetach();
    void SelWinSetOnEvent(EventMethod method) { sel_.onEvent = std::move(method); }
    bool SelWinIsActive() const { return sel_.IsActive(); }
    bool SelWinIsReady() const { return sel_.IsReady(); }
    bool SelWinOpen(bool atOnce) { return sel_.Open(atOnce); }
    bool SelWinClose(bool atOnce) { return sel_.Close(atOnce); }
    void SelWinClearText() { sel_.ClearText(); }
    void SelWinSetText(int row, std::string_view text) { sel_.SetText(row, text); }
    void SelWinSetCursor(int row) { sel_.SetCursor(row); }
    void SelWinCursorUp() { sel_.CursorUp(); }
    void SelWinCursorDown() { sel_.CursorDown(); }
    int SelWinGetCursor() const { return sel_.Cursor(); }
    bool SelWinUpdate(int frames, bool finish) { return sel_.Update(frames, finish); }
    ChoiceList& SelWin() { return sel_; }

    // Date and time plates.
    void ClockWinAttach(TXeRGBPanel* parent);
    void ClockWinDetach();
    bool DateWinIsActive() const { return clock_.Date().IsActive(); }
    bool DateWinIsReady() const { return clock_.Date().IsReady(); }
    void DateWinOpen(bool atOnce) { clock_.Date().Open(atOnce); }
    void DateWinClose(bool atOnce) { clock_.Date().Close(atOnce); }
    void DateWinSetDigits() { clock_.SetDateDigits(); }
    bool TimeWinIsActive() const { return clock_.Time().IsActive(); }
    bool TimeWinIsReady() const { return clock_.Time().IsReady(); }
    void TimeWinOpen(bool atOnce) { clock_.Time().Open(atOnce); }
    void TimeWinClose(bool atOnce) { clock_.Time().Close(atOnce); }
    void TimeWinSetDigits() { clock_.SetTimeDigits(); }
    void SetClock() { clock_.SetClock(state_); }
    bool ClockUpdate(int frames, bool finish) { return clock_.Update(state_, frames, finish); }
    ClockPlates& Clock() { return clock_; }

    // Place-name plate.
    void PlaceWinAttach(TXeRGBPanel* parent);
    void PlaceWinDetach();
    bool PlaceWinIsActive() const { return place_.IsActive(); }
    bool PlaceWinIsReady() const { return place_.IsReady(); }
    bool PlaceWinOpen(std::int32_t place) { return place_.Open(place, files_); }
    void PlaceWinClose() { place_.Close(); }
    bool PlaceWinUpdate(int /*frames*/, bool finish) { return place_.Update(finish); }

    // Side menu.
    void MenuWinAttach(TXeRGBPanel* parent);
    void MenuWinDetach();
    void MenuWinSetOnEvent(std::function<void()> method) { menu_.onEvent = std::move(method); }
    bool MenuWinIsActive() const { return menu_.IsActive(); }
    void MenuWinOpen(bool atOnce) { menu_.Open(atOnce); }
    void MenuWinClose(bool atOnce) { menu_.Close(atOnce); }
    void MenuWinEnableButton(int i, bool on) { menu_.EnableButton(i, on); }
    void MenuWinMoveMouseToButton() { menu_.MoveMouseToPrevious(); }
    void MenuWinMoveMouseTo() { menu_.MoveMouseToNext(); }
    void MenuWinPressSelected() { menu_.PressSelected(); }
    void MenuWinCancel() { menu_.Cancel(); }
    int MenuWinGetSelected() const { return menu_.Selected(); }
    bool MenuWinUpdate() { return menu_.Update(); }
    SideMenu& MenuWin() { return menu_; }

private:
    void WireEvents();
    void WireMessageWindow();
    void WireBacklog();
    void WireChoiceList();
    void WireMenu();
    bool CreateLayers();
    void PanelCreate(TObject* sender);
    void PanelRelease(TObject* sender);
    // Puts each panel under the parent, hidden.
    static void AttachHidden(TXeRGBPanel* parent, std::initializer_list<TXeRGBPanel*> panels);
    static void Detach(std::initializer_list<TXeRGBPanel*> panels);

    const TGameState& state_;
    std::unique_ptr<TComponent> owner_;
    PanelLayout layout_;
    RowRenderer renderer_;
    TFileMan* files_ = nullptr;
    bool initialized_ = false;
    std::int32_t backLevel_ = 96;
    TextWindow mes_;
    TextWindow novel_;
    BacklogWindow log_;
    ChoiceList sel_;
    ClockPlates clock_;
    PlacePlate place_;
    SideMenu menu_;
};

// TSubWinUnit: the panels' event handlers, attaching the windows to the adventure screen, and the
// message and novel windows' wait signs, buttons and background level.
#include "scenario/windows/TSubWinUnit.h"

#include "graphics/panels/TXeRGBBtn.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

int ClickCode(TMouseButton button) { return button == mbLeft ? 1 : button == mbRight ? 2 : 3; }

// The message window's buttons and the codes their clicks hand on.
constexpr std::array<std::pair<const char*, int>, 7> MessageButtons = {
    {{"MesLook", 14}, {"MesAuto", 15}, {"MesSkip", 16}, {"MesLog", 17}, {"MesSave", 18}, {"MesLoad", 19}, {"MesConfig", 20}}};

// The place of the message window's wait sign in its parent.
constexpr int MesWaitX = 552;
constexpr int MesWaitY = 405;

DrawRequest RequestOf(TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) { return {dest, x, y, sx, sy, w, h}; }

} // namespace

void TSubWinUnit::WireEvents()
{
    WireMessageWindow();
    WireBacklog();
    WireChoiceList();
    WireMenu();
}

void TSubWinUnit::WireMessageWindow()
{
    auto mesDown = [this](TObject*, TMouseButton button, TShiftState, int, int) { mes_.Fire(ClickCode(button)); };
    for (const char* name : {"MesWin", "MesBack", "MesFrame"})
        layout_[name]->OnMouseDown = mesDown;
    for (const auto& [name, code] : MessageButtons)
        layout_[name]->OnClick = [this, code = code](TObject*) { mes_.Fire(code); };
    layout_["MesBack"]->OnDraw = [this](TObject* sender, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
        return DrawWindowPicture(*static_cast<TXeRGBPanel*>(sender), RequestOf(dest, x, y, sx, sy, w, h), backLevel_,
                                 mes_.State(), mes_.Counter());
    };
    layout_["MesFrame"]->OnDraw = [this](TObject* sender, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
        return DrawWindowPicture(*static_cast<TXeRGBPanel*>(sender), RequestOf(dest, x, y, sx, sy, w, h), 128,
                                 mes_.State(), mes_.Counter());
    };
    layout_["NovelWin"]->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        novel_.Fire(ClickCode(button));
    };
    layout_["NovelWin"]->OnDraw = [this](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
        return DrawFadeTone(RequestOf(dest, x, y, sx, sy, w, h), novel_.State(), novel_.Counter());
    };
}

void TSubWinUnit::WireBacklog()
{
    auto logDown = [this](TObject*, TMouseButton button, TShiftState, int, int) { log_.MouseDown(button); };
    for (const char* name : {"LogWin", "LogBack", "LogText", "LogFrame", "LogClose", "LogPos", "LogUp", "LogDown"})
        layout_[name]->OnMouseDown = logDown;
    layout_["LogBar"]->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int y) { log_.BarMouseDown(button, y); };
    layout_["LogBar"]->OnMouseMove = [this](TObject*, TShiftState shift, int, int y) { log_.BarMouseMove(shift, y); };
    layout_["LogUp"]->OnClick = [this](TObject*) { log_.UpClick(); };
    layout_["LogDown"]->OnClick = [this](TObject*) { log_.DownClick(); };
    layout_["LogClose"]->OnClick = [this](TObject*) { log_.CloseClick(); };
    layout_["LogBack"]->OnDraw = [this](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
        return DrawFadeTone(RequestOf(dest, x, y, sx, sy, w, h), log_.State(), log_.Counter());
    };
    layout_["LogFrame"]->OnDraw = [](TObject*, TXeRGBBits*, int, int, int, int, int, int) { return true; };
}

void TSubWinUnit::WireChoiceList()
{
    layout_["SelWin"]->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) { sel_.WindowMouseDown(button); };
    layout_["SelText"]->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int y) { sel_.TextMouseDown(button, y); };
    layout_["SelText"]->OnMouseMove = [this](TObject*, TShiftState, int, int y) { sel_.TextMouseMove(y); };
    layout_["SelWin"]->OnDraw = [this](TObject* sender, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h) {
        return DrawWindowPicture(*static_cast<TXeRGBPanel*>(sender), RequestOf(dest, x, y, sx, sy, w, h), 128,
                                 sel_.State(), sel_.Counter());
    };
}

void TSubWinUnit::WireMenu()
{
    auto menuDown = [this](TObject*, TMouseButton button, TShiftState, int, int) { menu_.MouseDown(button); };
    layout_["MenuWin"]->OnMouseDown = menuDown;
    for (int i = 1; i <= SideMenu::ButtonCount; ++i) {
        TXeRGBPanel* button = layout_["MenuBtn" + std::to_string(i)];
        button->OnMouseDown = menuDown;
        button->OnClick = [this](TObject* sender) { menu_.ButtonClick(sender); };
        button->OnMouseEnter = [this](TObject* sender) { menu_.MouseEnter(sender); };
        button->OnMouseLeave = [this](TObject*) { menu_.MouseLeave(); };
    }
}

void TSubWinUnit::AttachHidden(TXeRGBPanel* parent, std::initializer_list<TXeRGBPanel*> panels)
{
    for (TXeRGBPanel* panel : panels) {
        panel->SetVisible(false);
        panel->SetParent(parent);
    }
}

void TSubWinUnit::Detach(std::initializer_list<TXeRGBPanel*> panels)
{
    for (TXeRGBPanel* panel : panels)
        panel->SetParent(nullptr);
}

void TSubWinUnit::MesWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["MesWin"], layout_["MesWait"]}); }
void TSubWinUnit::MesWinDetach() { Detach({layout_["MesWin"], layout_["MesWait"]}); }
void TSubWinUnit::NovelWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["NovelWin"]}); }
void TSubWinUnit::NovelWinDetach() { Detach({layout_["NovelWin"]}); }
void TSubWinUnit::LogWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["LogWin"]}); }
void TSubWinUnit::LogWinDetach() { Detach({layout_["LogWin"]}); }
void TSubWinUnit::SelWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["SelWin"]}); }
void TSubWinUnit::SelWinDetach() { Detach({layout_["SelWin"]}); }
void TSubWinUnit::ClockWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["DateWin"], layout_["TimeWin"]}); }
void TSubWinUnit::ClockWinDetach() { Detach({layout_["DateWin"], layout_["TimeWin"]}); }
void TSubWinUnit::PlaceWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["PlaceWin"]}); }
void TSubWinUnit::PlaceWinDetach() { Detach({layout_["PlaceWin"]}); }
void TSubWinUnit::MenuWinAttach(TXeRGBPanel* parent) { AttachHidden(parent, {layout_["MenuWin"]}); }
void TSubWinUnit::MenuWinDetach() { Detach({layout_["MenuWin"]}); }

void TSubWinUnit::MesWinSetWaitSign(bool waitSign)
{
    TXeRGBPanel* sign = layout_["MesWait"];
    sign->SetOffsetX(MesWaitX);
    sign->SetOffsetY(MesWaitY);
    if (mes_.State() == wsIdle && layout_["MesWin"]->Visible())
        sign->SetVisible(waitSign);
    mes_.SetWaitSignFlag(waitSign);
}

void TSubWinUnit::NovelWinSetWaitSign(bool waitSign)
{
    const TXeRGBPanel* text = layout_["NovelText"];
    TXeRGBPanel* sign = layout_["NovelWait"];
    sign->SetOffsetX(text->OffsetX() + novel_.CellWidth() * novel_.Rows().Count());
    sign->SetOffsetY(text->OffsetY() + TextWindow::RowPitch * novel_.Rows().Row());
    sign->SetVisible(waitSign);
    novel_.SetWaitSignFlag(waitSign);
}

void TSubWinUnit::MesWinSelectButtons(bool autoMode, bool skipMode)
{
    layout_.Button("MesAuto")->SetSelected(autoMode);
    layout_.Button("MesSkip")->SetSelected(skipMode);
}

void TSubWinUnit::MesWinSetTransparency(std::int32_t percent)
{
    backLevel_ = (100 - std::clamp(percent, 0, 100)) * 128 / 100;
    layout_["MesBack"]->SetModify();
}

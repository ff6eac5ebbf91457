// GameWindow: the main form's creation at the first idle moment and the routing of the window's events.
#include "game/GameWindow.h"

#include "platform/host/Host.h"
#include "platform/host/WindowEvent.h"
#include "shell/GameGlobals.h"

GameWindow::GameWindow(host::Host& host, const std::function<void(FormServices&)>& adjust,
                       TGameForm::TLogicThreadFactory logic)
    : host_(host), services_(FormServices::ForHost(host, [this] { Close(); })), logic_(std::move(logic))
{
    if (adjust)
        adjust(services_);
    host_.SetListener([this](const host::WindowEvent& event) { OnEvent(event); });
    host_.SetIdle([this] { return AppIdle(); });
}

GameWindow::~GameWindow()
{
    host_.SetListener({});
    host_.SetIdle({});
    form_.reset();
    GameForm = nullptr;
}

bool GameWindow::AppIdle()
{
    if (created_)
        return false;
    created_ = true;
    form_ = std::make_unique<TGameForm>(nullptr, "Script", "Game", services_, &host_.Window());
    GameForm = form_.get();
    form_->SetLogicThreadFactory(logic_);
    form_->FormCreate();
    if (form_->Complete()) {
        form_->FormShow();
        host_.HideSplash();
    } else
        host_.Quit(0); // the failure has been shown; the loop ends normally
    return false;
}

void GameWindow::OnEvent(const host::WindowEvent& event)
{
    if (event.kind == host::WindowEvent::Kind::CloseRequest) {
        Close();
        return;
    }
    if (form_ == nullptr || !form_->Complete())
        return;
    if (!form_->HandleHotKey(event))
        form_->HandleInputEvent(event);
}

void GameWindow::Close()
{
    if (form_ == nullptr || !form_->Shown()) {
        host_.Quit(0);
        return;
    }
    if (form_->FormCloseQuery())
        form_->FormHide();
}

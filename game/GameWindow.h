// GameWindow: the UI thread's side of the game: it makes the main form at the first idle moment,
// shows it, and routes the window's events to it: the hot keys first, then the input handlers, and
// the close request through the form's close query to its hide handler.
//
// It stands where the start-up window of a desktop program stands: it lives for the whole message
// loop and destroys the main form when it is destroyed itself, after the loop has ended.
//
// Threads: UI thread only (the host calls the listener, the idle step and the posted close there).
#pragma once

#include "shell/form/TGameForm.h"

#include <functional>
#include <memory>

namespace host {
class Host;
struct WindowEvent;
} // namespace host

class GameWindow {
public:
    // Installs itself as the host's listener and idle step. The form reaches the machine through
    // the host (FormServices::ForHost); `adjust` may change those services first, and `logic`
    // makes the logic thread the form starts (empty: the form's base thread).
    explicit GameWindow(host::Host& host, const std::function<void(FormServices&)>& adjust = {},
                        TGameForm::TLogicThreadFactory logic = {});
    // Destroys the main form (which writes its settings).
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    TGameForm* Form() const { return form_.get(); }

private:
    // The one-shot idle step: creates and shows the main form, then hides the start-up picture, or
    // ends the loop without a form (the picture then goes with the host).
    bool AppIdle();
    void OnEvent(const host::WindowEvent& event);
    // The close request of the window or of the game: hides the form when the close query allows.
    void Close();

    host::Host& host_;
    FormServices services_;
    TGameForm::TLogicThreadFactory logic_;
    std::unique_ptr<TGameForm> form_;
    bool created_ = false;
};

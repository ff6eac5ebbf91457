// SDL message boxes on the application's hooks (message box and exception display).
#include "platform/host/sdl/SdlMessageBox.h"

#include "platform/classes/Application.h"
#include "platform/codepage/CodePage.h"

#include <SDL.h>

#include <thread>
#include <vector>

namespace host {

namespace {

constexpr int kClosed = -1; // SDL's answer when the box was closed without a button

Uint32 IconFlags(int flags)
{
    switch (flags & 0xF0) {
    case mbIconStop:
        return SDL_MESSAGEBOX_ERROR;
    case mbIconWarning:
        return SDL_MESSAGEBOX_WARNING;
    default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
}

std::vector<SDL_MessageBoxButtonData> Buttons(int flags)
{
    constexpr Uint32 kEnter = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    constexpr Uint32 kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    switch (flags & 0x0F) {
    case mbOKCancel:
        return {{kEnter, idOK, "OK"}, {kEscape, idCancel, "Cancel"}};
    case mbYesNo:
        return {{kEnter, idYes, "Yes"}, {kEscape, idNo, "No"}};
    default:
        return {{kEnter | kEscape, idOK, "OK"}};
    }
}

// The box's answer; 0 when SDL could not show it.
int Show(SDL_Window* parent, const std::string& text, const std::string& caption, int flags)
{
    const std::vector<SDL_MessageBoxButtonData> buttons = Buttons(flags);
    const SDL_MessageBoxData data{IconFlags(flags), parent, caption.c_str(), text.c_str(),
                                  static_cast<int>(buttons.size()), buttons.data(), nullptr};
    int answer = kClosed;
    if (SDL_ShowMessageBox(&data, &answer) != 0)
        return 0;
    if (answer == kClosed) // closed by the window's button: the escape answer
        return buttons.back().buttonid;
    return answer;
}

} // namespace

void InstallSdlMessageBoxes(SDL_Window* parent)
{
    TApplication& application = Application();
    const std::thread::id owner = std::this_thread::get_id();
    auto parentHere = [parent, owner] { return std::this_thread::get_id() == owner ? parent : nullptr; };
    application.OnMessageBox = [parentHere, before = application.OnMessageBox](const std::string& text,
                                                                                const std::string& caption, int flags) {
        const int answer = Show(parentHere(), text, caption, flags);
        if (answer != 0)
            return answer;
        return before ? before(text, caption, flags) : idOK;
    };
    application.OnShowException = [parentHere, before = application.OnShowException](const std::string& message) {
        if (Show(parentHere(), message, CodePage::ToUtf8(Application().Title), mbOK | mbIconStop) == 0 && before)
            before(message);
    };
}

} // namespace host

// TApplication: the process's replaceable user-facing hooks (message box, exception display).
//
// Each hook is a function object taking UTF-8 text. The default writes to stderr and answers a
// message box with its first button, so a headless run never blocks; the game installs window
// message boxes and tests install capturing hooks. Hooks are set at start-up, before other threads.
#pragma once

#include "platform/classes/AnsiString.h"

#include <exception>
#include <functional>
#include <string>

class TObject;

// Message box buttons and icons (flags combine one of each) and the answers.
inline constexpr int mbOK = 0x00;
inline constexpr int mbOKCancel = 0x01;
inline constexpr int mbYesNo = 0x04;
inline constexpr int mbIconStop = 0x10;
inline constexpr int mbIconQuestion = 0x20;
inline constexpr int mbIconWarning = 0x30;
inline constexpr int mbIconInformation = 0x40;
inline constexpr int idOK = 1;
inline constexpr int idCancel = 2;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;

class TApplication {
public:
    using MessageBoxHook = std::function<int(const std::string& utf8Text, const std::string& utf8Caption, int flags)>;
    using ShowExceptionHook = std::function<void(const std::string& utf8Message)>;
    using HandleExceptionHook = std::function<void(TObject* sender, const std::exception& error)>;

    TApplication();

    // Shows `text` under `caption`, both in `codePage`, and returns the button chosen.
    int MessageBox(std::string_view text, std::string_view caption, int flags, int codePage);
    int MessageBox(std::string_view text, std::string_view caption, int flags);
    // Shows an exception's message: in its own code page for an Exception that names one, else in
    // the ANSI code page.
    void ShowException(const std::exception& error);
    // Handles an exception that reached the top of a piece of work with nobody to return it to (a
    // timer tick, say), on the thread where it happened: OnHandleException when set, else
    // ShowException.
    void HandleException(TObject* sender, const std::exception& error);

    MessageBoxHook OnMessageBox;
    ShowExceptionHook OnShowException;
    HandleExceptionHook OnHandleException;
    AnsiString Title;
};

TApplication& Application();

// Scope guards for the process-wide state tests change: the audio and video back ends, the ANSI
// code page and the application hooks. Each restores what it changed when it goes, so a failed
// assertion in the middle of a test leaves nothing behind for the tests after it.
#pragma once

#include "platform/audio/AudioBackEnd.h"
#include "platform/classes/Application.h"
#include "platform/video/VideoBackEnd.h"

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace TestSupport {

// Installs `backEnd` as the process's audio output; the default (made on first use) comes back
// when the guard goes.
class ScopedAudioBackEnd {
public:
    explicit ScopedAudioBackEnd(std::shared_ptr<audio::BackEnd> backEnd) { audio::SetDefaultBackEnd(std::move(backEnd)); }
    ~ScopedAudioBackEnd() { audio::SetDefaultBackEnd(nullptr); }
    ScopedAudioBackEnd(const ScopedAudioBackEnd&) = delete;
    ScopedAudioBackEnd& operator=(const ScopedAudioBackEnd&) = delete;
};

// Installs `backEnd` as the process's video service; the default comes back when the guard goes.
class ScopedVideoBackEnd {
public:
    explicit ScopedVideoBackEnd(std::shared_ptr<video::BackEnd> backEnd) { video::SetDefaultBackEnd(std::move(backEnd)); }
    ~ScopedVideoBackEnd() { video::SetDefaultBackEnd(nullptr); }
    ScopedVideoBackEnd(const ScopedVideoBackEnd&) = delete;
    ScopedVideoBackEnd& operator=(const ScopedVideoBackEnd&) = delete;
};

// Sets the ANSI code page (Set may change it again within the scope); the one before comes back
// when the guard goes.
class ScopedAnsiCodePage {
public:
    explicit ScopedAnsiCodePage(int codePage);
    ~ScopedAnsiCodePage();
    ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
    ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;
    void Set(int codePage);

private:
    int saved_;
};

// Puts `hook` into one hook slot (such as Application().OnHandleException) while it lives; the
// hook before comes back when it goes.
template <typename Hook> class ScopedHook {
public:
    ScopedHook(Hook& slot, std::type_identity_t<Hook> hook) : slot_(slot), saved_(std::exchange(slot, std::move(hook))) {}
    ~ScopedHook() { slot_ = std::move(saved_); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Hook& slot_;
    Hook saved_;
};

// Replaces the application hooks with capturing ones while it lives: message boxes answer
// `answer` and are recorded, shown exceptions are recorded (in UTF-8), and with no handle-exception
// hook a handled exception is shown, so it is recorded too. The hooks and the title before come
// back when it goes.
class CapturedApplication {
public:
    struct Box {
        std::string text, caption;
        int flags;
    };
    explicit CapturedApplication(int answer = idOK);
    ~CapturedApplication();
    CapturedApplication(const CapturedApplication&) = delete;
    CapturedApplication& operator=(const CapturedApplication&) = delete;

    int answer;
    std::vector<Box> boxes;
    std::vector<std::string> shown; // the messages of shown and handled exceptions

private:
    TApplication::MessageBoxHook savedBox_;
    TApplication::ShowExceptionHook savedShow_;
    TApplication::HandleExceptionHook savedHandle_;
    AnsiString savedTitle_;
};

} // namespace TestSupport

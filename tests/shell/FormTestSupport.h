// A main form on the headless display with scripted services: a settable millisecond clock, mouse
// position and activity, sleeps that return at once, captured message boxes, and a temporary program
// folder that is the current folder.
#pragma once

#include "graphics/display/TDDraw.h"
#include "platform/classes/Application.h"
#include "platform/fs/FileSystem.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/thread/TMainThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace ShellTest {

// A fresh folder, removed by the destructor.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("shell-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    // The folder in the game's form: ANSI, backslashes, ending in "\".
    AnsiString GameName() const { return FileSystem::FromNative(path_) + "\\"; }

private:
    std::filesystem::path path_;
};

// A logic thread whose body returns at once: the form has a thread to ask, but no frames run.
class IdleThread : public TMainThread {
public:
    using TMainThread::TMainThread;

protected:
    void Execute() override {}
};

struct MessageBoxCall {
    std::string text;
    std::string caption;
    int flags;
};

class FormFixture : public ::testing::Test {
protected:
    FormFixture()
    {
        savedHook_ = Application().OnMessageBox;
        Application().OnMessageBox = [this](const std::string& text, const std::string& caption, int flags) {
            boxes.push_back({text, caption, flags});
            return idOK;
        };
        savedFolder_ = FileSystem::CurrentFolder();
        WindowMode = 1;
        ShowFPS = 0;
    }

    ~FormFixture() override
    {
        form.reset();
        Application().OnMessageBox = savedHook_;
        FileSystem::SetCurrentFolder(savedFolder_);
        WindowMode = 1;
        ShowFPS = 0;
    }

    FormServices Services()
    {
        FormServices s;
        s.programFolder = folder.GameName();
        s.tickCount = [this] { return clock.load(); };
        s.sleep = [this](unsigned ms) { clock += ms == 0 ? 1 : ms; }; // a yield takes a moment too
        s.mmxSupported = [this] { return mmx; };
        s.cursorPos = [this] { return mouse; };
        s.setCursorPos = [this](int x, int y) { mouse = {x, y}; };
        s.applicationActive = [this] { return active.load(); };
        s.postQuit = [this] { ++quits; };
        s.postClose = [this] { ++closes; };
        s.post = [this](std::function<void()> work) { posted.push_back(std::move(work)); };
        return s;
    }

    // Runs the work posted to the UI thread so far, as its next turn would.
    void RunPosted()
    {
        auto work = std::move(posted);
        posted.clear();
        for (auto& piece : work)
            piece();
    }

    // Constructs the form (reading the settings) and runs FormCreate.
    void Make()
    {
        form = std::make_unique<TGameForm>(nullptr, "Script", "Game", Services(), window.get());
        form->FormCreate();
    }

    // What the display set-up does for the game: 640 x 480, triple buffering, a system-memory back
    // surface; with a work surface in the game's depth when asked.
    void EnableDisplay(bool fullScreen, bool workSurface)
    {
        DirectX::TDDraw* display = form->Display();
        display->SetScreenSize(ss640x480);
        display->SetBitDepth(fullScreen ? DisplayBitDepth : bd32);
        display->SetFullScreen(fullScreen);
        display->SetBackType(DirectX::btSystem);
        display->SetTripleBuffer(true);
        display->SetEnabled(true);
        ASSERT_TRUE(display->Enabled());
        if (workSurface) {
            const bool deep = GameBitDepth == bd32;
            form->Pictures().workSurface =
                display->CreateSurface(deep ? bd32 : bd24, deep ? pf32_888 : pf24_888, 640, 480, false);
            ASSERT_NE(form->Pictures().workSurface, nullptr);
        }
    }

    video::HeadlessVideo back;
    std::unique_ptr<video::HeadlessWindow> window = back.CreateWindow({640, 480}, {64, 48});
    TempFolder folder;
    std::vector<MessageBoxCall> boxes;
    std::atomic<std::uint32_t> clock{100000};
    bool mmx = true;
    TPoint mouse{};
    std::atomic<bool> active{true};
    int quits = 0;
    int closes = 0;
    std::vector<std::function<void()>> posted;
    std::unique_ptr<TGameForm> form;

private:
    TApplication::MessageBoxHook savedHook_;
    AnsiString savedFolder_;
};

} // namespace ShellTest

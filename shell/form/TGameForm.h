// TGameForm: the game's main window and owner of every process-wide object: the devices, the root
// panel, the locks, the frame pulse and frame step, the form states with their drawing, the software
// cursor, the frame-rate counter and the input queue.
//
// Threads and locks (taken in this order: frame lock, draw guard (try only), state lock, display
// lock; the input lock is innermost):
// - UI thread: construction, FormCreate, FormDestroy, the input handlers (PushInput).
// - Timer thread: GameTimerTimer only (atomics, no lock).
// - Frame threads (the logic thread in its frame wait, the wait thread in states 6 and 7): FrameStep
//   under the frame lock, which runs Update and Draw.
// - The state lock guards the panel tree and the form state's changes; the logic thread holds it
//   whenever game code runs. Draw takes it except in states 6 and 7, where the logic thread holds it
//   while it loads.
// - The display lock guards the display, the work surface, the form's pictures and the cursor fields.
// The form state, FPS mode and timer period are atomics: they are read without a lock.
#pragma once

#include "base/util/TXeRectSet.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/CriticalSection.h"
#include "platform/classes/WinControl.h"
#include "shell/form/FormServices.h"
#include "shell/frame/TFPSCounter.h"
#include "shell/frame/TFramePulse.h"
#include "shell/input/TInputQueue.h"
#include "shell/transition/TScreenTransition.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace host {
struct WindowEvent;
}
namespace DirectX {
class TDDraw;
class TDSound;
class TDSurface;
} // namespace DirectX
class DSoundGameDevice;
class GameSoundChannels;
class TFileMan;
class TMainThread;
class TWaitThread;
class TFont;
struct LogicalFont;
class TEvent;
class TMemMan;
class TXeCriticalSection;
class TXeRGBPanel;
class TXeTimer;

// Form states (0 before the form is shown).
enum TFormState : std::uint8_t {
    fsNone = 0,
    fsRunning = 1,
    fsMenu = 2,
    fsMusic = 3,
    fsAdventure = 4,
    fsLoading = 6,
    fsLoadingKeep = 7,
    fsTransition = 8,
    fsClosing = 9,
};

// The pictures the form draws over every frame, made by its show handler; guarded by the display lock.
struct TFormPictures {
    DirectX::TDSurface* workSurface = nullptr; // 640 x 480 in the game's depth, when the display's differs
    TXeRGBBits* cursorBits = nullptr;          // "Cursor.png": eight 32 x 32 cells in a row
    TXeAlpha* cursorAlpha = nullptr;
    TXeRGBBits* cursorBack = nullptr;          // 32 x 32 save area under the drawn cursor
    TXeRGBBits* counterBack = nullptr;         // 96 x 26 save area under the frame-rate counter
    TXeRGBBits* waitBits = nullptr;            // "Wait.bmp": a 240 x 44 header, then nine 240 x 28 steps
    TXeRGBBits* capLogoBits = nullptr;         // "Cap_Logo.png" and "Cap_Copy.png", for snapshots
    TXeAlpha* capLogoAlpha = nullptr;
    TXeRGBBits* capCopyBits = nullptr;
    TXeAlpha* capCopyAlpha = nullptr;
};

class TGameForm : public TWinControl {
public:
    using TUpdateHook = std::function<void(int dp)>;
    using TRedrawHook = std::function<void(TXeRGBBits* target)>;
    using TDrawHook = std::function<void(TXeRGBBits* target, TXeRectSet* set)>;
    using TMovieDrawHook = std::function<void(DirectX::TDSurface* backSurface)>;

    static constexpr int kScreenWidth = 640;
    static constexpr int kScreenHeight = 480;
    static constexpr int kCursorSize = 32;
    static constexpr int kCursorKinds = 8;
    static constexpr int kCursorStackDepth = 16;
    static constexpr int kWaitSteps = 9;
    static constexpr int kDefaultBgmVolume = 70;
    static constexpr int kDefaultVoiceVolume = 100;
    static constexpr int kDefaultSeVolume = 100;
    static constexpr int kDefaultAmbientVolume = 90;

    // The stems name the data pack ("Game") and the script pack ("Script"); `window` is the host
    // window the display draws into (null: none yet). Reads the form's settings.
    TGameForm(TComponent* owner, const AnsiString& scriptStem, const AnsiString& dataStem, FormServices services,
              video::VideoWindow* window);
    // The game's form: stems "Game" and "Script", the machine's services.
    static TGameForm* Create(TComponent* owner, video::VideoWindow* window);
    // Runs FormDestroy when it has not run.
    ~TGameForm() override;

    // ---- construction and devices ----
    void InitDefaults();
    void LoadIni();
    void SaveIni();
    // Creates the devices; a failure shows its message box, posts the quit message and leaves the
    // rest unmade.
    void FormCreate();
    // Writes the settings and frees what FormCreate made (only what it made). Runs once.
    void FormDestroy();
    // True once FormCreate has made every device.
    bool Complete() const { return FComplete; }
    bool CheckDisplayCaps();
    AnsiString SettingsPath() const;

    // ---- show and hide ----
    // The logic thread the show handler starts; by default the base thread, which runs frames
    // until it is terminated.
    using TLogicThreadFactory = std::function<std::unique_ptr<TMainThread>(TGameForm& form)>;
    // A display listener: told before (true) and after (false) the display is made again.
    using TDisplayMethod = std::function<void(DirectX::TDDraw* display, bool before)>;

    void SetLogicThreadFactory(TLogicThreadFactory factory) { FLogicThreadFactory = std::move(factory); }
    // Brings the devices to life and starts the frame threads; after a failure takes the quit path
    // and leaves the form without threads. Nothing after a failed FormCreate. UI thread.
    void FormShow();
    // Stops the threads and the timer and releases the devices' objects, then takes the quit path.
    // Runs once, and only after FormShow; FormDestroy runs it when it has not run. UI thread.
    void FormHide();
    bool Shown() const { return FShown; }
    // Sets up the display in a window (true) or full screen; true when a display runs. UI thread.
    bool InitDisplay(bool window);
    // Listeners are told in the order added; `owner` names the entry to remove.
    void AddDisplayListener(const void* owner, TDisplayMethod method);
    void RemoveDisplayListener(const void* owner);
    void NotifyDisplayListeners(bool before);

    // ---- frame pulse and frame step ----
    void GameTimerTimer(TObject* sender);
    void PulseFrameEvent();
    void ResetFrameCounters();
    void FrameStep();
    // True on a thread while it runs a frame's update and draw (a frame wait there is refused).
    static bool InFrame();
    void SetFPSMode(std::uint8_t mode);
    std::uint8_t GetFPSMode() const { return FFPSMode; }
    std::uint32_t TimerPeriod() const { return FTimerPeriod; }
    void SetTimerPeriod(std::uint32_t ms) { FTimerPeriod = ms; }
    TFramePulse& Pulse() { return FPulse; }

    // ---- form states, update and draw ----
    void SetState(std::uint8_t state);
    std::uint8_t GetState() const { return FState; }
    void EnterState2();
    void EnterMusicState();
    void EnterAdventureState();
    void EnterStartState();
    void EnterState7();
    void Update(int dp);
    void Draw(int dp);
    void Redraw();
    void DrawMovie();
    bool WaitDrawReady();
    void DrawWaitScreenTo(TXeRGBBits* bitmap);
    // Asks the next frame to repaint the whole screen (the panel tree and the display are flagged
    // there, under the frame's locks).
    void RequestFullRepaint() { FFullRepaintPending = true; }
    void SetOnUpdate(TUpdateHook hook);
    void SetOnRedraw(TRedrawHook hook);
    void SetOnDraw(TDrawHook hook);
    void SetOnMovieDraw(TMovieDrawHook hook);
    void AttachPanel(TXeRGBPanel* panel);
    void DetachPanel(TXeRGBPanel* panel);
    void ShowRootPanel(bool visible);
    void RefreshHover();
    // The wait thread's resume, called when state 6 or 7 is entered (null: no wait thread).
    void SetOnResumeWaitThread(std::function<void()> resume) { FResumeWaitThread = std::move(resume); }

    // ---- screen transitions and fades ----
    // From a start on, the two pictures belong to the form, which deletes them through the registry
    // before the next start (unless passed again) and at the reset. A refused start (pictures missing
    // or not 640 x 480) leaves the controller reset and the refused pictures the caller's.
    bool StartTransition(int kind, TXeRGBBits* from, TXeRGBBits* to, int speed);
    bool StartTransitionDefault(int kind, TXeRGBBits* from, TXeRGBBits* to);
    void AdvanceTransition(int dp);
    bool IsTransitionDone() const { return FTransition.IsDone(); }
    void DrawTransition(TXeRGBBits* target, TXeRectSet* set);
    void ResetTransition();
    // The whole-screen transition of state 8: false (back in state 1) when the start is refused;
    // else the first picture is shown at once.
    bool BeginTransition(int kind, TXeRGBBits* from, TXeRGBBits* to, int speed);
    // The picture now shown (work surface, else back surface) copied into the 640 x 480 bitmap.
    void CopyScreen(TXeRGBBits* bitmap);
    // The whole root panel tree drawn into the bitmap.
    void DrawPanelTo(TXeRGBBits* bitmap);
    // The effects' data from the data files (EGameErr when a mask or halo picture is missing).
    void LoadWaterEffect();
    void ReleaseWaterEffect();
    void LoadHaloEffect();
    void ReleaseHaloEffect();
    void LoadMaskEffect(const AnsiString& fileName);
    void ReleaseMaskEffect();
    TScreenTransition& Transition() { return FTransition; }

    // ---- the software cursor ----
    void SetCursorKind(int kind);
    int GetCursorKind() const { return FCursorKind; }
    bool PushCursorKind();
    bool PopCursorKind();
    void SetCursorPoint(int x, int y);
    TPoint CursorPoint() const { return {FCursorX, FCursorY}; }
    void SetMousePos(int x, int y);

    // ---- input ----
    void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void FormMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void FormMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    // `mousePos` in client coordinates; the event is always handled.
    void FormMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
    void FormKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
    void FormKeyUp(TObject* sender, std::uint16_t& key, TShiftState shift);
    void FormKeyPress(TObject* sender, char& key);
    void FormMouseEnter();
    void FormMouseLeave();
    // Routes one of the window's input events to the handler above that takes it; false for the
    // events that are not input (activation, close request), which the caller handles.
    bool HandleInputEvent(const host::WindowEvent& event);
    void PushInput(const TInputRecord& record);
    void ReplayInput();
    void ClearInput();
    std::size_t QueuedInput() const { return FInput.Size(); }

    // ---- hot keys and snapshots (UI thread, in the window's key path before queueing) ----
    // Print Screen (a snapshot), Alt+Print Screen (with the cursor) and Alt+Enter (the window and
    // full-screen switch when running); true when the event was one of them, which is consumed.
    bool HandleHotKey(const host::WindowEvent& event);
    // A picture of the screen to the next free "Snap%03d.png" (CapEnable) or to the clipboard.
    // UI thread, or the logic thread inside a frame.
    void TakeSnapshot(bool withCursor);

    // ---- window and full-screen switch, closing ----
    // Makes the display again in a window (true) or full screen; false when none runs after it.
    // UI thread.
    bool ChangeDisplayMode(bool window);
    // The display-switch request (0 full screen, 1 window), handled on the UI thread later: a
    // switch while running to a mode not in force; a failed switch ends the game. Any thread.
    void RequestDisplayMode(int window);
    // The close query: true when the window may close now; otherwise asks in a window whether to
    // quit and terminates the logic thread unless the player cancels. UI thread.
    bool FormCloseQuery();
    // Ends the game without a question: terminates the logic thread, or closes the form.
    void RequestQuit();
    // State 9, then the close message.
    void CloseGame();
    void QuitMessageLoop();

    // ---- what the other parts reach ----
    DirectX::TDDraw* Display() const { return FDisplay; }
    DirectX::TDSound* SoundDevice() const { return FSound; }
    TXeTimer* FrameTimer() const { return FTimer; }
    TXeRGBPanel* RootPanel() const { return FRootPanel; }
    TCriticalSection* StateLock() const { return FStateLock; }
    TCriticalSection* DisplayLock() const { return FDisplayLock; }
    TCriticalSection* FrameLock() const { return FFrameLock; }
    // The game's sound channels, made by FormCreate (null before).
    GameSoundChannels* SoundChannels() const { return FSoundChannels.get(); }
    TXeCriticalSection* DrawGuard() const { return FDrawGuard; }
    TFont* SmallFont() const { return FSmallFont; }
    TFont* LargeFont() const { return FLargeFont; }
    TFont& Font() { return *FFont; }
    TFormPictures& Pictures() { return FPictures; }
    TFPSCounter& FPSCounter() { return FFPSCounter; }
    const FormServices& Services() const { return FServices; }
    const AnsiString& DataStem() const { return FDataStem; }
    const AnsiString& ScriptStem() const { return FScriptStem; }
    int WaitStep() const { return FWaitStep; }
    bool Running() const { return FRunning; }
    void SetRunning(bool running) { FRunning = running; }

    // The player's volumes (0 to 100) of the settings file: the form keeps them until FormCreate
    // hands them to the sound channels, which keep them from then on.
    int BgmVolume() const;
    int VoiceVolume() const;
    int SeVolume() const;
    int AmbientVolume() const;

private:
    // FormCreate's steps; false after a failure has been reported.
    bool CreateRegistryAndFiles();
    bool CreateTimerAndSound();
    bool CreateRootPanel();
    void CreateLocksAndFonts();
    void WarmRandom();
    // FormShow's and FormHide's steps.
    bool EnableSound();
    bool LoadFormPictures();
    void UseShortTimerPeriod();
    void StartThreads();
    void StopThreads();
    void ReleaseFormPictures();
    bool CreateWorkSurface();
    TDisplayMethod ListenerAt(std::size_t i) const;
    void Fail(const char* textCp932, const char* caption);
    void FailInit();

    // Drawing steps.
    TXeRGBBits* DrawTarget() const;
    void ApplyFullRepaint();
    void EnterState(std::uint8_t state);
    void DrawPicture(TXeRGBBits* target, TXeRectSet& set, int dp);
    void DrawWaitSign(TXeRGBBits* target);
    void DrawCounter(TXeRGBBits* target, TXeRectSet* set);
    void DrawCursor(TXeRGBBits* target, TXeRectSet* set);
    void RestoreOverlays(TXeRGBBits* target);
    void Present(TXeRectSet& set);
    void PresentWhole();
    // Records the cursor as the screen now shows it, when the present reached the screen.
    void NoteCursorShown(bool presented);
    // The kind of cursor a frame draws: -1 when hidden or its pictures are missing.
    int DrawnCursorKind() const;
    bool MayPresent() const;
    void AnimatePanels(int dp);
    void CallUpdateHook(int dp);
    void StepTransition(int dp);
    void ReleaseTransitionData();
    template <typename Hook> Hook CopyHook(const Hook& hook) const;

    FormServices FServices;
    // The registry and the file managers, published through the globals while they live.
    std::unique_ptr<TMemMan> FMemMan;
    std::unique_ptr<TFileMan> FDataFileMan;
    std::unique_ptr<TFileMan> FBGMFileMan;
    std::unique_ptr<TFileMan> FScriptFileMan;
    std::unique_ptr<GameSoundChannels> FSoundChannels;
    AnsiString FDataStem;
    AnsiString FScriptStem;
    std::atomic<std::uint8_t> FState{fsNone};
    std::unique_ptr<TEvent> FFrameEvent;
    std::atomic<std::uint8_t> FFPSMode{fpsFull};
    std::atomic<std::uint32_t> FTimerPeriod{10};
    TFramePulse FPulse;
    TFPSCounter FFPSCounter;
    TFormPictures FPictures;
    // The cursor fields are written under the display lock and read by the state entries and the
    // owners' queries without it.
    std::atomic<int> FCursorKind{-1};
    std::array<int, kCursorStackDepth> FCursorStack{};
    int FCursorDepth = 0;
    std::atomic<int> FCursorX{0};
    std::atomic<int> FCursorY{0};
    // The cursor as the screen last showed it (display lock): a frame whose cursor did not move or
    // change leaves its square out of the present, so an unchanged screen presents nothing. Stale
    // once something drew over the screen without the cursor.
    struct TShownCursor {
        int x = 0;
        int y = 0;
        int kind = -1;
        bool stale = true;
    } FShownCursor;
    std::atomic<int> FWaitStep{0};
    int FWaitDelay = 0;
    TInputQueue FInput;
    TXeCriticalSection* FDrawGuard = nullptr;
    // The hooks are set by the logic thread and called by whichever thread runs the frame: each call
    // works on a copy taken under FHookLock.
    mutable std::mutex FHookLock;
    TUpdateHook FOnUpdate;
    TRedrawHook FOnRedraw;
    TDrawHook FOnDraw;
    TMovieDrawHook FOnMovieDraw;
    int FBgmVolume = kDefaultBgmVolume;
    int FVoiceVolume = kDefaultVoiceVolume;
    int FSeVolume = kDefaultSeVolume;
    int FAmbientVolume = kDefaultAmbientVolume;
    TXeTimer* FTimer = nullptr;
    DirectX::TDDraw* FDisplay = nullptr;
    DirectX::TDSound* FSound = nullptr;
    TXeRGBPanel* FRootPanel = nullptr;
    TCriticalSection* FStateLock = nullptr;
    TCriticalSection* FDisplayLock = nullptr;
    TCriticalSection* FFrameLock = nullptr;
    std::unique_ptr<TFont> FFont; // the form's own font, which the two below copy
    TFont* FSmallFont = nullptr;
    TFont* FLargeFont = nullptr;
    std::unique_ptr<LogicalFont> FCounterFont; // the large font's handle for the frame-rate counter
    std::atomic<bool> FRunning{false};
    std::atomic<bool> FFullRepaintPending{false};
    std::function<void()> FResumeWaitThread;
    // Started and reset under the state lock, stepped and drawn inside frames (logic thread only).
    TScreenTransition FTransition;
    TLogicThreadFactory FLogicThreadFactory;
    std::unique_ptr<TWaitThread> FWaitThread;
    std::unique_ptr<TMainThread> FLogicThread; // published as MainThread while it runs
    std::unique_ptr<DSoundGameDevice> FSoundDevice;
    // Added from the logic thread (the movie player), called on the UI thread: guarded by FListenerLock.
    struct TListenerEntry {
        const void* owner;
        TDisplayMethod method;
    };
    mutable std::mutex FListenerLock;
    std::vector<TListenerEntry> FDisplayListeners;
    bool FComplete = false; // FormCreate made everything
    bool FShown = false;  // UI thread: FormShow has run
    bool FHidden = false; // UI thread: FormHide has run
    bool FDestroyed = false;
};

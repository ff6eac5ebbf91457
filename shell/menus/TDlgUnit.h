// TDlgUnit: the game's one yes/no question box. A screen sets its kind and close method, attaches it
// over its own panel and opens it; the dialog then covers the whole screen, takes every click and
// reports the answer by calling the close method with a code.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <cstdint>
#include <functional>

class TFileMan;
class TXeRGBBtn;

class TDlgUnit : public TComponent {
public:
    // Called with an answer code; empty when no close method is set.
    using TCloseEvent = std::function<void(std::int32_t code)>;

    // The codes the close method receives.
    static constexpr std::int32_t kLeftClick = 1;
    static constexpr std::int32_t kRightClick = 2;
    static constexpr std::int32_t kMiddleClick = 3;
    static constexpr std::int32_t kClosed = 6;
    static constexpr std::int32_t kYes = 12;
    static constexpr std::int32_t kNo = 13;
    // The exit question, the only kind with a frame picture.
    static constexpr std::int32_t kKindExit = 0;

    // Builds the panels: DlgWin 640 x 480 and hidden, DlgFrame centred in it.
    explicit TDlgUnit(TComponent* owner);
    ~TDlgUnit() override;

    // Stores the data files and creates the panel tree; ready from then on.
    bool Initialize(TFileMan* files);
    // Frees the pictures and releases the panel tree.
    void Finalize();

    void SetKind(std::int32_t kind) { FKind = kind; }
    void SetOnClose(TCloseEvent onClose) { FOnClose = std::move(onClose); }
    void Attach(TXeRGBPanel* parent);
    void Detach();
    // Reloads the pictures and shows the dialog at once.
    void Open();
    // Frees the pictures, hides the dialog, then calls the close method with 6. A Close made from
    // inside that call hides and frees again but calls nothing, so a handler that closes on 6 ends.
    void Close();

    bool Created() const { return FCreated; }
    // 0 before Initialize, 1 ready.
    std::uint8_t State() const { return FState; }
    // 1 after yes, 0 after no.
    std::uint8_t Answer() const { return FAnswer; }
    bool IsOpen() const;

    TXeRGBPanel* DlgWin() const { return FDlgWin; }
    TXeRGBPanel* DlgFrame() const { return FDlgFrame; }
    TXeRGBBtn* DlgYes() const { return FDlgYes; }
    TXeRGBBtn* DlgNo() const { return FDlgNo; }

private:
    void WireEvents();
    void FreePictures();
    void LoadPicture(TXeRGBPanel* panel, const char* fileName);
    void Reply(std::uint8_t answer, std::int32_t code);
    void CallOnClose(std::int32_t code);

    // Panel handlers.
    void DlgWinMouseDown(TMouseButton button);
    void DlgWinKeyDown(std::uint16_t key);
    bool DlgFrameDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy);

    PanelLayout FLayout;
    TXeRGBPanel* FDlgWin;
    TXeRGBPanel* FDlgFrame;
    TXeRGBBtn* FDlgYes;
    TXeRGBBtn* FDlgNo;
    bool FCreated = false;
    TFileMan* FFiles = nullptr;
    std::uint8_t FState = 0;
    std::uint8_t FAnswer = 0;
    std::int32_t FKind = kKindExit;
    TCloseEvent FOnClose;
    bool FClosing = false;
};

// TDlgUnit: the yes/no dialog's panel table, pictures and answers.
#include "shell/menus/TDlgUnit.h"

#include "graphics/panels/PanelGeometry.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/PicturePart.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kFrameWidth = 208;
constexpr int kFrameHeight = 108;
constexpr std::uint16_t kEscape = 27;
constexpr const char* kExitFrame = "DlgF_Exit.png";
constexpr const char* kYesPicture = "DlgYes.png";
constexpr const char* kNoPicture = "DlgNo.png";
// Each button strip: normal, focus and pressed, one block each.
constexpr ButtonLook kButtonLook{1, 1, 0, 1, 0};

// The frame is centred by the constructor; the pictures are loaded when the dialog opens.
constexpr PanelRow kLayout[] = {
    {"DlgWin", PanelKind::Panel, nullptr, 0, 0, kScreenWidth, kScreenHeight, nullptr, 1, {}, true, false},
    {"DlgFrame", PanelKind::Panel, "DlgWin", 0, 0, kFrameWidth, kFrameHeight, nullptr},
    {"DlgYes", PanelKind::Button, "DlgFrame", 78, 58, 46, 22, nullptr, 1, kButtonLook},
    {"DlgNo", PanelKind::Button, "DlgFrame", 136, 58, 46, 22, nullptr, 1, kButtonLook},
};

} // namespace

TDlgUnit::TDlgUnit(TComponent* owner)
    : TComponent(owner), FLayout(this, kLayout), FDlgWin(FLayout["DlgWin"]), FDlgFrame(FLayout["DlgFrame"]),
      FDlgYes(FLayout.Button("DlgYes")), FDlgNo(FLayout.Button("DlgNo"))
{
    FDlgWin->SetKeyControl(true);
    FDlgFrame->SetOffsetX((kScreenWidth - FDlgFrame->SizeX()) / 2);
    FDlgFrame->SetOffsetY((kScreenHeight - FDlgFrame->SizeY()) / 2);
    WireEvents();
}

TDlgUnit::~TDlgUnit()
{
    if (FCreated)
        Finalize();
}

void TDlgUnit::WireEvents()
{
    const auto mouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) { DlgWinMouseDown(button); };
    FDlgWin->OnMouseDown = mouseDown;
    FDlgFrame->OnMouseDown = mouseDown;
    FDlgWin->OnKeyDown = [this](TObject*, std::uint16_t& key, TShiftState) { DlgWinKeyDown(key); };
    FDlgFrame->OnDraw = [this](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy) {
        return DlgFrameDraw(dest, x, y, sx, sy, dx, dy);
    };
    FDlgYes->OnClick = [this](TObject*) { Reply(1, kYes); };
    FDlgNo->OnClick = [this](TObject*) { Reply(0, kNo); };
}

bool TDlgUnit::Initialize(TFileMan* files)
{
    try {
        FFiles = files;
        FDlgWin->AllCreate();
        FState = 1;
        FCreated = true;
        return true;
    } catch (...) {
        Finalize();
        throw;
    }
}

void TDlgUnit::Finalize()
{
    FreePictures();
    FDlgWin->AllRelease();
    FState = 0;
    FCreated = false;
}

void TDlgUnit::Attach(TXeRGBPanel* parent) { FDlgWin->SetParent(parent); }

void TDlgUnit::Detach() { FDlgWin->SetParent(nullptr); }

bool TDlgUnit::IsOpen() const { return FDlgWin->Visible(); }

void TDlgUnit::FreePictures()
{
    FreePanelImage(FDlgFrame);
    FreePanelImage(FDlgYes);
    FreePanelImage(FDlgNo);
}

void TDlgUnit::LoadPicture(TXeRGBPanel* panel, const char* fileName)
{
    // A missing picture leaves the panel blank at its table size; it still answers.
    LoadPanelImage(panel, fileName, FFiles);
}

void TDlgUnit::Open()
{
    FreePictures();
    if (FKind == kKindExit)
        LoadPicture(FDlgFrame, kExitFrame);
    LoadPicture(FDlgYes, kYesPicture);
    LoadPicture(FDlgNo, kNoPicture);
    FDlgWin->SetVisible(true);
}

void TDlgUnit::Close()
{
    FreePictures();
    FDlgWin->SetVisible(false);
    if (FClosing)
        return;
    FClosing = true;
    try {
        CallOnClose(kClosed);
    } catch (...) {
        FClosing = false;
        throw;
    }
    FClosing = false;
}

void TDlgUnit::CallOnClose(std::int32_t code)
{
    // A copy, so that a handler may replace or clear the method while it runs.
    const TCloseEvent onClose = FOnClose;
    if (onClose)
        onClose(code);
}

void TDlgUnit::Reply(std::uint8_t answer, std::int32_t code)
{
    if (FState != 1)
        return;
    FAnswer = answer;
    CallOnClose(code);
}

void TDlgUnit::DlgWinMouseDown(TMouseButton button)
{
    switch (button) {
    case mbLeft: CallOnClose(kLeftClick); break;
    case mbRight: CallOnClose(kRightClick); break;
    default: CallOnClose(kMiddleClick); break;
    }
}

void TDlgUnit::DlgWinKeyDown(std::uint16_t key)
{
    if (key == kEscape)
        Reply(0, kNo);
}

bool TDlgUnit::DlgFrameDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)
{
    TXeRGBBits* picture = FDlgFrame->Image();
    if (picture != nullptr)
        DrawPicturePart({dest, x, y, sx, sy, dx, dy}, picture, FDlgFrame->Alpha(), RectAt(0, 0, picture->Width(), picture->Height()));
    return true;
}

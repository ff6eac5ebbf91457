// TGameForm: the hot keys (Print Screen, Alt+Print Screen, Alt+Enter) taken from the window's key
// path before queueing, and snapshots to numbered PNG files or the clipboard.
#include "shell/form/TGameForm.h"

#include "base/packs/TXeSafeFile.h"
#include "graphics/display/TDDraw.h"
#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Format.h"
#include "platform/fs/FileSystem.h"
#include "platform/host/VirtualKeys.h"
#include "platform/host/WindowEvent.h"
#include "platform/system/ClipboardSink.h"
#include "shell/GameGlobals.h"

#include <memory>
#include <span>
#include <tuple>

namespace {

constexpr int kSnapshotFiles = 999; // "Snap000.png" to "Snap998.png"
constexpr int kLogoX = 8;

// The first "Snap%03d.png" of the folder that does not exist; empty when all do.
AnsiString NextSnapshotName(const AnsiString& folder)
{
    for (int n = 0; n < kSnapshotFiles; ++n) {
        const AnsiString name = folder + Format("Snap%03d.png", n);
        if (!FileSystem::Exists(name))
            return name;
    }
    return {};
}

// The bitmap as a PNG picture in memory; null when it cannot be encoded.
std::unique_ptr<TMemoryStream> EncodePng(TXeRGBBits& bits)
{
    auto png = std::make_unique<TMemoryStream>();
    if (!SavePng(png.get(), bits.Bits(), bits.Width(), bits.Height(), pf24_888))
        return nullptr;
    return png;
}

// Writes the picture under its name through a temporary file, so a failed write leaves no part
// of a file behind; a folder that cannot be written is skipped silently.
void WriteSnapshotFile(const AnsiString& name, TMemoryStream& png)
{
    try {
        TXeSafeFile file(name);
        file.Stream().WriteBuffer(png.Memory(), static_cast<int>(png.GetSize()));
        file.Commit();
    } catch (const Exception&) {
    }
}

} // namespace

bool TGameForm::HandleHotKey(const host::WindowEvent& e)
{
    using Kind = host::WindowEvent::Kind;
    if (e.kind != Kind::KeyDown && e.kind != Kind::KeyUp)
        return false;
    const TShiftState modifiers = e.shift & (ssShift | ssAlt | ssCtrl);
    const bool snapshot = e.key == VK_SNAPSHOT && (modifiers == 0 || modifiers == ssAlt);
    const bool switchMode = e.key == VK_RETURN && modifiers == ssAlt;
    if (!snapshot && !switchMode)
        return false;
    if (e.kind == Kind::KeyUp)
        return true;
    if (snapshot)
        TakeSnapshot(modifiers == ssAlt);
    else if (Running() && !ChangeDisplayMode(WindowMode == 0))
        RequestQuit();
    return true;
}

void TGameForm::TakeSnapshot(bool withCursor)
{
    const AnsiString name = NextSnapshotName(FServices.programFolder);
    if (name.empty())
        return;
    TXeRGBBits shot(nullptr);
    shot.SetBitDepth(bd24);
    shot.Resize(kScreenWidth, kScreenHeight);
    if (!shot.Create())
        return;
    {
        std::lock_guard lock(*FDisplayLock);
        TXeRGBBits* source = DrawTarget();
        if (source != nullptr && source->Lock()) {
            const bool cursor = withCursor && FCursorKind >= 0 && FPictures.cursorBits != nullptr &&
                                FPictures.cursorBack != nullptr;
            if (cursor)
                DrawCursor(source, nullptr);
            shot.ConvertCopy(0, 0, source, 0, 0, kScreenWidth, kScreenHeight);
            if (cursor)
                source->Draw(FCursorX, FCursorY, FPictures.cursorBack, 0, 0, kCursorSize, kCursorSize);
            source->Unlock();
        }
    }
    if (CapEnable != 0) {
        if (const auto png = EncodePng(shot))
            WriteSnapshotFile(name, *png);
        return;
    }
    const TFormPictures& p = FPictures;
    for (auto [bits, alpha, x] : {std::tuple{p.capLogoBits, p.capLogoAlpha, kLogoX},
                                  std::tuple{p.capCopyBits, p.capCopyAlpha, -1}})
        if (bits != nullptr && alpha != nullptr && bits->Width() > 0)
            shot.DrawAlphaMask(x >= 0 ? x : kScreenWidth - bits->Width(), kScreenHeight - bits->Height(), bits, 0, 0,
                               bits->Width(), bits->Height(), alpha);
    if (const auto png = EncodePng(shot))
        CopyPngToClipboard(std::span<const std::uint8_t>(png->Memory(), static_cast<std::size_t>(png->GetSize())));
}

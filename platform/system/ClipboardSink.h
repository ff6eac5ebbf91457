// The clipboard sink: hands a PNG picture to the desktop's clipboard through its command-line tool.
//
// Under Wayland (WAYLAND_DISPLAY set) the picture goes to "wl-copy --type image/png", under X
// (DISPLAY set) to "xclip -selection clipboard -t image/png -i"; each tool keeps serving the
// clipboard after it has read the picture. Without a desktop or without its tool the picture is
// dropped: a clipboard is a convenience, never a reason to fail.
//
// Threads: any; the call returns once the tool has read the whole picture.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

using ClipboardSink = std::function<bool(std::span<const std::uint8_t> png)>;

// True when a clipboard tool took the picture.
bool CopyPngToClipboard(std::span<const std::uint8_t> png);

// Replaces the sink (tests); an empty function restores the desktop's.
void SetClipboardSink(ClipboardSink sink);

// RowRenderer: the three hidden text makers of the sub-windows, which render one row of text into
// an 8-bit coverage plane: kind Message (468 x 18, message window), Novel (520 x 20, novel window)
// and List (520 x 20, backlog and choice list), all anti-aliased in a fixed-pitch GBK face.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

#include <array>
#include <string_view>

class TComponent;
class TXeAlpha;
class TXeRGBText;

enum class RowKind { Message = 0, Novel = 1, List = 2 };

class RowRenderer {
public:
    // The face the rows are drawn in: the form named a fixed-pitch face of the GB2312 set, and the
    // fixed-pitch face of the CJK font package the game depends on stands in for it.
    static constexpr const char* FaceName = "WenQuanYi Zen Hei Mono";

    // The makers are owned by `owner`.
    explicit RowRenderer(TComponent* owner);

    static int Width(RowKind kind) { return kind == RowKind::Message ? 468 : 520; }
    static int Height(RowKind kind) { return kind == RowKind::Message ? 18 : 20; }

    // The makers' buffers in pf32_888 for a 32-bit game depth, else pf24_888; false on failure.
    bool CreateBuffers();
    void ReleaseBuffers();

    // Clears the row's rectangle of `dest` at y, then copies the text's coverage to (0, y);
    // an empty text leaves the row clear.
    void Draw(std::string_view text, RowKind kind, int y, TXeAlpha& dest);

private:
    TXeRGBText& Maker(RowKind kind) { return *makers_[static_cast<std::size_t>(kind)]; }

    std::array<TXeRGBText*, 3> makers_{};
};

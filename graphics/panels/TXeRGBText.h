// TXeRGBText: a panel that shows one line of text, rendered by the platform's text output into a
// device-independent bitmap the panel owns and then painted like an image: plain text through a
// colour key (the inverse of the text colour), anti-aliased text through an alpha map made by
// drawing the text at double size and reducing it 2 x 2.
//
// Users call MakeBuffer before the text is shown and ReleaseBuffer when done, and change the text
// with SetText. Text is bytes in the font's code page; the layout counts every byte as half a
// character cell, as the fixed-pitch face it asks for lays text out. Setters take effect on
// screen only once a buffer exists.
#pragma once

#include "base/util/FontUtils.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeAlphaDib.h"
#include "graphics/bitmaps/TXeRGBDib.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <cstdint>
#include <memory>

class TXeRGBText : public TXeRGBPanel {
public:
    // Both forms are 160 x 24 with AutoSize off.
    explicit TXeRGBText(TComponent* owner);
    TXeRGBText(TComponent* owner, TXeRGBPanel* parent);
    ~TXeRGBText() override;

    // Stores the pixel format, makes the buffers and draws the text; the result of CreateBuffer.
    bool MakeBuffer(TPixFormat format);
    // Makes the colour buffer (SizeX x SizeY) and, anti-aliased, the alpha map and the double-size
    // buffer; false (no buffer) when one cannot be made.
    bool CreateBuffer();
    void ReleaseBuffer();
    bool BufferMade() const { return FBufferMade; }
    // Renders the text into the buffers and dirties the panel; nothing without a buffer.
    void DrawTextA();

    AnsiString GetText() const override { return FText; }
    void SetText(const AnsiString& text) override;
    bool AntiAliase() const { return FAntiAliase; }
    void SetAntiAliase(bool on);
    // Character height in pixels; odd values are made even.
    int FontSize() const { return FFontSize; }
    void SetFontSize(int size);
    TFont* Font() const { return FFont.get(); }
    // Takes the font's attributes.
    void SetFont(const TFont& font);
    // 0x00RRGGBB.
    std::uint32_t GetTextColor() const { return FTextColor; }
    void SetTextColor(std::uint32_t colour);
    int TextColorRed() const { return (FTextColor >> 16) & 0xFF; }
    int TextColorGreen() const { return (FTextColor >> 8) & 0xFF; }
    int TextColorBlue() const { return FTextColor & 0xFF; }
    void SetTextColorRed(int v);
    void SetTextColorGreen(int v);
    void SetTextColorBlue(int v);
    bool Centering() const { return FCentering; }
    void SetCentering(bool on);
    // Strength of the anti-aliased coverage, 0..2.
    int AAShade() const { return FAAShade; }
    void SetAAShade(int shade);
    void ChangeState();

    // The buffers, for the painter and for tests; null without a buffer.
    TXeRGBDib* ColourBuffer() const { return FColourBuffer.get(); }
    TXeAlpha* AlphaBuffer() const { return FAlphaBuffer.get(); }
    TXeAlphaDib* DoubleBuffer() const { return FDoubleBuffer.get(); }

private:
    void MakeTextFont();
    void FreeBuffers();
    // Where the text's cell starts in the colour buffer.
    void TextOrigin(int& x, int& y) const;
    // Draws the text at (x, y) into a buffer's device context in the colour.
    template <typename Buffer> void DrawInto(Buffer& buffer, int x, int y, COLORREF colour);
    void DrawPlain();
    void DrawAntialiased();
    // The alpha buffer from the double-size one: each value from a 2 x 2 sum by AAShade.
    void Reduce();

    bool FBufferMade = false;
    AnsiString FText;
    bool FAntiAliase = false;
    std::uint32_t FTextColor = 0xFFFFFF;
    std::uint32_t FKeyColor = 0;
    std::unique_ptr<TXeRGBDib> FColourBuffer;
    std::unique_ptr<TXeAlpha> FAlphaBuffer;
    std::unique_ptr<TXeAlphaDib> FDoubleBuffer;
    FontHandle FTextFont;
    int FFontSize = 24;
    std::unique_ptr<TFont> FFont;
    TPixFormat FPixFormat = pfNone;
    bool FCentering = false;
    int FAAShade = 0;
};

// TXeRGBNum: a panel that shows a decimal integer with digit pictures from a strip of ten equal
// bands (band k shows digit k, each as wide as the strip), right-aligned, without leading zeros,
// in at most Column places.
//
// Digit place i (0 = units) occupies x from SizeX - W x (i + 1) to SizeX - W x i and y from 0 to
// the band height, W being the strip's width. Digits are drawn with the panel's mask mode. A
// negative number has no digit pictures, so it shows nothing.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"

class TXeRGBNum : public TXeRGBPanel {
public:
    // Both forms are 98 x 31 with AutoSize off and one place; the one with a parent also sets
    // NumBlock to 10.
    explicit TXeRGBNum(TComponent* owner);
    TXeRGBNum(TComponent* owner, TXeRGBPanel* parent);
    ~TXeRGBNum() override;

    int Column() const { return FColumn; }
    // Ignored outside 0..10.
    void SetColumn(int n);
    int Number() const { return FNumber; }
    void SetNumber(int n);

    // Draws the digits of the part (sx, sy, dx, dy) and returns true, so that the strip is not
    // drawn as a plain panel's image; false (the plain panel's drawing) for a strip shorter than
    // 10 pixels. An assigned OnDraw that returns true has drawn the panel itself.
    bool CallOnDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy) override;

private:
    // Repaints the whole panel when it is shown and has a strip.
    void ChangeState();
    bool DrawDigit(TXeRGBBits* dest, int x, int y, int sx, int sy, const TXeRect& part, int cellLeft, int digit);

    int FColumn = 1;
    int FNumber = 0;
};

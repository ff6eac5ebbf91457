// RectSink: where the stage and sheet displays flag the rectangles they changed, and the sink that
// flags them on a panel.
#pragma once

#include "base/util/TXeRect.h"

class TXeRGBPanel;

class RectSink {
public:
    virtual void Flag(const TXeRect& rect) = 0;

protected:
    ~RectSink() = default;
};

// Flags on a panel's modified set (nothing while it has none).
class PanelRectSink final : public RectSink {
public:
    explicit PanelRectSink(TXeRGBPanel* panel = nullptr) : panel_(panel) {}
    void SetPanel(TXeRGBPanel* panel) { panel_ = panel; }
    void Flag(const TXeRect& rect) override;

private:
    TXeRGBPanel* panel_;
};

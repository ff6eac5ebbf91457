#include "songgame/display/RectSink.h"

#include "graphics/panels/TXeRGBPanel.h"

void PanelRectSink::Flag(const TXeRect& rect)
{
    if (panel_ != nullptr)
        panel_->SetModifyRect(rect);
}

// PanelLayout: a panel tree from a table of rows.
#include "graphics/panels/PanelLayout.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "graphics/panels/TXeRGBText.h"

namespace {

TXeRGBPanel* MakePanel(TComponent* owner, TPanelKind kind, TXeRGBPanel* parent)
{
    switch (kind) {
    case pkButton: return new TXeRGBBtn(owner, parent);
    case pkNumber: return new TXeRGBNum(owner, parent);
    case pkText: return new TXeRGBText(owner, parent);
    default: return new TXeRGBPanel(owner, parent);
    }
}

void SetPatterns(TXeRGBBtn& button, const TButtonPatterns& p)
{
    button.SetPatNormal(p.normal);
    button.SetPatFocus(p.focus);
    button.SetPatSelected(p.selected);
    button.SetPatDown(p.down);
    button.SetPatDisable(p.disable);
}

} // namespace

std::vector<TXeRGBPanel*> BuildPanels(TComponent* owner, std::span<const TPanelRow> rows)
{
    std::vector<TXeRGBPanel*> panels;
    panels.reserve(rows.size());
    for (const TPanelRow& row : rows) {
        const bool hasParent = row.parent >= 0 && static_cast<std::size_t>(row.parent) < panels.size();
        TXeRGBPanel* panel = MakePanel(owner, row.kind, hasParent ? panels[static_cast<std::size_t>(row.parent)] : nullptr);
        panel->Name = row.name;
        panel->SetOffsetX(row.x);
        panel->SetOffsetY(row.y);
        if (row.width > 0)
            panel->SetSizeX(row.width);
        if (row.height > 0)
            panel->SetSizeY(row.height);
        if (row.kind == pkButton)
            SetPatterns(static_cast<TXeRGBBtn&>(*panel), row.patterns);
        else if (row.blocks > 0)
            panel->SetNumBlock(row.blocks);
        panel->SetText(row.text != nullptr ? row.text : "");
        panel->SetVisible((row.flags & plHidden) == 0);
        panel->SetKeyControl((row.flags & plKeys) != 0);
        panel->SetMouseControl((row.flags & plNoMouse) == 0);
        panels.push_back(panel);
    }
    return panels;
}

#include "shell/helpers/PanelLayout.h"

#include "graphics/panels/TXeRGBNum.h"
#include "graphics/panels/TXeRGBText.h"

#include <stdexcept>
#include <string>

namespace {

void ApplyLook(TXeRGBBtn& button, const ButtonLook& look)
{
    button.SetPatNormal(look.normal);
    button.SetPatFocus(look.focus);
    button.SetPatSelected(look.selected);
    button.SetPatDown(look.down);
    button.SetPatDisable(look.disable);
    button.SetAnimeWait(look.animeWait);
    button.SetAnimeType(look.animeType);
}

} // namespace

PanelLayout::PanelLayout(TComponent* owner, std::span<const PanelRow> rows, const TNotifyEvent& pictureCreate,
                         const TNotifyEvent& pictureRelease)
{
    for (const PanelRow& row : rows) {
        TXeRGBPanel* parent = row.parent != nullptr ? (*this)[row.parent] : nullptr;
        TXeRGBPanel* panel = nullptr;
        switch (row.kind) {
        case PanelKind::Button: {
            auto* button = new TXeRGBBtn(owner, parent);
            ApplyLook(*button, row.look);
            panel = button;
            break;
        }
        case PanelKind::Number: panel = new TXeRGBNum(owner, parent); break; // ten blocks, one a digit
        case PanelKind::Text: panel = new TXeRGBText(owner, parent); break;
        default:
            panel = new TXeRGBPanel(owner, parent);
            panel->SetNumBlock(row.blocks);
            break;
        }
        panel->Name = row.name;
        panel->SetAutoSize(false);
        panel->SetOffsetX(row.x);
        panel->SetOffsetY(row.y);
        panel->SetSizeX(row.width);
        panel->SetSizeY(row.height);
        panel->SetMouseControl(row.mouse);
        panel->SetVisible(row.visible);
        if (row.picture != nullptr) {
            panel->SetText(row.picture);
            panel->OnCreate = pictureCreate;
            panel->OnRelease = pictureRelease;
        }
        panels_.emplace_back(row.name, panel);
    }
}

TXeRGBPanel* PanelLayout::operator[](std::string_view name) const
{
    for (const auto& [rowName, panel] : panels_)
        if (rowName == name)
            return panel;
    throw std::out_of_range("no panel named " + std::string(name));
}

TXeRGBBtn* PanelLayout::Button(std::string_view name) const
{
    auto* button = dynamic_cast<TXeRGBBtn*>((*this)[name]);
    if (button == nullptr)
        throw std::out_of_range(std::string(name) + " is no button");
    return button;
}

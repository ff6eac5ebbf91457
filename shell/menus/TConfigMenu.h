// TConfigMenu: the settings screen. Every setting shows as a slider with arrow buttons and a number,
// or as a group of mutually exclusive buttons, and each change applies at once: the volumes and the
// frame-rate mode go to the form, the window-mode choice is posted to the UI thread, everything else
// is written into the user settings record. The controls take their pictures and places from one
// parts sheet, "CfgParts.png", without which the menu cannot start. Whoever opens the menu saves the
// settings file when it closes.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <cstdint>
#include <functional>
#include <vector>

class ShellServices;
struct TConfigOptionGroup;
struct TConfigSliderRow;
class TFileMan;
class TUserConfig;
class TXeRGBParts;

// The settings the menu shows.
enum TConfigSetting : std::uint8_t {
    csBGMVolume,
    csVoiceVolume,
    csSEVolume,
    csRearVolume,
    csFPSMode,
    csUserTextSpeed,
    csMesBoxTrans,
    csAutoSkipWait,
    csSimpleDisplay,
    csShowPlaceName,
    csVolumeMainPlay,
    csVolumeKeyboard,
    csAvgAutoMode,
    csMusicAutoMode,
    csMusicRankMode,
    csMusicWordMode,
    csMusicAnime,
    csMusicTimingMode,
};

// Logic thread: the handlers run inside frames.
class TConfigMenu : public TComponent {
public:
    using TCloseEvent = std::function<void(std::int32_t code)>;
    // The code BtnExit passes to the close method.
    static constexpr std::int32_t kClosed = 6;

    // The services and the record must outlive the menu.
    TConfigMenu(TComponent* owner, ShellServices& services, TUserConfig& config);
    ~TConfigMenu() override;

    // Cuts the parts sheet, places every control, creates the panel tree and shows the current
    // values; false (with nothing left made) when the parts sheet cannot be loaded.
    bool Initialize(TFileMan* files);
    void Finalize();
    // Shows every control from the current values.
    void Refresh();
    void SetOnClose(TCloseEvent onClose) { FOnClose = std::move(onClose); }

    bool Created() const { return FCreated; }
    // The 640 x 480 panel the opener attaches.
    TXeRGBPanel* ConfigPanel() const { return FPanels.front(); }
    // The panel of that name; std::out_of_range for a name not in the table.
    TXeRGBPanel* FindPanel(const AnsiString& name) const { return FLayout[name]; }
    std::int32_t Get(TConfigSetting setting) const;

private:
    void PlaceParts();
    void WireEvents();
    void WireSlider(const TConfigSliderRow& row);
    void WireOptions(const TConfigOptionGroup& group);
    template <typename Button> Button* PanelAt(int index) const { return static_cast<Button*>(FPanels[static_cast<std::size_t>(index)]); }

    void Set(TConfigSetting setting, std::int32_t value);
    void ShowRow(const TConfigSliderRow& row);
    void ShowOptions(const TConfigOptionGroup& group);
    void ShowDisplayButtons();

    // Panel handlers.
    void PanelCreate(TXeRGBPanel* panel);
    void PanelRelease(TXeRGBPanel* panel);
    void ArrowClick(const TConfigSliderRow& row, bool right);
    void SliderMouse(const TConfigSliderRow& row, int x);
    bool SliderDraw(const TConfigSliderRow& row, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy);
    bool MesBoxSampleDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy);
    void OptionClick(const TConfigOptionGroup& group, std::int32_t value);
    void DisplayClick(bool toWindow);
    void StandardClick(int which);
    void BtnExitClick();

    ShellServices& FServices;
    TUserConfig& FConfig;
    PanelLayout FLayout;
    std::vector<TXeRGBPanel*> FPanels; // in the order of the table's rows
    bool FCreated = false;
    TFileMan* FFiles = nullptr;
    TXeRGBParts* FParts = nullptr;
    TCloseEvent FOnClose;
};

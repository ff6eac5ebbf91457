// TSaveMenu: the screen that lists the save slots and saves the running game into one (save mode)
// or loads one (load mode). A scrolling list of 99 numbered slots shows each used slot's number,
// scene caption and file date; load mode adds a fixed bottom row for the automatic save. The menu
// saves and loads through the slot files itself and tells its opener the outcome through its close
// method. Slot information is read lazily, once per opening, for the rows that come into view.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ShellServices;
class TFileMan;
class TXeRGBBtn;
class TXeRGBText;
struct TScenarioRecords;

// What the list knows of one entry.
struct TSaveSlotInfo {
    std::uint8_t read = 0;   // the entry's information has been read
    std::uint8_t exists = 0; // the file exists and its header and records could be read
    AnsiString caption;
    std::int32_t year = 0; // the file's last write time, in local time
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
};

// Logic thread: the handlers, and the file access inside them, run during frames.
class TSaveMenu : public TComponent {
public:
    using TCloseEvent = std::function<void(std::int32_t code)>;

    static constexpr int kEntries = 100;
    // The automatic save's entry (file number 0), shown only in load mode.
    static constexpr int kAutoEntry = 99;
    static constexpr int kRows = 10;
    static constexpr std::int32_t kModeSave = 0;
    static constexpr std::int32_t kModeLoad = 1;
    // Close codes: a save or load succeeded; CloseButton was pressed.
    static constexpr std::int32_t kDone = 5;
    static constexpr std::int32_t kClosed = 6;

    // The services (sounds, the program's folder) and the records (what is saved, and what a load
    // replaces) must outlive the menu. The list opens at the top entry the last menu of the process
    // left.
    TSaveMenu(TComponent* owner, ShellServices& services, TScenarioRecords& records);
    // Keeps the top entry for the next menu.
    ~TSaveMenu() override;

    // Stores the data files (pictures), binds its own file manager to the program's folder and
    // creates the panel tree.
    bool Initialize(TFileMan* files);
    void Finalize();
    void SetOnClose(TCloseEvent onClose) { FOnClose = std::move(onClose); }
    // Always true.
    bool Open(std::int32_t mode);
    // Frees the background picture and the text buffers.
    void Close();

    void ReadSlotInfo(int entry);
    void ShowSlots();
    // Selects an entry (see the Select rules in the .cpp); an entry outside 0..99 clears the selection.
    void Select(int entry);
    void DoSaveLoad();

    bool Created() const { return FCreated; }
    std::int32_t Mode() const { return FMode; }
    int Top() const { return FTop; }
    int Selected() const { return FSelected; }
    int ScrollRows() const { return FScrollRows; }
    const TSaveSlotInfo& SlotInfo(int entry) const { return FSlots.at(static_cast<std::size_t>(entry)); }
    TXeRGBPanel* SaveMenuWin() const { return FPanels.front(); }
    // The panel of that name; std::out_of_range for a name not in the table.
    TXeRGBPanel* FindPanel(const AnsiString& name) const { return FLayout[name]; }
    // The file number of an entry: 0 for the automatic save, entry + 1 for the others.
    static int FileNumber(int entry) { return entry == kAutoEntry ? 0 : entry + 1; }

private:
    void WireEvents();
    int MaxTop() const { return kAutoEntry - FScrollRows; }
    // The entry a row shows.
    int RowEntry(int row) const;
    void ShowRow(int row);
    void ScrollTo(int top);
    void ScrollByBar(int y);
    void CallOnClose(std::int32_t code);
    bool SaveOrLoad(int entry);

    // Panel handlers.
    void PanelCreate(TXeRGBPanel* panel);
    void PanelRelease(TXeRGBPanel* panel);
    void SaveDataMouseDown(int row);
    void SaveMenuMouseWheel(int delta, bool& handled);
    void SaveLoadClick();
    void CloseButtonClick();

    ShellServices& FServices;
    TScenarioRecords& FRecords;
    PanelLayout FLayout;
    std::vector<TXeRGBPanel*> FPanels; // in the order of the table's rows
    std::array<TXeRGBPanel*, kRows> FSaveData{};
    std::array<TXeRGBText*, kRows> FSaveInfo{};
    std::array<TXeRGBText*, kRows> FFileInfo{};
    TXeRGBPanel* FMenuLight;
    TXeRGBPanel* FScrollBar;
    TXeRGBBtn* FSaveButton;
    TXeRGBBtn* FLoadButton;
    bool FCreated = false;
    TFileMan* FFiles = nullptr;
    std::unique_ptr<TFileMan> FSaveFiles;
    std::int32_t FMode = kModeLoad;
    TCloseEvent FOnClose;
    std::array<TSaveSlotInfo, kEntries> FSlots{};
    int FTop = 0;
    int FScrollRows = kRows - 1;
    int FSelected = -1;
};

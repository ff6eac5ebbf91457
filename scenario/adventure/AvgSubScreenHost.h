// AvgSubScreenHost: what the adventure screen's sub-screens (hidden text, backlog, side menu, yes/no
// dialog, configuration and save/load menus, quick save and load) need of the screen itself: its
// wait state and modes, its windows and stage, the records, its panel, the system
// menus, the main form, and a few actions (its own click, the thread result, the cursor).
#pragma once

#include "platform/classes/AnsiString.h"

class AvgModes;
class AvgWaits;
class TConfigMenu;
class TDlgUnit;
class TGameForm;
class TSaveMenu;
class TStageUnit;
class TSubWinUnit;
class TUserConfig;
class TXeRGBPanel;
struct TScenarioRecords;

// Logic thread only.
class AvgSubScreenHost {
public:
    virtual ~AvgSubScreenHost() = default;

    virtual AvgWaits& Waits() = 0;
    // The sub-screens keep the modes' sub-screen level up to date.
    virtual AvgModes& Modes() = 0;
    virtual TSubWinUnit& Windows() = 0;
    virtual TStageUnit& Stage() = 0;
    // The current record (first) is what the windows show and what a save writes.
    virtual TScenarioRecords& Records() = 0;
    // The screen's own 640 x 480 panel, on the form's root panel while no menu is shown.
    virtual TXeRGBPanel* AvgPanel() = 0;
    // Puts a panel on the root panel, or takes it off.
    virtual void AttachPanel(TXeRGBPanel* panel) = 0;
    virtual void DetachPanel(TXeRGBPanel* panel) = 0;
    // The main form, whose screen pictures and transition lead into and out of the menus; null
    // when there is none (the menus then appear and go at once).
    virtual TGameForm* Form() = 0;
    // The system menus the logic thread made for the adventure; null when there is none.
    virtual TDlgUnit* Dialog() = 0;
    virtual TConfigMenu* ConfigMenu() = 0;
    virtual TSaveMenu* SaveMenu() = 0;
    virtual TUserConfig& Config() = 0;
    // Writes the user settings file.
    virtual void SaveConfig() = 0;
    // The folder of the save files, ending in "\".
    virtual AnsiString SaveFolder() = 0;

    // The screen's click as the player's left button gives it (it asks the sub-screens first).
    virtual void Click() = 0;
    // Hands a result to the logic thread and stops running.
    virtual void HandBack(int result) = 0;
    // Plays a system sound from the data files.
    virtual void PlaySystemSE(const AnsiString& name) = 0;
    virtual void UpdateCursor() = 0;
};

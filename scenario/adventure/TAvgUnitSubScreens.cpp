// TAvgUnit: the sub-screens (hidden text windows, backlog, side menu, yes/no dialog, configuration
// and save/load menus, quick save and quick load). None of them opens yet: every opener is false,
// so the code or key that asked counts as a click.
#include "scenario/adventure/TAvgUnit.h"

bool TAvgUnit::HideText() { return false; }

bool TAvgUnit::OpenBacklog() { return false; }

bool TAvgUnit::OpenSideMenu() { return false; }

bool TAvgUnit::OpenConfigMenu() { return false; }

bool TAvgUnit::OpenSaveMenu(bool) { return false; }

bool TAvgUnit::QuickSave() { return false; }

bool TAvgUnit::QuickLoad() { return false; }

void TAvgUnit::BacklogEvent(int) {}

bool TAvgUnit::SubScreenClick() { return false; }

void TAvgUnit::UpdateSideMenuButtons() {}

bool TAvgUnit::SubScreenKey(std::uint16_t) { return false; }

bool TAvgUnit::SubScreenWheel(int) { return false; }

void TAvgUnit::StepSubScreens(int) {}

// GameRecords: the records the logic thread keeps for the whole run: the player's settings, the
// running scenario's records, the system record with its scores and the read-text map.
#pragma once

#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SaveSlot.h"
#include "shell/config/TUserConfig.h"

// Logic thread only; the screens it makes hold references to the parts they show or change.
struct GameRecords {
    TUserConfig config;
    TScenarioRecords scenario;
    TSystemState system;
    TReadMesTable readMes;
};

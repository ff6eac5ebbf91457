// The process-wide blend level and double-alpha weight tables.
#include "graphics/kernels/BlendLevel.h"

#include <algorithm>
#include <array>

namespace {

using TWeightTable = std::array<std::uint8_t, 256>;

constexpr TWeightTable MakeWeightTable(int level)
{
    TWeightTable t{};
    for (int a = 0; a < 256; ++a)
        t[a] = static_cast<std::uint8_t>(a * level / 255);
    return t;
}

constexpr std::array<TWeightTable, 9> MakeReadyTables()
{
    std::array<TWeightTable, 9> tables{};
    for (int i = 0; i < 9; ++i)
        tables[i] = MakeWeightTable(i * 16);
    return tables;
}

// Fades in steps of 16 never rebuild a table.
constexpr std::array<TWeightTable, 9> kReadyTables = MakeReadyTables();

int blendLevel = 0;
TWeightTable workTable{};
int workLevel = -1;  // the level last filled into the work table; none at start
const std::uint8_t* selectedTable = workTable.data();
int selectedLevel = 0;

}  // namespace

void SetAlphaParam(int level)
{
    blendLevel = std::clamp(level, 0, 128);
}

int AlphaParam()
{
    return blendLevel;
}

void SetDoubleAlphaParam(int level)
{
    level = std::clamp(level, 0, 128);
    selectedLevel = level;
    if (level % 16 == 0) {
        selectedTable = kReadyTables[level / 16].data();
        return;
    }
    if (level != workLevel) {
        workTable = MakeWeightTable(level);
        workLevel = level;
    }
    selectedTable = workTable.data();
}

const std::uint8_t* DoubleAlphaTable()
{
    return selectedTable;
}

int DoubleAlphaLevel()
{
    return selectedLevel;
}

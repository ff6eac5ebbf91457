#include "songgame/chart/KeyLanes.h"

#include <array>
#include <string_view>

namespace {

// Each row of keys in lane order; a lane's key is the row's character at (lane - first).
struct LaneRow {
    int first;
    std::string_view keys;
};
constexpr std::array<LaneRow, 7> LaneRows = {{
    {0, "ASDFJKL;"},
    {8, "GH"},
    {10, "QWERUIOP"},
    {18, "TY"},
    {20, "ZXCV"},
    {24, "M,./"},
    {28, "BN"},
}};
// Shifted signs that share a key with a sign of the rows.
constexpr std::array<std::pair<char, int>, 4> ShiftedSigns = {{{'+', 7}, {'<', 25}, {'>', 26}, {'?', 27}}};

constexpr int FirstCharacter = 32;

constexpr std::array<signed char, 96> MakeLaneTable()
{
    std::array<signed char, 96> table{};
    for (auto& lane : table)
        lane = -1;
    for (const LaneRow& row : LaneRows) {
        for (std::size_t i = 0; i < row.keys.size(); ++i) {
            const char key = row.keys[i];
            const auto lane = static_cast<signed char>(row.first + static_cast<int>(i));
            table[static_cast<std::size_t>(key - FirstCharacter)] = lane;
            if (key >= 'A' && key <= 'Z')
                table[static_cast<std::size_t>(key - 'A' + 'a' - FirstCharacter)] = lane;
        }
    }
    for (const auto& [sign, lane] : ShiftedSigns)
        table[static_cast<std::size_t>(sign - FirstCharacter)] = static_cast<signed char>(lane);
    return table;
}

constexpr std::array<signed char, 96> LaneTable = MakeLaneTable();

} // namespace

int KeyToLane(int character)
{
    if (character < FirstCharacter || character > 127)
        return -1;
    return LaneTable[static_cast<std::size_t>(character - FirstCharacter)];
}

int FoldLane(int lane)
{
    if (lane < 0)
        return -1;
    const int folded = lane % 10;
    return folded >= 8 ? folded - 5 : folded;
}

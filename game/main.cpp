// The game executable's entry.
#include "game/GameMain.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return GameMain(arguments);
}

#include "tests/game/SampleGame.h"

#include "tools/samplegen/SampleGenerator.h"

namespace GameTest {

bool CopySampleGame(const std::filesystem::path& to)
{
    return samplegen::CopyGameData(XE_SAMPLE_GAME, to);
}

} // namespace GameTest

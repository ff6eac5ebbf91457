#include "tests/game/SampleGame.h"

#include "tests/shell/FormTestSupport.h"
#include "tools/samplegen/SampleGenerator.h"

namespace GameTest {

bool CopySampleGame(const std::filesystem::path& to)
{
    static const ShellTest::TempFolder made;
    static const bool ok = samplegen::Generate(made.Path(), XE_SAMPLE_SOURCES);
    if (!ok)
        return false;
    std::error_code error;
    std::filesystem::copy(made.Path(), to, std::filesystem::copy_options::recursive, error);
    return !error;
}

} // namespace GameTest

// Writes the script fuzz targets' seeds (compiled scripts numbered 1 whose first block is scene
// "s", and a scene table) into the folder named by XE_FUZZ_SEEDS, as fuzz/seeds/<reader>/ holds
// them; skipped when it is not set.
#include "ScriptTestSupport.h"
#include "scenario/ScenarioTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

const struct {
    const char* name;
    const char* text;
} kSeeds[] = {
    {"loop", R"(
        .script 1
        .scene "s" main
        main:
            setvar 0 0
            push 10
        @turn:              ; variable 0 += n, for n = 10 down to 1
            dup
            getvar 0
            add
            push 0
            swap
            setvar
            sub 1
            dup
            jnz @turn
            drop
            setflag 3 1
            mul 65536 65537
            div -2147483648 -1
            mod 7 0
            signbit -5
            and 1 0
            or 0 2
            ge 3 3
            ne 4 5
            getsysflag 63
            setsysvar 7 11
            getsysvar 7
            getlocalflag 2
            getsubvar 1
    )"},
    {"calls", R"(
        .script 1
        .scene "s" main
        main:
            setname 2 "hero"
            message "Hello, %n2."
            push 9
            call sub
            call "::sub"
            call "scr1::three"
            setreg1 5
            call deep
            getreg1
            halt
        sub:
            getreg2
            ret
        three:
            push 1
            push 2
            push 3
            ret
        deep:
            call deep
    )"},
    {"scenes", R"(
        .script 1
        .scene "s" main
        .scene "t" other start 401 930 limit 410 1800
        main:
            windowopen
            choice "left" "right" 0 name(2)
            jz @left
            autosave
            scene "t"
        @left:
            bg 12
            charput 3 1
            newpage
            scene "missing"
        other:
            wait 100
            clickwait
            scene "s"
    )"},
};

TEST(ScriptFuzzSeeds, WriteAssembledScripts)
{
    const char* root = std::getenv("XE_FUZZ_SEEDS");
    if (root == nullptr)
        GTEST_SKIP() << "XE_FUZZ_SEEDS names no folder";
    const std::filesystem::path folder(root);
    for (const char* reader : {"script", "scriptengine", "scenetable"})
        std::filesystem::create_directories(folder / reader);
    for (const auto& seed : kSeeds) {
        const auto scenario = AssembleScenario(seed.text);
        const std::string file = std::string(seed.name) + ".dvo";
        ScenarioTest::WriteBytes(folder / "script" / file, scenario.scripts.at(1));
        ScenarioTest::WriteBytes(folder / "scriptengine" / file, scenario.scripts.at(1));
        ScenarioTest::WriteBytes(folder / "scenetable" / (std::string(seed.name) + ".tbl"), scenario.sceneTable);
    }
}

} // namespace

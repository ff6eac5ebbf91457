// Fuzzes the stage-script reader on outside text (its files are absent, so every resource fails),
// then walks every section with every condition and checks that the walk stays inside the pool.
#include "songgame/stage/StageScript.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/StringList.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

class NoActions : public StageActions {
public:
    void ChangeBackground(int, int) override {}
    void StartAnimation(int, int) override {}
    void SetCharacterPicture(int, int) override {}
    void SetCharacterSecondPicture(int, int) override {}
    void PlaceCharacter(int, int, int, int) override {}
    void PlayEffect(int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static std::vector<std::int32_t> pool(StagePoolWords);
    TFileMan files(nullptr);
    files.InitDir("fuzz-no-such-folder");
    StageLoadContext context{files, nullptr, 100};
    StageResources resources;
    StageScript script(pool);
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    script.ReadLines(lines, context, resources);
    if (script.WriteIndex() < 0 || script.WriteIndex() > StagePoolWords)
        __builtin_trap();
    NoActions actions;
    for (int n = -1; n <= 4; ++n) {
        script.SetSection(n);
        for (int steps = 0; script.Pointer() >= 0; ++steps) {
            if (steps > StagePoolWords || script.Pointer() >= script.WriteIndex())
                __builtin_trap();
            script.DoAnimeEntry(n, {(n & 1) != 0, (n & 2) != 0, n == 2}, actions);
        }
    }
    resources.Free(files);
    return 0;
}

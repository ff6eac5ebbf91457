// samplegen OUTPUT [SOURCES]: makes the sample game's data in the game folder OUTPUT from the
// sources in SOURCES (the repository's sample/ folder): pictures, sounds, movie, scripts, the song
// and their packs. The same sources always give the same bytes.
#include "tools/samplegen/SampleGenerator.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage = "usage: samplegen OUTPUT [SOURCES]\n"
                               "Makes the sample game's data (pictures, sounds, movie, scripts, song, packs) in the\n"
                               "game folder OUTPUT from the sources in SOURCES (default: sample). Other files of\n"
                               "OUTPUT stay as they are.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return samplegen::Generate(argv[1], argc == 3 ? argv[2] : "sample") ? 0 : 1;
}

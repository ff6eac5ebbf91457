// The playsound tool on SDL's disk audio driver: what it plays (written to a file by SDL) is the
// decoded sound, bit for bit, between silence.
#include "SoundDeviceSupport.h"
#include "SoundTestSupport.h"

#include "sound/ZTAdpStream.h"
#include "sound/ZTOggStream.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace SoundTest;

// Index of the first frame that is not silence (`frameBytes` zero bytes), or the frame count.
std::size_t FirstSound(const Bytes& pcm, std::size_t frameBytes)
{
    std::size_t i = 0;
    while (i < pcm.size() && pcm[i] == 0)
        ++i;
    return i / frameBytes;
}

void ExpectPlayedExactly(const std::filesystem::path& file, const Bytes& pcm, std::size_t frameBytes)
{
    const auto raw = file.parent_path() / "played.raw";
    ASSERT_TRUE(RunTool("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + raw.string() + "' '" XE_PLAYSOUND "' '" +
                        file.string() + "'"));
    const Bytes out = LoadFile(raw);
    const std::size_t soundAt = FirstSound(pcm, frameBytes);
    const std::size_t heardAt = FirstSound(out, frameBytes);
    ASSERT_LT(soundAt, pcm.size() / frameBytes);
    ASSERT_GE(heardAt, soundAt);
    const std::size_t start = (heardAt - soundAt) * frameBytes;
    ASSERT_GE(out.size(), start + pcm.size());
    const auto begin = out.begin() + static_cast<std::ptrdiff_t>(start);
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), begin)) << "the decoded sound, unchanged";
    const auto silent = [](std::uint8_t b) { return b == 0; };
    EXPECT_TRUE(std::all_of(begin + static_cast<std::ptrdiff_t>(pcm.size()), out.end(), silent)) << "then silence";
}

TEST(PlaySoundTool, PlaysAnAdp1FileExactly)
{
    TempFolder folder;
    const Bytes file = Adp1File(22050 * 3 / 2, 1, 22050, 8);
    const auto path = folder.Path() / "sound.adp";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    MemoryZTStream source(file);
    ZTAdpStream decoder(&source);
    ExpectPlayedExactly(path, ReadAll(decoder, 65536), 2);
}

TEST(PlaySoundTool, PlaysAnOggVorbisFileExactly)
{
    if (!HaveTool("sox"))
        GTEST_SKIP() << "sox is not installed";
    const auto path = MadeFile("sines.ogg", "sox -n -r 44100 -c 2 {} synth 1.5 sine 440 sine 660");
    MemoryZTStream source(LoadFile(path));
    ZTOggStream decoder(&source);
    ExpectPlayedExactly(path, ReadAll(decoder, 65536), 4);
}

} // namespace

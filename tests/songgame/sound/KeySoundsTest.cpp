#include "songgame/sound/KeySounds.h"

#include "songgame/RecordingSongDevice.h"
#include "songgame/SongTree.h"

#include "base/packs/TFileMan.h"
#include "shell/helpers/VolumeCurve.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

struct KeyFolder {
    songtest::SongTree tree;
    TFileMan files{nullptr};
    songtest::RecordingSongDevice device;
    KeySounds keys;

    KeyFolder() { files.InitDir("key"); }
    void Add(const std::string& name, const std::string& data = "RIFFdata") const { tree.WriteText("key\\" + name, data); }
    // The key index of a name, or -1.
    int IndexOf(const AnsiString& name) const
    {
        const auto names = keys.Names();
        const auto found = std::find(names.begin(), names.end(), name);
        return found == names.end() ? -1 : static_cast<int>(found - names.begin());
    }
};

} // namespace

TEST(KeySounds, ListingLimitsAndCase)
{
    KeyFolder k;
    for (int i = 0; i < 600; ++i)
        k.Add("k" + std::to_string(i) + ".wav");
    k.Add(std::string(21, 'a') + ".wav");  // 25 characters
    k.Add(std::string(22, 'b') + ".wav");  // 26 characters
    k.keys.List(k.files);
    EXPECT_EQ(k.keys.Count(), 512);
    for (const AnsiString& name : k.keys.Names()) {
        EXPECT_LT(name.size(), 26u) << name;
        EXPECT_EQ(name, UpperCase(name));
    }

    KeyFolder c;
    c.Add("Clap.ogg", "OggSclap");
    c.Add(std::string(21, 'x') + ".WAV");
    c.Add(std::string(22, 'y') + ".wav");
    c.keys.List(c.files);
    ASSERT_EQ(c.keys.Count(), 2);
    EXPECT_GE(c.IndexOf("CLAP.OGG"), 0);
    EXPECT_GE(c.IndexOf(std::string(21, 'X') + ".WAV"), 0);
}

TEST(KeySounds, PreloadMakesEverySoundAtTheKeyVolume)
{
    KeyFolder k;
    k.Add("clap.Ogg", "OggSclap");
    k.Add("drum.adp", "ADP1drum");
    k.Add("bell.wav", "RIFFbell");
    k.keys.List(k.files);
    ASSERT_TRUE(k.keys.Load(k.files, &k.device, false, 50));
    ASSERT_EQ(k.device.made.size(), 3u);
    EXPECT_TRUE(k.files.Pointers().empty()) << "preloaded files are closed";
    for (const auto& log : k.device.made)
        EXPECT_EQ(log->volumes, std::vector<std::int32_t>{VolumeToAttenuation(50)});
    const int clap = k.IndexOf("CLAP.OGG");
    EXPECT_EQ(k.device.made[static_cast<std::size_t>(clap)]->kind, SongSoundKind::Ogg);
    EXPECT_EQ(k.device.made[static_cast<std::size_t>(k.IndexOf("DRUM.ADP"))]->kind, SongSoundKind::Adpcm);
    k.keys.Play(clap);
    k.keys.Play(-1);
    k.keys.Play(3);
    EXPECT_EQ(k.device.made[static_cast<std::size_t>(clap)]->plays, 1);
    k.keys.Free(&k.files);
    EXPECT_EQ(k.keys.Count(), 0);
    EXPECT_TRUE(k.device.made[0]->deleted);
}

TEST(KeySounds, PreloadFailures)
{
    KeyFolder bad;
    bad.Add("bad.wav", "bad data");
    bad.keys.List(bad.files);
    EXPECT_FALSE(bad.keys.Load(bad.files, &bad.device, false, 100));
    KeyFolder empty;
    empty.tree.WriteText("key\\..\\other.txt", "");
    std::filesystem::create_directories(empty.tree.Native("key"));
    empty.keys.List(empty.files);
    EXPECT_EQ(empty.keys.Count(), 0);
    EXPECT_TRUE(empty.keys.Load(empty.files, &empty.device, false, 100)) << "an empty key folder has no keys";
}

TEST(KeySounds, MemorySaveCacheEvictsTheLeastRecentlyPlayed)
{
    KeyFolder k;
    for (int i = 0; i < 17; ++i)
        k.Add("k" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".wav", "RIFF" + std::to_string(i));
    k.keys.List(k.files);
    ASSERT_TRUE(k.keys.Load(k.files, &k.device, true, 70));
    EXPECT_TRUE(k.device.made.empty()) << "nothing made before it is played";
    EXPECT_EQ(k.files.Pointers().size(), 17u) << "the key files stay open";
    std::vector<int> index(17);
    for (int i = 0; i < 17; ++i)
        index[static_cast<std::size_t>(i)] = k.IndexOf("K" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".WAV");

    for (int i = 0; i < 16; ++i)
        k.keys.Play(index[static_cast<std::size_t>(i)]);
    ASSERT_EQ(k.device.made.size(), 16u);
    EXPECT_EQ(k.device.made[0]->volumes, std::vector<std::int32_t>{VolumeToAttenuation(70)}) << "cached sounds get the key volume";
    EXPECT_EQ(k.keys.CacheOrder()[0], 15) << "slot 15 was filled last";
    EXPECT_EQ(k.keys.CacheOrder()[15], 0);

    k.keys.Play(index[0]); // cached: moves to the front, nothing made
    EXPECT_EQ(k.device.made.size(), 16u);
    EXPECT_EQ(k.device.made[0]->plays, 2);
    EXPECT_EQ(k.keys.CacheOrder()[0], 0);
    EXPECT_EQ(k.keys.CacheOrder()[15], 1);

    k.keys.Play(index[16]); // evicts key 1's slot, the least recently played
    ASSERT_EQ(k.device.made.size(), 17u);
    EXPECT_TRUE(k.device.made[1]->deleted);
    EXPECT_EQ(k.keys.SlotHolds(1), index[16]);
    EXPECT_EQ(k.keys.CacheOrder()[0], 1);
    EXPECT_EQ(k.device.made[16]->head, "RIFF16");
    EXPECT_EQ(k.device.made[16]->plays, 1);

    k.keys.Play(index[1]); // back again: made anew from its kept file, evicting key 2
    EXPECT_EQ(k.device.made.size(), 18u);
    EXPECT_EQ(k.device.made[17]->head, "RIFF1");
    EXPECT_TRUE(k.device.made[2]->deleted);

    k.keys.Free(&k.files);
    EXPECT_TRUE(k.files.Pointers().empty());
    EXPECT_EQ(k.keys.SlotHolds(0), -1);
}

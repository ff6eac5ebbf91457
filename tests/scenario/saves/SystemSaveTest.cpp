// The system save: round trip, raw length, and damaged files refused with the records untouched.
#include "scenario/saves/SystemSave.h"

#include "scenario/ScenarioTestSupport.h"
#include "scenario/saves/SaveFile.h"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

using namespace ScenarioTest;

namespace {

Bytes Snapshot(const TSystemState& system, const TReadMesTable& map)
{
    Bytes bytes(system.Bytes().begin(), system.Bytes().end());
    bytes.insert(bytes.end(), map.GetBuffer().begin(), map.GetBuffer().end());
    return bytes;
}

std::uint32_t RawLength(const Bytes& file)
{
    std::uint32_t length;
    std::memcpy(&length, file.data() + 8, 4);
    return length;
}

// A system save around raw data of our own making.
Bytes SystemFile(const Bytes& raw, std::uint32_t rawLength)
{
    Bytes file;
    AppendSaveHeader(file);
    file.insert(file.end(), reinterpret_cast<const unsigned char*>(&rawLength), reinterpret_cast<const unsigned char*>(&rawLength) + 4);
    EXPECT_TRUE(AppendEncoded(file, raw));
    return file;
}

} // namespace

TEST(SystemSave, RoundTripThroughTheFile)
{
    TempFolder folder;
    auto system = std::make_unique<TSystemState>(FilledSystemState());
    TReadMesTable map;
    FillReadMes(map);
    ASSERT_TRUE(SaveSystemData(folder.Name(), *system, map));
    EXPECT_EQ(RawLength(ReadBytes(folder / "TVQESys.sav")), sizeof(TSystemState) + map.GetLength());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1); // no temporary left

    auto loaded = std::make_unique<TSystemState>();
    TReadMesTable loadedMap;
    ASSERT_TRUE(LoadSystemData(folder.Name(), *loaded, loadedMap));
    EXPECT_EQ(Snapshot(*loaded, loadedMap), Snapshot(*system, map));
    EXPECT_TRUE(loadedMap.IsTextRead(2u << 16 | 3));
}

TEST(SystemSave, EmptyMapGivesRawLength13500)
{
    auto system = std::make_unique<TSystemState>();
    TReadMesTable map;
    const Bytes file = EncodeSystemSave(*system, map);
    EXPECT_EQ(RawLength(file), 13500u);
}

TEST(SystemSave, DamagedFilesAreRefusedAndNothingChanges)
{
    auto system = std::make_unique<TSystemState>(FilledSystemState());
    TReadMesTable map;
    FillReadMes(map);
    const Bytes good = EncodeSystemSave(*system, map);
    const Bytes raw = Snapshot(*system, map);
    auto withByte = [&](std::size_t at, unsigned char value) {
        Bytes file = good;
        file[at] = value;
        return file;
    };
    auto flipped = [&](std::size_t at) { return withByte(at, static_cast<unsigned char>(good[at] ^ 0x10)); };
    Bytes brokenMap = raw;
    brokenMap[sizeof(TSystemState) + 4] ^= 1; // record count
    Bytes oversized = good;
    oversized.resize(12 + 1102544 + 1);

    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 12)},
        {"truncated by one", Bytes(good.begin(), good.end() - 1)},
        {"truncated by half", Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
        {"trailing byte", [&] { Bytes f = good; f.push_back(0); return f; }()},
        {"oversized", oversized},
        {"magic flipped", flipped(1)},
        {"version byte", withByte(5, 2)},
        {"raw length flipped", flipped(8)},
        {"data flipped early", flipped(14)},
        {"data flipped in the middle", flipped(good.size() / 2)},
        {"raw length too small", SystemFile(Bytes(raw.begin(), raw.begin() + 13499), 13499)},
        {"raw length too large", SystemFile(Bytes(275637, 0), 275637)},
        {"map structure broken", SystemFile(brokenMap, static_cast<std::uint32_t>(brokenMap.size()))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto live = std::make_unique<TSystemState>(FilledSystemState());
        TReadMesTable liveMap;
        liveMap.SetScriptStamp(99, 1);
        liveMap.SetTextRead(99u << 16 | 5);
        const Bytes before = Snapshot(*live, liveMap);
        EXPECT_FALSE(DecodeSystemSave(c.file, *live, liveMap));
        EXPECT_EQ(Snapshot(*live, liveMap), before);
    }
}

TEST(SystemSave, MissingFileOrFolderFails)
{
    TempFolder folder;
    auto system = std::make_unique<TSystemState>();
    TReadMesTable map;
    EXPECT_FALSE(LoadSystemData(folder.Name(), *system, map));
    EXPECT_FALSE(SaveSystemData(folder.Name() + "missing\\", *system, map));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 0);
}

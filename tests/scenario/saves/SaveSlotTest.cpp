// Save slots: round trips with and without targets, the extra block's limits, and damaged files
// refused with the live records byte-identical.
#include "scenario/saves/SaveSlot.h"

#include "scenario/ScenarioTestSupport.h"
#include "scenario/saves/SaveFile.h"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

using namespace ScenarioTest;

namespace {

Bytes BytesOf(const TGameState& state) { return Bytes(state.Bytes().begin(), state.Bytes().end()); }

// A slot file around an image of our own making.
Bytes SlotFile(const Bytes& image)
{
    Bytes file;
    AppendSaveHeader(file);
    EXPECT_TRUE(AppendEncoded(file, image));
    return file;
}

Bytes Image(const TGameState& current, const TGameState& snapshot, std::uint32_t extraLength)
{
    Bytes image(SlotImageSize, 0);
    std::memcpy(image.data(), current.Bytes().data(), sizeof(TGameState));
    std::memcpy(image.data() + sizeof(TGameState), snapshot.Bytes().data(), sizeof(TGameState));
    std::memcpy(image.data() + 2 * sizeof(TGameState), &extraLength, 4);
    return image;
}

} // namespace

TEST(SaveSlot, RoundTripWithExtraBlock)
{
    TempFolder folder;
    auto records = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(3), FilledGameState(4)});
    Bytes extra(40200);
    for (std::size_t i = 0; i < extra.size(); ++i)
        extra[i] = static_cast<unsigned char>(i * 7);
    ASSERT_TRUE(SaveGameSlotEx(folder.Name(), 7, *records, extra));
    EXPECT_TRUE(std::filesystem::exists(folder / "TVQE07.sav"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1); // no temporary left

    auto current = std::make_unique<TGameState>();
    auto snapshot = std::make_unique<TGameState>();
    Bytes extraBack(MaxExtraLength);
    std::size_t extraLength = 0;
    ASSERT_TRUE(ReadSaveSlot(folder.Name(), 7, current.get(), snapshot.get(), extraLength, extraBack));
    EXPECT_EQ(BytesOf(*current), BytesOf(records->current));
    EXPECT_EQ(BytesOf(*snapshot), BytesOf(records->snapshot));
    EXPECT_EQ(extraLength, extra.size());
    EXPECT_EQ(extraBack, extra);

    // Only the current record, as the save menu's preview reads it.
    auto preview = std::make_unique<TGameState>();
    extraLength = 99;
    ASSERT_TRUE(ReadSaveSlot(folder.Name(), 7, preview.get(), nullptr, extraLength, {}));
    EXPECT_EQ(preview->GetSceneName(), "scene-3");
    EXPECT_EQ(extraLength, extra.size());
}

TEST(SaveSlot, SlotZeroAndLoadGameSlot)
{
    TempFolder folder;
    auto saved = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(1), FilledGameState(2)});
    ASSERT_TRUE(SaveGameSlot(folder.Name(), 0, *saved));
    EXPECT_TRUE(std::filesystem::exists(folder / "TVQE00.sav"));
    auto loaded = std::make_unique<TScenarioRecords>();
    ASSERT_TRUE(LoadGameSlot(folder.Name(), 0, *loaded));
    EXPECT_EQ(BytesOf(loaded->current), BytesOf(saved->current));
    EXPECT_EQ(BytesOf(loaded->snapshot), BytesOf(saved->snapshot));
    std::size_t extraLength = 1;
    ASSERT_TRUE(ReadSaveSlot(folder.Name(), 0, nullptr, nullptr, extraLength, {}));
    EXPECT_EQ(extraLength, 0u);
}

TEST(SaveSlot, WritesThatCannotBeMadeLeaveTheOldFile)
{
    TempFolder folder;
    const auto records = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(5), FilledGameState(6)});
    ASSERT_TRUE(SaveGameSlot(folder.Name(), 1, *records));
    const Bytes before = ReadBytes(folder / "TVQE01.sav");
    const auto other = std::make_unique<TScenarioRecords>();
    EXPECT_FALSE(SaveGameSlotEx(folder.Name(), 1, *other, Bytes(40201)));
    EXPECT_FALSE(WriteSaveSlot(folder.Name(), -1, other->current, other->snapshot, {}));
    EXPECT_FALSE(SaveGameSlot(folder.Name() + "missing\\", 1, *other));
    EXPECT_EQ(ReadBytes(folder / "TVQE01.sav"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(SaveSlot, UnreadableSlotsLeaveTheGameUntouched)
{
    TempFolder folder;
    const auto saved = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(8), FilledGameState(9)});
    const Bytes good = EncodeSaveSlot(saved->current, saved->snapshot, Bytes(100, 0xAB));
    auto flipped = [&](std::size_t at) {
        Bytes file = good;
        file[at] ^= 0x04;
        return file;
    };
    auto insane = std::make_unique<TGameState>(FilledGameState(1));
    insane->SetGameMode(5);
    Bytes oversized = good;
    oversized.resize(8 + 4 * SlotImageSize + 1);

    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 8)},
        {"truncated by one", Bytes(good.begin(), good.end() - 1)},
        {"truncated by half", Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
        {"oversized", oversized},
        {"magic flipped", flipped(0)},
        {"version byte", [&] { Bytes f = good; f[5] = 2; return f; }()},
        {"data flipped early", flipped(9)},
        {"data flipped in the middle", flipped(good.size() / 2)},
        {"extra length above 40,200", SlotFile(Image(saved->current, saved->snapshot, 40201))},
        {"current record not sane", SlotFile(Image(*insane, saved->snapshot, 0))},
        {"snapshot not sane", SlotFile(Image(saved->current, *insane, 0))},
        {"image one byte short", SlotFile(Bytes(SlotImageSize - 1, 0))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(folder / "TVQE02.sav", c.file);
        auto live = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(11), FilledGameState(12)});
        const Bytes before = BytesOf(live->current), snapshotBefore = BytesOf(live->snapshot);
        Bytes extra(MaxExtraLength, 0x55);
        std::size_t extraLength = 7;
        EXPECT_FALSE(ReadSaveSlot(folder.Name(), 2, &live->current, &live->snapshot, extraLength, extra));
        EXPECT_FALSE(LoadGameSlot(folder.Name(), 2, *live));
        EXPECT_EQ(BytesOf(live->current), before);
        EXPECT_EQ(BytesOf(live->snapshot), snapshotBefore);
        EXPECT_EQ(extraLength, 7u);
        EXPECT_EQ(extra, Bytes(MaxExtraLength, 0x55));
    }
}

TEST(SaveSlot, MissingSlotAndTooSmallExtraBuffer)
{
    TempFolder folder;
    auto live = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(2), FilledGameState(3)});
    const Bytes before = BytesOf(live->current);
    EXPECT_FALSE(LoadGameSlot(folder.Name(), 4, *live));
    EXPECT_FALSE(LoadGameSlot(folder.Name(), -1, *live));
    EXPECT_EQ(BytesOf(live->current), before);

    ASSERT_TRUE(SaveGameSlotEx(folder.Name(), 4, *live, Bytes(300, 1)));
    Bytes small(299);
    std::size_t extraLength = 0;
    EXPECT_FALSE(ReadSaveSlot(folder.Name(), 4, nullptr, nullptr, extraLength, small));
    EXPECT_EQ(small, Bytes(299));
}

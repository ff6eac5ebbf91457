// A writer killed at random moments: a child process writes a slot and the system save over and
// over and is killed with SIGKILL; every file must then read back whole, as the content of some
// complete write no older than the one before, never damaged.
#include "scenario/saves/SaveSlot.h"
#include "scenario/saves/SystemSave.h"

#include "scenario/ScenarioTestSupport.h"

#include <csignal>
#include <memory>
#include <random>

#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace ScenarioTest;

namespace {

constexpr int Rounds = 100;
constexpr int SlotNumber = 1;
// How long the parent waits for the child to say it has begun; only a broken child takes this long.
constexpr int StartTimeoutMs = 30000;

// Version v of each file: both records and the system value 0 carry it.
bool WriteVersion(const AnsiString& folder, int version)
{
    auto records = std::make_unique<TScenarioRecords>(TScenarioRecords{FilledGameState(version % 50), FilledGameState(1)});
    records->current.SetVar(0, version);
    records->snapshot.SetVar(0, version);
    auto system = std::make_unique<TSystemState>(FilledSystemState());
    system->SetSystemValue(0, version);
    TReadMesTable map;
    FillReadMes(map);
    return SaveGameSlot(folder, SlotNumber, *records) && SaveSystemData(folder, *system, map);
}

// The version the slot holds, or -1 when it does not read back as a complete write.
int SlotVersion(const AnsiString& folder)
{
    auto records = std::make_unique<TScenarioRecords>();
    if (!LoadGameSlot(folder, SlotNumber, *records))
        return -1;
    const int version = records->current.GetVar(0);
    auto expected = std::make_unique<TGameState>(FilledGameState(version % 50));
    expected->SetVar(0, version);
    const bool whole = std::equal(expected->Bytes().begin(), expected->Bytes().end(), records->current.Bytes().begin()) &&
                       records->snapshot.GetVar(0) == version;
    return whole ? version : -1;
}

int SystemVersion(const AnsiString& folder)
{
    auto system = std::make_unique<TSystemState>();
    TReadMesTable map;
    if (!LoadSystemData(folder, *system, map))
        return -1;
    const int version = system->GetSystemValue(0);
    auto expected = std::make_unique<TSystemState>(FilledSystemState());
    expected->SetSystemValue(0, version);
    // Everything before the scores, which carry the tick count of their storing.
    const std::size_t unstamped = 1104;
    const bool whole = std::equal(expected->Bytes().begin(), expected->Bytes().begin() + unstamped, system->Bytes().begin()) &&
                       system->GetScoreValue(0, TSongID::FromText("TV03")) == 123456 && map.IsTextRead(3u << 16 | 37);
    return whole ? version : -1;
}

// Runs in the child: writes versions from `first` on until killed, telling the parent once the
// first write has begun.
[[noreturn]] void WriteForever(const AnsiString& folder, int first, int ready)
{
    const char byte = 1;
    if (write(ready, &byte, 1) != 1)
        _exit(2);
    for (int version = first;; ++version)
        if (!WriteVersion(folder, version))
            _exit(3);
}

} // namespace

TEST(SaveCrash, KilledWriterLeavesOldOrNewFiles)
{
    TempFolder folder;
    const AnsiString name = folder.Name();
    ASSERT_TRUE(WriteVersion(name, 0));
    std::mt19937 random(2024);
    int slotSeen = 0;
    int systemSeen = 0;
    for (int round = 1; round <= Rounds; ++round) {
        SCOPED_TRACE(round);
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            WriteForever(name, round * 100000, pipeEnds[1]);
        }
        close(pipeEnds[1]);
        pollfd ready{pipeEnds[0], POLLIN, 0};
        ASSERT_EQ(poll(&ready, 1, StartTimeoutMs), 1);
        close(pipeEnds[0]);
        // Any moment will do: early ones hit the first write, later ones a write further on.
        const timespec pause{0, static_cast<long>(std::uniform_int_distribution<int>(0, 3000)(random)) * 1000};
        nanosleep(&pause, nullptr);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with " << WEXITSTATUS(status);

        const int slot = SlotVersion(name);
        const int system = SystemVersion(name);
        ASSERT_GE(slot, slotSeen) << "slot damaged or older";
        ASSERT_GE(system, systemSeen) << "system save damaged or older";
        slotSeen = slot;
        systemSeen = system;
    }
}

// Helpers of the sub-window tests: the memory registry and bit depths set for one test, the
// windows' pictures made at their listed sizes in a folder behind a file manager, a host that
// records sounds and mouse moves, and a built and initialised sub-window unit.
#pragma once

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "scenario/ScenarioTestSupport.h"
#include "scenario/records/TGameState.h"
#include "scenario/windows/SubWinHost.h"
#include "scenario/windows/TSubWinUnit.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace WindowTest {

using Bytes = std::vector<unsigned char>;

// A memory registry installed as MemMan, and both bit depths set to 24 bits, while it lives.
class ScopedRegistry {
public:
    ScopedRegistry();
    ~ScopedRegistry();
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;
    std::size_t Listed() const { return registry_->Records().size(); }

private:
    std::unique_ptr<TMemMan> registry_;
    TMemMan* savedRegistry_;
    TBitDepth savedDisplay_;
    TBitDepth savedGame_;
};

// A width x height PNG of one colour (0x00RRGGBB), with a constant alpha when alpha >= 0.
Bytes PngOf(int width, int height, std::uint32_t colour, int alpha = -1);

class RecordingHost : public SubWinHost {
public:
    void PlaySystemSE(const AnsiString& name, TFileMan*) override { sounds.push_back(name); }
    void SetMousePos(int x, int y) override { mouse.emplace_back(x, y); }
    std::vector<std::string> sounds;
    std::vector<std::pair<int, int>> mouse;
};

// Every picture of the sub-windows (blocks stacked below each other) and the place plate 3.
class WindowPictures {
public:
    WindowPictures();
    void Write(const char* name, const Bytes& bytes) { ScenarioTest::WriteBytes(folder_ / name, bytes); }
    TFileMan& Files() { return files_; }

private:
    ScenarioTest::TempFolder folder_;
    TFileMan files_{nullptr};
};

// An initialised unit on the pictures, its windows attached to a 640 x 480 screen panel.
class UnitFixture {
public:
    UnitFixture();
    ~UnitFixture();

    ScopedRegistry registry;
    WindowPictures pictures;
    TGameState state;
    RecordingHost host;
    std::unique_ptr<TComponent> owner;
    TXeRGBPanel* screen;
    std::unique_ptr<TSubWinUnit> unit;
    std::vector<int> codes; // what the windows handed on
};

} // namespace WindowTest

#include "scenario/windows/WindowTestSupport.h"

#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Stream.h"
#include "shell/GameGlobals.h"

#include <gtest/gtest.h>

namespace WindowTest {

ScopedRegistry::ScopedRegistry()
    : registry_(std::make_unique<TMemMan>(nullptr)), savedRegistry_(MemMan), savedDisplay_(DisplayBitDepth),
      savedGame_(GameBitDepth)
{
    MemMan = registry_.get();
    DisplayBitDepth = bd24;
    GameBitDepth = bd24;
}

ScopedRegistry::~ScopedRegistry()
{
    MemMan = savedRegistry_;
    DisplayBitDepth = savedDisplay_;
    GameBitDepth = savedGame_;
}

Bytes PngOf(int width, int height, std::uint32_t colour, int alpha)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = static_cast<unsigned char>(colour);
        pixels[i + 1] = static_cast<unsigned char>(colour >> 8);
        pixels[i + 2] = static_cast<unsigned char>(colour >> 16);
    }
    std::vector<unsigned char> plane(static_cast<std::size_t>(width) * height, static_cast<unsigned char>(alpha));
    TMemoryStream stream;
    const bool saved = alpha >= 0 ? SavePng(&stream, pixels.data(), plane.data(), width, height, pf24_888)
                                  : SavePng(&stream, pixels.data(), width, height, pf24_888);
    EXPECT_TRUE(saved);
    return Bytes(stream.Memory(), stream.Memory() + stream.GetSize());
}

WindowPictures::WindowPictures()
{
    struct Picture {
        const char* name;
        int width, height;
        std::uint32_t colour;
        int alpha;
    };
    const Picture list[] = {
        {"MesBack.png", 601, 177, 0x000080, -1},   {"MesFrame.png", 601, 177, 0x808080, 128},
        {"MesWait.png", 20, 140, 0xFFFF00, 255},   {"MesHide.png", 17, 68, 0x00FF00, -1},
        {"MesAuto.png", 17, 119, 0x00FF00, -1},    {"MesSkip.png", 17, 119, 0x00FF00, -1},
        {"BacklogBar.png", 20, 340, 0x404040, -1}, {"BacklogPos.png", 18, 18, 0xC0C0C0, -1},
        {"BacklogUp.png", 20, 20, 0xC0C0C0, -1},   {"BacklogDown.png", 20, 20, 0xC0C0C0, -1},
        {"SelWindow.png", 540, 120, 0x203040, 255}, {"SelCursor.png", 520, 20, 0x405060, -1},
        {"CalDateNum.png", 26, 240, 0xF0F0F0, -1}, {"CalSlash.png", 19, 26, 0xF0F0F0, -1},
        {"CalTimeNum.png", 22, 260, 0xF0F0F0, -1}, {"CalColon.png", 11, 21, 0xF0F0F0, -1},
        {"AvgPlace03.png", 200, 40, 0x603000, -1},
    };
    for (const Picture& p : list)
        Write(p.name, PngOf(p.width, p.height, p.colour, p.alpha));
    for (int i = 1; i <= 9; ++i)
        Write(("Menu0" + std::to_string(i) + ".png").c_str(), PngOf(180, 120, 0x102030u * i, -1));
    EXPECT_TRUE(files_.InitDir(folder_.Name()));
}

UnitFixture::UnitFixture() : owner(std::make_unique<TComponent>(nullptr)), screen(new TXeRGBPanel(owner.get()))
{
    screen->SetSizeX(640);
    screen->SetSizeY(480);
    screen->SetCreated(true);
    unit = std::make_unique<TSubWinUnit>(state, host);
    EXPECT_TRUE(unit->Initialize(&pictures.Files()));
    unit->MesWinAttach(screen);
    unit->NovelWinAttach(screen);
    unit->LogWinAttach(screen);
    unit->SelWinAttach(screen);
    unit->ClockWinAttach(screen);
    unit->PlaceWinAttach(screen);
    unit->MenuWinAttach(screen);
    auto record = [this](int code) { codes.push_back(code); };
    unit->MesWinSetOnEvent(record);
    unit->NovelWinSetOnEvent(record);
    unit->LogWinSetOnEvent(record);
    unit->SelWinSetOnEvent(record);
    unit->MenuWinSetOnEvent([this] { codes.push_back(unit->MenuWinGetSelected()); });
}

UnitFixture::~UnitFixture()
{
    unit.reset();
    owner.reset();
}

} // namespace WindowTest

#include "base/util/TXeTimer.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Stream.h"
#include "platform/host/VirtualKeys.h"
#include "platform/host/WindowEvent.h"
#include "platform/system/ClipboardSink.h"
#include "platform/timer/headless/ManualTimer.h"
#include "tests/shell/FormTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace {

using namespace ShellTest;
using host::WindowEvent;

// A picture as 0x00RRGGBB values.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool operator==(const Rgb&) const = default;
};

std::optional<Rgb> DecodePng(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    stream.Seek(0, soBeginning);
    TXeRGBBits bits(nullptr);
    bits.SetBitDepth(bd24);
    if (!bits.DrawPngStream(&stream, 0, 0))
        return std::nullopt;
    Rgb rgb{bits.Width(), bits.Height(), {}};
    for (int y = 0; y < bits.Height(); ++y)
        for (int x = 0; x < bits.Width(); ++x) {
            const std::uint8_t* p = bits.Bits() + y * bits.Pitch() + x * 3;
            rgb.pixels.push_back(std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
        }
    return rgb;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The form shown in a window with pictures of our own and a logic thread that runs no frames.
class TGameFormSnapshotTest : public FormFixture {
protected:
    TGameFormSnapshotTest()
    {
        audio::SetDefaultBackEnd(audioBack);
        timer::SetDefaultBackEnd(timerBack);
        SetClipboardSink([this](std::span<const std::uint8_t> png) {
            clipboard.emplace_back(png.begin(), png.end());
            return true;
        });
        const auto data = folder.Path() / "Game_Pak";
        std::filesystem::create_directories(data);
        const auto write = [&](const char* name, const shelltest::Bytes& bytes) {
            std::ofstream(data / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
        };
        write("Cursor.png", shelltest::PngOfPattern(256, 32, true));
        write("Cap_Logo.png", shelltest::PngOfPattern(40, 16, true));
        write("Cap_Copy.png", shelltest::PngOfPattern(60, 12, true));
        CapEnable = 1;
    }
    ~TGameFormSnapshotTest() override
    {
        form.reset();
        CapEnable = 0;
        SetClipboardSink({});
        timer::SetDefaultBackEnd(nullptr);
        audio::SetDefaultBackEnd(nullptr);
    }

    void Show()
    {
        Make();
        form->SetLogicThreadFactory([](TGameForm& f) { return std::make_unique<IdleThread>(f); });
        form->FormShow();
        ASSERT_TRUE(form->Running());
        // Coloured boxes in the picture, and the cursor at a known place, then a full redraw.
        TXeRGBBits* work = form->Pictures().workSurface;
        ASSERT_NE(work, nullptr);
        work->BoxFill(0, 0, 639, 479, 0x203040);
        work->BoxFill(100, 80, 299, 199, 0xF08010);
        work->BoxFill(600, 440, 639, 479, 0x10E0C0);
        mouse = {150, 120};
        form->Redraw();
    }

    Rgb Front() const
    {
        const auto picture = window->Front().Copy();
        Rgb rgb{picture.width, picture.height, {}};
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                rgb.pixels.push_back(picture.Rgb(x, y));
        return rgb;
    }

    std::filesystem::path Snap(int n) const
    {
        char name[16];
        std::snprintf(name, sizeof name, "Snap%03d.png", n);
        return folder.Path() / name;
    }

    std::shared_ptr<audio::ManualAudio> audioBack = std::make_shared<audio::ManualAudio>();
    std::shared_ptr<timer::ManualTimer> timerBack = std::make_shared<timer::ManualTimer>();
    std::vector<std::vector<std::uint8_t>> clipboard;
};

TEST_F(TGameFormSnapshotTest, TheFileHoldsTheShownPicture)
{
    Show();
    const Rgb shown = Front(); // the redraw presented the cursor too
    form->TakeSnapshot(true);
    const auto withCursor = DecodePng(ReadFile(Snap(0)));
    ASSERT_TRUE(withCursor);
    EXPECT_EQ(withCursor->width, 640);
    EXPECT_EQ(withCursor->height, 480);
    EXPECT_TRUE(*withCursor == shown) << "the snapshot with the cursor is what the screen shows";

    form->TakeSnapshot(false);
    const auto without = DecodePng(ReadFile(Snap(1)));
    ASSERT_TRUE(without);
    EXPECT_FALSE(*without == shown) << "the cursor is left out";
    EXPECT_EQ(without->pixels[120 * 640 + 150 + 8], 0xF08010u);
    EXPECT_EQ(without->pixels[470 * 640 + 630], 0x10E0C0u);

    // With the cursor hidden both keys give the same picture.
    form->SetCursorKind(-1);
    form->TakeSnapshot(true);
    EXPECT_EQ(ReadFile(Snap(2)), ReadFile(Snap(1)));
    EXPECT_TRUE(clipboard.empty());
}

TEST_F(TGameFormSnapshotTest, NumbersFillTheGapsAndStopAt999Files)
{
    Show();
    std::ofstream(Snap(0)) << "x";
    std::ofstream(Snap(2)) << "x";
    form->TakeSnapshot(false);
    EXPECT_TRUE(DecodePng(ReadFile(Snap(1)))) << "the first free number";
    form->TakeSnapshot(false);
    EXPECT_TRUE(DecodePng(ReadFile(Snap(3))));
    for (int n = 4; n < 999; ++n)
        std::ofstream(Snap(n)) << "x";
    CapEnable = 0; // not even the clipboard gets one when every number is taken
    form->TakeSnapshot(false);
    EXPECT_TRUE(clipboard.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Snap999.png"));
}

TEST_F(TGameFormSnapshotTest, TheClipboardGetsThePictureWithTheOverlays)
{
    CapEnable = 0;
    Show();
    form->TakeSnapshot(false);
    ASSERT_EQ(clipboard.size(), 1u);
    const auto picture = DecodePng(clipboard[0]);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(std::filesystem::exists(Snap(0)));
    // The overlays' left column is opaque: the logo at (8, 480 - 16), the notice at the lower right.
    EXPECT_EQ(picture->pixels[(480 - 16) * 640 + 8], shelltest::PatternColour(0, 0) & 0xFFFFFF);
    EXPECT_EQ(picture->pixels[(480 - 12) * 640 + 580], shelltest::PatternColour(0, 0) & 0xFFFFFF);
    EXPECT_EQ(picture->pixels[470 * 640 + 7], 0x203040u) << "beside the logo the picture stays";
}

TEST_F(TGameFormSnapshotTest, AFolderThatCannotBeWrittenGetsNoFile)
{
    FormServices services = Services();
    services.programFolder = folder.GameName() + "missing\\";
    form = std::make_unique<TGameForm>(nullptr, "Script", "Game", services, window.get());
    form->FormCreate();
    form->TakeSnapshot(false); // skipped silently
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));
}

TEST_F(TGameFormSnapshotTest, HotKeys)
{
    Show();
    struct Case {
        const char* name;
        WindowEvent::Kind kind;
        std::uint16_t key;
        TShiftState shift;
        bool consumed;
        int files;
    } cases[] = {
        {"Print Screen", WindowEvent::Kind::KeyDown, VK_SNAPSHOT, 0, true, 1},
        {"Alt+Print Screen", WindowEvent::Kind::KeyDown, VK_SNAPSHOT, ssAlt, true, 1},
        {"its release", WindowEvent::Kind::KeyUp, VK_SNAPSHOT, 0, true, 0},
        {"Shift+Print Screen", WindowEvent::Kind::KeyDown, VK_SNAPSHOT, ssShift, false, 0},
        {"Ctrl+Alt+Print Screen", WindowEvent::Kind::KeyDown, VK_SNAPSHOT, ssCtrl | ssAlt, false, 0},
        {"Enter", WindowEvent::Kind::KeyDown, VK_RETURN, 0, false, 0},
        {"a letter", WindowEvent::Kind::KeyDown, 'A', ssAlt, false, 0},
        {"a click", WindowEvent::Kind::MouseDown, 0, ssAlt, false, 0},
    };
    int files = 0;
    for (const Case& c : cases) {
        WindowEvent e;
        e.kind = c.kind;
        e.key = c.key;
        e.shift = c.shift;
        EXPECT_EQ(form->HandleHotKey(e), c.consumed) << c.name;
        files += c.files;
        EXPECT_EQ(std::filesystem::exists(Snap(files)), false) << c.name;
        EXPECT_EQ(files == 0 || std::filesystem::exists(Snap(files - 1)), true) << c.name;
    }

    WindowEvent altEnter;
    altEnter.kind = WindowEvent::Kind::KeyDown;
    altEnter.key = VK_RETURN;
    altEnter.shift = ssAlt;
    ASSERT_TRUE(form->HandleHotKey(altEnter));
    EXPECT_EQ(WindowMode, 0);
    EXPECT_TRUE(form->Display()->FullScreen());
    ASSERT_TRUE(form->HandleHotKey(altEnter));
    EXPECT_EQ(WindowMode, 1);
    form->SetRunning(false);
    EXPECT_TRUE(form->HandleHotKey(altEnter)) << "consumed before the form runs";
    EXPECT_EQ(WindowMode, 1) << "but nothing switches";
}

} // namespace

#include "platform/system/ClipboardSink.h"

#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

// Sets (or, with nullopt, unsets) an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            saved_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (saved_)
            setenv(name_, saved_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class ClipboardSinkTest : public ::testing::Test {
protected:
    ClipboardSinkTest() { std::filesystem::create_directories(bin); }

    // A stand-in for a clipboard tool that stores its arguments and its input.
    void FakeTool(const std::string& name)
    {
        const auto path = bin / name;
        std::ofstream(path) << "#!/bin/sh\necho \"$@\" > '" << (bin / "args").string() << "'\ncat > '"
                            << (bin / "input").string() << "'\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }

    std::string Read(const char* name) const
    {
        std::ifstream file(bin / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    const TestSupport::TempFolder folder;
    const std::filesystem::path bin = folder.Path() / "bin";
    // A picture larger than a socket's buffer, so the tool has to read while it is sent.
    std::vector<std::uint8_t> picture = [] {
        std::vector<std::uint8_t> bytes(300000);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        return bytes;
    }();
};

TEST_F(ClipboardSinkTest, TheDesktopsToolReceivesThePicture)
{
    struct Case {
        const char* tool;
        std::optional<std::string> wayland;
        const char* args;
    } cases[] = {
        {"xclip", std::nullopt, "-selection clipboard -t image/png -i\n"},
        {"wl-copy", "wayland-0", "--type image/png\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(bin);
        std::filesystem::create_directories(bin);
        FakeTool(c.tool);
        const ScopedEnv path("PATH", bin.string() + ":/usr/bin:/bin");
        const ScopedEnv display("DISPLAY", ":99");
        const ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
        EXPECT_TRUE(CopyPngToClipboard(picture)) << c.tool;
        EXPECT_EQ(Read("args"), c.args) << c.tool;
        const std::string input = Read("input");
        EXPECT_EQ(std::vector<std::uint8_t>(input.begin(), input.end()), picture) << c.tool;
    }
}

TEST_F(ClipboardSinkTest, WithoutADesktopOrItsToolThePictureIsDropped)
{
    {
        const ScopedEnv path("PATH", bin.string()); // no tool there
        const ScopedEnv display("DISPLAY", ":99");
        const ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
        EXPECT_FALSE(CopyPngToClipboard(picture));
    }
    FakeTool("xclip");
    const ScopedEnv path("PATH", bin.string() + ":/usr/bin:/bin");
    const ScopedEnv display("DISPLAY", std::nullopt);
    const ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    EXPECT_FALSE(CopyPngToClipboard(picture));
    EXPECT_FALSE(std::filesystem::exists(bin / "input")) << "no tool runs without a desktop";
}

TEST_F(ClipboardSinkTest, AReplacedSinkTakesThePicture)
{
    std::size_t seen = 0;
    SetClipboardSink([&](std::span<const std::uint8_t> png) {
        seen = png.size();
        return true;
    });
    EXPECT_TRUE(CopyPngToClipboard(picture));
    SetClipboardSink({});
    EXPECT_EQ(seen, picture.size());
}

} // namespace

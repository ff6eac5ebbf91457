#include "scenario/movie/GameFormMovieHost.h"

#include "tests/shell/FormTestSupport.h"

#include <memory>
#include <vector>

namespace {

using GameFormMovieHostTest = ShellTest::FormFixture;

TEST_F(GameFormMovieHostTest, TheMoviesListenerHearsTheFormsDisplaySwitchUntilRemoved)
{
    Make();
    std::vector<bool> heard;
    auto host = std::make_unique<GameFormMovieHost>(*form);
    host->SetDisplayListener([&](bool restored) { heard.push_back(restored); });
    form->NotifyDisplayListeners(true);
    form->NotifyDisplayListeners(false);
    EXPECT_EQ(heard, (std::vector<bool>{false, true})) << "gone before the switch, back after it";

    host->SetDisplayListener([&](bool restored) { heard.push_back(!restored); }); // replaces, not adds
    heard.clear();
    form->NotifyDisplayListeners(true);
    EXPECT_EQ(heard, std::vector<bool>{true});

    host->SetDisplayListener(nullptr);
    form->NotifyDisplayListeners(true);
    host->SetDisplayListener([&](bool restored) { heard.push_back(restored); });
    host.reset(); // a destroyed host is no longer told
    heard.clear();
    form->NotifyDisplayListeners(false);
    EXPECT_TRUE(heard.empty());
}

} // namespace

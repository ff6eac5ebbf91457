#include "platform/input/sdl/SdlSongInput.h"

#include "platform/input/DikCodes.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

SDL_Event KeyEvent(SDL_Scancode scancode, bool down, std::uint32_t time)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = scancode;
    event.key.timestamp = time;
    return event;
}

SDL_Event WindowEvent(SDL_WindowEventID id)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = static_cast<std::uint8_t>(id);
    return event;
}

} // namespace

TEST(SdlSongInput, ScanCodeTable)
{
    struct Case {
        SDL_Scancode scancode;
        std::uint8_t code;
    };
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, input::dik::Escape}, {SDL_SCANCODE_1, 0x02},          {SDL_SCANCODE_0, 0x0B},
        {SDL_SCANCODE_Q, 0x10},                    {SDL_SCANCODE_P, 0x19},          {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_A, 0x1E},                    {SDL_SCANCODE_G, 0x22},          {SDL_SCANCODE_H, 0x23},
        {SDL_SCANCODE_SEMICOLON, 0x27},            {SDL_SCANCODE_Z, 0x2C},          {SDL_SCANCODE_B, 0x30},
        {SDL_SCANCODE_N, 0x31},                    {SDL_SCANCODE_SLASH, 0x35},      {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_Y, 0x15},                    {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_KP_ENTER, 0x9C},             {SDL_SCANCODE_RALT, 0xB8},       {SDL_SCANCODE_DELETE, 0xD3},
        {SDL_SCANCODE_UNKNOWN, 0},                 {SDL_SCANCODE_F24, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(input::SdlSongInput::ScanCodeOf(c.scancode), c.code) << SDL_GetScancodeName(c.scancode);
    EXPECT_EQ(input::SdlSongInput::ScanCodeOf(-1), 0);
    EXPECT_EQ(input::SdlSongInput::ScanCodeOf(SDL_NUM_SCANCODES), 0);
    // The rows the song game reads are whole: A to ;, Q to P and Z to / each run on without a gap.
    const SDL_Scancode rows[][10] = {
        {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D, SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H, SDL_SCANCODE_J,
         SDL_SCANCODE_K, SDL_SCANCODE_L, SDL_SCANCODE_SEMICOLON},
        {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R, SDL_SCANCODE_T, SDL_SCANCODE_Y, SDL_SCANCODE_U,
         SDL_SCANCODE_I, SDL_SCANCODE_O, SDL_SCANCODE_P},
        {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_V, SDL_SCANCODE_B, SDL_SCANCODE_N, SDL_SCANCODE_M,
         SDL_SCANCODE_COMMA, SDL_SCANCODE_PERIOD, SDL_SCANCODE_SLASH}};
    const std::uint8_t firsts[] = {0x1E, 0x10, 0x2C};
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(input::SdlSongInput::ScanCodeOf(rows[r][i]), firsts[r] + i) << r << " " << i;
}

TEST(SdlSongInput, FeedsKeysAndFocus)
{
    input::SongInput in;
    input::SdlSongInput sdl(in);
    ASSERT_TRUE(in.AcquireKeyboard());
    sdl.Feed(KeyEvent(SDL_SCANCODE_J, true, 40));
    sdl.Feed(KeyEvent(SDL_SCANCODE_F24, true, 41)); // no scan code: no record
    sdl.Feed(KeyEvent(SDL_SCANCODE_J, false, 42));
    std::array<input::KeyRecord, input::KeyBufferSize> records{};
    int count = 0;
    ASSERT_EQ(in.ReadKeyboard(records, count), input::ReadResult::Ok);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(records[0].offset, 0x24u);
    EXPECT_EQ(records[0].timeStamp, 40u);
    EXPECT_EQ(records[1].data, 0u);
    sdl.Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(in.ReadKeyboard(records, count), input::ReadResult::InputLost);
    EXPECT_FALSE(in.AcquireKeyboard());
    sdl.Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_TRUE(in.AcquireKeyboard());
}

#include "shell/helpers/SceneNames.h"

#include "platform/codepage/CodePage.h"

#include <cstdio>

namespace {

constexpr std::int32_t kLastNumberedScene = 12;

AnsiString Caption(std::int32_t number)
{
    if (number == 0)
        return "Gamestart";
    if (number < 1 || number > kLastNumberedScene)
        return "";
    char text[32];
    std::snprintf(text, sizeof text, "Quindle Scene%02d", static_cast<int>(number));
    return text;
}

// The first `keep` bytes, one fewer when the last of them would begin a double-byte character.
AnsiString KeepWhole(const AnsiString& text, std::int32_t keep)
{
    if (keep > 0 && ByteType(text, keep) == mbLeadByte)
        --keep;
    return text.substr(0, static_cast<std::size_t>(keep));
}

} // namespace

AnsiString GetSceneName(std::int32_t number, std::int32_t maxBytes)
{
    return FitSceneCaption(Caption(number), maxBytes);
}

AnsiString FitSceneCaption(const AnsiString& caption, std::int32_t maxBytes)
{
    if (maxBytes <= 0)
        return "";
    if (caption.size() <= static_cast<std::size_t>(maxBytes))
        return caption;
    if (maxBytes < 4)
        return KeepWhole(caption, maxBytes);
    return KeepWhole(caption, maxBytes - 2) + CodePage::FromUtf8("\u2026");
}

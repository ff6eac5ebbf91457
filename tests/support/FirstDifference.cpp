// FirstDifference: where two byte arrays first differ, as a message for a failed comparison.
#include "support/FirstDifference.h"

#include <algorithm>

namespace TestSupport {

std::string FirstDifference(std::span<const std::uint8_t> actual, std::span<const std::uint8_t> expected,
                            int unitBytes, int width)
{
    if (actual.size() != expected.size())
        return "size " + std::to_string(actual.size()) + " instead of " + std::to_string(expected.size());
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (diff.first == actual.end())
        return {};
    const auto unit = static_cast<std::size_t>(diff.first - actual.begin()) / static_cast<std::size_t>(unitBytes);
    std::string text = unitBytes == 1 ? "byte " : "unit ";
    if (width > 0)
        text = "pixel (" + std::to_string(unit % static_cast<std::size_t>(width)) + ", " +
               std::to_string(unit / static_cast<std::size_t>(width)) + "):";
    else
        text += std::to_string(unit) + ":";
    const std::size_t at = unit * static_cast<std::size_t>(unitBytes);
    for (std::size_t k = at; k < at + static_cast<std::size_t>(unitBytes); ++k)
        text += " " + std::to_string(actual[k]) + "/" + std::to_string(expected[k]);
    return text + " (actual/expected)";
}

} // namespace TestSupport

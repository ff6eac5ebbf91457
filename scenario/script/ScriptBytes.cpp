#include "scenario/script/ScriptBytes.h"

#include <algorithm>

namespace ScriptBytes {

bool Terminated(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t end)
{
    end = std::min(end, bytes.size());
    return offset < end && std::find(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.begin() + static_cast<std::ptrdiff_t>(end), 0) != bytes.begin() + static_cast<std::ptrdiff_t>(end);
}

} // namespace ScriptBytes

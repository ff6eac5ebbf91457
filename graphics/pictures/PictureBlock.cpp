// Blocks handed from the picture loaders to their callers, and exception-free stream reading.
#include "graphics/pictures/PictureBlock.h"

#include "platform/classes/Exception.h"

#include <algorithm>
#include <climits>

unsigned char* TPictureOutput::Prepare(std::size_t bytes, const char* failMessage)
{
    if (*slot_ != nullptr) {
        data_ = *slot_;
        return data_;
    }
    owned_.reset(static_cast<unsigned char*>(std::malloc(bytes)));
    if (!owned_)
        throw Exception(failMessage);
    data_ = owned_.get();
    return data_;
}

void TPictureOutput::Commit()
{
    if (owned_)
        *slot_ = owned_.release();
}

std::int64_t StreamRemaining(TStream& stream)
{
    const std::int64_t position = stream.GetPosition();
    return std::max<std::int64_t>(stream.GetSize() - position, 0);
}

bool ReadStreamFully(TStream& stream, void* data, std::size_t length) noexcept
{
    auto* p = static_cast<unsigned char*>(data);
    try {
        while (length > 0) {
            const int chunk = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
            const int got = stream.Read(p, chunk);
            if (got <= 0)
                return false;
            p += got;
            length -= static_cast<std::size_t>(got);
        }
    } catch (...) {
        return false;
    }
    return true;
}

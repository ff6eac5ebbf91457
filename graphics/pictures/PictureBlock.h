// What the picture loaders share: the largest picture they accept, the overflow-free byte size of a
// packed block, the malloc'ed blocks they hand to their callers, and reading a stream to the end
// of a run without letting an exception out.
//
// Block convention of every loader: a null `unsigned char**` means the block is not wanted; one
// that points at null gets a block from malloc, stored only when the load succeeds (the caller
// frees it with free); one that points at a buffer has the buffer filled (the caller guarantees
// its size). After a failed load the caller's pointers are as they were.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "platform/classes/Stream.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// Pictures wider or taller than this are refused, so a broken header cannot ask for more than
// 16384 x 16384 x 4 bytes (1 GiB) of block.
inline constexpr int kMaxPictureSide = 16384;

constexpr bool PictureSizeValid(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
}

// Bytes of a packed width x height block; valid sizes keep it far below SIZE_MAX.
constexpr std::size_t PictureBytes(int width, int height, int bytesPerPixel)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(bytesPerPixel);
}

// True for the formats a loader can write (pf16_565 .. pf32_8888).
constexpr bool LoaderFormatValid(TPixFormat format)
{
    return format >= pf16_565 && format <= pf32_8888;
}

// Creates a bitmap or alpha map that is not created yet, reaching from (0, 0) to the far corner of
// a picture of w x h put at (x, y), for the decode-and-put members. A corner left of or above
// (0, 0), or beyond the range of int, gives no size to create: the target stays as it is.
template <typename Target> void CreateToReach(Target& target, int x, int y, int w, int h)
{
    const std::int64_t right = std::int64_t{x} + w, bottom = std::int64_t{y} + h;
    if (target.Created() || right <= 0 || bottom <= 0 || right > INT_MAX || bottom > INT_MAX)
        return;
    target.SetWidth(static_cast<int>(right));
    target.SetHeight(static_cast<int>(bottom));
    target.Create();
}

// Runs a loader's decoding (or the writer's encoding) on the stream: a null stream is refused, and an exception (a short
// read, no memory, a library error) makes the load fail.
template <typename Decode> bool StreamGuarded(TStream* stream, Decode&& decode)
{
    if (stream == nullptr)
        return false;
    try {
        return decode(*stream);
    } catch (...) {
        return false;
    }
}

// Frees a block a loader handed over; callers may keep one in a TPictureMemory.
struct TPictureFree {
    void operator()(unsigned char* p) const { std::free(p); }
};
using TPictureMemory = std::unique_ptr<unsigned char, TPictureFree>;

// One block a loader writes: nowhere, into the caller's buffer, or into a block of its own that
// the caller receives only through Commit. A block never committed is freed with this object.
class TPictureOutput {
public:
    explicit TPictureOutput(unsigned char** slot) : slot_(slot) {}
    TPictureOutput(const TPictureOutput&) = delete;
    TPictureOutput& operator=(const TPictureOutput&) = delete;

    bool Wanted() const { return slot_ != nullptr; }
    // The block to write `bytes` bytes into: the caller's buffer or a new one. Raises Exception
    // with `failMessage` when memory runs out.
    unsigned char* Prepare(std::size_t bytes, const char* failMessage);
    unsigned char* Data() const { return data_; }
    // Hands a block of our own to the caller.
    void Commit();

private:
    unsigned char** slot_;
    unsigned char* data_ = nullptr;
    TPictureMemory owned_;
};

// Bytes the stream holds after its position.
std::int64_t StreamRemaining(TStream& stream);

// Reads exactly `length` bytes; false when the stream ends early or raises. For the callbacks of
// the C decoders, which no exception may cross.
bool ReadStreamFully(TStream& stream, void* data, std::size_t length) noexcept;

#include "shell/transition/TWaterEffect.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "graphics/kernels/VectorLoops.h"
#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/OpenedFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr int kDistEntries = TWaterEffect::kDistRows * TWaterEffect::kDistColumns;
constexpr int kMultiEntries = TWaterEffect::kMultiRows * TWaterEffect::kMultiColumns;
// An entry of a multiplier row minus this is the pixel offset.
constexpr int kOffsetBias = 127;

// Reads the named file into the block, at most `size` bytes; a missing or short file leaves the
// rest as it was (zero).
void ReadTable(TFileMan* files, const char* name, void* block, int size)
{
    const OpenedFile file(files, name);
    if (file.get() == nullptr)
        return;
    try {
        auto* bytes = static_cast<std::uint8_t*>(block);
        for (int done = 0; done < size;) {
            const int got = file.get()->Read(bytes + done, size - done);
            if (got <= 0)
                break;
            done += got;
        }
    } catch (const Exception&) {
        // An unreadable rest counts as missing.
    }
}

// Pixels of 4 bytes read and written whole, whatever the bytes' declared type.
using Pixel32 [[gnu::may_alias]] = std::uint32_t;

// One run of a row of 4-byte pixels, x from x0 to x1 - 1, whose distance columns run from `dist`
// forward (Step 1, right of the centre) or backward (Step -1, left of it): written for the vectoriser,
// which gathers the offsets and the source pixels.
template <int Step>
XE_VECTOR_BODY void RippleRun32(Pixel32* __restrict out, const Pixel32* __restrict src, int srcStride,
                                const std::uint16_t* __restrict dist, int x0,
                                int x1, int y, int phase, const int* offsets, int maxX, int maxY)
{
    for (int x = x0; x < x1; ++x) {
        const int offset = offsets[(dist[Step * (x - x0)] * 4 + phase) & 255];
        const int sx = std::clamp(x + offset, 0, maxX);
        const int sy = std::clamp(y + offset, 0, maxY);
        out[x] = src[sy * srcStride + sx];
    }
}

template <typename T> T* AllocTable(int entries)
{
    T* table = MemMan != nullptr ? MemMan->Alloc<T>(static_cast<unsigned long>(entries)) : nullptr;
    if (table == nullptr)
        throw EGameErr();
    return table;
}

template <typename T> void FreeTable(T*& table)
{
    if (table != nullptr && MemMan != nullptr)
        MemMan->Free(table);
    table = nullptr;
}

} // namespace

TWaterEffect::~TWaterEffect()
{
    if (FLoaded)
        Release();
}

void TWaterEffect::Load(TFileMan* files)
{
    if (FLoaded)
        return;
    try {
        FDistTable = AllocTable<std::uint16_t>(kDistEntries);
        FSinTable = AllocTable<std::uint8_t>(kSinSize);
        FMultiTable = AllocTable<std::uint8_t>(kMultiEntries);
    } catch (...) {
        Release();
        throw;
    }
    ReadTable(files, kDistFile, FDistTable, kDistEntries * 2);
    if constexpr (std::endian::native == std::endian::big)
        for (int i = 0; i < kDistEntries; ++i)
            FDistTable[i] = static_cast<std::uint16_t>(FDistTable[i] << 8 | FDistTable[i] >> 8);
    ReadTable(files, kSinFile, FSinTable, kSinSize);
    ReadTable(files, kMultiFile, FMultiTable, kMultiEntries);
    FLoaded = true;
}

void TWaterEffect::Release()
{
    FreeTable(FDistTable);
    FreeTable(FSinTable);
    FreeTable(FMultiTable);
    FLoaded = false;
}

bool TWaterEffect::Fits(int width, int height, int centreX, int centreY) const
{
    return FLoaded && width > 0 && height > 0 && centreX >= 0 && centreY >= 0 && centreX <= kDistColumns &&
           width - centreX <= kDistColumns && centreY <= kDistRows && height - centreY <= kDistRows;
}

void TWaterEffect::Draw(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch, std::uint8_t* dst,
                        int srcPitch, int centreY, int centreX, int height) const
{
    DrawPixels<3>(src, width, amplitude, phase, dstPitch, dst, srcPitch, centreY, centreX, height);
}

void TWaterEffect::Draw32(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch,
                          std::uint8_t* dst, int srcPitch, int centreY, int centreX, int height) const
{
    DrawPixels<4>(src, width, amplitude, phase, dstPitch, dst, srcPitch, centreY, centreX, height);
}

template <int Bytes>
void TWaterEffect::DrawPixels(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch,
                              std::uint8_t* dst, int srcPitch, int centreY, int centreX, int height) const
{
    if (!Fits(width, height, centreX, centreY))
        return;
    // The sine and the amplitude's row folded into one offset per phase step. A row holds 255
    // entries, so a sine of 255 reads the last one rather than the next row's first.
    const std::uint8_t* multi = FMultiTable + std::clamp(amplitude, 0, kMultiRows - 1) * kMultiColumns;
    std::array<int, kSinSize> offsets{};
    for (int i = 0; i < kSinSize; ++i)
        offsets[static_cast<std::size_t>(i)] = multi[std::min<int>(FSinTable[i], kMultiColumns - 1)] - kOffsetBias;
    // Masking with 255 keeps any phase, negative ones too, inside the offsets.
    if constexpr (Bytes == 4) {
        if (srcPitch % 4 == 0) {
            const int stride = srcPitch / 4;
            for (int y = 0; y < height; ++y) {
                const int row = y < centreY ? centreY - 1 - y : y - centreY;
                const std::uint16_t* dist = FDistTable + row * kDistColumns;
                auto* out = reinterpret_cast<Pixel32*>(dst + static_cast<std::ptrdiff_t>(y) * dstPitch);
                const auto* in = reinterpret_cast<const Pixel32*>(src);
                if (centreX > 0)
                    XeVectorRun<&RippleRun32<-1>>(out, in, stride, dist + centreX - 1, 0, centreX, y, phase,
                                                  offsets.data(), width - 1, height - 1);
                XeVectorRun<&RippleRun32<1>>(out, in, stride, dist, centreX, width, y, phase, offsets.data(),
                                             width - 1, height - 1);
            }
            return;
        }
    }
    for (int y = 0; y < height; ++y) {
        const int row = y < centreY ? centreY - 1 - y : y - centreY;
        const std::uint16_t* dist = FDistTable + row * kDistColumns;
        std::uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstPitch;
        for (int x = 0; x < width; ++x) {
            const int column = x < centreX ? centreX - 1 - x : x - centreX;
            const int offset = offsets[static_cast<std::size_t>((dist[column] * 4 + phase) & 255)];
            const int sx = std::clamp(x + offset, 0, width - 1);
            const int sy = std::clamp(y + offset, 0, height - 1);
            std::memcpy(out + x * Bytes, src + static_cast<std::ptrdiff_t>(sy) * srcPitch + sx * Bytes, Bytes);
        }
    }
}

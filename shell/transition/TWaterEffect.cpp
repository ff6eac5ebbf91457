#include "shell/transition/TWaterEffect.h"

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
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

// The ripple of one drawing: the source offset of every phase step (the sine and the amplitude's row
// folded together) and the range those offsets span.
struct TRipple {
    std::array<int, TWaterEffect::kSinSize> offsets{};
    int lowest = 0;
    int highest = 0;
};

// The area being drawn and where its ripple is centred.
struct TRippleArea {
    const std::uint8_t* src;
    int srcPitch;
    std::uint8_t* dst;
    int dstPitch;
    int width;
    int height;
    int centreX;
    int centreY;
    int phase;
};

// One output row: its pixels, its source row, and per phase step the byte distance from an output
// pixel's place in the source row to the pixel it shows, valid for every column whose moved x stays
// in the area (the row's y clamp is folded in).
struct TRippleRow {
    std::uint8_t* out;
    const std::uint8_t* in;
    const std::ptrdiff_t* steps;
};

// Columns c of a table row serve the pixels centreX + c (right) and centreX - 1 - c (left).
int PhaseStep(const std::uint16_t* dist, int c, int phase)
{
    // Masking with 255 keeps any phase, negative ones too, inside the offsets.
    return (dist[c] * 4 + phase) & 255;
}

// The columns c whose right and left pixels both exist and stay inside the area whatever their
// offset: no clamp is needed there.
struct TColumns {
    int first;
    int end;
};
TColumns UnclampedColumns(const TRippleArea& a, const TRipple& ripple)
{
    const int columns = std::max(a.centreX, a.width - a.centreX);
    const int first = std::clamp(std::max(-ripple.lowest - a.centreX, a.centreX + ripple.highest - a.width), 0, columns);
    const int end = std::min({a.centreX, a.width - a.centreX, a.width - a.centreX - ripple.highest,
                              a.centreX + ripple.lowest});
    return {first, std::clamp(end, first, columns)};
}

// The unclamped columns of the rows one table row serves (one or two): one offset look-up serves
// up to four pixels, each copied by its row's step.
template <int Bytes, std::size_t Rows>
void RippleUnclamped(const std::array<TRippleRow, Rows>& rows, const std::uint16_t* dist, const TRippleArea& a,
                     TColumns columns)
{
    for (int c = columns.first; c < columns.end; ++c) {
        const int i = PhaseStep(dist, c, a.phase);
        const std::ptrdiff_t right = std::ptrdiff_t{a.centreX + c} * Bytes;
        const std::ptrdiff_t left = std::ptrdiff_t{a.centreX - 1 - c} * Bytes;
        for (const TRippleRow& row : rows) {
            const std::ptrdiff_t step = row.steps[i];
            std::memcpy(row.out + right, row.in + right + step, Bytes);
            std::memcpy(row.out + left, row.in + left + step, Bytes);
        }
    }
}

// Columns first..end - 1 of output row y pixel by pixel, each coordinate clamped to the area.
template <int Bytes>
void RippleClamped(std::uint8_t* out, int y, const std::uint16_t* dist, const TRippleArea& a, const TRipple& ripple,
                   int first, int end)
{
    const auto copy = [&](int x, int offset, const std::uint8_t* row) {
        std::memcpy(out + std::ptrdiff_t{x} * Bytes, row + std::ptrdiff_t{std::clamp(x + offset, 0, a.width - 1)} * Bytes,
                    Bytes);
    };
    for (int c = first; c < end; ++c) {
        const int offset = ripple.offsets[static_cast<std::size_t>(PhaseStep(dist, c, a.phase))];
        const std::uint8_t* row = a.src + std::ptrdiff_t{std::clamp(y + offset, 0, a.height - 1)} * a.srcPitch;
        if (c < a.width - a.centreX)
            copy(a.centreX + c, offset, row);
        if (c < a.centreX)
            copy(a.centreX - 1 - c, offset, row);
    }
}

// The sine and the amplitude's row folded into one offset per phase step. A row holds 255 entries,
// so a sine of 255 reads the last one rather than the next row's first.
TRipple RippleOf(const std::uint8_t* sine, const std::uint8_t* multiTable, int amplitude)
{
    constexpr int kColumns = TWaterEffect::kMultiColumns;
    const std::uint8_t* multi = multiTable + std::clamp(amplitude, 0, TWaterEffect::kMultiRows - 1) * kColumns;
    TRipple ripple;
    for (std::size_t i = 0; i < ripple.offsets.size(); ++i)
        ripple.offsets[i] = multi[std::min<int>(sine[i], kColumns - 1)] - kOffsetBias;
    const auto [lowest, highest] = std::minmax_element(ripple.offsets.begin(), ripple.offsets.end());
    ripple.lowest = *lowest;
    ripple.highest = *highest;
    return ripple;
}

using TSteps = std::array<std::ptrdiff_t, TWaterEffect::kSinSize>;

// The steps of output row y: the shared ones when no offset moves it out of the area, else its own
// with the moved y clamped.
template <int Bytes>
const std::ptrdiff_t* RowSteps(int y, const TRippleArea& a, const TRipple& ripple, const TSteps& shared, TSteps& own)
{
    if (y + ripple.lowest >= 0 && y + ripple.highest < a.height)
        return shared.data();
    for (std::size_t i = 0; i < own.size(); ++i) {
        const int offset = ripple.offsets[i];
        own[i] = std::ptrdiff_t{std::clamp(y + offset, 0, a.height - 1) - y} * a.srcPitch + std::ptrdiff_t{offset} * Bytes;
    }
    return own.data();
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

// Each table row serves the output row above the centre and the one below it (where they exist);
// their unclamped columns go four pixels per offset look-up, the few near the edges pixel by pixel.
// Plain loads rather than gathers: the source pixels of neighbours lie apart, and gathers of them
// are slower than scalar loads on common processors.
template <int Bytes>
void TWaterEffect::DrawPixels(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch,
                              std::uint8_t* dst, int srcPitch, int centreY, int centreX, int height) const
{
    if (!Fits(width, height, centreX, centreY))
        return;
    const TRipple ripple = RippleOf(FSinTable, FMultiTable, amplitude);
    const TRippleArea a{src, srcPitch, dst, dstPitch, width, height, centreX, centreY, phase};
    TSteps shared, above, below;
    for (std::size_t i = 0; i < shared.size(); ++i)
        shared[i] = std::ptrdiff_t{ripple.offsets[i]} * (srcPitch + Bytes);
    const TColumns columns = UnclampedColumns(a, ripple);
    const int columnCount = std::max(centreX, width - centreX);
    const auto rowAt = [&](int y, TSteps& own) {
        std::uint8_t* out = dst + std::ptrdiff_t{y} * dstPitch;
        return TRippleRow{out, src + std::ptrdiff_t{y} * srcPitch, RowSteps<Bytes>(y, a, ripple, shared, own)};
    };
    for (int r = 0; r < std::max(centreY, height - centreY); ++r) {
        const std::uint16_t* dist = FDistTable + r * kDistColumns;
        for (const int y : {centreY - 1 - r, centreY + r}) {
            if (y < 0 || y >= height)
                continue;
            std::uint8_t* out = dst + std::ptrdiff_t{y} * dstPitch;
            RippleClamped<Bytes>(out, y, dist, a, ripple, 0, columns.first);
            RippleClamped<Bytes>(out, y, dist, a, ripple, columns.end, columnCount);
        }
        if (r < centreY && r < height - centreY)
            RippleUnclamped<Bytes, 2>({rowAt(centreY - 1 - r, above), rowAt(centreY + r, below)}, dist, a, columns);
        else
            RippleUnclamped<Bytes, 1>({rowAt(r < centreY ? centreY - 1 - r : centreY + r, above)}, dist, a, columns);
    }
}

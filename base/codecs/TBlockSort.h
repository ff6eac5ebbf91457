// The block-sorting stages of the Brisane codec: the Burrows-Wheeler transform (TBWTEncode,
// TBWTDecode) and move-to-front coding (TMTFEncode, TMTFDecode).
#pragma once

#include "base/codecs/RotationSort.h"
#include "platform/classes/Component.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// Sorts the cyclic rotations of a block in time linear in its length whatever it holds: blocks
// made mostly of long runs by their run structure, others by one suffix sort (RotationSort.h).
class TBWTEncode : public TObject {
public:
    static constexpr int MaxBlock = 65536;

    bool CreateBuffer();
    void ReleaseBuffer();
    // Writes the primary index (2 bytes, little-endian: where rotation 0 lands in the sorted order)
    // and the n bytes of the last column to out (n + 2 bytes). False when not created or n is not
    // 1 to MaxBlock. Rotations equal over all n bytes may end in either order.
    bool Encode(const unsigned char* block, unsigned char* out, int n);

    // A maximal run of one byte value, taken cyclically.
    struct Run {
        int start;
        int length;
        std::uint8_t value;
        std::uint8_t side; // 0 when the next run's value is smaller, 1 when it is larger
    };

private:
    void SortByRuns(const unsigned char* block, int n, const std::function<void(int row, int start)>& emit);

    // Working memory kept from block to block until ReleaseBuffer.
    bool created_ = false;
    RotationSort sort_;
    std::vector<std::int32_t> order_;
    std::vector<Run> runs_;
    std::vector<std::int32_t> byKey_;
    std::vector<std::int32_t> keys_;
    std::vector<int> slots_;
};

class TBWTDecode : public TObject {
public:
    bool CreateBuffer();
    void ReleaseBuffer();
    // Rebuilds n = len - 2 bytes from the primary index and last column in `in`. False when not
    // created, len is not 3 to MaxBlock + 2, or the primary index is not below n.
    bool Decode(const unsigned char* in, unsigned char* out, int len);

private:
    bool created_ = false;
    std::vector<std::uint32_t> next_;
    std::vector<std::uint32_t> back_;
};

// Replaces each byte by its place in a list of byte values and moves it to the front. The list
// carries over from call to call; CreateBuffer starts it as the identity.
class TMTFEncode : public TObject {
public:
    bool CreateBuffer();
    void ReleaseBuffer() { created_ = false; }
    // In place; true at once for len below 1, false when not created.
    bool Encode(unsigned char* buf, int len);

private:
    bool created_ = false;
    std::array<unsigned char, 256> list_{};
};

class TMTFDecode : public TObject {
public:
    bool CreateBuffer();
    void ReleaseBuffer() { created_ = false; }
    bool Decode(unsigned char* buf, int len);

private:
    bool created_ = false;
    std::array<unsigned char, 256> list_{};
};
